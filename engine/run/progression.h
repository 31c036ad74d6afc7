#pragma once

#include <optional>
#include <string>

#include "grow_array.h"

// The window areas of a run, in the order they are processed. Not sorted; repeats stay.
using AreaList = GrowArray<int>;

enum ProgressionType { kLinear = 0, kLog = 1, kProgressionFile = 2 };

// A request for an area list: a linear or logarithmic rule between two bounds, or a file.
struct ProgressionSpec {
    int from = 0;
    int to = 0;
    int step = 0;
    int type = kLinear;  // any value other than 0, 1 and 2 yields at most the area `from`
    std::string file;

    // The most areas a rule may have: ten million areas are more than any surface study needs,
    // and a rule of billions would take minutes and gigabytes before the run could refuse it.
    static constexpr long long kMostRuleAreas = 10000000;

    // The areas of the rule, from `from` while the value stays <= `to`, or those of the file.
    // Values are computed in 64 bits, so a value past the 32-bit range simply ends the list.
    // A rule that ruleProblem refuses yields an empty list.
    AreaList buildAreaList() const;

    // Reads a count N and then up to N areas. Reading stops at the first item that is not a
    // decimal integer within 32 bits, or at the end of the file; a file that cannot be opened
    // gives an empty list.
    AreaList readProgressionFile(std::string path) const;

    // How many areas the rule gives, counted without listing them; 0 for a file and for a rule
    // that would never end.
    long long ruleAreaCount() const;

    // Why the rule is refused: it would never end (linear with a step <= 0, log with a start
    // <= 0 or a factor <= 1) or has more than kMostRuleAreas areas. Nothing when it may run or
    // is not a rule.
    std::optional<std::string> ruleProblem() const;
};

// Reads a progression file's text (already in memory): see readProgressionFile.
AreaList parseProgressionText(const char* begin, const char* end);
