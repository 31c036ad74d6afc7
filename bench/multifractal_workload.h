#pragma once

#include "literal_analysis.h"
#include "workloads.h"

// The multifractal analysis (surface kind, default q and sides, no surrogates) against a scaling
// analysis over the same sides: `literal` holds the scaling analysis's median, `vantrel` the
// multifractal's.
Timing timeMultifractalAnalysis(const LiteralMatrix& data, int runs);
