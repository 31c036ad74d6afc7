#include "progression.h"

#include <cstdint>

#include "text_file.h"
#include "text_scan.h"

namespace {

std::optional<std::string> neverEndingProblem(const ProgressionSpec& rule) {
    if (rule.from > rule.to) return std::nullopt;
    if (rule.type == kLinear && rule.step <= 0)
        return "Linear progression never ends: step " + std::to_string(rule.step) +
               " must be at least 1";
    if (rule.type == kLog && rule.from <= 0)
        return "Logarithmic progression never ends: from " + std::to_string(rule.from) +
               " must be at least 1";
    if (rule.type == kLog && rule.step <= 1)
        return "Logarithmic progression never ends: step " + std::to_string(rule.step) +
               " must be at least 2";
    return std::nullopt;
}

}  // namespace

long long ProgressionSpec::ruleAreaCount() const {
    if (type == kProgressionFile || neverEndingProblem(*this) || from > to) return 0;
    if (type == kLinear) return (static_cast<long long>(to) - from) / step + 1;
    if (type != kLog) return 1;
    long long count = 0;
    for (std::int64_t v = from; v <= to; v *= step) ++count;  // at most 31 areas
    return count;
}

std::optional<std::string> ProgressionSpec::ruleProblem() const {
    if (auto problem = neverEndingProblem(*this)) return problem;
    const long long count = ruleAreaCount();
    if (count > kMostRuleAreas)
        return "Linear progression has " + std::to_string(count) + " areas: at most " +
               std::to_string(kMostRuleAreas) + " are allowed";
    return std::nullopt;
}

AreaList ProgressionSpec::buildAreaList() const {
    if (type == kProgressionFile) return readProgressionFile(file);
    AreaList areas;
    if (ruleProblem()) return areas;
    // Room for every area at once: growing ten at a time would copy the list over and over.
    areas.setCapacity(AreaList::roundedCapacity(static_cast<int>(ruleAreaCount())));
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
