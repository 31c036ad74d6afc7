#include "directional_report.h"

#include <cstdio>

#include "scaling_report.h"

namespace {

std::string fixed3(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string jsonEstimate(bool defined, double value, double low, double high) {
    if (!defined) return "null";
    return "{\"value\": " + jsonNumber(value) + ", \"ci90\": [" + jsonNumber(low) + ", " +
           jsonNumber(high) + "]}";
}

std::string line(const char* name, const ScalingResult& axis) {
    if (!axis.defined) return std::string(name) + ": not defined (no line could be fitted)\n";
    return std::string(name) + " = " + fixed3(axis.hurst) + ", 90% interval " + fixed3(axis.low) +
           " to " + fixed3(axis.high) + "\n";
}

// Warnings of either fit, each once.
std::vector<std::string> warningsOf(const DirectionalResult& result) {
    std::vector<std::string> all;
    for (const ScalingResult* axis : {&result.rows, &result.columns})
        for (const std::string& warning : axis->warnings) {
            bool seen = false;
            for (const std::string& kept : all) seen = seen || kept == warning;
            if (!seen) all.push_back(warning);
        }
    return all;
}

}  // namespace

std::string directionalSummary(const DirectionalResult& result) {
    std::string text = line("H along rows", result.rows);
    text += line("H along columns", result.columns);
    if (result.defined) {
        text += "Anisotropy (rows less columns) = " + fixed3(result.anisotropy) +
                ", 90% interval " + fixed3(result.low) + " to " + fixed3(result.high);
        if (result.low > 0.0)
            text += ": the rows are smoother than the columns\n";
        else if (result.high < 0.0)
            text += ": the rows are rougher than the columns\n";
        else
            text += ": no difference between the directions is shown\n";
    }
    for (const std::string& warning : warningsOf(result))
        text += "Warning (directional): " + warning + "\n";
    return text;
}

std::string directionalJsonMembers(const DirectionalResult& result) {
    const ScalingResult& r = result.rows;
    const ScalingResult& c = result.columns;
    std::string json;
    json += "  \"hurst_rows\": " + jsonEstimate(r.defined, r.hurst, r.low, r.high) + ",\n";
    json += "  \"hurst_columns\": " + jsonEstimate(c.defined, c.hurst, c.low, c.high) + ",\n";
    json += "  \"anisotropy\": " +
            jsonEstimate(result.defined, result.anisotropy, result.low, result.high) + ",\n";
    json += "  \"directional_warnings\": [";
    const std::vector<std::string> warnings = warningsOf(result);
    for (std::size_t k = 0; k < warnings.size(); ++k)
        json += (k ? ", " : "") + jsonString(warnings[k]);
    return json + "],\n";
}
