#include "scaling_sides.h"

#include <algorithm>
#include <cmath>

std::vector<int> oddSidesInLog(int from, int to) {
    std::vector<int> sides;
    const int firstOdd = from % 2 ? from : from + 1, lastOdd = to % 2 ? to : to - 1;
    if (from < 1 || firstOdd > lastOdd) return sides;  // also no odd side between them
    const double octaves = std::log2(static_cast<double>(to) / from);
    const int steps = std::max(1, static_cast<int>(std::lround(octaves * kSidesPerOctave)));
    for (int k = 0; k <= steps; ++k) {
        const double side = from * std::pow(static_cast<double>(to) / from, double(k) / steps);
        int odd = static_cast<int>(std::lround((side - 1.0) / 2.0)) * 2 + 1;
        odd = std::clamp(odd, firstOdd, lastOdd);
        if (odd >= from && odd <= to && (sides.empty() || odd > sides.back())) sides.push_back(odd);
    }
    return sides;
}

std::vector<int> defaultSides(int R, int C) {
    return oddSidesInLog(3, std::min(R, C) / 2);
}

int defaultFitLastSide(int R, int C) {
    return static_cast<int>(kFitLastFraction * std::min(R, C));
}
