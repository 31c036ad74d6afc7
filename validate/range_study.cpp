#include "range_study.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "fbm_surface.h"
#include "hurst_fit.h"
#include "scaling_sides.h"

namespace {

constexpr unsigned long long kSeeds = 500000;

struct Candidate {
    int firstSide;
    double lastFraction;
    double sum = 0, sumSquares = 0;
    int n = 0;
};

}  // namespace

void printRangeStudy(double scale) {
    const int sizes[] = {256, 512};
    const double hursts[] = {0.2, 0.5, 0.8};
    std::printf("| size | H | first side | last side / size | bias | rms error |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (int size : sizes) {
        for (double hurst : hursts) {
            std::vector<Candidate> candidates;
            for (int first : {3, 5, 9})
                for (double fraction : {0.125, 0.25, 0.5}) candidates.push_back({first, fraction});
            const int pairs = std::max(1, static_cast<int>((size == 256 ? 30 : 15) * scale));
            for (int r = 0; r < pairs; ++r) {
                std::string error;
                const FbmPair pair = makeFbmPair(size, size, hurst, kSeeds + 31 * r, error);
                for (const std::vector<double>* values : {&pair.first, &pair.second}) {
                    std::vector<const double*> rows;
                    for (int i = 0; i < size; ++i)
                        rows.push_back(values->data() + static_cast<std::size_t>(i) * size);
                    ScalingTable table =
                        computeScalingTable(rows.data(), size, size, defaultSides(size, size), {});
                    for (Candidate& c : candidates) {
                        for (ScalingPoint& p : table.points)
                            p.fitted = p.side >= c.firstSide && p.side <= c.lastFraction * size;
                        const double e = fitHurst(table).hurst - hurst;
                        c.sum += e;
                        c.sumSquares += e * e;
                        ++c.n;
                    }
                }
            }
            for (const Candidate& c : candidates)
                std::printf("| %d | %.2f | %d | %.3f | %+.4f | %.4f |\n", size, hurst, c.firstSide,
                            c.lastFraction, c.sum / c.n, std::sqrt(c.sumSquares / c.n));
            std::fflush(stdout);
        }
    }
}
