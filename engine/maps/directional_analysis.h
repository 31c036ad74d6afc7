#pragma once

#include "scaling_analysis.h"

// The exponent along the rows and along the columns of a whole surface: moving averages of side
// s along one axis only, their residuals averaged over every line, fitted against s as the
// analysis does with square windows. Their difference measures anisotropy: a surface whose rows
// are rougher than its columns has a smaller exponent along its rows. The difference's interval
// comes from leaving the same tile out of both fits at a time.

struct DirectionalResult {
    ScalingResult rows, columns;  // along rows (the exponent of each row), along columns
    double anisotropy = 0.0, low = 0.0, high = 0.0;  // rows less columns, and its 90% interval
    bool defined = false;
};

// The sides as the analysis takes them (a list, a range, or the defaults); the surface must pass
// scalingProblem. The shifts of the request are not used: windows are centred.
DirectionalResult analyseDirections(const double* const* data, int R, int C,
                                    const ScalingRequest& request);
