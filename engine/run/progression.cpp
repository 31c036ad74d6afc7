#include "progression.h"

#include <cstdint>

#include "text_file.h"
#include "text_scan.h"

std::optional<std::string> ProgressionSpec::neverEndingRuleProblem() const {
    if (from > to) return std::nullopt;
    if (type == kLinear && step <= 0)
        return "Linear progression never ends: step " + std::to_string(step) +
               " must be at least 1";
    if (type == kLog && from <= 0)
        return "Logarithmic progression never ends: from " + std::to_string(from) +
               " must be at least 1";
    if (type == kLog && step <= 1)
        return "Logarithmic progression never ends: step " + std::to_string(step) +
               " must be at least 2";
    return std::nullopt;
}

AreaList ProgressionSpec::buildAreaList() const {
    if (type == kProgressionFile) return readProgressionFile(file);
    AreaList areas;
    if (neverEndingRuleProblem()) return areas;
    std::int64_t v = from;
    while (v <= to) {
        areas.add(static_cast<int>(v));
        if (type == kLinear)
            v += step;
        else if (type == kLog)
            v *= step;
        else
            break;
    }
    return areas;
}

AreaList ProgressionSpec::readProgressionFile(std::string path) const {
    std::string text;
    if (!readWholeTextFile(path, text)) return AreaList();
    return parseProgressionText(text.data(), text.data() + text.size());
}

AreaList parseProgressionText(const char* begin, const char* end) {
    AreaList areas;
    TextCursor cursor{begin, end};
    int count = 0;
    if (!scanInt(cursor, count)) return areas;
    for (int k = 0; k < count; ++k) {
        int area = 0;
        if (!scanInt(cursor, area)) break;
        areas.add(area);
    }
    return areas;
}
