#include "multifractal_spectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "hurst_fit.h"

SideFluctuations sideFluctuations(const SideBoxes& boxes, const std::vector<double>& q,
                                  const std::vector<char>* skip) {
    SideFluctuations out;
    out.side = boxes.side;
    out.boxes = static_cast<int>(boxes.meanSquares.size());
    // ln F_v^2 of the boxes that have one.
    std::vector<double> logSquares;
    logSquares.reserve(boxes.meanSquares.size());
    for (std::size_t v = 0; v < boxes.meanSquares.size(); ++v) {
        if (skip && (*skip)[v]) continue;
        const double square = boxes.meanSquares[v];
        if (square > 0.0 && std::isfinite(square))
            logSquares.push_back(std::log(square));
        else
            ++out.zeroBoxes;
    }
    out.logF.assign(q.size(), std::numeric_limits<double>::quiet_NaN());
    if (logSquares.empty()) return out;
    const double count = static_cast<double>(logSquares.size());
    double meanLog = 0.0;
    for (double l : logSquares) meanLog += l;
    meanLog /= count;
    for (std::size_t k = 0; k < q.size(); ++k) {
        if (q[k] == 0.0) {
            out.logF[k] = meanLog / 2.0;
            continue;
        }
        // ln mean exp(q/2 ln F_v^2), with the largest term taken out so that nothing overflows.
        const double half = q[k] / 2.0;
        double top = -std::numeric_limits<double>::infinity();
        for (double l : logSquares) top = std::max(top, half * l);
        double sum = 0.0;
        for (double l : logSquares) sum += std::exp(half * l - top);
        out.logF[k] = (top + std::log(sum / count)) / q[k];
    }
    return out;
}

void legendreTransform(const std::vector<double>& q, const std::vector<double>& tau,
                       std::vector<double>& alpha, std::vector<double>& fAlpha) {
    const std::size_t n = q.size();
    alpha.assign(n, std::numeric_limits<double>::quiet_NaN());
    fAlpha = alpha;
    if (n < 2) return;
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t lo = k == 0 ? 0 : k - 1, hi = k + 1 == n ? k : k + 1;
        alpha[k] = (tau[hi] - tau[lo]) / (q[hi] - q[lo]);
        fAlpha[k] = q[k] * alpha[k] - tau[k];
    }
}

Spectrum fitSpectrum(const std::vector<double>& q, std::vector<SideFluctuations> sides) {
    Spectrum spectrum;
    spectrum.q = q;
    spectrum.sides = std::move(sides);
    const std::size_t nq = q.size();
    spectrum.h.assign(nq, std::numeric_limits<double>::quiet_NaN());
    spectrum.intercept = spectrum.h;
    std::vector<double> logSide;
    for (const SideFluctuations& side : spectrum.sides) logSide.push_back(std::log(side.side));
    bool allValid = nq > 0;
    for (std::size_t k = 0; k < nq; ++k) {
        std::vector<double> y;
        std::vector<bool> use;
        for (const SideFluctuations& side : spectrum.sides) {
            y.push_back(side.logF[k]);
            use.push_back(std::isfinite(side.logF[k]));
        }
        const LineFit line = fitLine(logSide, y, use);
        allValid = allValid && line.valid;
        if (!line.valid) continue;
        spectrum.h[k] = line.slope;
        spectrum.intercept[k] = line.intercept;
    }
    spectrum.valid = allValid;
    spectrum.tau.resize(nq);
    for (std::size_t k = 0; k < nq; ++k) spectrum.tau[k] = q[k] * spectrum.h[k] - 2.0;
    legendreTransform(q, spectrum.tau, spectrum.alpha, spectrum.fAlpha);
    return spectrum;
}

namespace {

// One side's sums per tile and per q, from which F_q of every set of tiles is put together
// without another pass over the boxes: the sum of exp(q/2 ln F_v^2 - top_q), of ln F_v^2 and the
// count of boxes with a residual.
struct TilePartials {
    std::vector<double> top;                // per q: the largest q/2 ln F_v^2 of the side
    std::vector<std::vector<double>> sums;  // per tile, per q
    std::vector<double> logSums, counts;    // per tile
    int boxes = 0, side = 0;
};

TilePartials tilePartials(const SideBoxes& side, const std::vector<double>& q, int tileRows,
                          int tileColumns, int R, int C) {
    const int tiles = tileRows * tileColumns;
    TilePartials partials;
    partials.side = side.side;
    partials.boxes = static_cast<int>(side.meanSquares.size());
    std::vector<double> logSquares;
    std::vector<int> tileOf;
    for (int a = 0; a < side.boxRows; ++a)
        for (int b = 0; b < side.boxColumns; ++b) {
            const double square =
                side.meanSquares[static_cast<std::size_t>(a) * side.boxColumns + b];
            if (!(square > 0.0 && std::isfinite(square))) continue;
            // A box belongs to the tile that holds its centre cell.
            const long long row = side.firstRow + 1LL * a * side.side + side.side / 2;
            const long long column = side.firstColumn + 1LL * b * side.side + side.side / 2;
            tileOf.push_back(static_cast<int>(row * tileRows / R) * tileColumns +
                             static_cast<int>(column * tileColumns / C));
            logSquares.push_back(std::log(square));
        }
    partials.top.assign(q.size(), -std::numeric_limits<double>::infinity());
    for (std::size_t k = 0; k < q.size(); ++k)
        for (double l : logSquares) partials.top[k] = std::max(partials.top[k], q[k] / 2.0 * l);
    partials.sums.assign(static_cast<std::size_t>(tiles), std::vector<double>(q.size(), 0.0));
    partials.logSums.assign(static_cast<std::size_t>(tiles), 0.0);
    partials.counts.assign(static_cast<std::size_t>(tiles), 0.0);
    for (std::size_t v = 0; v < logSquares.size(); ++v) {
        const std::size_t t = static_cast<std::size_t>(tileOf[v]);
        partials.logSums[t] += logSquares[v];
        partials.counts[t] += 1.0;
        for (std::size_t k = 0; k < q.size(); ++k)
            partials.sums[t][k] += std::exp(q[k] / 2.0 * logSquares[v] - partials.top[k]);
    }
    return partials;
}

// ln F_q of the side over every tile but `left` (none when left is -1).
SideFluctuations withoutTile(const TilePartials& partials, const std::vector<double>& q, int left) {
    SideFluctuations out;
    out.side = partials.side;
    out.boxes = partials.boxes;
    out.logF.assign(q.size(), std::numeric_limits<double>::quiet_NaN());
    double count = 0.0, logSum = 0.0;
    std::vector<double> sums(q.size(), 0.0);
    for (std::size_t t = 0; t < partials.counts.size(); ++t) {
        if (static_cast<int>(t) == left) continue;
        count += partials.counts[t];
        logSum += partials.logSums[t];
        for (std::size_t k = 0; k < q.size(); ++k) sums[k] += partials.sums[t][k];
    }
    if (count == 0.0) return out;
    for (std::size_t k = 0; k < q.size(); ++k)
        out.logF[k] = q[k] == 0.0 ? logSum / count / 2.0
                                  : (partials.top[k] + std::log(sums[k] / count)) / q[k];
    return out;
}

}  // namespace

std::vector<double> tileJackknifeErrors(const std::vector<SideBoxes>& boxes,
                                        const std::vector<double>& q, int R, int C) {
    const int tileRows = std::clamp(R / 32, 2, 8), tileColumns = std::clamp(C / 32, 2, 8);
    const int tiles = tileRows * tileColumns;
    std::vector<TilePartials> partials;
    for (const SideBoxes& side : boxes)
        partials.push_back(tilePartials(side, q, tileRows, tileColumns, R, C));
    std::vector<std::vector<double>> leftOut;  // per tile, h per q
    for (int t = 0; t < tiles; ++t) {
        std::vector<SideFluctuations> sides;
        for (const TilePartials& side : partials) sides.push_back(withoutTile(side, q, t));
        leftOut.push_back(fitSpectrum(q, std::move(sides)).h);
    }
    std::vector<double> errors(q.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t k = 0; k < q.size(); ++k) {
        double mean = 0.0;
        int count = 0;
        for (const auto& h : leftOut)
            if (std::isfinite(h[k])) mean += h[k], ++count;
        if (count < 2) continue;
        mean /= count;
        double spread = 0.0;
        for (const auto& h : leftOut)
            if (std::isfinite(h[k])) spread += (h[k] - mean) * (h[k] - mean);
        errors[k] = std::sqrt(spread * (count - 1) / count);
    }
    return errors;
}
