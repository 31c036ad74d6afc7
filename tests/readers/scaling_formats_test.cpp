// vantrel-cli analyse and fit over the file formats: the exponent the text matrix of the same
// values gives, and the pixel size where the file keeps one.

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <random>

#include "child_process.h"
#include "surface_bytes.h"
#include "temp_folder.h"

namespace {

// Quarters, exact in float32: every format holds the same doubles as the text matrix.
Grid quarterGrid(int R, int C) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> step(-400, 400);
    Grid grid(R, std::vector<double>(C));
    for (auto& row : grid)
        for (double& v : row) v = step(random) / 4.0;
    return grid;
}

// The JSON line of `key`, which the exponent's keys each have to themselves.
std::string jsonLine(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\n  \"" + key + "\":");
    if (at == std::string::npos) return "";
    return json.substr(at + 1, json.find('\n', at + 1) - at - 1);
}

const double kTwoMetres[6] = {0.0, 2.0, 0.0, 0.0, 0.0, -2.0};
const char* const kAreas = "6\n25 49 81 121 169 225\n";  // odd sides 5 ... 15

struct ScalingFormatCase {
    const char* name;
    const char* command;  // analyse, or fit after a run over the file
    std::function<std::string(const TempFolder&, const Grid&)> write;  // returns the file's name
    std::vector<std::string> readOptions;
    const char* units;  // the JSON's pixel size and unit lines; "" where it has none
};

const ScalingFormatCase kCases[] = {
    {"analyse .npy",
     "analyse",
     [](auto& f, auto& g) {
         f.write("g.npy", npyOf<double>(g, "<f8", false));
         return "g.npy";
     },
     {},
     ""},
    {"analyse .npy under another name, --format npy",
     "analyse",
     [](auto& f, auto& g) {
         f.write("g.dat", npyOf<float>(g, ">f4", true));
         return "g.dat";
     },
     {"--format", "npy"},
     ""},
    {"analyse GSF with XReal",
     "analyse",
     [](auto& f, auto& g) {
         f.write("g.gsf", gsfOf(g, "XReal = 80\nYReal = 80\nXYUnits = m\n"));
         return "g.gsf";
     },
     {},
     "  \"pixel_size\": [2, 2],\n  \"unit\": \"m\","},
    {"fit the results of a GeoTIFF run",
     "fit",
     [](auto& f, auto& g) {
         writeRaster(f.path("g.tif"), "GTiff", g, GDT_Float32, 1, kTwoMetres);
         return "g.tif";
     },
     {},
     "  \"pixel_size\": [2, 2],\n  \"unit\": null,"},
};

void PrintTo(const ScalingFormatCase& c, std::ostream* out) {
    *out << c.name;
}

// The JSON of `command` over `file` in folder, after a run over the areas for fit.
std::string scalingJson(const TempFolder& folder, const std::string& command,
                        const std::string& file, std::vector<std::string> readOptions) {
    if (command == "fit") {
        std::vector<std::string> run = {"run",     "--input", file,  "--progression-file",
                                        "a.txt",   "--shift", "0.5", "0.5",
                                        "--quiet", "--yes"};
        run.insert(run.end(), readOptions.begin(), readOptions.end());
        EXPECT_EQ(runCli(folder.path(""), run).status, 0) << file;
    }
    std::vector<std::string> args = {command, file, "--json"};
    args.insert(args.end(), readOptions.begin(), readOptions.end());
    const ProgramRun outcome = runCli(folder.path(""), args);
    EXPECT_EQ(outcome.status, 0) << file << ": " << outcome.err;
    return outcome.out;
}

class ScalingFormats : public testing::TestWithParam<ScalingFormatCase> {};

TEST_P(ScalingFormats, GiveTheTextMatrixExponentAndThePixelSize) {
    const ScalingFormatCase& c = GetParam();
    const Grid grid = quarterGrid(40, 40);
    TempFolder folder;
    folder.write("a.txt", kAreas);
    folder.write("g.txt", textMatrix(grid));
    const std::string reference = scalingJson(folder, c.command, "g.txt", {});
    const std::string json = scalingJson(folder, c.command, c.write(folder, grid), c.readOptions);

    const std::string hurst = jsonLine(reference, "hurst");
    ASSERT_TRUE(!hurst.empty() && hurst.find("null") == std::string::npos) << reference;
    for (const char* key : {"hurst", "hurst_ci90", "fit_sides"})
        EXPECT_EQ(jsonLine(json, key), jsonLine(reference, key)) << key;
    EXPECT_EQ(reference.find("pixel_size"), std::string::npos);
    if (*c.units) {
        EXPECT_NE(json.find(c.units), std::string::npos) << json;
        EXPECT_NE(json.find("\"side\": 5, \"area\": 25"), std::string::npos);
        EXPECT_NE(json.find("\"side_length\": 10}"), std::string::npos) << json;
    } else {
        EXPECT_EQ(json.find("pixel_size"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(, ScalingFormats, testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
});

}  // namespace
