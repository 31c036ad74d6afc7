// "Map roughness..." on the headless platform: why there is no map, stopping it, and the figure
// of a fractional Brownian surface whose exponent is known.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "dialog_fixture.h"
#include "fbm_surface.h"
#include "npy_bytes.h"
#include "plot_files.h"
#include "plot_window.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A smooth but not flat surface: every tile has an exponent.
std::vector<double> waves(int R, int C) {
    std::vector<double> values;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) values.push_back(std::sin(i * 0.37) + std::cos(j * 0.23 + i));
    return values;
}

class MapRoughnessTest : public MainDialogTest {
  protected:
    // Chooses the menu entry for `input` and checks that the dialog is as it was before.
    void mapRoughness(const std::string& input) {
        window.type(kIdcInputFile, input);
        window.chooseSystemCommand(kIdmMapRoughness);
        EXPECT_FALSE(dialog.running());
        EXPECT_FALSE(window.ended());
        EXPECT_EQ(platform.waitCursorBalance(), 0);
        EXPECT_TRUE(window.titles().empty() || window.titles().back() == "Vantrel");
    }

    std::string texts() const {
        std::string all;
        for (const SceneMark& mark : platform.plots().back().scene.marks)
            if (mark.kind == SceneMark::Kind::kText) all += mark.text + "\n";
        return all;
    }
};

}  // namespace

TEST_F(MapRoughnessTest, SaysWhyThereIsNoMap) {
    std::vector<double> centreMissing = waves(256, 256);
    centreMissing[128 * 256 + 128] = kNaN;  // within every tile's reach
    const std::string missing = (folder() / "gone.npy").string();
    const std::string small = writeFile("small.npy", npyOfDoubles(waves(40, 40), 40, 40));
    const std::string holed = writeFile("holed.npy", npyOfDoubles(centreMissing, 256, 256));
    const std::string flat =
        writeFile("flat.npy", npyOfDoubles(std::vector<double>(256 * 256, 2.5), 256, 256));
    const std::pair<std::string, std::string> cases[] = {
        {"",
         "Map roughness needs a surface file: type its name in Input file, or choose it with the "
         "\"...\" button beside it."},
        {missing, "Error loading data\n\n" + missing + "\nNo such file or directory"},
        {small, "Cannot map " + small + ": The tile (128) is larger than the surface (40 x 40)"},
        {holed, "Every tile of " + holed +
                    " holds or reaches a missing value: there is no roughness to map."},
        {flat, "No tile of " + flat +
                   " has a Hurst exponent: its residuals are 0 or too few in every tile."},
    };
    for (const auto& [input, message] : cases) {
        SCOPED_TRACE(input);
        const std::size_t before = messages().size();
        mapRoughness(input);
        ASSERT_EQ(messages().size(), before + 1);
        EXPECT_EQ(messages().back(), message);
    }
    EXPECT_TRUE(platform.plots().empty());
}

// Escape stops the map without a question and leaves the dialog open; the next map is made.
TEST_F(MapRoughnessTest, EscapeStopsTheMap) {
    const std::string input = writeFile("waves.npy", npyOfDoubles(waves(512, 512), 512, 512));
    platform.queueWhileRunning([&] {
        EXPECT_TRUE(dialog.running());
        EXPECT_EQ(window.titles().back(), "Vantrel - mapping roughness");
        window.click(kIdcCalculate);  // ignored while the map is made
        window.pressEscape();
    });
    mapRoughness(input);
    EXPECT_EQ(
        messages(),
        (std::vector<std::string>{"Map roughness was stopped: there is no map of " + input + "."}));
    EXPECT_TRUE(platform.plots().empty());
    mapRoughness(input);
    EXPECT_EQ(platform.plots().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(input + ".out.txt"));  // Calculate never ran
}

// Tiles of 128 every 64 cells on 256 x 384 cells: 3 rows of 5 tiles, the top-left one reaching
// a missing value. The exponent of the surface comes back, each tile at its place.
TEST_F(MapRoughnessTest, ShowsTheMapOfAFractionalBrownianSurface) {
    constexpr int R = 256, C = 384;
    std::string error;
    std::vector<double> surface = makeFbmPair(R, C, 0.7, 11, error).first;
    if (surface.empty()) GTEST_SKIP() << error;
    surface[0] = kNaN;
    const std::string bytes = npyOfDoubles(surface, R, C);
    // Read by its content; named so that Save could take it for a plot.
    const std::string input = writeFile("fbm.svg", bytes);
    mapRoughness(input);
    ASSERT_EQ(platform.plots().size(), 1u) << (messages().empty() ? "" : messages().back());
    const PlotWindowRequest& plot = platform.plots()[0];
    EXPECT_EQ(plot.title, "Map roughness");
    const std::string head = input +
                             ": 256 x 384\nTiles 128 x 128 cells every 64 cells: 3 x 5 tiles, "
                             "sides 5 to 31\nH: median ";
    ASSERT_EQ(plot.summary.rfind(head, 0), 0u) << plot.summary;
    const double median = std::stod(plot.summary.substr(head.size()));
    EXPECT_NEAR(median, 0.7, 0.1);
    EXPECT_EQ(plot.copyText.rfind(plot.summary + "\nrow,column,x,y,H,lo,hi,flags", 0), 0u);

    // The colour map: one pixel per tile, the top row first; grey only where the value is missing.
    const SceneMark* image = nullptr;
    for (const SceneMark& mark : plot.scene.marks)
        if (mark.kind == SceneMark::Kind::kImage && !image) image = &mark;
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->imageWidth, 5);
    EXPECT_EQ(image->imageHeight, 3);
    for (std::size_t k = 0; k < image->pixels.size(); ++k)
        EXPECT_EQ(image->pixels[k] == 0xC8C8C8, k == 0) << k;
    for (const char* text : {"Hurst exponent H\n", "\ncolumn\n", "\nrow\n", "Tiles of 128 x 128"})
        EXPECT_NE(texts().find(text), std::string::npos) << text;

    // Saved where the user says, never over the surface it was made from.
    const std::string svg = (folder() / "map.svg").string();
    platform.queueFileDialogAnswer(svg);
    savePlotAs(platform, plot);
    EXPECT_NE(readFile(svg).find("Hurst exponent H"), std::string::npos);
    platform.queueFileDialogAnswer(input);
    savePlotAs(platform, plot);
    EXPECT_NE(messages().back().find("is the same file as the input"), std::string::npos)
        << messages().back();
    EXPECT_EQ(readFile(input), bytes);
}
