// vantrel-cli analyse and fit over the file formats: the exponent of the text matrix of the same
// values, and the pixel size where the file keeps one.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>

#include "child_process.h"
#include "surface_bytes.h"
#include "x3p_bytes.h"

namespace {

struct ScalingFormatCase {
    const char* name;
    const char* command;  // analyse, or fit after a run over the file
    const char* file;
    std::function<void(const TempFolder&, const Grid&)> write;
    const char* units;          // the JSON's pixel size and unit; "" where the file has none
    const char* sideFive = "";  // the JSON's length of side 5, where the file has a pixel size
};

const double kTwoMetres[6] = {0.0, 2.0, 0.0, 0.0, 0.0, -2.0};

// As an instrument's ASCII export begins: 40 x 48 cells of 2 um.
const std::string kExportHeader =
    "# Channel: Height\n# Width: 96.000 um\n# Height: 80.000 um\n# Value units: m\n";

// Each row with a comment after it, and a line of comment after every tenth.
std::string withComments(const std::string& rows) {
    std::string text;
    int row = 0;
    for (std::size_t at = 0, feed; (feed = rows.find('\n', at)) != std::string::npos; at = feed + 1)
        text += rows.substr(at, feed - at) + " # row\n" + (++row % 10 == 0 ? "  # ten rows\n" : "");
    return text;
}

const ScalingFormatCase kCases[] = {
    {"analyse .npy", "analyse", "g.npy",
     [](auto& f, auto& g) { f.write("g.npy", npyOf<float>(g, ">f4", true)); }, ""},
    {"analyse GSF with XReal", "analyse", "g.gsf",
     [](auto& f, auto& g) { f.write("g.gsf", gsfOf(g, "XReal = 96\nYReal = 80\nXYUnits = m\n")); },
     "  \"pixel_size\": [2, 2],\n  \"unit\": \"m\",", ", \"side_length\": 10}"},
    // Pixels twice as high as wide: each kept as it is, a side told in sqrt(2 x 4) = 2.83; the
    // unit shown by its symbol.
    {"analyse GSF with pixels that are not square", "analyse", "g.gsf",
     [](auto& f, auto& g) {
         f.write("g.gsf", gsfOf(g, "XReal = 96\nYReal = 160\nXYUnits = um\n"));
     },
     "  \"pixel_size\": [2, 4],\n  \"unit\": \"µm\",", ", \"side_length\": 14.142135623730951}"},
    {"analyse a .gwy channel", "analyse", "g.gwy",
     [](auto& f, auto& g) { f.write("g.gwy", gwyOf(g, 96, 80)); },
     "  \"pixel_size\": [2, 2],\n  \"unit\": \"m\",", ", \"side_length\": 10}"},
    // The same surface as .npy above: the same exponent; the increments in metres.
    {"analyse X3P of float64 values", "analyse", "g.x3p",
     [](auto& f, auto& g) {
         f.write("g.x3p", x3pOf(g, {'D', 2e-6, 2e-6}));
     },
     "  \"pixel_size\": [1.9999999999999999e-06, 1.9999999999999999e-06],\n  \"unit\": \"m\",",
     ", \"side_length\": 9.9999999999999991e-06}"},
    {"analyse X3P of int16 values over pixels that are not square", "analyse", "g.x3p",
     [](auto& f, auto& g) {
         f.write("g.x3p", x3pOf(g, {'I', 2, 4, 0.25}));
     },
     "  \"pixel_size\": [2, 4],\n  \"unit\": \"m\",", ", \"side_length\": 14.142135623730951}"},
    {"analyse X3P with its values in main.xml", "analyse", "g.x3p",
     [](auto& f, auto& g) {
         f.write("g.x3p", x3pOf(g, {'D', 2, 2, 1, true}));
     },
     "  \"pixel_size\": [2, 2],\n  \"unit\": \"m\",", ", \"side_length\": 10}"},
    {"analyse a text export with a header of comment lines", "analyse", "h.txt",
     [](auto& f, auto& g) { f.write("h.txt", kExportHeader + textMatrix(g)); },
     "  \"pixel_size\": [2, 2],\n  \"unit\": \"µm\",", ", \"side_length\": 10}"},
    {"analyse a text export with comments among and after its rows", "analyse", "c.txt",
     [](auto& f, auto& g) { f.write("c.txt", withComments(textMatrix(g))); }, ""},
    {"fit the results of a GeoTIFF run", "fit", "g.tif",
     [](auto& f, auto& g) { writeRaster(f.path("g.tif"), "GTiff", g, GDT_Float32, 1, kTwoMetres); },
     "  \"pixel_size\": [2, 2],\n  \"unit\": null,", ", \"side_length\": 10}"},
};

void PrintTo(const ScalingFormatCase& c, std::ostream* out) {
    *out << c.name;
}

// The JSON line of `key`; the exponent's keys each have one to themselves.
std::string jsonLine(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\n  \"" + key + "\":");
    return at == std::string::npos ? "" : json.substr(at + 1, json.find('\n', at + 1) - at - 1);
}

// The JSON of `command` over `file`, after a run over odd sides 5 ... 15 for fit.
std::string scalingJson(const TempFolder& folder, const std::string& command,
                        const std::string& file) {
    if (command == "fit") {
        const std::vector<std::string> run = {"run",     "--input", file,  "--progression-file",
                                              "a.txt",   "--shift", "0.5", "0.5",
                                              "--quiet", "--yes"};
        EXPECT_EQ(runCli(folder.path(""), run).status, 0) << file;
    }
    const ProgramRun outcome = runCli(folder.path(""), {command, file, "--json"});
    EXPECT_EQ(outcome.status, 0) << file << ": " << outcome.err;
    return outcome.out;
}

class ScalingFormats : public testing::TestWithParam<ScalingFormatCase> {};

TEST_P(ScalingFormats, GiveTheTextMatrixExponentAndThePixelSize) {
    const ScalingFormatCase& c = GetParam();
    std::mt19937 random(11);
    Grid grid(40, std::vector<double>(48));  // quarters: exact in float32
    for (auto& row : grid)
        for (double& v : row) v = std::uniform_int_distribution<int>(-400, 400)(random) / 4.0;
    TempFolder folder;
    folder.write("a.txt", "6\n25 49 81 121 169 225\n");
    folder.write("g.txt", textMatrix(grid));
    c.write(folder, grid);
    const std::string reference = scalingJson(folder, c.command, "g.txt");
    const std::string json = scalingJson(folder, c.command, c.file);

    const std::string hurst = jsonLine(reference, "hurst");
    ASSERT_TRUE(!hurst.empty() && hurst.find("null") == std::string::npos) << reference;
    for (const char* key : {"hurst", "hurst_ci90", "fit_sides"})
        EXPECT_EQ(jsonLine(json, key), jsonLine(reference, key)) << key;
    const bool hasUnits = *c.units != '\0';
    EXPECT_EQ(reference.find("pixel_size"), std::string::npos);
    EXPECT_EQ(json.find("pixel_size") != std::string::npos, hasUnits) << json;
    EXPECT_NE(json.find(c.units), std::string::npos) << json;
    EXPECT_NE(json.find("\"side\": 5, \"area\": 25, "), std::string::npos);
    if (hasUnits) {
        EXPECT_NE(json.find(c.sideFive), std::string::npos) << json;
    }
    EXPECT_EQ(json.find("side_length") != std::string::npos, hasUnits) << json;
}

INSTANTIATE_TEST_SUITE_P(, ScalingFormats, testing::ValuesIn(kCases));

// What analyse says on standard error about a file: the reason a file cannot be read, and what a
// number it prints may not mean.
struct ScalingMessageCase {
    const char* name;
    std::function<std::string(const TempFolder&)> write;  // the file's name
    const char* message;
};

// 40 x 40 cells of 3 seconds of arc whose centre lies at 36.6 degrees north.
const double kArcSeconds[6] = {-120.0, 1.0 / 1200, 0.0, 36.6 + 20.0 / 1200, 0.0, -1.0 / 1200};
const char* const kWgs84 =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
    "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433],AUTHORITY[\"EPSG\",\"4326\"]]";

Grid rampGrid() {
    Grid grid(40, std::vector<double>(40));
    for (int i = 0; i < 40; ++i)
        for (int j = 0; j < 40; ++j) grid[i][j] = (i * 7 + j * 13) % 17;
    return grid;
}

const ScalingMessageCase kMessages[] = {
    {"a file that is not there", [](auto&) { return std::string("absent.txt"); },
     "vantrel-cli: Cannot load the surface absent.txt: No such file or directory\n"},
    {"a geographic GeoTIFF",
     [](auto& f) {
         writeRaster(f.path("dem.tif"), "GTiff", rampGrid(), GDT_Float32, 1, kArcSeconds, 1,
                     kWgs84);
         return std::string("dem.tif");
     },
     "dem.tif: the cells are 0.000833333 x 0.000833333 degree, which is not square on the "
     "ground: about 74.6 m x 92.5 m at the raster's centre (latitude 36.60); the sides are "
     "told in degrees, so reproject it to a metric grid for sides in metres\n"},
    {"an X3P profile",
     [](auto& f) {
         f.write("p.x3p", zipOf({{"main.xml", x3pDocument("PRF", "", "")}}));
         return std::string("p.x3p");
     },
     "vantrel-cli: Cannot load the surface p.x3p: p.x3p: is a profile (FeatureType PRF), not a "
     "surface; only surfaces (FeatureType SUR) can be analysed\n"},
    {"a text matrix with a missing value",
     [](auto& f) {
         f.write("n.npy", npyOf<double>({{1, 2}, {3, std::nan("")}}, "<f8", false));
         return std::string("n.npy");
     },
     "vantrel-cli: Cannot load the surface n.npy: n.npy: 1 of 4 cells hold no value; the first "
     "is in row 2, column 2 (--crop-valid keeps the largest rectangle without them)\n"},
    {"a text header with sizes in units that cannot be compared",
     [](auto& f) {
         f.write("h.txt", "# Width: 40 px\n# Height: 2 mm\n" + textMatrix(rampGrid()));
         return std::string("h.txt");
     },
     "h.txt: the header gives the width in px and the height in mm, which cannot be compared: the "
     "pixel size is not known\n"},
};

void PrintTo(const ScalingMessageCase& c, std::ostream* out) {
    *out << c.name;
}

class ScalingMessages : public testing::TestWithParam<ScalingMessageCase> {};

TEST_P(ScalingMessages, SayWhatIsWrongOnStandardError) {
    TempFolder folder;
    const std::string file = GetParam().write(folder);
    const ProgramRun outcome = runCli(folder.path(""), {"analyse", file});
    EXPECT_EQ(outcome.err, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(, ScalingMessages, testing::ValuesIn(kMessages));

// Without GDAL (here a library file of the right name that is empty, as a damaged install
// leaves it), a raster names the Debian package to install.
TEST(MissingGdal, ARasterNamesThePackageToInstall) {
    TempFolder folder;
    writeRaster(folder.path("g.tif"), "GTiff", rampGrid());
    folder.write(VANTREL_GDAL_SONAME, "");
    const char* before = std::getenv("LD_LIBRARY_PATH");
    const std::string kept = before ? before : "";
    setenv("LD_LIBRARY_PATH", folder.path("").c_str(), 1);
    const ProgramRun outcome = runCli(folder.path(""), {"analyse", "g.tif"});
    if (before)
        setenv("LD_LIBRARY_PATH", kept.c_str(), 1);
    else
        unsetenv("LD_LIBRARY_PATH");
    EXPECT_EQ(outcome.status, 1);
    const std::string start =
        "vantrel-cli: Cannot load the surface g.tif: g.tif: GDAL, which reads rasters, cannot be "
        "loaded: ";
    EXPECT_EQ(outcome.err.substr(0, start.size()), start) << outcome.err;
    EXPECT_NE(outcome.err.find("file too short (install the Debian package libgdal"),
              std::string::npos)
        << outcome.err;
}

}  // namespace

// The unit of the values labels the plot's value axis; nothing else about the plot changes.
TEST(ScalingPlot, TheValuesUnitLabelsTheValueAxis) {
    Grid grid(40, std::vector<double>(48));
    for (std::size_t i = 0; i < grid.size(); ++i)
        for (std::size_t j = 0; j < grid[i].size(); ++j) grid[i][j] = double((i * 7 + j * j) % 23);
    TempFolder folder;
    folder.write("plain.gsf", gsfOf(grid));
    folder.write("metres.gsf", gsfOf(grid, "ZUnits = m\n"));
    folder.write("plain.txt", textMatrix(grid));
    for (const char* name : {"plain.gsf", "metres.gsf", "plain.txt"})
        ASSERT_EQ(runCli(folder.path(""),
                         {"analyse", name, "--plot", std::string(name) + ".svg", "--json"})
                      .status,
                  0)
            << name;
    const std::string plain = readFile(folder.path("plain.gsf.svg"));
    EXPECT_FALSE(plain.empty());
    EXPECT_EQ(plain, readFile(folder.path("plain.txt.svg")));
    EXPECT_NE(plain, readFile(folder.path("metres.gsf.svg")));
}
