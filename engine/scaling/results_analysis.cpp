#include "results_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "data_matrix.h"
#include "surface_calculator.h"
#include "window_geometry.h"

namespace {

// Beyond the digits printed, the run's sum and the fast method's may differ in their last bits,
// and by more on data far from 0; residuals under other shifts or of other data differ by far
// more than this.
constexpr double kRelativeTolerance = 1e-6;

bool sameResidual(const ResultsRow& row, double computed) {
    const double printed = 0.5 * std::pow(10.0, -std::max(0, row.digits));
    const double scale = std::max(std::fabs(row.residual), std::fabs(computed));
    return std::fabs(row.residual - computed) <= printed * (1 + 1e-9) + kRelativeTolerance * scale;
}

std::string number(double value, const char* pattern = "%g") {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// The data, or a normalised copy of them, as the run would have them.
class RunData {
  public:
    RunData(const double* const* data, int R, int C, bool normalise) : R_(R), C_(C) {
        if (!normalise) {
            view_ = data;
            return;
        }
        allocateMatrix(copy_, R, C);
        for (int i = 0; i < R; ++i) std::copy(data[i], data[i] + C, copy_[i]);
        normaliseMatrix(copy_, R, C);
        view_ = copy_;
    }
    ~RunData() { freeMatrix(copy_, R_, C_); }
    RunData(const RunData&) = delete;
    RunData& operator=(const RunData&) = delete;
    const double* const* rows() const { return view_; }

  private:
    int R_, C_;
    RowTable copy_ = nullptr;
    const double* const* view_ = nullptr;
};

// The first row of each distinct side that fits the surface and can tell shifts apart (side 1
// has residual 0 under every shift), smallest side first.
std::vector<ResultsRow> checkRows(const std::vector<ResultsRow>& rows, int R, int C) {
    std::map<int, ResultsRow> bySide;
    for (const ResultsRow& row : rows) {
        const int side = windowGeometry(row.area, 0.0, 0.0).side;
        if (row.area >= 1 && side >= 2 && side < R && side < C) bySide.emplace(side, row);
    }
    std::vector<ResultsRow> out;
    for (const auto& entry : bySide) out.push_back(entry.second);
    return out;
}

using Shifts = std::pair<double, double>;

bool sameGeometry(const Shifts& a, const Shifts& b, const std::vector<ResultsRow>& rows) {
    for (const ResultsRow& row : rows) {
        const WindowGeometry ga = windowGeometry(row.area, a.first, a.second);
        const WindowGeometry gb = windowGeometry(row.area, b.first, b.second);
        if (ga.rowOffset != gb.rowOffset || ga.columnOffset != gb.columnOffset) return false;
    }
    return true;
}

struct Mismatch {
    int area = 0;
    double inFile = 0.0, computed = 0.0;
};

// The candidates, in their order, whose residuals match the file's on the areas checked: areas
// are checked one at a time until the candidates left agree on every window of the file (one or
// two areas as a rule), each distinct window placement computed once.
std::vector<Shifts> matchingShifts(const double* const* data, int R, int C,
                                   const std::vector<ResultsRow>& rows,
                                   std::vector<Shifts> candidates, int threads, int mostChecks,
                                   Mismatch& mismatch) {
    const std::vector<ResultsRow> checks = checkRows(rows, R, C);
    ComputeOptions options;
    options.threads = threads;
    options.method = SurfaceMethod::kFast;
    SurfaceCalculator calculator(options);
    const FastCentre centre(calculator.pool(), data, R, C);
    int checked = 0;
    for (const ResultsRow& row : checks) {
        if (candidates.empty() || checked == mostChecks) break;
        bool settled = true;
        for (const Shifts& s : candidates)
            settled = settled && sameGeometry(s, candidates[0], rows);
        if (settled && checked > 0) break;
        ++checked;
        std::map<std::pair<int, int>, double> residualAt;
        std::vector<Shifts> kept;
        for (const Shifts& s : candidates) {
            const WindowGeometry g = windowGeometry(row.area, s.first, s.second);
            const auto key = std::make_pair(g.rowOffset, g.columnOffset);
            auto found = residualAt.find(key);
            if (found == residualAt.end()) {
                ComputedRegion written = emptyRegion();
                const double residual =
                    calculator.computeFast(nullptr, written, data, R, C, g, centre);
                found = residualAt.emplace(key, residual).first;
            }
            if (sameResidual(row, found->second))
                kept.push_back(s);
            else if (kept.empty())
                mismatch = {row.area, row.residual, found->second};
        }
        candidates = std::move(kept);
    }
    return candidates;
}

}  // namespace

std::vector<std::pair<double, double>> candidateShifts() {
    std::vector<Shifts> shifts = {{0.0, 0.0}, {0.5, 0.5}};
    for (int n = 0; n <= 20; ++n)
        for (int m = 0; m <= 20; ++m) {
            const Shifts s{n / 20.0, m / 20.0};
            if (std::find(shifts.begin(), shifts.end(), s) == shifts.end()) shifts.push_back(s);
        }
    return shifts;
}

ResultsAnalysis analyseResults(const std::vector<ResultsRow>& rows, const std::string& resultsName,
                               const double* const* data, int R, int C,
                               const ResultsAnalysisRequest& request) {
    ResultsAnalysis analysis;
    if (rows.empty()) {
        analysis.error = "The results file " + resultsName + " holds no areas";
        return analysis;
    }
    const bool shiftsGiven = request.nShift && request.mShift;
    std::vector<Shifts> candidates =
        shiftsGiven ? std::vector<Shifts>{{*request.nShift, *request.mShift}} : candidateShifts();
    std::vector<bool> normalisations;
    if (request.normalise != NormaliseSetting::kOn) normalisations.push_back(false);
    if (request.normalise != NormaliseSetting::kOff) normalisations.push_back(true);

    Mismatch mismatch;
    for (bool normalise : normalisations) {
        const RunData runData(data, R, C, normalise);
        const std::vector<Shifts> found =
            matchingShifts(runData.rows(), R, C, rows, candidates, request.threads,
                           shiftsGiven ? 2 : static_cast<int>(rows.size()), mismatch);
        if (found.empty()) continue;
        std::vector<std::pair<int, double>> pairs;
        for (const ResultsRow& row : rows) pairs.emplace_back(row.area, row.residual);
        ScalingRequest fit;
        fit.compute.method = request.method;
        fit.compute.threads = request.threads;
        fit.compute.nShift = found[0].first;
        fit.compute.mShift = found[0].second;
        analysis.result = fitResultsTable(runData.rows(), R, C, pairs, fit);
        analysis.result->resultsSettings =
            ResultsSettings{found[0].first, found[0].second, normalise,
                            !shiftsGiven || request.normalise == NormaliseSetting::kFind};
        if (checkRows(rows, R, C).empty())
            analysis.result->warn(
                {"unchecked", "No area of " + resultsName +
                                  " could be checked against the data (each side is 1 or does "
                                  "not fit them): the shifts taken, " +
                                  number(found[0].first) + " " + number(found[0].second) +
                                  ", and the file's belonging to the data are not known"});
        return analysis;
    }
    analysis.error = "The results file " + resultsName + " does not match the data";
    if (mismatch.area > 0)
        analysis.error +=
            " (area " + std::to_string(mismatch.area) + ": the file says " +
            number(mismatch.inFile, "%.6g") + ", the data give " +
            number(mismatch.computed, "%.6g") +
            (shiftsGiven ? " with shifts " + number(*request.nShift) + " " + number(*request.mShift)
                         : std::string(" with the shifts tried, 0 to 1 in steps "
                                       "of 0.05")) +
            ")";
    analysis.error += ": was it written from other data, other shifts, or with --normalise?";
    return analysis;
}

ResultsAnalysis analyseResultsFile(const std::string& resultsPath, const double* const* data, int R,
                                   int C, const ResultsAnalysisRequest& request) {
    ResultsAnalysis analysis;
    const auto rows = readResultsRows(resultsPath, analysis.error);
    if (!rows) return analysis;
    return analyseResults(*rows, resultsPath, data, R, C, request);
}
