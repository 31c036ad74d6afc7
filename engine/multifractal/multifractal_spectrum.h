#pragma once

#include <string>
#include <vector>

#include "residual_boxes.h"

// The generalised fluctuation functions of the boxes and the spectrum they give:
//   F_q(n) = (mean over boxes v of F_v^q)^(1/q), F_0(n) = exp(mean of ln F_v), F_v = sqrt(box's
//   mean e^2);
//   h(q) = least-squares slope of ln F_q against ln n over the sides; tau(q) = q h(q) - 2;
//   alpha = d tau / d q by central differences (one-sided at the grid's ends);
//   f(alpha) = q alpha - tau.
// Boxes whose residual is 0 (flat, or empty of mass) or not finite have no F_v^q for q <= 0;
// they are left out of every q alike and counted, so that the caller can say so.

struct SideFluctuations {
    int side = 0;
    int boxes = 0;             // whole boxes of the grid
    int zeroBoxes = 0;         // of them, left out: residual 0 or not finite
    std::vector<double> logF;  // ln F_q per q; not finite when no box is left
};

struct Spectrum {
    std::vector<double> q, h, tau, alpha, fAlpha;
    std::vector<double> intercept;  // of each line ln F_q = intercept + h ln n
    std::vector<SideFluctuations> sides;
    bool valid = false;  // at least two sides with boxes left
};

// F_q of one side's boxes, leaving out those in `skip` (box indices marked true) when given.
SideFluctuations sideFluctuations(const SideBoxes& boxes, const std::vector<double>& q,
                                  const std::vector<char>* skip = nullptr);

// The fit of the sides' ln F_q and what follows from it.
Spectrum fitSpectrum(const std::vector<double>& q, std::vector<SideFluctuations> sides);

// alpha and f(alpha) from tau on the q grid (q ascending).
void legendreTransform(const std::vector<double>& q, const std::vector<double>& tau,
                       std::vector<double>& alpha, std::vector<double>& fAlpha);

// The spread of h(q) from the same fit repeated with the boxes of one tile of the surface left
// out at a time (a delete-one jackknife over tiles of about 32 cells or more a side, at most 8
// in each direction, as the scaling exponent's): the standard error per q.
std::vector<double> tileJackknifeErrors(const std::vector<SideBoxes>& boxes,
                                        const std::vector<double>& q, int R, int C);
