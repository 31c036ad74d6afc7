#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hurst_fit.h"
#include "scaling_table.h"

// The Hurst exponent of a surface with a 90% interval, from the per-side table: the fit of
// log sigma2 against log s, corrected for what simulation on exact fractional Brownian surfaces
// shows to be systematic (scaling_calibration.h), and the warnings a reader of the number needs.

struct ScalingRequest {
    std::vector<int> sides;  // an explicit list, all fitted; empty: a range or the defaults
    int fromSide = 0,
        toSide = 0;  // odd sides in log steps over [from, to], all fitted; 0: defaults
    ScalingCompute compute;
};

// The length of a cell's side where the surface file gives one (a GeoTIFF's geotransform, a
// GSF's XReal / XRes), so that sides can be told in those units too; length 0 where it does not.
struct SideUnit {
    double length = 0.0;  // a cell's side: the pixel width, or sqrt(width x height) if not square
    double pixelWidth = 0.0, pixelHeight = 0.0;
    std::string name;  // "m", "degree", ...; empty where the file names none
    // The unit of the values (a band's unit type, a GSF's ZUnits), for the plot's value axis;
    // empty where the file names none. Kept whether or not the pixel size is known.
    std::string valueName;
    bool known() const { return length > 0.0; }
};

struct ScalingResult {
    ScalingTable table;
    SideUnit sideUnit;  // set by the caller that read the file; reports only
    HurstFit fit;
    double hurst = 0.0, low = 0.0, high = 0.0;  // corrected estimate and 90% interval
    bool defined = false;                       // false: no exponent could be fitted
    std::vector<std::string> warnings;
    double fractalDimension() const { return 3.0 - hurst; }
};

// Why an R x C surface cannot be analysed at all, or nothing when it can.
std::optional<std::string> scalingProblem(int R, int C);

// The sides the request asks for, those that do not fit an R x C surface dropped with a warning.
std::vector<int> requestedSides(const ScalingRequest& request, int R, int C,
                                std::vector<std::string>& warnings);

// Computes the table over the data and fits it. The surface must pass scalingProblem.
ScalingResult analyseSurface(const double* const* data, int R, int C,
                             const ScalingRequest& request);

// How the fit range is chosen: the default sides within the default range, other sides the
// same way (a results file's), or every side given (a list or range the user chose).
enum class FitRange { kDefaultSides, kAutomatic, kEverySide };

// Marks the points the fit takes, fits them and adds the corrections and the warnings. Only the
// default sides at shifts of 0.5 get the bias correction, the one case it was calibrated for;
// `warnings` are those found before (sides left out).
ScalingResult fitScalingTable(ScalingTable table, const ScalingRequest& request, FitRange range,
                              std::vector<std::string> warnings, long long nonFiniteValues);

// Values of the R x C data that are not-a-number or infinite.
long long countNonFinite(const double* const* data, int R, int C);

// The table of a results file (areas and residual sums written by a run over the same data):
// its sides, each once, with the tile sums of the fast method rescaled to its residuals so that
// the spread can still be found. Sides that do not fit the surface are left out with a warning.
ScalingResult fitResultsTable(const double* const* data, int R, int C,
                              const std::vector<std::pair<int, double>>& areaResiduals,
                              const ScalingRequest& request);
