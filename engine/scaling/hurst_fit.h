#pragma once

#include <vector>

#include "scaling_table.h"

// The straight line through log sigma2 against log s over the fitted points, whose slope is 2H,
// and its spread from the same fit repeated with one tile of the surface left out at a time
// (a delete-one jackknife over tiles).

struct LineFit {
    double slope = 0.0, intercept = 0.0;
    bool valid = false;  // at least two distinct sides
};

// Least squares of y on x over the points where `use` holds.
LineFit fitLine(const std::vector<double>& x, const std::vector<double>& y,
                const std::vector<bool>& use);

struct HurstFit {
    double hurst = 0.0;          // slope / 2 of the fit over every tile
    double intercept = 0.0;      // of the line in log sigma2 against log s (natural logarithms)
    double standardError = 0.0;  // jackknife over tiles; 0 without tiles
    // The standard error of H from the points' scatter about the line (0 below three points):
    // how far the fitted slope depends on which sides were taken where the points do not lie on
    // one line, which the jackknife, blind to anything but this surface's noise, cannot see.
    double lackOfFitError = 0.0;
    int points = 0;
    int firstSide = 0, lastSide = 0;
    // The slope 2H of the fitted points' lower and upper halves, and the jackknife standard error
    // of their difference: the log-log line's curvature.
    double lowerSlope = 0.0, upperSlope = 0.0, slopeDriftError = 0.0;
    int lowerLast = 0, upperFirst = 0;     // last side of the lower half, first of the upper
    std::vector<double> hurstWithoutTile;  // the jackknife's fits, tile t left out; empty without
    bool valid = false;
};

// Fits the points marked `fitted` whose sigma2 is finite and above 0.
HurstFit fitHurst(const ScalingTable& table);
