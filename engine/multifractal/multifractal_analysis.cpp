#include "multifractal_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "multifractal_calibration.h"
#include "phase_surrogates.h"
#include "scaling_sides.h"

namespace {

// Fewer sides than this leave the slopes at the mercy of one or two of them.
constexpr int kFewestSides = 4;
// Fewer boxes than this at a side make its F_q for large |q| rest on one or two boxes.
constexpr int kFewestBoxes = 16;

std::string sideList(const std::vector<int>& sides) {
    std::string text;
    for (std::size_t k = 0; k < sides.size() && k < 6; ++k)
        text += (k ? ", " : "") + std::to_string(sides[k]);
    if (sides.size() > 6) text += ", ...";
    return text;
}

std::string fixed(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

std::vector<int> wantedSides(const MultifractalRequest& request, int R, int C,
                             std::vector<std::string>& warnings) {
    std::vector<int> wanted = request.sides;
    if (wanted.empty())
        wanted = request.fromSide > 0 ? oddSidesInLog(request.fromSide, request.toSide)
                                      : defaultMultifractalSides(R, C);
    std::vector<int> kept, dropped;
    // A side needs one whole box of the block in each direction: floor(L / n) - 1 >= 1.
    for (int side : wanted)
        (side >= 2 && R / side >= 2 && C / side >= 2 ? kept : dropped).push_back(side);
    if (!dropped.empty())
        warnings.push_back("Sides that leave no whole box on the " + std::to_string(R) + " x " +
                           std::to_string(C) + " surface are left out: " + sideList(dropped));
    std::sort(kept.begin(), kept.end());
    kept.erase(std::unique(kept.begin(), kept.end()), kept.end());
    return kept;
}

std::vector<SideBoxes> allBoxes(const double* const* data, int R, int C,
                                const MultifractalRequest& request, const std::vector<int>& sides,
                                int threads) {
    ResidualBoxes residuals(data, R, C, request.kind, effectiveShift(request.nShift, request.kind),
                            effectiveShift(request.mShift, request.kind), threads);
    return residuals.boxesOf(sides);
}

Spectrum spectrumOf(const std::vector<SideBoxes>& boxes, const std::vector<double>& q) {
    std::vector<SideFluctuations> sides;
    for (const SideBoxes& side : boxes) sides.push_back(sideFluctuations(side, q));
    return fitSpectrum(q, std::move(sides));
}

// The width h(qmin) - h(qmax) of each surrogate, on the worker pool, one surrogate a task.
SurrogateTest surrogateTest(const double* const* data, int R, int C,
                            const MultifractalRequest& request, const std::vector<int>& sides,
                            const std::vector<double>& q, double width) {
    SurrogateTest test;
    const PhaseSurrogates surrogates(data, R, C);
    const std::vector<double> ends = {q.front(), q.back()};
    std::vector<double> widths(static_cast<std::size_t>(request.surrogates),
                               std::numeric_limits<double>::quiet_NaN());
    WorkerPool pool(request.threads);
    pool.run(request.surrogates, [&](int k) {
        const std::vector<double> field = surrogates.make(request.seed * 1000003ULL + k);
        std::vector<const double*> rows(static_cast<std::size_t>(R));
        for (int i = 0; i < R; ++i) rows[static_cast<std::size_t>(i)] = field.data() + 1LL * i * C;
        const Spectrum spectrum = spectrumOf(allBoxes(rows.data(), R, C, request, sides, 1), ends);
        if (spectrum.valid) widths[static_cast<std::size_t>(k)] = spectrum.h[0] - spectrum.h[1];
    });
    int wider = 0;
    for (double w : widths)
        if (std::isfinite(w)) {
            test.widths.push_back(w);
            wider += w >= width;
        }
    test.count = static_cast<int>(test.widths.size());
    test.pValue = (1.0 + wider) / (1.0 + test.count);
    test.done = test.count > 0;
    return test;
}

void addBoxWarnings(const Spectrum& spectrum, std::vector<std::string>& warnings) {
    for (const SideFluctuations& side : spectrum.sides) {
        if (side.zeroBoxes > 0)
            warnings.push_back("Side " + std::to_string(side.side) + ": " +
                               std::to_string(side.zeroBoxes) + " of " +
                               std::to_string(side.boxes) +
                               " boxes have a residual of 0 (flat, or empty of mass) and are "
                               "left out of F_q at that side");
    }
    std::vector<int> few;
    for (const SideFluctuations& side : spectrum.sides)
        if (side.boxes - side.zeroBoxes < kFewestBoxes) few.push_back(side.side);
    if (!few.empty())
        warnings.push_back("Fewer than " + std::to_string(kFewestBoxes) + " boxes at sides " +
                           sideList(few) + ": F_q for large |q| rests on a few boxes there");
}

}  // namespace

double effectiveShift(double shift, ResidualKind kind) {
    if (shift >= 0.0) return shift;
    return kind == ResidualKind::kSurface ? 0.5 : 0.0;
}

std::string MultifractalResult::verdict() const {
    if (!test.done) return "not tested";
    return test.pValue <= kSignificance ? "multifractal" : "no evidence of multifractality";
}

std::vector<double> defaultMoments() {
    std::vector<double> q;
    for (int k = -8; k <= 8; ++k) q.push_back(k * 0.5);
    return q;
}

std::vector<int> defaultMultifractalSides(int R, int C) {
    const int L = std::min(R, C);
    std::vector<int> sides = oddSidesInLog(9, L / 8);
    if (static_cast<int>(sides.size()) < 5) sides = oddSidesInLog(5, L / 4);
    return sides;
}

std::optional<std::string> multifractalProblem(const double* const* data, int R, int C) {
    if (R <= 0 || C <= 0) return "The surface holds no values";
    if (std::min(R, C) < 16)
        return "The surface (" + std::to_string(R) + " x " + std::to_string(C) +
               ") is too small for a multifractal analysis: it needs at least 16 rows and "
               "columns";
    long long nonFinite = 0;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) nonFinite += !std::isfinite(data[i][j]);
    if (nonFinite > 0)
        return "The surface holds " + std::to_string(nonFinite) +
               " not-a-number or infinite values: a multifractal analysis needs every value "
               "(--crop-valid keeps the largest rectangle without them)";
    return std::nullopt;
}

MultifractalResult analyseMultifractal(const double* const* data, int R, int C,
                                       const MultifractalRequest& request) {
    MultifractalResult result;
    result.rows = R;
    result.columns = C;
    result.kind = request.kind;
    result.nShift = effectiveShift(request.nShift, request.kind);
    result.mShift = effectiveShift(request.mShift, request.kind);
    std::vector<double> q = request.q.empty() ? defaultMoments() : request.q;
    std::sort(q.begin(), q.end());
    q.erase(std::unique(q.begin(), q.end()), q.end());
    std::vector<std::string>& warnings = result.warnings;
    const std::vector<int> sides = wantedSides(request, R, C, warnings);

    const std::vector<SideBoxes> boxes = allBoxes(data, R, C, request, sides, request.threads);
    result.spectrum = spectrumOf(boxes, q);
    const Spectrum& spectrum = result.spectrum;
    addBoxWarnings(spectrum, warnings);
    int fitted = 0;
    for (const SideFluctuations& side : spectrum.sides) fitted += side.boxes > side.zeroBoxes;
    if (!spectrum.valid) {
        warnings.push_back("No spectrum: fewer than two sides have boxes with a residual");
        return result;
    }
    if (fitted < kFewestSides)
        warnings.push_back("Only " + std::to_string(fitted) +
                           " sides in the fit: h(q) is poorly determined");

    const std::vector<double> errors = tileJackknifeErrors(boxes, q, R, C);
    for (std::size_t k = 0; k < q.size(); ++k) {
        const double half = kMultifractalIntervalFactor * errors[k];
        result.hLow.push_back(spectrum.h[k] - half);
        result.hHigh.push_back(spectrum.h[k] + half);
    }
    result.width = spectrum.h.front() - spectrum.h.back();
    const auto [low, high] = std::minmax_element(spectrum.alpha.begin(), spectrum.alpha.end());
    result.alphaWidth = *high - *low;

    if (request.kind == ResidualKind::kMeasure) {
        bool negative = false;
        for (int i = 0; i < R && !negative; ++i)
            for (int j = 0; j < C; ++j) negative = negative || data[i][j] < 0.0;
        if (negative)
            warnings.push_back(
                "The measure holds negative values: a measure is a density, "
                "intensity or mass; analyse heights without --measure");
        if (result.nShift != 0.0 || result.mShift != 0.0)
            warnings.push_back("Windows are not backward (shifts " + fixed(result.nShift, 2) +
                               " and " + fixed(result.mShift, 2) +
                               "): tau(q) of a measure is less accurate than with shifts 0 0");
    } else if (result.nShift != 0.5 || result.mShift != 0.5) {
        warnings.push_back("Windows are not centred (shifts " + fixed(result.nShift, 2) + " and " +
                           fixed(result.mShift, 2) +
                           " rather than 0.5 and 0.5): h(q) of a surface is biased and its "
                           "width overstated");
    }
    if (q.size() < 2) {
        warnings.push_back("One q only: no width, no spectrum f(alpha) and no test");
        return result;
    }
    if (request.surrogates > 0) {
        if (!PhaseSurrogates::available()) {
            warnings.push_back(
                "The surrogate test needs the Fourier transform library, which "
                "this build lacks: no verdict");
        } else {
            result.test = surrogateTest(data, R, C, request, sides, q, result.width);
        }
    }
    return result;
}
