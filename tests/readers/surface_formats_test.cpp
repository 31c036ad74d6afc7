// Every input format against the text matrix of the same values: the same size question, the
// same results and surface files byte for byte, and the pixel size where the format keeps one.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "analysis_run.h"
#include "scripted_host.h"
#include "surface_bytes.h"
#include "temp_folder.h"

namespace {

// Quarters in [-100, 100] (exact in every format, float32 and ASCII grids included), or
// integers in [0, 200] for the integer types.
Grid randomGrid(int R, int C, bool integers, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> step(integers ? 0 : -400, integers ? 200 : 400);
    Grid grid(R, std::vector<double>(C));
    for (auto& row : grid)
        for (double& v : row) v = integers ? step(random) : step(random) / 4.0;
    return grid;
}

// The grid inside a border of NaN rows and columns, which --crop-valid must cut away.
Grid withMissingBorder(Grid grid) {
    const double nan = std::nan("");
    for (auto& row : grid) {
        row.insert(row.begin(), nan);
        row.push_back(nan);
    }
    grid.insert(grid.begin(), std::vector<double>(grid[0].size(), nan));
    grid[3][3] = nan;  // a hole near the top: the rectangle below it is the largest
    return grid;
}

struct FormatCase {
    const char* name;
    const char* fileName;
    bool integers;
    // Writes the file for the grid; the reference is the text matrix of `grid` itself.
    std::function<std::string(const TempFolder&, const Grid&)> write;
    ReadOptions options = {};
    double pixelWidth = 0.0;  // 0: the format keeps none
    const char* notice = "";  // what --crop-valid says it kept
};

std::string bytesTo(const TempFolder& folder, const char* name, const std::string& bytes) {
    return folder.write(name, bytes);
}

const double kTransform[6] = {500000.0, 2.0, 0.0, 4000000.0, 0.0, -2.0};

const FormatCase kFormats[] = {
    {"npy <f8, C order", "grid.npy", false,
     [](auto& f, auto& g) { return bytesTo(f, "grid.npy", npyOf<double>(g, "<f8", false)); }},
    {"npy >f4, Fortran order, version 2", "grid.npy", false,
     [](auto& f, auto& g) { return bytesTo(f, "grid.npy", npyOf<float>(g, ">f4", true, 2)); }},
    {"npy <i2, version 3", "grid.npy", true,
     [](auto& f, auto& g) {
         return bytesTo(f, "grid.npy", npyOf<std::int16_t>(g, "<i2", false, 3));
     }},
    {"npy >u8 under another name, forced",
     "grid.dat",
     true,
     [](auto& f, auto& g) { return bytesTo(f, "grid.dat", npyOf<std::uint64_t>(g, ">u8", false)); },
     {SurfaceFormat::kNpy}},
    {"gsf with XReal",
     "grid.gsf",
     false,
     [](auto& f, auto& g) {
         return bytesTo(f, "grid.gsf", gsfOf(g, "XReal = 18e-6\nYReal = 24e-6\nXYUnits = m\n"));
     },
     {},
     1e-6},
    {"gwy, channel 0 among others",
     "grid.gwy",
     false,
     [](auto& f, auto& g) { return bytesTo(f, "grid.gwy", gwyOf(g, 18e-6, 24e-6)); },
     {},
     1e-6},
    {"gwy under another name, by its first bytes",
     "grid.dat",
     false,
     [](auto& f, auto& g) { return bytesTo(f, "grid.dat", gwyOf(g, 18e-6, 24e-6)); },
     {},
     1e-6},
    {"csv, commas and a header line", "grid.csv", false,
     [](auto& f, auto& g) { return bytesTo(f, "grid.csv", "x,y\r\n" + textMatrix(g, ", ")); }},
    {"csv, semicolons, forced on a .txt name",
     "grid.txt",
     false,
     [](auto& f, auto& g) { return bytesTo(f, "grid.txt", textMatrix(g, ";")); },
     {SurfaceFormat::kCsv}},
    {"GeoTIFF float32 with a geotransform",
     "grid.tif",
     false,
     [](auto& f, auto& g) {
         writeRaster(f.path("grid.tif"), "GTiff", g, GDT_Float32, 1, kTransform);
         return f.path("grid.tif");
     },
     {},
     2.0},
    {"GeoTIFF, band 2 of 3",
     "grid.tif",
     false,
     [](auto& f, auto& g) {
         writeRaster(f.path("grid.tif"), "GTiff", g, GDT_Float64, 3, nullptr, 2);
         return f.path("grid.tif");
     },
     {SurfaceFormat::kAuto, 2}},
    {"ESRI ASCII grid",
     "grid.asc",
     false,
     [](auto& f, auto& g) {
         writeRaster(f.path("grid.asc"), "AAIGrid", g);
         return f.path("grid.asc");
     },
     {},
     1.0},
    {"PNG, 16 bits", "grid.png", true,
     [](auto& f, auto& g) {
         writeRaster(f.path("grid.png"), "PNG", g, GDT_UInt16);
         return f.path("grid.png");
     }},
    {"npy with missing cells, --crop-valid",
     "grid.npy",
     false,
     [](auto& f, auto& g) {
         return bytesTo(f, "grid.npy", npyOf<double>(withMissingBorder(g), "<f8", false));
     },
     {SurfaceFormat::kAuto, 1, true},
     0.0,
     "grid.npy: 69 of 500 cells hold no value; kept rows 5 to 25 and columns 2 to 19, the "
     "largest rectangle without them (21 x 18)"},
};

struct Outcome {
    ScriptedHost host;
    std::string results, surface;
};

Outcome runOn(const std::string& path, const ReadOptions& options) {
    AnalysisSettings settings;
    settings.inputFile = path;
    settings.from = 4;
    settings.to = 64;
    settings.step = 20;
    settings.progressionType = 0;
    settings.nShift = settings.mShift = 0.5;
    RunOptions runOptions;
    runOptions.generateSurfaces = 1;
    Outcome outcome;
    runAnalysis(settings, runOptions, outcome.host, {}, options);
    outcome.results = readFile(path + ".out.txt");
    outcome.surface = readFile(path + ".24.out.txt");
    return outcome;
}

}  // namespace

TEST(SurfaceFormats, EveryFormatGivesTheTextMatrixResults) {
    for (const FormatCase& format : kFormats) {
        SCOPED_TRACE(format.name);
        TempFolder folder;
        const Grid grid = randomGrid(24, 18, format.integers, 7);
        const std::string path = format.write(folder, grid);
        // What --crop-valid keeps: the rows below the hole.
        const Grid kept = *format.notice ? Grid(grid.begin() + 3, grid.end()) : grid;
        const Outcome reference = runOn(folder.write("reference.txt", textMatrix(kept)), {});
        const Outcome read = runOn(path, format.options);

        if (*format.notice)
            EXPECT_EQ(read.host.messages, std::vector<std::string>{folder.path(format.notice)});
        else
            EXPECT_EQ(read.host.calls, reference.host.calls);  // the same label and question
        EXPECT_FALSE(reference.results.empty());
        EXPECT_EQ(read.results, reference.results);
        EXPECT_EQ(read.surface, reference.surface);

        ScriptedHost host;
        const auto matrix = loadSurfaceFile(host, path, format.options);
        ASSERT_TRUE(matrix);
        EXPECT_DOUBLE_EQ(matrix->units.pixelWidth, format.pixelWidth);
    }
}
