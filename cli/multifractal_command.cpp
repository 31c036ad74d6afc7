#include "multifractal_command.h"

#include <cmath>
#include <cstdio>
#include <new>

#include "collecting_host.h"
#include "command_line.h"
#include "multifractal_analysis.h"
#include "multifractal_plot.h"
#include "multifractal_report.h"
#include "option_values.h"
#include "output_check.h"
#include "plot_files.h"
#include "run_host.h"
#include "surface_file.h"
#include "system.h"
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
    "  --plot FILE          draw the spectrum's panels: FILE ending in .svg, .png or .pdf\n"
    "  --threads N          compute with N threads (default: one per core)\n"
    "  --format F           read FILE as text, csv, npy, gsf, gwy, x3p or gdal\n"
    "                       (default: by its content, then its name's ending, else\n"
    "                       text)\n"
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

// The options of multifractal, storing into `options`.
CliOptionTable multifractalOptionTable(MultifractalOptions& options) {
    MultifractalRequest& request = options.request;
    using Values = std::vector<std::string>;
    CliOptionTable table = {
        flagOption({"--json"}, [&options] { options.json = true; }),
        flagOption({"--measure"}, [&request] { request.kind = ResidualKind::kMeasure; }),
        textOption("--table", options.tableFile),
        valuesOption("--plot", 1,
                     [&options](const std::string& name, const Values& v, std::string& error) {
                         options.plotFile = v[0];
                         if (plotFormatOf(v[0])) return true;
                         error = name + ": '" + v[0] + "' does not end in .svg, .png or .pdf";
                         return false;
                     }),
        valuesOption("--q", 1,
                     [&request](const std::string& name, const Values& v, std::string& error) {
                         request.q.clear();
                         if (parseMoments(v[0], request.q)) return true;
                         error = name + ": '" + v[0] +
                                 "' is neither A:B:STEP nor a list of numbers Q1,Q2,...";
                         return false;
                     }),
        valuesOption("--sides", 1,
                     [&request](const std::string& name, const Values& v, std::string& error) {
                         if (parseSides(v[0], request)) return true;
                         error =
                             name + ": '" + v[0] + "' is neither A:B nor a list of sides S1,S2,...";
                         return false;
                     }),
        valuesOption("--surrogates", 1,
                     [&request](const std::string& name, const Values& v, std::string& error) {
                         return integerValue(name, v[0], request.surrogates, error, 0, 100000);
                     }),
        valuesOption("--seed", 1,
                     [&request](const std::string& name, const Values& v, std::string& error) {
                         int seed = 0;
                         if (!integerValue(name, v[0], seed, error, 0)) return false;
                         request.seed = static_cast<std::uint64_t>(seed);
                         return true;
                     }),
        shiftOption([&request](double n, double m) {
            request.nShift = n;
            request.mShift = m;
        }),
        threadsOption(request.threads),
    };
    addReadOptions(table, options.read);
    return table;
}

ParseOutcome parseOptions(const std::vector<std::string>& args, MultifractalOptions& options,
                          std::string& error) {
    const CliOptionTable table = multifractalOptionTable(options);
    return parseSurfaceCommand(args, table, options.file, error);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-cli: %s\n", message.c_str());
    return 1;
}

int analyseLoaded(const MultifractalOptions& options, const DataMatrix& data) {
    const int R = data.rowCount(), C = data.columnCount();
    if (auto problem = multifractalProblem(data.rows(), R, C)) return fail(*problem);
    const MultifractalResult result = analyseMultifractal(data.rows(), R, C, options.request);
    if (result.spectrum.sides.empty()) return fail("No window side fits the surface");
    if (!options.tableFile.empty() &&
        !replaceFileAtomically(options.tableFile, multifractalTsv(result)))
        return fail("Error writing to " + options.tableFile);
    if (!options.plotFile.empty()) {
        std::string error;
        if (!writeMultifractalPlot(result, options.plotFile, error)) return fail(error);
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
    MultifractalOptions options;
    std::string error;
    switch (parseOptions(args, options, error)) {
        case ParseOutcome::kHelp:
            return std::fputs(kMultifractalUsage, stdout), 0;
        case ParseOutcome::kUsageError:
            std::fputs(usageErrorText(args[0], error).c_str(), stderr);
            return kUsageError;
        case ParseOutcome::kParsed:
            break;
    }
    // The surface is read; neither output may be written over it.
    if (auto clash = outputThatIsAnInput({options.file}, {options.tableFile, options.plotFile}))
        return fail(*clash);
    try {
        CollectingHost host;
        ReadOptions read = options.read;
        read.threads = options.request.threads;
        const std::optional<DataMatrix> data = loadSurfaceFile(host, options.file, read);
        if (!data)
            return fail("Cannot load the surface " + options.file +
                        (host.failureText().empty() ? "" : ": " + host.failureText()));
        if (!host.said().empty()) std::fprintf(stderr, "%s\n", host.saidText().c_str());
        return analyseLoaded(options, *data);
    } catch (const std::bad_alloc& exhausted) {
        return fail(std::string("Out of memory: ") + exhausted.what());
    }
}
