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

// A warning as a person reads it and as a script tests it. The codes:
//   non_finite       values that are not numbers, left out
//   flat             every residual 0, no exponent
//   sides_left_out   requested sides that do not fit the surface
//   not_centred      shifts other than 0.5, the exponent biased
//   even_sides       even sides fitted, off centre by half a cell
//   few_points       fewer than 5 points fitted
//   curved           the log-log line bends
//   above_one        H above 1: a smooth surface or a trend, D below 2
//   below_zero       H below 0: uncorrelated noise at these scales, D above 3
//   uncalibrated_hurst  the interval lies wholly outside the exponents calibrated
//   uncalibrated_size   a surface smaller than those calibrated: no bias correction
//   unchecked        a results file none of whose areas could be checked against the data
struct ScalingWarning {
    std::string code, text;
};

// The settings a results file was written with, as the results analysis found or was told them
// (results_analysis.h).
struct ResultsSettings {
    double nShift = 0.0, mShift = 0.0;
    bool normalised = false;
    bool found = false;  // true: found from the data, not given
};

struct ScalingResult {
    ScalingTable table;
    SideUnit sideUnit;  // set by the caller that read the file; reports only
    HurstFit fit;
    double hurst = 0.0, low = 0.0, high = 0.0;       // corrected estimate and 90% interval
    bool defined = false;                            // false: no exponent could be fitted
    bool biasCorrected = false;                      // the calibrated bias was taken off
    std::vector<std::string> warnings;               // the texts, for people
    std::vector<std::string> warningCodes;           // the same warnings' codes, in the same order
    std::optional<ResultsSettings> resultsSettings;  // set for a results file's analysis
    double fractalDimension() const { return 3.0 - hurst; }
    void warn(const ScalingWarning& warning) {
        warningCodes.push_back(warning.code);
        warnings.push_back(warning.text);
    }
};

// What the fit needs to know of the data beyond the table.
struct SurfaceFacts {
    long long nonFiniteValues = 0;
    // The share of the data's variance that a fitted plane or paraboloid explains.
    double trendShare = 0.0;
};

SurfaceFacts surfaceFacts(const double* const* data, int R, int C);

// Why an R x C surface cannot be analysed at all, or nothing when it can.
std::optional<std::string> scalingProblem(int R, int C);

// The sides the request asks for, those that do not fit an R x C surface dropped with a warning.
std::vector<int> requestedSides(const ScalingRequest& request, int R, int C,
                                std::vector<ScalingWarning>& warnings);

// Computes the table over the data and fits it. The surface must pass scalingProblem.
ScalingResult analyseSurface(const double* const* data, int R, int C,
                             const ScalingRequest& request);

// How the fit range is chosen: the default sides within the default range, other sides the
// same way (a results file's), or every side given (a list or range the user chose).
enum class FitRange { kDefaultSides, kAutomatic, kEverySide };

// Marks the points the fit takes, fits them and adds the corrections and the warnings. Only the
// default sides at shifts of 0.5 on surfaces of the calibrated sizes get the bias correction, the
// case it was calibrated for; `warnings` are those found before (sides left out).
ScalingResult fitScalingTable(ScalingTable table, const ScalingRequest& request, FitRange range,
                              const std::vector<ScalingWarning>& warnings,
                              const SurfaceFacts& facts);

// Values of the R x C data that are not-a-number or infinite.
long long countNonFinite(const double* const* data, int R, int C);

// The table of a results file (areas and residual sums written by a run over the same data):
// its sides, each once, with the tile sums of the fast method rescaled to its residuals so that
// the spread can still be found. Sides that do not fit the surface are left out with a warning.
ScalingResult fitResultsTable(const double* const* data, int R, int C,
                              const std::vector<std::pair<int, double>>& areaResiduals,
                              const ScalingRequest& request);
