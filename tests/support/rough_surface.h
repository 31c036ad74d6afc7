#pragma once

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

// A rough surface by a two-way random walk (each cell the mean of its upper and left neighbours
// plus a normal step), scaled to mean 0 and spread 1, then shifted by `offset`. Row-major.
inline std::vector<double> randomWalkSurface(int R, int C, unsigned seed, double offset) {
    std::vector<double> h(static_cast<std::size_t>(R) * C, 0.0);
    std::mt19937_64 random(seed);
    std::normal_distribution<double> step(0.0, 1.0);
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) {
            const double up = i > 0 ? h[(i - 1) * C + j] : 0.0;
            const double left = j > 0 ? h[i * C + j - 1] : 0.0;
            h[i * C + j] = (i > 0 && j > 0 ? (up + left) / 2 : up + left) + step(random);
        }
    double sum = 0.0, squares = 0.0;
    for (double v : h) sum += v;
    const double mean = sum / h.size();
    for (double v : h) squares += (v - mean) * (v - mean);
    const double spread = std::sqrt(squares / h.size());
    for (double& v : h) v = (v - mean) / spread + offset;
    return h;
}

// The surface as a data matrix file, every value written so that it reads back exactly.
inline std::string surfaceText(const std::vector<double>& h, int C) {
    std::string text;
    char number[32];
    for (std::size_t k = 0; k < h.size(); ++k) {
        std::snprintf(number, sizeof number, "%.17g", h[k]);
        text += number;
        text += (k + 1) % C == 0 ? '\n' : ' ';
    }
    return text;
}
