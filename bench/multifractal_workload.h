#pragma once

#include "literal_analysis.h"
#include "residual_boxes.h"
#include "workloads.h"

// The multifractal analysis of `kind` (default q and sides, no surrogates) against a scaling
// analysis over the same sides: `literal` holds the scaling analysis's median, `vantrel` the
// multifractal's. A measure's cost does not depend on its values, so the same data serves both.
Timing timeMultifractalAnalysis(const LiteralMatrix& data, ResidualKind kind, int runs);
