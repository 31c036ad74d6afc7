#include "scaling_command.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <new>
#include <optional>

#include "cli_options.h"
#include "collecting_host.h"
#include "loglog_plot.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_report.h"
#include "surface_file.h"
#include "text_scan.h"

namespace {

const char* const kScalingUsage =
    "Usage: vantrel-cli analyse FILE [options]\n"
    "       vantrel-cli fit FILE [options]\n"
    "\n"
    "Fits the Hurst exponent H of the surface in FILE, with its 90% interval and the\n"
    "fractal dimension D = 3 - H, from the mean squared residual per cell against the\n"
    "window side. analyse computes the residuals; fit takes them from FILE.out.txt,\n"
    "written by vantrel-cli run or the dialog over FILE.\n"
    "\n"
    "Options:\n"
    "  --json               print one JSON object instead of the summary\n"
    "  --table FILE         write the per-side table (tab-separated)\n"
    "  --plot FILE          draw the log-log plot: FILE ending in .svg, .png or .pdf\n"
    "  --sides A:B          odd sides from A to B in log steps, all fitted (analyse)\n"
    "  --sides S1,S2,...    these sides, all fitted (analyse)\n"
    "  --method exact|fast  how the residuals are computed (default fast)\n"
    "  --shift N M          window shifts (default 0.5 0.5, centred windows)\n"
    "  --threads N          compute with N threads (default: one per core)\n"
    "  --format F           read FILE as text, csv, npy, gsf or gdal (default: by its\n"
    "                       content, then its name's ending, else text)\n"
    "  --band N             the raster band GDAL reads (default 1)\n"
    "  --crop-valid         analyse the largest rectangle without missing values\n"
    "                       (default: missing values end the command)\n"
    "\n"
    "Where FILE gives a pixel size (a GeoTIFF's geotransform, a GSF's XReal), the sides are\n"
    "told in its units too, and the plot's axis is drawn in them.\n";

struct ScalingOptions {
    bool fit = false, json = false;
    std::string file, tableFile, plotFile;
    ScalingRequest request;
    ReadOptions read;
};

bool parseInt(const std::string& text, int& value) {
    TextCursor cursor{text.data(), text.data() + text.size()};
    return !text.empty() && text[0] != ' ' && scanInt(cursor, value) && cursor.atEnd();
}

bool parseSides(const std::string& text, ScalingRequest& request) {
    const std::size_t colon = text.find(':');
    if (colon != std::string::npos)
        return parseInt(text.substr(0, colon), request.fromSide) &&
               parseInt(text.substr(colon + 1), request.toSide) && request.fromSide >= 1 &&
               request.toSide >= request.fromSide;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        int side = 0;
        if (!parseInt(text.substr(start, comma - start), side) || side < 1) return false;
        request.sides.push_back(side);
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Parses the options after the command word; sets `error` on a usage fault.
std::optional<ScalingOptions> parseScalingOptions(const std::vector<std::string>& args,
                                                  std::string& error) {
    ScalingOptions options;
    options.fit = args[0] == "fit";
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
        } else if (word == "--table") {
            if (!value(options.tableFile)) return std::nullopt;
        } else if (word == "--plot") {
            if (!value(options.plotFile)) return std::nullopt;
            if (!plotFormatOf(options.plotFile)) {
                error = "--plot: '" + options.plotFile + "' does not end in .svg, .png or .pdf";
                return std::nullopt;
            }
        } else if (word == "--sides") {
            if (!value(text)) return std::nullopt;
            if (!parseSides(text, options.request)) {
                error = "--sides: '" + text + "' is neither A:B nor a list of sides S1,S2,...";
                return std::nullopt;
            }
        } else if (word == "--method") {
            if (!value(text)) return std::nullopt;
            if (text != "exact" && text != "fast") {
                error = "--method: '" + text + "' is neither exact nor fast";
                return std::nullopt;
            }
            options.request.compute.method =
                text == "exact" ? SurfaceMethod::kExact : SurfaceMethod::kFast;
        } else if (word == "--shift") {
            ScalingCompute& c = options.request.compute;
            if (!value(text) || !value(second)) return std::nullopt;
            if (!parseWholeDouble(text.data(), text.data() + text.size(), c.nShift) ||
                !parseWholeDouble(second.data(), second.data() + second.size(), c.mShift) ||
                !(c.nShift >= 0 && c.nShift <= 1 && c.mShift >= 0 && c.mShift <= 1)) {
                error = "--shift needs two numbers between 0 and 1";
                return std::nullopt;
            }
        } else if (word == "--threads") {
            if (!value(text)) return std::nullopt;
            int& threads = options.request.compute.threads;
            if (!parseInt(text, threads) || threads < 1 || threads > 1024) {
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
    if (options.fit && (!options.request.sides.empty() || options.request.fromSide > 0))
        error = "--sides does not apply to fit: the sides are those of the results file";
    if (!error.empty()) return std::nullopt;
    return options;
}

// The cell side a report tells lengths in, from what the file says about its pixels.
SideUnit sideUnitOf(const SurfaceUnits& units) {
    SideUnit unit;
    if (!units.hasPixelSize()) return unit;
    unit.pixelWidth = units.pixelWidth;
    unit.pixelHeight = units.pixelHeight;
    unit.length = units.pixelWidth == units.pixelHeight
                      ? units.pixelWidth
                      : std::sqrt(units.pixelWidth * units.pixelHeight);
    // GDAL names a projection's unit in words; the axis reads better with the symbol.
    const std::string& name = units.lateralUnit;
    unit.name = name == "metre" || name == "meter" || name == "metres" ? "m" : name;
    return unit;
}

// The one place a surface file is read, in any format the run reads. What the reader says on
// success (the rectangle --crop-valid kept) goes to standard error, beside the warnings.
bool loadSurface(const ScalingOptions& options, DataMatrix& data, SideUnit& unit,
                 std::string& error) {
    CollectingHost host;
    ReadOptions read = options.read;
    read.threads = options.request.compute.threads;
    SurfaceUnits units;
    if (loadSurfaceFile(host, options.file, read, data.rows, data.rowCount, data.columnCount,
                        units)) {
        if (!host.said().empty()) std::fprintf(stderr, "%s\n", host.saidText().c_str());
        unit = sideUnitOf(units);
        return true;
    }
    error = "Cannot load the surface " + options.file +
            (host.said().empty() ? "" : ": " + host.saidText());
    return false;
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-cli: %s\n", message.c_str());
    return 1;
}

int analyseLoaded(const ScalingOptions& options, const DataMatrix& data, const SideUnit& unit) {
    const int R = data.rowCount, C = data.columnCount;
    if (auto problem = scalingProblem(R, C)) return fail(*problem);
    ScalingResult result;
    if (options.fit) {
        std::string error;
        const std::string resultsFile = options.file + ".out.txt";
        auto rows = readResultsFile(resultsFile, error);
        if (!rows) return fail(error);
        if (rows->empty()) return fail("The results file " + resultsFile + " holds no areas");
        result = fitResultsTable(data.rows, R, C, *rows, options.request);
    } else {
        result = analyseSurface(data.rows, R, C, options.request);
    }
    if (result.table.points.empty()) return fail("No window side fits the surface");
    result.sideUnit = unit;

    if (!options.tableFile.empty() && !writeText(options.tableFile, scalingTsv(result)))
        return fail("Error writing to " + options.tableFile);
    if (!options.plotFile.empty()) {
        std::string error;
        if (!drawLogLogPlot(result, options.plotFile, error)) return fail(error);
    }
    const std::string text =
        options.json ? scalingJson(result, options.file) : scalingSummary(result, options.file);
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

bool isScalingCommand(const std::string& word) {
    return word == "analyse" || word == "fit";
}

int runScalingCommand(const std::vector<std::string>& args) {
    for (const std::string& word : args)
        if (word == "--help" || word == "-h") return std::fputs(kScalingUsage, stdout), 0;
    std::string error;
    const auto options = parseScalingOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "vantrel-cli: %s\n\n%s", error.c_str(), kScalingUsage);
        return 2;
    }
    DataMatrix data;
    try {
        SideUnit unit;
        if (!loadSurface(*options, data, unit, error)) return fail(error);
        const int status = analyseLoaded(*options, data, unit);
        freeMatrix(data.rows, data.rowCount, data.columnCount);
        return status;
    } catch (const std::bad_alloc& exhausted) {
        freeMatrix(data.rows, data.rowCount, data.columnCount);
        return fail(std::string("Out of memory: ") + exhausted.what());
    }
}
