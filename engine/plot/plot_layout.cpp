// layoutFigure: every position, size and colour of a figure's marks, decided once here.

#include <algorithm>
#include <cmath>

#include "plot_figure.h"
#include "plot_ticks.h"

namespace {

constexpr double kTickFont = 10, kLabelFont = 12, kLegendFont = 10.5, kTitleFont = 14,
                 kNoteFont = 10, kNoteLine = 13, kLegendLine = 15;
constexpr SceneColour kBlack{0, 0, 0}, kWhite{255, 255, 255}, kNoteColour{150, 60, 0},
    kMissing{200, 200, 200};

struct Box {
    double left, top, right, bottom;
};

// Maps one axis' data values to scene coordinates between `low` and `high`.
struct Scale {
    bool logarithmic;
    double from, to, low, high;
    double t(double v) const { return logarithmic ? std::log10(v) : v; }
    double at(double v) const { return low + (t(v) - t(from)) / (t(to) - t(from)) * (high - low); }
    bool shows(double v) const { return !logarithmic || v > 0; }
};

SceneMark textMark(double x, double y, const std::string& text, double size, TextAnchor anchor,
                   SceneColour colour = kBlack) {
    SceneMark mark;
    mark.kind = SceneMark::Kind::kText;
    mark.points = {{x, y}};
    mark.text = text;
    mark.size = size;
    mark.anchor = anchor;
    mark.stroke = colour;
    return mark;
}

SceneMark lineMark(std::vector<ScenePoint> points, SceneColour colour, double width,
                   bool dashed = false) {
    SceneMark mark;
    mark.kind = SceneMark::Kind::kLine;
    mark.points = std::move(points);
    mark.stroke = colour;
    mark.lineWidth = width;
    mark.dashed = dashed;
    return mark;
}

SceneMark rectangleMark(const Box& box, SceneColour stroke, bool stroked, SceneColour fill,
                        bool filled) {
    SceneMark mark;
    mark.kind = SceneMark::Kind::kRectangle;
    mark.points = {{box.left, box.top}, {box.right, box.bottom}};
    mark.stroke = stroke;
    mark.stroked = stroked;
    mark.fill = fill;
    mark.filled = filled;
    return mark;
}

SceneMark circleMark(double x, double y, double radius, SceneColour colour, bool hollow) {
    SceneMark mark;
    mark.kind = SceneMark::Kind::kCircle;
    mark.points = {{x, y}};
    mark.size = radius;
    mark.stroke = colour;
    mark.fill = colour;
    mark.filled = !hollow;
    mark.lineWidth = 1.2;
    return mark;
}

// The data's range on one axis with a margin; a logarithmic axis spans at least half a decade.
void fillRange(PlotAxis& axis, const std::vector<double>& values) {
    if (axis.from < axis.to) return;
    double low = 1e300, high = -1e300;
    for (double v : values)
        if (std::isfinite(v) && (!axis.logarithmic || v > 0)) {
            low = std::min(low, axis.logarithmic ? std::log10(v) : v);
            high = std::max(high, axis.logarithmic ? std::log10(v) : v);
        }
    if (low > high) low = 0, high = 1;
    const double least = axis.logarithmic ? 0.5 : 1e-9 * std::max(1.0, std::fabs(low));
    if (high - low < least) {
        const double middle = (low + high) / 2;
        low = middle - std::max(least, std::fabs(middle) * 0.1) / 2;
        high = middle + std::max(least, std::fabs(middle) * 0.1) / 2;
    }
    const double pad = 0.04 * (high - low);
    low -= pad, high += pad;
    axis.from = axis.logarithmic ? std::pow(10.0, low) : low;
    axis.to = axis.logarithmic ? std::pow(10.0, high) : high;
}

// The part of the segment a-b inside the box (Liang-Barsky), or false when none is.
bool clipSegment(ScenePoint& a, ScenePoint& b, const Box& box) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - box.left, box.right - a.x, a.y - box.top, box.bottom - a.y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double r = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1) return false;
    }
    const ScenePoint start{a.x + t0 * dx, a.y + t0 * dy}, end{a.x + t1 * dx, a.y + t1 * dy};
    a = start, b = end;
    return true;
}

bool inside(const ScenePoint& p, const Box& box) {
    return p.x >= box.left - 1e-9 && p.x <= box.right + 1e-9 && p.y >= box.top - 1e-9 &&
           p.y <= box.bottom + 1e-9;
}

std::uint32_t paletteColour(double t) {
    static const double kStops[][3] = {
        {68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}};
    if (!std::isfinite(t)) return (kMissing.r << 16) | (kMissing.g << 8) | kMissing.b;
    t = std::clamp(t, 0.0, 1.0) * 4;
    const int k = std::min(3, static_cast<int>(t));
    const double f = t - k;
    std::uint32_t colour = 0;
    for (int c = 0; c < 3; ++c)
        colour = (colour << 8) | static_cast<std::uint32_t>(std::lround(
                                     kStops[k][c] + f * (kStops[k + 1][c] - kStops[k][c])));
    return colour;
}

SceneMark imageMark(const Box& box, int width, int height, std::vector<std::uint32_t> pixels) {
    SceneMark mark;
    mark.kind = SceneMark::Kind::kImage;
    mark.points = {{box.left, box.top}, {box.right, box.bottom}};
    mark.imageWidth = width;
    mark.imageHeight = height;
    mark.pixels = std::move(pixels);
    return mark;
}

class PanelLayout {
  public:
    PanelLayout(PlotPanel panel, const Box& cell, PlotScene& scene)
        : panel_(std::move(panel)), scene_(scene) {
        const double barRoom = panel_.map ? 78 : 0;
        box_ = {cell.left + 70, cell.top + 10 + (panel_.title.empty() ? 0 : 18),
                cell.right - 16 - barRoom, cell.bottom - 46};
        cell_ = cell;
        std::vector<double> xs, ys;
        for (const PlotSeries& s : panel_.series)
            for (const ScenePoint& p : s.data) xs.push_back(p.x), ys.push_back(p.y);
        if (panel_.map) {
            xs.push_back(0), xs.push_back(panel_.map->columns);
            ys.push_back(0), ys.push_back(panel_.map->rows);
        }
        fillRange(panel_.x, xs);
        fillRange(panel_.y, ys);
        x_ = {panel_.x.logarithmic, panel_.x.from, panel_.x.to, box_.left, box_.right};
        y_ = {panel_.y.logarithmic, panel_.y.from, panel_.y.to, box_.bottom, box_.top};
    }

    void draw() {
        if (!panel_.title.empty())
            scene_.marks.push_back(textMark((box_.left + box_.right) / 2, cell_.top + 18,
                                            panel_.title, kLabelFont, TextAnchor::kMiddle));
        if (panel_.map) drawMap();
        drawBands();
        scene_.marks.push_back(rectangleMark(box_, kBlack, true, kWhite, false));
        drawTicks();
        for (const PlotSeries& series : panel_.series) drawSeries(series);
        for (const PlotLabel& label : panel_.labels) {
            const ScenePoint at = place(label.at);
            if (inside(at, box_))
                scene_.marks.push_back(
                    textMark(at.x, at.y, label.text, kLegendFont, label.anchor, label.colour));
        }
        drawLegend();
        drawAxisLabels();
    }

  private:
    ScenePoint place(const ScenePoint& p) const { return {x_.at(p.x), y_.at(p.y)}; }

    void drawMap() {
        const ColourMap& map = *panel_.map;
        std::vector<std::uint32_t> pixels;
        pixels.reserve(map.values.size());
        const double span = map.high > map.low ? map.high - map.low : 1.0;
        for (double v : map.values) pixels.push_back(paletteColour((v - map.low) / span));
        scene_.marks.push_back(imageMark(box_, map.columns, map.rows, std::move(pixels)));
        // The colour bar, the highest value at the top.
        const Box bar{box_.right + 14, box_.top, box_.right + 28, box_.bottom};
        std::vector<std::uint32_t> ramp;
        for (int k = 255; k >= 0; --k) ramp.push_back(paletteColour(k / 255.0));
        scene_.marks.push_back(imageMark(bar, 1, 256, std::move(ramp)));
        scene_.marks.push_back(rectangleMark(bar, kBlack, true, kWhite, false));
        const Scale scale{false, map.low, map.high > map.low ? map.high : map.low + 1, bar.bottom,
                          bar.top};
        for (const AxisTick& tick : automaticTicks(false, scale.from, scale.to)) {
            const double y = scale.at(tick.value);
            scene_.marks.push_back(lineMark({{bar.right, y}, {bar.right + 4, y}}, kBlack, 1.0));
            scene_.marks.push_back(
                textMark(bar.right + 6, y + 3.5, tick.label, kTickFont, TextAnchor::kStart));
        }
        if (!map.label.empty()) {
            SceneMark label = textMark(cell_.right - 6, (bar.top + bar.bottom) / 2, map.label,
                                       kLabelFont, TextAnchor::kMiddle);
            label.vertical = true;
            scene_.marks.push_back(label);
        }
    }

    void drawBands() {
        for (const PlotBand& band : panel_.bands) {
            if (!x_.shows(band.from) || !x_.shows(band.to)) continue;
            const double a = std::clamp(x_.at(band.from), box_.left, box_.right);
            const double b = std::clamp(x_.at(band.to), box_.left, box_.right);
            if (b <= a) continue;
            scene_.marks.push_back(rectangleMark({a, box_.top, b, box_.bottom}, band.colour, false,
                                                 band.colour, true));
        }
    }

    void drawTicks() {
        const std::vector<AxisTick> xTicks = panel_.x.ticks.empty()
                                                 ? automaticTicks(x_.logarithmic, x_.from, x_.to)
                                                 : panel_.x.ticks;
        for (const AxisTick& tick : xTicks) {
            const double x = x_.at(tick.value);
            if (x < box_.left - 0.01 || x > box_.right + 0.01) continue;
            scene_.marks.push_back(lineMark({{x, box_.bottom}, {x, box_.bottom - 5}}, kBlack, 1.0));
            scene_.marks.push_back(
                textMark(x, box_.bottom + 14, tick.label, kTickFont, TextAnchor::kMiddle));
        }
        const std::vector<AxisTick> yTicks = panel_.y.ticks.empty()
                                                 ? automaticTicks(y_.logarithmic, y_.from, y_.to)
                                                 : panel_.y.ticks;
        for (const AxisTick& tick : yTicks) {
            const double y = y_.at(tick.value);
            if (y < box_.top - 0.01 || y > box_.bottom + 0.01) continue;
            scene_.marks.push_back(lineMark({{box_.left, y}, {box_.left + 5, y}}, kBlack, 1.0));
            scene_.marks.push_back(
                textMark(box_.left - 5, y + 3.5, tick.label, kTickFont, TextAnchor::kEnd));
        }
    }

    void drawSeries(const PlotSeries& series) {
        if (series.style == PlotSeries::Style::kMarkers) {
            for (const ScenePoint& p : series.data) {
                if (!x_.shows(p.x) || !y_.shows(p.y) || !std::isfinite(p.x) || !std::isfinite(p.y))
                    continue;
                const ScenePoint at = place(p);
                if (inside(at, box_))
                    scene_.marks.push_back(
                        circleMark(at.x, at.y, 2 * series.width, series.colour, series.hollow));
            }
            return;
        }
        std::vector<ScenePoint> run;
        auto flush = [&] {
            if (run.size() >= 2)
                scene_.marks.push_back(lineMark(run, series.colour, series.width, series.dashed));
            run.clear();
        };
        for (std::size_t k = 0; k + 1 < series.data.size(); ++k) {
            const ScenePoint& p = series.data[k];
            const ScenePoint& q = series.data[k + 1];
            if (!x_.shows(p.x) || !y_.shows(p.y) || !x_.shows(q.x) || !y_.shows(q.y)) {
                flush();
                continue;
            }
            ScenePoint a = place(p), b = place(q);
            if (!clipSegment(a, b, box_)) {
                flush();
                continue;
            }
            if (!run.empty() &&
                (std::fabs(run.back().x - a.x) > 1e-9 || std::fabs(run.back().y - a.y) > 1e-9))
                flush();
            if (run.empty()) run.push_back(a);
            run.push_back(b);
        }
        flush();
    }

    void drawLegend() {
        struct Entry {
            const PlotSeries* series;
            const PlotBand* band;
            std::string text;
        };
        std::vector<Entry> entries;
        for (const PlotSeries& s : panel_.series)
            if (!s.legend.empty()) entries.push_back({&s, nullptr, s.legend});
        for (const PlotBand& b : panel_.bands)
            if (!b.legend.empty()) entries.push_back({nullptr, &b, b.legend});
        for (const std::string& line : panel_.legendLines)
            entries.push_back({nullptr, nullptr, line});
        if (entries.empty()) return;
        double textWidth = 0;
        for (const Entry& e : entries)
            textWidth = std::max(textWidth, estimatedTextWidth(e.text, kLegendFont));
        const double width = 8 + 24 + textWidth + 8, height = entries.size() * kLegendLine + 8;
        double left = box_.left + 8, top = box_.top + 8;
        int fewest = -1;
        for (const auto& [atRight, atBottom] :
             {std::pair{false, false}, {true, true}, {true, false}, {false, true}}) {
            const double x = atRight ? box_.right - 8 - width : box_.left + 8;
            const double y = atBottom ? box_.bottom - 8 - height : box_.top + 8;
            const int hidden = marksUnder({x, y, x + width, y + height});
            if (fewest < 0 || hidden < fewest) fewest = hidden, left = x, top = y;
        }
        scene_.marks.push_back(rectangleMark({left, top, left + width, top + height},
                                             SceneColour{190, 190, 190}, true, kWhite, true));
        for (std::size_t k = 0; k < entries.size(); ++k) {
            const Entry& e = entries[k];
            const double middle = top + 4 + kLegendLine * (k + 0.5);
            const double sample = left + 8;
            if (e.series && e.series->style == PlotSeries::Style::kMarkers) {
                scene_.marks.push_back(circleMark(sample + 9, middle, 2 * e.series->width,
                                                  e.series->colour, e.series->hollow));
            } else if (e.series) {
                scene_.marks.push_back(lineMark({{sample, middle}, {sample + 18, middle}},
                                                e.series->colour, e.series->width,
                                                e.series->dashed));
            } else if (e.band) {
                scene_.marks.push_back(rectangleMark({sample, middle - 5, sample + 18, middle + 5},
                                                     e.band->colour, false, e.band->colour, true));
            }
            scene_.marks.push_back(
                textMark(sample + 24, middle + 3.8, e.text, kLegendFont, TextAnchor::kStart));
        }
    }

    // How many points of the panel's series, and of its lines sampled along their length, fall
    // in the box.
    int marksUnder(const Box& box) const {
        int count = 0;
        for (const SceneMark& mark : scene_.marks) {
            if (mark.kind == SceneMark::Kind::kCircle && inside(mark.points[0], box)) count += 4;
            if (mark.kind != SceneMark::Kind::kLine || mark.points.size() < 2 ||
                (mark.points.size() == 2 && mark.points[0].x == mark.points[1].x))
                continue;  // ticks
            for (std::size_t k = 0; k + 1 < mark.points.size(); ++k)
                for (int step = 0; step <= 20; ++step) {
                    const double t = step / 20.0;
                    const ScenePoint& a = mark.points[k];
                    const ScenePoint& b = mark.points[k + 1];
                    count += inside({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)}, box);
                }
        }
        return count;
    }

    void drawAxisLabels() {
        if (!panel_.x.label.empty())
            scene_.marks.push_back(textMark((box_.left + box_.right) / 2, box_.bottom + 34,
                                            panel_.x.label, kLabelFont, TextAnchor::kMiddle));
        if (!panel_.y.label.empty()) {
            SceneMark label = textMark(cell_.left + 16, (box_.top + box_.bottom) / 2,
                                       panel_.y.label, kLabelFont, TextAnchor::kMiddle);
            label.vertical = true;
            scene_.marks.push_back(label);
        }
    }

    PlotPanel panel_;
    PlotScene& scene_;
    Box cell_{}, box_{};
    Scale x_{}, y_{};
};

// The words of `text` in lines no wider than `width` at the note font.
std::vector<std::string> wrapped(const std::string& text, double width) {
    std::vector<std::string> lines;
    std::string line, word;
    auto place = [&] {
        if (word.empty()) return;
        const std::string longer = line.empty() ? word : line + " " + word;
        if (!line.empty() && estimatedTextWidth(longer, kNoteFont) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = longer;
        }
        word.clear();
    };
    for (char c : text) {
        if (c == ' ')
            place();
        else
            word += c;
    }
    place();
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

double estimatedTextWidth(const std::string& text, double size) {
    double width = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) width += c == ' ' ? 0.32 : (c >= 'A' && c <= 'Z') ? 0.7 : 0.58;
    return width * size;
}

PlotScene layoutFigure(const PlotFigure& figure) {
    PlotScene scene;
    scene.width = figure.width;
    scene.height = figure.height;
    scene.title = figure.title;
    scene.marks.push_back(
        rectangleMark({0, 0, figure.width, figure.height}, kWhite, false, kWhite, true));
    double top = 0;
    if (!figure.title.empty()) {
        SceneMark title =
            textMark(figure.width / 2, 22, figure.title, kTitleFont, TextAnchor::kMiddle);
        title.bold = true;
        scene.marks.push_back(title);
        top = 28;
    }
    std::vector<std::string> noteLines;
    for (const std::string& note : figure.notes)
        for (const std::string& line : wrapped(note, figure.width - 24)) noteLines.push_back(line);
    const double notesHeight = noteLines.empty() ? 0 : noteLines.size() * kNoteLine + 6;
    const int columns = std::max(1, figure.columns);
    const int rows = static_cast<int>((figure.panels.size() + columns - 1) / columns);
    const double cellWidth = figure.width / columns;
    const double cellHeight = rows > 0 ? (figure.height - top - notesHeight) / rows : 0;
    for (std::size_t k = 0; k < figure.panels.size(); ++k) {
        const double left = cellWidth * (k % columns), cellTop = top + cellHeight * (k / columns);
        PanelLayout(figure.panels[k], {left, cellTop, left + cellWidth, cellTop + cellHeight},
                    scene)
            .draw();
    }
    double y = figure.height - notesHeight + kNoteLine;
    for (const std::string& line : noteLines) {
        scene.marks.push_back(textMark(12, y, line, kNoteFont, TextAnchor::kStart, kNoteColour));
        y += kNoteLine;
    }
    return scene;
}
