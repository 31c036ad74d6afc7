#include "multifractal_report.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "scaling_report.h"

namespace {

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string jsonArray(const std::vector<double>& values) {
    std::string text = "[";
    for (std::size_t k = 0; k < values.size(); ++k) text += (k ? ", " : "") + jsonNumber(values[k]);
    return text + "]";
}

// The value of q where it is a whole number or a half, as people write it.
std::string qText(double q) {
    return format("%g", q);
}

std::size_t indexOfQ(const Spectrum& s, double q) {
    for (std::size_t k = 0; k < s.q.size(); ++k)
        if (s.q[k] == q) return k;
    return s.q.size();
}

}  // namespace

std::string multifractalSummary(const MultifractalResult& result, const std::string& source) {
    const Spectrum& s = result.spectrum;
    std::string text =
        source + ": " + std::to_string(result.rows) + " x " + std::to_string(result.columns) +
        ", " + (result.kind == ResidualKind::kMeasure ? "a measure" : "a surface") + ", shifts " +
        format("%g", result.nShift) + " " + format("%g", result.mShift) + "\n";
    if (result.defined()) {
        const std::size_t two = indexOfQ(s, 2.0);
        if (two < s.q.size())
            text += "h(2) = " + format("%.3f", s.h[two]) + ", 90% interval " +
                    format("%.3f", result.hLow[two]) + " to " + format("%.3f", result.hHigh[two]) +
                    "\n";
        if (s.q.size() >= 2) {
            text += "Width h(" + qText(s.q.front()) + ") - h(" + qText(s.q.back()) +
                    ") = " + format("%.3f", result.width) + "\n";
            text += "Spectrum width in alpha = " + format("%.3f", result.alphaWidth) + "\n";
        }
        int fitted = 0;
        for (const SideFluctuations& side : s.sides) fitted += side.boxes > side.zeroBoxes;
        if (!s.sides.empty())
            text += "Sides " + std::to_string(s.sides.front().side) + " to " +
                    std::to_string(s.sides.back().side) + ": " + std::to_string(fitted) +
                    " fitted\n";
        if (result.test.done)
            text += "Test against " + std::to_string(result.test.count) +
                    " phase-randomised surrogates: p = " + format("%.3f", result.test.pValue) +
                    ", " + result.verdict() + "\n";
        else
            text += "Not tested against surrogates\n";
    } else {
        text += "No spectrum could be fitted\n";
    }
    for (const std::string& warning : result.warnings) text += "Warning: " + warning + "\n";
    return text;
}

std::string multifractalJson(const MultifractalResult& result, const std::string& source) {
    const Spectrum& s = result.spectrum;
    std::string text = "{\n";
    text += "  \"file\": " + jsonString(source) + ",\n";
    text += "  \"rows\": " + std::to_string(result.rows) +
            ", \"columns\": " + std::to_string(result.columns) + ",\n";
    text +=
        "  \"kind\": " + jsonString(result.kind == ResidualKind::kMeasure ? "measure" : "surface") +
        ",\n";
    text +=
        "  \"shift\": [" + jsonNumber(result.nShift) + ", " + jsonNumber(result.mShift) + "],\n";
    text += "  \"q\": " + jsonArray(s.q) + ",\n";
    text += "  \"h\": " + jsonArray(s.h) + ",\n";
    text += "  \"h_ci90\": [";
    for (std::size_t k = 0; k < result.hLow.size(); ++k)
        text += (k ? ", [" : "[") + jsonNumber(result.hLow[k]) + ", " +
                jsonNumber(result.hHigh[k]) + "]";
    text += "],\n";
    text += "  \"tau\": " + jsonArray(s.tau) + ",\n";
    text += "  \"alpha\": " + jsonArray(s.alpha) + ",\n";
    text += "  \"f_alpha\": " + jsonArray(s.fAlpha) + ",\n";
    text += "  \"width\": " + jsonNumber(result.defined() ? result.width : NAN) + ",\n";
    text += "  \"alpha_width\": " + jsonNumber(result.defined() ? result.alphaWidth : NAN) + ",\n";
    text += "  \"sides\": [";
    for (std::size_t k = 0; k < s.sides.size(); ++k)
        text += (k ? ", " : "") + std::to_string(s.sides[k].side);
    text += "],\n  \"boxes\": [";
    for (std::size_t k = 0; k < s.sides.size(); ++k)
        text += (k ? ", " : "") + std::to_string(s.sides[k].boxes);
    text += "],\n  \"zero_boxes\": [";
    for (std::size_t k = 0; k < s.sides.size(); ++k)
        text += (k ? ", " : "") + std::to_string(s.sides[k].zeroBoxes);
    text += "],\n  \"log_F\": [";
    for (std::size_t k = 0; k < s.sides.size(); ++k)
        text += (k ? ", " : "") + jsonArray(s.sides[k].logF);
    text += "],\n";
    text += "  \"surrogates\": " + std::to_string(result.test.count) + ",\n";
    text += "  \"p_value\": " + jsonNumber(result.test.done ? result.test.pValue : NAN) + ",\n";
    text += "  \"verdict\": " + jsonString(result.verdict()) + ",\n";
    text += "  \"warnings\": [";
    for (std::size_t k = 0; k < result.warnings.size(); ++k)
        text += (k ? ", " : "") + jsonString(result.warnings[k]);
    text += "]\n}\n";
    return text;
}

std::string multifractalTsv(const MultifractalResult& result) {
    const Spectrum& s = result.spectrum;
    auto number = [](double value) { return std::isfinite(value) ? format("%.10g", value) : ""; };
    std::string text = "q\th\th_low90\th_high90\ttau\talpha\tf_alpha\n";
    for (std::size_t k = 0; k < s.q.size(); ++k) {
        text += number(s.q[k]) + "\t" + number(s.h[k]) + "\t" +
                number(k < result.hLow.size() ? result.hLow[k] : NAN) + "\t" +
                number(k < result.hHigh.size() ? result.hHigh[k] : NAN) + "\t" + number(s.tau[k]) +
                "\t" + number(s.alpha[k]) + "\t" + number(s.fAlpha[k]) + "\n";
    }
    text += "\nside\tboxes\tzero_boxes";
    for (double q : s.q) text += "\tlnF(q=" + format("%g", q) + ")";
    text += "\n";
    for (const SideFluctuations& side : s.sides) {
        text += std::to_string(side.side) + "\t" + std::to_string(side.boxes) + "\t" +
                std::to_string(side.zeroBoxes);
        for (double logF : side.logF) {
            text += '\t';
            text += number(logF);
        }
        text += "\n";
    }
    return text;
}
