// vantrel-cli map on a GeoTIFF larger than its memory budget (--memory): read in bands of rows
// through GDAL windows, every kind of output is the same bytes as the map of the raster in
// memory, nodata cells and the directional maps included.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "child_process.h"
#include "surface_bytes.h"

namespace {

const double kPlacement[6] = {500000.0, 2.0, 0.0, 4200000.0, 0.0, -2.0};

// 300 x 90 float32 cells of a rough surface, with nodata cells on and off the bands' edges.
void writeDem(const std::string& path) {
    std::mt19937 bits(4);
    std::normal_distribution<double> normal(0.0, 1.0);
    Grid grid(300, std::vector<double>(90));
    for (int i = 0; i < 300; ++i)
        for (int j = 0; j < 90; ++j)
            grid[i][j] = 800.0 + normal(bits) + (i ? grid[i - 1][j] - 800.0 : 0.0) +
                         (j ? 0.5 * (grid[i][j - 1] - 800.0) : 0.0);
    for (auto [i, j] : {std::pair{128, 5}, {127, 60}, {250, 89}})
        grid[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = -9999.0;
    ASSERT_TRUE(writeRaster(path, "GTiff", grid, GDT_Float32, 1, kPlacement));
    GDALDatasetH file = GDALOpen(path.c_str(), GA_Update);
    ASSERT_NE(file, nullptr);
    GDALSetRasterNoDataValue(GDALGetRasterBand(file, 1), -9999.0);
    GDALClose(file);
}

TEST(MapInBands, EveryOutputIsTheMapInMemoryByteForByte) {
    TempFolder folder;
    writeDem(folder.path("dem.tif"));
    const std::vector<std::string> map = {"map",      "dem.tif", "--tile",  "32",
                                          "--stride", "16",      "--sides", "3:15"};
    struct Case {
        const char* output;
        bool directional;
    };
    for (const Case& c : {Case{"tif", false}, Case{"npy", true}, Case{"csv", true},
                          Case{"png", false}, Case{"svg", false}}) {
        SCOPED_TRACE(c.output);
        auto run = [&](const std::string& name, std::vector<std::string> extra) {
            std::vector<std::string> args = map;
            args.insert(args.end(), extra.begin(), extra.end());
            args.push_back("--output");
            args.push_back(name);
            if (c.directional) args.push_back("--directional");
            return runCli(folder.path(""), args);
        };
        const std::string whole = std::string("whole.") + c.output;
        const std::string banded = std::string("banded.") + c.output;
        const ProgramRun inMemory = run(whole, {});
        const ProgramRun inBands = run(banded, {"--memory", "0.05"});
        ASSERT_EQ(inMemory.status, 0) << inMemory.err;
        ASSERT_EQ(inBands.status, 0) << inBands.err;
        EXPECT_EQ(inMemory.out.find("Read in"), std::string::npos);
        EXPECT_NE(inBands.out.find("Read in 3 bands of at most 128 rows, each with 7 rows more"),
                  std::string::npos)
            << inBands.out;
        // The summary is the same but for the line that says how the raster was read.
        EXPECT_EQ(inBands.out.substr(0, inMemory.out.size()), inMemory.out);
        const std::string expected = readFile(folder.path(whole));
        EXPECT_GT(expected.size(), 100u);
        EXPECT_TRUE(readFile(folder.path(banded)) == expected);
    }
}

TEST(MapInBands, RefusesAMemoryThatIsNoSize) {
    TempFolder folder;
    writeDem(folder.path("dem.tif"));
    for (const char* memory : {"0", "-3", "lots", "inf"}) {
        const ProgramRun run = runCli(folder.path(""), {"map", "dem.tif", "--memory", memory});
        EXPECT_EQ(run.status, 2) << memory;
        EXPECT_NE(run.err.find("--memory"), std::string::npos) << run.err;
    }
}

}  // namespace
