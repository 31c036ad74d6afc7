// Plot files: SVG whose texts are texts, PNG that reads back as its pixels, the format from the
// name's ending, and the same bytes for the same plot.

#include "plot_files.h"

#include <gtest/gtest.h>

#include <cstring>

#include "plot_figure.h"
#include "png_encoder.h"
#include "svg_writer.h"
#include "temp_folder.h"

#ifdef VANTREL_HAVE_CAIRO
#include <cairo.h>
#endif

namespace {

PlotScene sampleScene() {
    PlotFigure figure;
    figure.title = "Ra & <Rq>";
    PlotPanel panel;
    panel.x.label = "window side s";
    panel.y.label = "\xCF\x83\xC2\xB2(s) (m\xC2\xB2)";
    PlotSeries series;
    series.data = {{1, 1}, {2, 4}, {3, 9}};
    series.legend = "points";
    panel.series.push_back(series);
    figure.panels.push_back(panel);
    return layoutFigure(figure);
}

}  // namespace

TEST(PlotFormat, ComesFromTheNamesEnding) {
    const std::pair<const char*, std::optional<PlotFormat>> cases[] = {
        {"a.svg", PlotFormat::kSvg}, {"a.PNG", PlotFormat::kPng}, {"dir/a.Pdf", PlotFormat::kPdf},
        {"a.svg.txt", std::nullopt}, {"svg", std::nullopt},       {"", std::nullopt},
    };
    for (const auto& [name, format] : cases) EXPECT_EQ(plotFormatOf(name), format) << name;
}

TEST(SvgWriter, KeepsTextsAsEditableText) {
    const std::string svg = sceneSvg(sampleScene());
    EXPECT_NE(svg.find("<title>Ra &amp; &lt;Rq&gt;</title>"), std::string::npos);
    EXPECT_NE(svg.find(">Ra &amp; &lt;Rq&gt;</text>"), std::string::npos);
    EXPECT_NE(svg.find(">window side s</text>"), std::string::npos);
    // The y label turned upright, in UTF-8 with its sigma and superscripts.
    EXPECT_NE(svg.find("transform=\"rotate(-90 "), std::string::npos);
    EXPECT_NE(svg.find(">\xCF\x83\xC2\xB2(s) (m\xC2\xB2)</text>"), std::string::npos);
    EXPECT_EQ(svg.find("<path"), std::string::npos);  // no traced glyphs
    EXPECT_EQ(svg, sceneSvg(sampleScene()));
}

TEST(PngEncoder, GivesAFileThatReadsBackAsItsPixels) {
    const std::vector<std::uint32_t> pixels = {0xFF0000, 0x00FF00, 0x0000FF,
                                               0x123456, 0xFFFFFF, 0x000000};
    const std::string png = encodePng(3, 2, pixels);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
#ifdef VANTREL_HAVE_CAIRO
    struct Reader {
        const std::string* bytes;
        std::size_t at;
    } reader{&png, 0};
    cairo_surface_t* image = cairo_image_surface_create_from_png_stream(
        [](void* closure, unsigned char* data, unsigned int length) {
            auto* r = static_cast<Reader*>(closure);
            if (r->at + length > r->bytes->size()) return CAIRO_STATUS_READ_ERROR;
            std::memcpy(data, r->bytes->data() + r->at, length);
            r->at += length;
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(image), 3);
    ASSERT_EQ(cairo_image_surface_get_height(image), 2);
    const unsigned char* data = cairo_image_surface_get_data(image);
    const int stride = cairo_image_surface_get_stride(image);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] & 0xFFFFFF,
                      pixels[y * 3 + x])
                << x << "," << y;
    cairo_surface_destroy(image);
#endif
}

TEST(Base64, EncodesEveryRemainder) {
    EXPECT_EQ(base64(""), "");
    EXPECT_EQ(base64("f"), "Zg==");
    EXPECT_EQ(base64("fo"), "Zm8=");
    EXPECT_EQ(base64("foo"), "Zm9v");
    EXPECT_EQ(base64("foobar"), "Zm9vYmFy");
}

TEST(PlotFiles, WritesTheFormatTheNameAsksFor) {
    TempFolder temp;
    std::string error;
    const std::string svg = temp.path("plot.svg");
    ASSERT_TRUE(writePlotFile(sampleScene(), svg, 72, error)) << error;
    EXPECT_EQ(readFile(svg), sceneSvg(sampleScene()));
    EXPECT_FALSE(writePlotFile(sampleScene(), temp.path("plot.gif"), 72, error));
    EXPECT_FALSE(writePlotFile(sampleScene(), "/nonexistent/plot.svg", 72, error));
    EXPECT_EQ(error, "Error writing to /nonexistent/plot.svg");
    if (!plotFormatAvailable(PlotFormat::kPng)) {
        EXPECT_FALSE(writePlotFile(sampleScene(), temp.path("plot.png"), 72, error));
        EXPECT_NE(error.find("has no cairo"), std::string::npos) << error;
        return;
    }
    // A PNG has dpi / 72 pixels a point, and the same plot gives the same bytes.
    const auto png = renderPlot(sampleScene(), PlotFormat::kPng, 144);
    ASSERT_TRUE(png);
    auto bigEndian = [&](std::size_t at) {
        return (static_cast<unsigned char>((*png)[at]) << 24) |
               (static_cast<unsigned char>((*png)[at + 1]) << 16) |
               (static_cast<unsigned char>((*png)[at + 2]) << 8) |
               static_cast<unsigned char>((*png)[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), 1280u);
    EXPECT_EQ(bigEndian(20), 960u);
    EXPECT_EQ(*png, *renderPlot(sampleScene(), PlotFormat::kPng, 144));
    const auto pdf = renderPlot(sampleScene(), PlotFormat::kPdf, 72);
    ASSERT_TRUE(pdf);
    EXPECT_EQ(*pdf, *renderPlot(sampleScene(), PlotFormat::kPdf, 72));
}

TEST(SvgWriter, EmbedsImagesAsPngData) {
    PlotFigure figure;
    PlotPanel panel;
    panel.map = ColourMap{2, 1, {0.0, 1.0}, 0.0, 1.0, "z"};
    figure.panels.push_back(panel);
    const std::string svg = sceneSvg(layoutFigure(figure));
    EXPECT_NE(svg.find("xmlns:xlink=\"http://www.w3.org/1999/xlink\""), std::string::npos);
    // The map's two pixels: a PNG's signature in base64 starts "iVBORw0KGgo".
    EXPECT_NE(svg.find("xlink:href=\"data:image/png;base64,iVBORw0KGgo"), std::string::npos);
}
