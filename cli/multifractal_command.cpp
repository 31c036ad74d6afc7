#include "multifractal_command.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <new>
#include <optional>

#include "cli_options.h"
#include "loglog_plot.h"
#include "multifractal_analysis.h"
#include "multifractal_plot.h"
#include "multifractal_report.h"
#include "run_host.h"
#include "surface_file.h"
#include "text_scan.h"

namespace {

const char* const kMultifractalUsage =
    "Usage: vantrel-cli multifractal FILE [options]\n"
    "\n"
    "The multifractal spectrum of the surface (or, with --measure, the measure) in FILE:\n"
    "the generalised exponents h(q) with 90% intervals, tau(q) = q h(q) - 2, the\n"
    "singularity spectrum f(alpha), and a test of the width h(qmin) - h(qmax) against\n"
    "phase-randomised surrogates (same power spectrum, monofractal).\n"
    "\n"
    "Options:\n"
    "  --q A:B:STEP         the moments q (default -4:4:0.5); or a list Q1,Q2,...\n"
    "  --sides A:B          odd window sides from A to B in log steps (default 9 to an\n"
    "                       eighth of the smaller dimension); or a list S1,S2,...\n"
    "  --shift N M          window shifts (default 0.5 0.5 for a surface, 0 0 for a\n"
    "                       measure: the most accurate for each)\n"
    "  --measure            FILE holds a measure (densities, intensities, masses): the\n"
    "                       profile is taken inside each window\n"
    "  --surrogates N       surrogates for the test (default 99; 0: no test)\n"
    "  --seed S             seed of the surrogates' phases (default 1)\n"
    "  --json               print one JSON object instead of the summary\n"
    "  --table FILE         write the spectrum and ln F_q per side (tab-separated)\n"
    "  --plot FILE          draw the three panels: FILE ending in .svg, .png or .pdf\n"
    "  --threads N          compute with N threads (default: one per core)\n"
    "  --format F           read FILE as text, csv, npy, gsf or gdal (default: by its\n"
    "                       content, then its name's ending, else text)\n"
    "  --band N             the raster band GDAL reads (default 1)\n"
    "  --crop-valid         analyse the largest rectangle without missing values\n";

struct MultifractalOptions {
    bool json = false;
    std::string file, tableFile, plotFile;
    MultifractalRequest request;
    ReadOptions read;
};

bool parseInt(const std::string& text, int& value) {
    TextCursor cursor{text.data(), text.data() + text.size()};
    return !text.empty() && text[0] != ' ' && scanInt(cursor, value) && cursor.atEnd();
}

bool parseNumber(const std::string& text, double& value) {
    return parseWholeDouble(text.data(), text.data() + text.size(), value) && std::isfinite(value);
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// A:B:STEP (A <= B, STEP > 0, at most 1000 values) or Q1,Q2,...
bool parseMoments(const std::string& text, std::vector<double>& q) {
    const std::vector<std::string> range = split(text, ':');
    if (range.size() == 3) {
        double from, to, step;
        if (!parseNumber(range[0], from) || !parseNumber(range[1], to) ||
            !parseNumber(range[2], step) || step <= 0 || to < from || (to - from) / step > 1000)
            return false;
        // Whole steps from A, the last within a millionth of a step of B counted as B.
        for (int k = 0; from + k * step <= to + step * 1e-6; ++k)
            q.push_back(std::fabs(from + k * step) < step * 1e-9 ? 0.0 : from + k * step);
        return true;
    }
    if (range.size() != 1) return false;
    for (const std::string& part : split(text, ',')) {
        double value;
        if (!parseNumber(part, value)) return false;
        q.push_back(value);
    }
    return !q.empty();
}

bool parseSides(const std::string& text, MultifractalRequest& request) {
    const std::vector<std::string> range = split(text, ':');
    if (range.size() == 2)
        return parseInt(range[0], request.fromSide) && parseInt(range[1], request.toSide) &&
               request.fromSide >= 2 && request.toSide >= request.fromSide;
    if (range.size() != 1) return false;
    for (const std::string& part : split(text, ',')) {
        int side = 0;
        if (!parseInt(part, side) || side < 2) return false;
        request.sides.push_back(side);
    }
    return true;
}

std::optional<MultifractalOptions> parseOptions(const std::vector<std::string>& args,
                                                std::string& error) {
    MultifractalOptions options;
    MultifractalRequest& request = options.request;
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& word = args[k];
        auto value = [&](std::string& out) {
            if (k + 1 >= args.size()) return error = word + " needs a value", false;
            out = args[++k];
            return true;
        };
        std::string text, second;
        if (isReadOption(word)) {
            if (!parseReadOptionAt(args, k, options.read, error)) return std::nullopt;
        } else if (word == "--json") {
            options.json = true;
        } else if (word == "--measure") {
            request.kind = ResidualKind::kMeasure;
        } else if (word == "--table") {
            if (!value(options.tableFile)) return std::nullopt;
        } else if (word == "--plot") {
            if (!value(options.plotFile)) return std::nullopt;
            if (!plotFormatOf(options.plotFile)) {
                error = "--plot: '" + options.plotFile + "' does not end in .svg, .png or .pdf";
                return std::nullopt;
            }
        } else if (word == "--q") {
            if (!value(text)) return std::nullopt;
            if (!parseMoments(text, request.q)) {
                error = "--q: '" + text + "' is neither A:B:STEP nor a list of numbers Q1,Q2,...";
                return std::nullopt;
            }
        } else if (word == "--sides") {
            if (!value(text)) return std::nullopt;
            if (!parseSides(text, request)) {
                error = "--sides: '" + text + "' is neither A:B nor a list of sides S1,S2,...";
                return std::nullopt;
            }
        } else if (word == "--shift") {
            if (!value(text) || !value(second)) return std::nullopt;
            if (!parseNumber(text, request.nShift) || !parseNumber(second, request.mShift) ||
                !(request.nShift >= 0 && request.nShift <= 1 && request.mShift >= 0 &&
                  request.mShift <= 1)) {
                error = "--shift needs two numbers between 0 and 1";
                return std::nullopt;
            }
        } else if (word == "--surrogates") {
            if (!value(text)) return std::nullopt;
            if (!parseInt(text, request.surrogates) || request.surrogates < 0 ||
                request.surrogates > 100000) {
                error = "--surrogates: '" + text + "' is not between 0 and 100000";
                return std::nullopt;
            }
        } else if (word == "--seed") {
            int seed = 0;
            if (!value(text)) return std::nullopt;
            if (!parseInt(text, seed) || seed < 0) {
                error = "--seed: '" + text + "' is not a whole number of at least 0";
                return std::nullopt;
            }
            request.seed = static_cast<std::uint64_t>(seed);
        } else if (word == "--threads") {
            if (!value(text)) return std::nullopt;
            if (!parseInt(text, request.threads) || request.threads < 1 || request.threads > 1024) {
                error = "--threads: '" + text + "' is not between 1 and 1024";
                return std::nullopt;
            }
        } else if (!word.empty() && word[0] == '-') {
            error = "unknown option '" + word + "'";
            return std::nullopt;
        } else if (options.file.empty()) {
            options.file = word;
        } else {
            error = "unexpected argument '" + word + "' (only one surface file)";
            return std::nullopt;
        }
    }
    if (options.file.empty()) error = "no surface file named";
    if (!error.empty()) return std::nullopt;
    return options;
}

// Answers the loader's question with Yes and keeps its messages for the caller.
class QuietLoadHost : public RunHost {
  public:
    void showMessage(const std::string& text) override { message += text; }
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string&) override {}
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    std::string message;
};

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-cli: %s\n", message.c_str());
    return 1;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

int analyseLoaded(const MultifractalOptions& options, const DataMatrix& data) {
    const int R = data.rowCount, C = data.columnCount;
    if (auto problem = multifractalProblem(data.rows, R, C)) return fail(*problem);
    const MultifractalResult result = analyseMultifractal(data.rows, R, C, options.request);
    if (result.spectrum.sides.empty()) return fail("No window side fits the surface");
    if (!options.tableFile.empty() && !writeText(options.tableFile, multifractalTsv(result)))
        return fail("Error writing to " + options.tableFile);
    if (!options.plotFile.empty()) {
        std::string error;
        if (!drawMultifractalPlot(result, options.plotFile, error)) return fail(error);
    }
    const std::string text = options.json ? multifractalJson(result, options.file)
                                          : multifractalSummary(result, options.file);
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

bool isMultifractalCommand(const std::string& word) {
    return word == "multifractal";
}

int runMultifractalCommand(const std::vector<std::string>& args) {
    for (const std::string& word : args)
        if (word == "--help" || word == "-h") return std::fputs(kMultifractalUsage, stdout), 0;
    std::string error;
    const auto options = parseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "vantrel-cli: %s\n\n%s", error.c_str(), kMultifractalUsage);
        return 2;
    }
    DataMatrix data;
    try {
        QuietLoadHost host;
        ReadOptions read = options->read;
        read.threads = options->request.threads;
        SurfaceUnits units;
        if (!loadSurfaceFile(host, options->file, read, data.rows, data.rowCount, data.columnCount,
                             units))
            return fail("Cannot load the surface " + options->file +
                        (host.message.empty() ? "" : ": " + host.message));
        if (!host.message.empty()) std::fprintf(stderr, "%s\n", host.message.c_str());
        const int status = analyseLoaded(*options, data);
        freeMatrix(data.rows, data.rowCount, data.columnCount);
        return status;
    } catch (const std::bad_alloc& exhausted) {
        freeMatrix(data.rows, data.rowCount, data.columnCount);
        return fail(std::string("Out of memory: ") + exhausted.what());
    }
}
