#include "scaling_report.h"

#include <cmath>
#include <cstdio>

namespace {

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// A side of `cells` cells in the file's units, as people read lengths.
std::string sideLength(const SideUnit& unit, double cells) {
    return format("%g", cells * unit.length) + (unit.name.empty() ? "" : " " + unit.name);
}

}  // namespace

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    return format("%.17g", value);
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string scalingSummary(const ScalingResult& result, const std::string& source) {
    const ScalingTable& table = result.table;
    std::string text =
        source + ": " + std::to_string(table.rows) + " x " + std::to_string(table.columns) + "\n";
    if (result.defined) {
        text += "Hurst exponent H = " + format("%.3f", result.hurst) + ", 90% interval " +
                format("%.3f", result.low) + " to " + format("%.3f", result.high) + "\n";
        text += "Fractal dimension D = 3 - H = " + format("%.3f", result.fractalDimension()) + "\n";
        text += "Fitted sides " + std::to_string(result.fit.firstSide) + " to " +
                std::to_string(result.fit.lastSide) + ": " + std::to_string(result.fit.points) +
                " of " + std::to_string(table.points.size()) + " points\n";
        if (result.sideUnit.known())
            text += "In the file's units: sides " +
                    sideLength(result.sideUnit, result.fit.firstSide) + " to " +
                    sideLength(result.sideUnit, result.fit.lastSide) + " (a cell is " +
                    sideLength(result.sideUnit, 1) + ")\n";
    } else {
        text += "Hurst exponent H: not defined (no line could be fitted)\n";
    }
    if (const auto& run = result.resultsSettings)
        text += std::string("Results written with shifts ") + format("%g", run->nShift) + " " +
                format("%g", run->mShift) + (run->normalised ? ", normalised data" : "") +
                (run->found ? " (found by checking them against the data)" : "") + "\n";
    for (const std::string& warning : result.warnings) text += "Warning: " + warning + "\n";
    return text;
}

std::string scalingJson(const ScalingResult& result, const std::string& source) {
    const bool defined = result.defined;
    auto orNull = [&](double value) { return defined ? jsonNumber(value) : std::string("null"); };
    std::string json = "{\n";
    json += "  \"source\": " + jsonString(source) + ",\n";
    json += "  \"rows\": " + std::to_string(result.table.rows) + ",\n";
    json += "  \"columns\": " + std::to_string(result.table.columns) + ",\n";
    const SideUnit& unit = result.sideUnit;
    if (unit.known()) {
        json += "  \"pixel_size\": [" + jsonNumber(unit.pixelWidth) + ", " +
                jsonNumber(unit.pixelHeight) + "],\n";
        json += "  \"unit\": " + (unit.name.empty() ? "null" : jsonString(unit.name)) + ",\n";
    }
    json += "  \"hurst\": " + orNull(result.hurst) + ",\n";
    json += "  \"hurst_ci90\": " +
            (defined ? "[" + jsonNumber(result.low) + ", " + jsonNumber(result.high) + "]"
                     : std::string("null")) +
            ",\n";
    json += "  \"fractal_dimension\": " + orNull(result.fractalDimension()) + ",\n";
    json += "  \"fit_sides\": " +
            (defined ? "[" + std::to_string(result.fit.firstSide) + ", " +
                           std::to_string(result.fit.lastSide) + "]"
                     : std::string("null")) +
            ",\n";
    json += "  \"fit_points\": " + std::to_string(result.fit.points) + ",\n";
    json += "  \"warnings\": [";
    for (std::size_t k = 0; k < result.warnings.size(); ++k)
        json += (k ? ", " : "") + jsonString(result.warnings[k]);
    json += "],\n  \"warning_codes\": [";
    for (std::size_t k = 0; k < result.warningCodes.size(); ++k)
        json += (k ? ", " : "") + jsonString(result.warningCodes[k]);
    json += "],\n  \"bias_corrected\": " + std::string(result.biasCorrected ? "true" : "false");
    if (const auto& run = result.resultsSettings)
        json += ",\n  \"results_shifts\": [" + jsonNumber(run->nShift) + ", " +
                jsonNumber(run->mShift) +
                "],\n  \"results_normalised\": " + (run->normalised ? "true" : "false");
    json += ",\n  \"table\": [";
    const auto& points = result.table.points;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const ScalingPoint& p = points[k];
        json +=
            std::string(k ? "," : "") + "\n    {\"side\": " + std::to_string(p.side) +
            ", \"area\": " + std::to_string(p.area) + ", \"residual\": " + jsonNumber(p.residual) +
            ", \"sigma2\": " + jsonNumber(p.sigma2) +
            ", \"fitted\": " + (p.fitted ? "true" : "false") +
            (unit.known() ? ", \"side_length\": " + jsonNumber(p.side * unit.length) : "") + "}";
    }
    json += points.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

std::string scalingTsv(const ScalingResult& result) {
    std::string text = "side\tarea\tresidual\tsigma2\tfitted\n";
    for (const ScalingPoint& p : result.table.points)
        text += std::to_string(p.side) + "\t" + std::to_string(p.area) + "\t" +
                format("%.17g", p.residual) + "\t" + format("%.17g", p.sigma2) + "\t" +
                (p.fitted ? "1" : "0") + "\n";
    return text;
}
