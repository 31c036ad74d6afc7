#include "scaling_command.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "collecting_host.h"
#include "command_line.h"
#include "directional_analysis.h"
#include "directional_report.h"
#include "option_values.h"
#include "output_check.h"
#include "plot_files.h"
#include "results_analysis.h"
#include "results_reader.h"
#include "scaling_analysis.h"
#include "scaling_plot.h"
#include "scaling_report.h"
#include "shared_sides.h"
#include "surface_file.h"
#include "system.h"
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
    "  --directional        also the exponents along rows and along columns, and their\n"
    "                       difference (analyse)\n"
    "  --table FILE         write the per-side table (tab-separated)\n"
    "  --plot FILE          draw the log-log plot: FILE ending in .svg, .png or .pdf\n"
    "  --plot-size W H      the plot's width and height in points, 1/72 inch (default\n"
    "                       640 480); a number may end in in, cm or mm\n"
    "  --dpi N              a PNG plot's pixels per inch (default 72: a pixel a point)\n"
    "  --title TEXT         a title above the plot\n"
    "  --sides A:B          odd sides from A to B in log steps, all fitted (analyse)\n"
    "  --sides S1,S2,...    these sides, all fitted (analyse)\n"
    "  --method exact|fast  how the residuals are computed (default fast)\n"
    "  --shift N M          window shifts (analyse: default 0.5 0.5, centred windows;\n"
    "                       fit: those of the run, found from the data when not given)\n"
    "  --normalise          fit: the run normalised the data (found when not given)\n"
    "  --threads N          compute with N threads (default: one per core)\n"
    "  --format F           read FILE as text, csv, npy, gsf, gwy, x3p or gdal\n"
    "                       (default: by its content, then its name's ending, else\n"
    "                       text)\n"
    "  --band N             the raster band GDAL reads (default 1)\n"
    "  --crop-valid         analyse the largest rectangle without missing values\n"
    "                       (default: missing values end the command)\n"
    "\n"
    "Where FILE gives a pixel size (a GeoTIFF's geotransform, a GSF's XReal), the sides are\n"
    "told in its units too, and the plot's axis is drawn in them.\n";

struct ScalingOptions {
    bool fit = false, json = false, directional = false;
    bool shiftGiven = false, normalise = false;
    std::string file, tableFile, plotFile;
    ScalingPlotOptions plot;
    bool plotOptionGiven = false;  // --plot-size, --dpi or --title
    ScalingRequest request;
    ReadOptions read;
};

bool parseInt(const std::string& text, int& value) {
    TextCursor cursor{text.data(), text.data() + text.size()};
    return !text.empty() && text[0] != ' ' && scanInt(cursor, value) && cursor.atEnd();
}

// A length in points: a number, or one ending in in, cm or mm, from 1 to 100 inches.
bool parseLength(const std::string& text, double& points) {
    double scale = 1.0;
    std::string number = text;
    for (const auto& [suffix, factor] :
         {std::pair<const char*, double>{"in", 72.0}, {"cm", 72.0 / 2.54}, {"mm", 7.2 / 2.54}}) {
        const std::string end = suffix;
        if (number.size() > end.size() &&
            number.compare(number.size() - end.size(), end.size(), end) == 0) {
            number.erase(number.size() - end.size());
            scale = factor;
            break;
        }
    }
    double value = 0;
    if (!parseWholeDouble(number.data(), number.data() + number.size(), value)) return false;
    points = value * scale;
    return points >= 72.0 && points <= 72.0 * 100;
}

// The plot's size, resolution and title.
void addPlotOptions(CliOptionTable& table, ScalingOptions& options) {
    table.push_back(valuesOption(
        "--plot-size", 2,
        [&options](const std::string& name, const std::vector<std::string>& v, std::string& error) {
            options.plotOptionGiven = true;
            if (parseLength(v[0], options.plot.width) && parseLength(v[1], options.plot.height))
                return true;
            error = name + ": '" + v[0] + " " + v[1] +
                    "' is not a width and a height from 1 to 100 inches "
                    "(72 to 7200 points)";
            return false;
        }));
    table.push_back(valuesOption(
        "--dpi", 1,
        [&options](const std::string& name, const std::vector<std::string>& v, std::string& error) {
            options.plotOptionGiven = true;
            int dpi = 0;
            if (parseInt(v[0], dpi) && dpi >= 10 && dpi <= 2400) {
                options.plot.dpi = dpi;
                return true;
            }
            error = name + ": '" + v[0] + "' is not between 10 and 2400";
            return false;
        }));
    table.push_back(valuesOption(
        "--title", 1,
        [&options](const std::string&, const std::vector<std::string>& v, std::string&) {
            options.plotOptionGiven = true;
            options.plot.title = v[0];
            return true;
        }));
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

// The options of analyse and fit, storing into `options`.
CliOptionTable scalingOptionTable(ScalingOptions& options) {
    ScalingCompute& compute = options.request.compute;
    CliOptionTable table = {
        flagOption({"--json"}, [&options] { options.json = true; }),
        valuesOption("--directional", 0,
                     [&options](const std::string& name, const std::vector<std::string>&,
                                std::string& error) {
                         options.directional = true;
                         if (!options.fit) return true;
                         error = name + " does not apply to fit: it needs the surface's residuals";
                         return false;
                     }),
        textOption("--table", options.tableFile),
        valuesOption("--plot", 1,
                     [&options](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         options.plotFile = v[0];
                         if (plotFormatOf(v[0])) return true;
                         error = name + ": '" + v[0] + "' does not end in .svg, .png or .pdf";
                         return false;
                     }),
        valuesOption("--sides", 1,
                     [&options](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         if (options.fit) {
                             error = name +
                                     " does not apply to fit: the sides are those of the results "
                                     "file";
                             return false;
                         }
                         if (parseSides(v[0], options.request)) return true;
                         error =
                             name + ": '" + v[0] + "' is neither A:B nor a list of sides S1,S2,...";
                         return false;
                     }),
        methodOption(compute.method),
        shiftOption([&compute, &options](double n, double m) {
            compute.nShift = n;
            compute.mShift = m;
            options.shiftGiven = true;
        }),
        valuesOption("--normalise", 0,
                     [&options](const std::string& name, const std::vector<std::string>&,
                                std::string& error) {
                         options.normalise = true;
                         if (options.fit) return true;
                         error = name + " applies to fit only: analyse fits the data as they are";
                         return false;
                     }),
        threadsOption(compute.threads),
    };
    addReadOptions(table, options.read);
    addPlotOptions(table, options);
    return table;
}

// Parses the words after the command word; sets `error` on a usage fault.
ParseOutcome parseScalingOptions(const std::vector<std::string>& args, ScalingOptions& options,
                                 std::string& error) {
    options.fit = args[0] == "fit";
    const CliOptionTable table = scalingOptionTable(options);
    const ParseOutcome outcome = parseSurfaceCommand(args, table, options.file, error);
    if (outcome == ParseOutcome::kParsed && options.plotOptionGiven && options.plotFile.empty()) {
        error = "--plot-size, --dpi and --title need --plot FILE";
        return ParseOutcome::kUsageError;
    }
    return outcome;
}

// The cell side a report tells lengths in, from what the file says about its pixels.
SideUnit sideUnitOf(const SurfaceUnits& units) {
    SideUnit unit;
    unit.valueName =
        units.valueUnit == "metre" || units.valueUnit == "meter" ? "m" : units.valueUnit;
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
std::optional<DataMatrix> loadSurface(const ScalingOptions& options, std::string& error) {
    CollectingHost host;
    ReadOptions read = options.read;
    read.threads = options.request.compute.threads;
    auto data = loadSurfaceFile(host, options.file, read);
    if (data) {
        if (!host.said().empty()) std::fprintf(stderr, "%s\n", host.saidText().c_str());
        return data;
    }
    const std::string reason = host.failureText();
    error = "Cannot load the surface " + options.file + (reason.empty() ? "" : ": " + reason);
    return std::nullopt;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-cli: %s\n", message.c_str());
    return 1;
}

int analyseLoaded(const ScalingOptions& options, const DataMatrix& data) {
    const int R = data.rowCount(), C = data.columnCount();
    if (auto problem = scalingProblem(R, C)) return fail(*problem);
    ScalingResult result;
    ScalingPlotOptions plot = options.plot;
    if (options.fit) {
        ResultsAnalysisRequest request;
        if (options.shiftGiven) {
            request.nShift = options.request.compute.nShift;
            request.mShift = options.request.compute.mShift;
        }
        if (options.normalise) request.normalise = NormaliseSetting::kOn;
        request.method = options.request.compute.method;
        request.threads = options.request.compute.threads;
        ResultsAnalysis analysis =
            analyseResultsFile(options.file + ".out.txt", data.rows(), R, C, request);
        if (!analysis.result) return fail(analysis.error);
        result = std::move(*analysis.result);
        std::string unread;
        if (const auto rows = readResultsFile(options.file + ".out.txt", unread))
            plot.notes = sharedSideNotes(*rows);
    } else {
        result = analyseSurface(data.rows(), R, C, options.request);
    }
    if (result.table.points.empty()) return fail("No window side fits the surface");
    result.sideUnit = sideUnitOf(data.units);

    if (!options.tableFile.empty() && !replaceFileAtomically(options.tableFile, scalingTsv(result)))
        return fail("Error writing to " + options.tableFile);
    if (!options.plotFile.empty()) {
        std::string error;
        if (!writeScalingPlot(result, plot, options.plotFile, error)) return fail(error);
    }
    std::string text =
        options.json ? scalingJson(result, options.file) : scalingSummary(result, options.file);
    if (!options.json)
        for (const std::string& note : plot.notes) text += "Note: " + note + "\n";
    if (options.directional) {
        const DirectionalResult directional = analyseDirections(data.rows(), R, C, options.request);
        if (options.json)
            text.insert(2, directionalJsonMembers(directional));  // after the opening "{\n"
        else
            text += directionalSummary(directional);
    }
    std::fputs(text.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int runScalingCommand(const std::vector<std::string>& args) {
    ScalingOptions options;
    std::string error;
    switch (parseScalingOptions(args, options, error)) {
        case ParseOutcome::kHelp:
            return std::fputs(kScalingUsage, stdout), 0;
        case ParseOutcome::kUsageError:
            std::fputs(usageErrorText(args[0], error).c_str(), stderr);
            return kUsageError;
        case ParseOutcome::kParsed:
            break;
    }
    // The surface file, and for fit the results file, are read; neither may be written over.
    std::vector<std::string> inputs = {options.file};
    if (options.fit) inputs.push_back(options.file + ".out.txt");
    if (auto clash = outputThatIsAnInput(inputs, {options.tableFile, options.plotFile}))
        return fail(*clash);
    try {
        const std::optional<DataMatrix> data = loadSurface(options, error);
        if (!data) return fail(error);
        return analyseLoaded(options, *data);
    } catch (const std::bad_alloc& exhausted) {
        return fail(std::string("Out of memory: ") + exhausted.what());
    }
}
