#include "pmodel_measure.h"

#include <cmath>
#include <random>

std::vector<double> makePModel(const PModelFractions& p, int levels, std::uint64_t seed) {
    std::mt19937_64 bits(seed);
    std::vector<double> mass = {1.0};
    int size = 1;
    for (int level = 0; level < levels; ++level) {
        const int next = size * 2;
        std::vector<double> finer(static_cast<std::size_t>(next) * next);
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j) {
                PModelFractions share = p;
                for (int k = 3; k > 0; --k)  // Fisher-Yates, the same on every library
                    std::swap(share[static_cast<std::size_t>(k)],
                              share[static_cast<std::size_t>(bits() % (k + 1))]);
                const double m = mass[static_cast<std::size_t>(i) * size + j];
                const std::size_t top = static_cast<std::size_t>(2 * i) * next + 2 * j;
                finer[top] = m * share[0];
                finer[top + 1] = m * share[1];
                finer[top + next] = m * share[2];
                finer[top + next + 1] = m * share[3];
            }
        mass.swap(finer);
        size = next;
    }
    return mass;
}

double pModelTau(const PModelFractions& p, double q) {
    double sum = 0.0;
    for (double share : p) sum += std::pow(share, q);
    return -std::log2(sum);
}

double pModelAlpha(const PModelFractions& p, double q) {
    double sum = 0.0, weighted = 0.0;
    for (double share : p) {
        sum += std::pow(share, q);
        weighted += std::pow(share, q) * std::log(share);
    }
    return -weighted / (sum * std::log(2.0));
}

double pModelFAlpha(const PModelFractions& p, double q) {
    return q * pModelAlpha(p, q) - pModelTau(p, q);
}
