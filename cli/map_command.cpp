#include "map_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "collecting_host.h"
#include "command_line.h"
#include "data_matrix.h"
#include "hurst_map.h"
#include "map_figure.h"
#include "map_files.h"
#include "map_plot.h"
#include "map_summary.h"
#include "option_values.h"
#include "output_check.h"
#include "raster_map_rows.h"
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
    "  --memory MiB         map a raster (read through GDAL) larger than this in bands of rows,\n"
    "                       each with half the largest side above and below; the same map\n"
    "                       (default: half the memory available)\n"
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
    double memoryMiB = 0.0;  // 0: half the memory available
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
        valuesOption("--memory", 1,
                     [&options](const std::string& name, const std::vector<std::string>& v,
                                std::string& error) {
                         if (!numberValue(name, v[0], options.memoryMiB, error)) return false;
                         if (options.memoryMiB > 0.0 && std::isfinite(options.memoryMiB))
                             return true;
                         error = name + ": '" + v[0] + "' is not a positive number of MiB";
                         return false;
                     }),
    };
    addReadOptions(table, options.read);
    return table;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "vantrel-cli: %s\n", message.c_str());
    return 1;
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
            if (!drawMapPlot(maps, mapScaleOf(units), options.output, error)) return fail(error);
            return 0;
        }
        case MapOutput::kNone:
            break;
    }
    return 0;
}

std::vector<WindowAxis> mapAxes(const MapOptions& options) {
    if (!options.directional) return {WindowAxis::kSquare};
    return {WindowAxis::kSquare, WindowAxis::kAlongRows, WindowAxis::kAlongColumns};
}

int finishMap(const MapOptions& options, const std::vector<HurstMap>& maps,
              const SurfaceUnits& units, const std::string& howRead = "") {
    if (!options.output.empty()) {
        const int status = writeOutput(options, maps, units);
        if (status != 0) return status;
    }
    std::fputs(mapSummary(maps, options.file).c_str(), stdout);
    std::fputs(howRead.c_str(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int mapLoaded(const MapOptions& options, const DataMatrix& data) {
    const int R = data.rowCount(), C = data.columnCount();
    if (auto problem = mapProblem(R, C, options.request)) return fail(*problem);
    return finishMap(options,
                     computeHurstMaps(data.rows(), R, C, options.request, mapAxes(options)),
                     data.units);
}

// A raster larger than the memory budget is mapped a band at a time; -1 when it is not that
// large (or cannot be opened: the load says why).
int mapInBands(const MapOptions& options) {
    CollectingHost host;
    const auto raster = GdalRasterRows::open(host, options.file, options.read.band);
    if (!raster) return -1;
    const int R = raster->rowCount(), C = raster->columnCount();
    const double budget = options.memoryMiB > 0.0
                              ? options.memoryMiB * 1024.0 * 1024.0
                              : static_cast<double>(availableMemoryBytes()) / 2.0;
    if (8.0 * R * C <= budget) return -1;
    if (auto problem = mapProblem(R, C, options.request)) return fail(*problem);
    if (!raster->units().note.empty()) host.showNotice(options.file + ": " + raster->units().note);
    if (!host.said().empty()) std::fprintf(stderr, "%s\n", host.saidText().c_str());
    MapRequest request = options.request;
    request.bandRows = mapBandRowsWithin(budget, C, request);
    RasterMapRows rows(*raster);
    int widest = 0;
    const std::vector<MapBand> bands = mapRowBands(R, C, request);
    for (const MapBand& band : bands) widest = std::max(widest, band.last - band.first + 1);
    const std::string howRead =
        "Read in " + std::to_string(bands.size()) + " bands of at most " + std::to_string(widest) +
        " rows, each with " + std::to_string(mapBandHalo(request)) + " rows more above and below\n";
    try {
        return finishMap(options, computeHurstMaps(rows, request, mapAxes(options)),
                         raster->units(), howRead);
    } catch (const std::runtime_error& unread) {
        return fail(unread.what());
    }
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
        if (!options.read.cropValid &&
            surfaceFileFormat(options.file, options.read.format) == SurfaceFormat::kGdal) {
            const int status = mapInBands(options);
            if (status >= 0) return status;
        }
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
