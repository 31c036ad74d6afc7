#include "map_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "collecting_host.h"
#include "command_line.h"
#include "data_matrix.h"
#include "hurst_map.h"
#include "map_files.h"
#include "map_plot.h"
#include "option_values.h"
#include "output_check.h"
#include "run_host.h"
#include "surface_file.h"
#include "system.h"

namespace {

const char* const kMapUsage =
    "Usage: vantrel-cli map FILE [options]\n"
    "\n"
    "Maps the Hurst exponent H over the surface in FILE: the exponent of every tile of\n"
    "T x T cells, tiles every S cells, with its 90% interval, D = 3 - H, the cells with a\n"
    "residual and flags, from residual surfaces of the whole surface. A tile's value also\n"
    "depends on the cells within half the largest side around it. Tiles that hold or reach a\n"
    "missing value are flagged and left empty.\n"
    "\n"
    "Options:\n"
    "  --tile T             the tile's side in cells, a multiple of 4 (default 128)\n"
    "  --stride S           cells from one tile to the next (default: half the tile)\n"
    "  --sides A:B          odd sides from A to B in log steps (default 5 to T/4)\n"
    "  --directional        also map the exponents along rows and along columns\n"
    "  --output OUT         write the map; the ending chooses: .tif (GeoTIFF, one band per\n"
    "                       quantity, placed as FILE is), .npy, .csv, .png, .svg or .pdf\n"
    "  --threads N          compute with N threads (default: one per core)\n"
    "  --format F           read FILE as text, csv, npy, gsf, gwy, x3p or gdal\n"
    "  --band N             the raster band GDAL reads (default 1)\n"
    "  --crop-valid         map the largest rectangle without missing values\n"
    "\n"
    "Flags (a sum): 1 the log-log line is curved, 2 H outside 0.15 to 0.85 (the\n"
    "calibrated 0.2 to 0.8 with a margin), 4 fewer than half the cells or fewer than\n"
    "3 sides, 8 missing values, 16 flat.\n";

enum class MapOutput { kNone, kGeoTiff, kNpy, kCsv, kPlot };

struct MapOptions {
    std::string file, output;
    MapOutput kind = MapOutput::kNone;
    MapRequest request;
    bool strideGiven = false, directional = false;
    ReadOptions read;
};

bool endsWith(const std::string& text, const char* ending) {
    const std::size_t n = std::strlen(ending);
    if (text.size() < n) return false;
    std::string tail = text.substr(text.size() - n);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ending;
}

MapOutput outputKind(const std::string& path) {
    if (endsWith(path, ".tif") || endsWith(path, ".tiff")) return MapOutput::kGeoTiff;
    if (endsWith(path, ".npy")) return MapOutput::kNpy;
    if (endsWith(path, ".csv")) return MapOutput::kCsv;
    if (endsWith(path, ".png") || endsWith(path, ".svg") || endsWith(path, ".pdf"))
        return MapOutput::kPlot;
    return MapOutput::kNone;
}

CliOptionTable mapOptionTable(MapOptions& options) {
    MapRequest& request = options.request;
    CliOptionTable table = {
        valuesOption("--tile", 1,
                     [&request](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         return integerValue(name, v[0], request.tile, error, 16, 1 << 20);
                     }),
        valuesOption("--stride", 1,
                     [&options](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         options.strideGiven = true;
                         return integerValue(name, v[0], options.request.stride, error, 1, 1 << 20);
                     }),
        valuesOption("--sides", 1,
                     [&request](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         const std::size_t colon = v[0].find(':');
                         if (colon != std::string::npos &&
                             integerValue(name, v[0].substr(0, colon), request.fromSide, error,
                                          1) &&
                             integerValue(name, v[0].substr(colon + 1), request.toSide, error,
                                          request.fromSide))
                             return true;
                         error = name + ": '" + v[0] + "' is not A:B with 1 <= A <= B";
                         return false;
                     }),
        flagOption({"--directional"}, [&options] { options.directional = true; }),
        valuesOption("--output", 1,
                     [&options](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         options.output = v[0];
                         options.kind = outputKind(v[0]);
                         if (options.kind != MapOutput::kNone) return true;
                         error = name + ": '" + v[0] +
                                 "' does not end in .tif, .npy, .csv, .png, .svg or .pdf";
                         return false;
                     }),
        threadsOption(request.threads),
    };
    addReadOptions(table, options.read);
    return table;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-cli: %s\n", message.c_str());
    return 1;
}

std::string summary(const std::vector<HurstMap>& maps, const std::string& file) {
    const HurstMap& map = maps.front();
    const MapLayout& layout = map.layout;
    char line[256];
    std::snprintf(line, sizeof line,
                  "%s: %d x %d\nTiles %d x %d cells every %d cells: %d x %d tiles, sides %d to "
                  "%d\n",
                  file.c_str(), layout.rows, layout.columns, layout.tile, layout.tile,
                  layout.stride, layout.tileRows, layout.tileColumns, map.sides.front(),
                  map.sides.back());
    std::string text = line;
    for (const HurstMap& each : maps) {
        std::vector<double> values;
        int flagged = 0;
        for (std::size_t t = 0; t < each.hurst.size(); ++t) {
            if (std::isfinite(each.hurst[t])) values.push_back(each.hurst[t]);
            flagged += each.flags[t] != 0;
        }
        const char* name = each.axis == WindowAxis::kAlongRows      ? "H along rows"
                           : each.axis == WindowAxis::kAlongColumns ? "H along columns"
                                                                    : "H";
        if (values.empty()) {
            std::snprintf(line, sizeof line, "%s: no tile has a value; %d flagged\n", name,
                          flagged);
        } else {
            std::sort(values.begin(), values.end());
            std::snprintf(line, sizeof line,
                          "%s: median %.3f, from %.3f to %.3f over %zu tiles; %d flagged\n", name,
                          values[values.size() / 2], values.front(), values.back(), values.size(),
                          flagged);
        }
        text += line;
    }
    return text;
}

int writeOutput(const MapOptions& options, const std::vector<HurstMap>& maps,
                const SurfaceUnits& units) {
    const RasterPlacement placement =
        mapPlacement(maps.front().layout, units.hasGeoTransform, units.geoTransform, units.crsWkt);
    std::string error;
    switch (options.kind) {
        case MapOutput::kGeoTiff: {
            const MapLayout& layout = maps.front().layout;
            if (!writeGeoTiff(options.output, layout.tileRows, layout.tileColumns, mapBands(maps),
                              placement, error))
                return fail(error);
            return 0;
        }
        case MapOutput::kNpy:
        case MapOutput::kCsv: {
            const std::string bytes =
                options.kind == MapOutput::kNpy ? mapNpy(maps, placement) : mapCsv(maps, placement);
            if (!replaceFileAtomically(options.output, bytes))
                return fail("Error writing to " + options.output);
            return 0;
        }
        case MapOutput::kPlot: {
            MapScale scale;
            if (units.hasPixelSize()) {
                scale.cellLength = units.pixelWidth;
                const std::string& name = units.lateralUnit;
                scale.unit = name == "metre" || name == "meter" || name == "metres" ? "m" : name;
            }
            if (!drawMapPlot(maps, scale, options.output, error)) return fail(error);
            return 0;
        }
        case MapOutput::kNone:
            break;
    }
    return 0;
}

int mapLoaded(const MapOptions& options, const DataMatrix& data) {
    const SurfaceUnits& units = data.units;
    const int R = data.rowCount(), C = data.columnCount();
    if (auto problem = mapProblem(R, C, options.request)) return fail(*problem);
    std::vector<WindowAxis> axes = {WindowAxis::kSquare};
    if (options.directional) {
        axes.push_back(WindowAxis::kAlongRows);
        axes.push_back(WindowAxis::kAlongColumns);
    }
    const std::vector<HurstMap> maps = computeHurstMaps(data.rows(), R, C, options.request, axes);
    if (!options.output.empty()) {
        const int status = writeOutput(options, maps, units);
        if (status != 0) return status;
    }
    std::fputs(summary(maps, options.file).c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int runMapCommand(const std::vector<std::string>& args) {
    MapOptions options;
    std::string error;
    const CliOptionTable table = mapOptionTable(options);
    switch (parseSurfaceCommand(args, table, options.file, error)) {
        case ParseOutcome::kHelp:
            return std::fputs(kMapUsage, stdout), 0;
        case ParseOutcome::kUsageError:
            std::fputs(usageErrorText(args[0], error).c_str(), stderr);
            return kUsageError;
        case ParseOutcome::kParsed:
            break;
    }
    if (!options.strideGiven) options.request.stride = std::max(1, options.request.tile / 2);
    if (auto clash = outputThatIsAnInput({options.file}, {options.output})) return fail(*clash);

    try {
        CollectingHost host;
        ReadOptions read = options.read;
        read.threads = options.request.threads;
        read.keepMissing = true;
        const std::optional<DataMatrix> data = loadSurfaceFile(host, options.file, read);
        if (!data)
            return fail("Cannot load the surface " + options.file +
                        (host.failureText().empty() ? "" : ": " + host.failureText()));
        if (!host.said().empty()) std::fprintf(stderr, "%s\n", host.saidText().c_str());
        return mapLoaded(options, *data);
    } catch (const std::bad_alloc& exhausted) {
        return fail(std::string("Out of memory: ") + exhausted.what());
    }
}
