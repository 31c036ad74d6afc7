#include "workloads.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "bench_support.h"
#include "exact_residual.h"
#include "matrix_loader.h"
#include "output_files.h"
#include "progression.h"
#include "scaling_analysis.h"
#include "scaling_sides.h"
#include "surface_calculator.h"

namespace {

constexpr double kShift = 0.5;

// Answers Yes and shows nothing.
class QuietHost : public RunHost {
  public:
    void showMessage(const std::string& text) override {
        std::fprintf(stderr, "vantrel-bench: %s\n", text.c_str());
    }
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string&) override {}
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
};

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), sizeof(double) * a.size()) == 0;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

std::vector<int> logAreas(int to) {
    ProgressionSpec rule;
    rule.from = 4;
    rule.to = to;
    rule.step = 2;
    rule.type = kLog;
    AreaList list = rule.buildAreaList();
    return std::vector<int>(list.begin(), list.end());
}

Timing timeExactCompute(const LiteralMatrix& data, const std::vector<int>& areas, int optimise,
                        int runs, int literalRuns) {
    Timing timing;
    std::vector<double> expected, computed;
    LiteralMatrix surface = literalAllocate(data.R, data.C);
    timing.literal = medianSeconds(literalRuns, [&] {
        expected.clear();
        for (int area : areas) {
            int s, F, G;
            literalGeometry(area, kShift, kShift, &s, &F, &G);
            literalSurface(&surface, &data, s, F, G, optimise);
            expected.push_back(literalResidual(&surface, &data, s, F, G));
        }
    });
    literalFree(&surface);

    RowTable rows = nullptr;
    allocateMatrix(rows, data.R, data.C);
    SurfaceCalculator calculator(ComputeOptions{});
    ComputedRegion written = emptyRegion();
    timing.vantrel = medianSeconds(runs, [&] {
        computed.clear();
        for (int area : areas) {
            computed.push_back(calculator.computeExact(rows, written, data.rows, data.R, data.C,
                                                       windowGeometry(area, kShift, kShift),
                                                       optimise));
        }
    });
    freeMatrix(rows, data.R, data.C);
    timing.same = sameBits(expected, computed);
    timing.check = timing.same ? "residual sums identical" : "RESIDUAL SUMS DIFFER";
    return timing;
}

std::pair<Timing, Timing> timeLoads(const std::string& path, int runs) {
    LiteralMatrix expected{nullptr, 0, 0};
    const double literal = medianSeconds(runs, [&] {
        literalFree(&expected);
        literalLoad(path.c_str(), &expected);
    });
    Timing timings[2];
    for (bool comments : {false, true}) {
        Timing& timing = timings[comments ? 1 : 0];
        timing.literal = literal;
        std::optional<DataMatrix> loaded;
        timing.vantrel = medianSeconds(runs, [&] {
            loaded.reset();
            QuietHost host;
            loaded = loadDataMatrix(host, path, 0, 0, comments);
        });
        timing.same = loaded && expected.rows && loaded->rowCount() == expected.R &&
                      loaded->columnCount() == expected.C;
        for (int i = 0; timing.same && i < expected.R; ++i)
            timing.same = std::memcmp((*loaded)[i], expected.rows[i],
                                      sizeof(double) * static_cast<std::size_t>(expected.C)) == 0;
        timing.check = timing.same ? "values identical to fscanf's" : "VALUES DIFFER";
    }
    literalFree(&expected);
    return {timings[0], timings[1]};
}

Timing timeSurfaceWriting(const LiteralMatrix& data, const std::vector<int>& areas,
                          const std::string& folder, int runs) {
    std::vector<LiteralMatrix> surfaces;
    for (int area : areas) {
        int s, F, G;
        literalGeometry(area, kShift, kShift, &s, &F, &G);
        surfaces.push_back(literalAllocate(data.R, data.C));
        literalSurface(&surfaces.back(), &data, s, F, G, 1);
    }
    auto name = [&](const char* who, std::size_t k) {
        return folder + "/" + who + "." + std::to_string(areas[k]) + ".out.txt";
    };
    Timing timing;
    timing.literal = medianSeconds(runs, [&] {
        for (std::size_t k = 0; k < surfaces.size(); ++k)
            literalWriteSurface(name("literal", k).c_str(), &surfaces[k]);
    });
    WorkerPool pool(0);
    timing.vantrel = medianSeconds(runs, [&] {
        for (std::size_t k = 0; k < surfaces.size(); ++k)
            writeSurfaceFile(name("vantrel", k), surfaces[k].rows, data.R, data.C, &pool);
    });
    for (std::size_t k = 0; k < surfaces.size(); ++k) {
        timing.same = timing.same && fileText(name("literal", k)) == fileText(name("vantrel", k));
        std::remove(name("literal", k).c_str());
        std::remove(name("vantrel", k).c_str());
        literalFree(&surfaces[k]);
    }
    timing.check = timing.same ? "files identical" : "FILES DIFFER";
    return timing;
}

Timing timeFastCompute(const LiteralMatrix& data, const std::vector<int>& areas, int runs) {
    Timing timing;
    std::vector<double> computed;
    SurfaceCalculator calculator(ComputeOptions{0, SurfaceMethod::kFast});
    ComputedRegion written = emptyRegion();
    timing.vantrel = medianSeconds(runs, [&] {
        computed.clear();
        const FastCentre centre(calculator.pool(), data.rows, data.R, data.C);
        for (int area : areas)
            computed.push_back(calculator.computeFast(nullptr, written, data.rows, data.R, data.C,
                                                      windowGeometry(area, kShift, kShift),
                                                      centre));
    });
    double worst = 0.0;
    for (std::size_t k = 0; k < areas.size(); ++k) {
        int s, F, G;
        literalGeometry(areas[k], kShift, kShift, &s, &F, &G);
        const long double exact = exactResidual(&data, s, F, G);
        if (exact != 0.0L)
            worst = std::fmax(worst, std::fabs(static_cast<double>((computed[k] - exact) / exact)));
    }
    char text[96];
    std::snprintf(text, sizeof text, "largest relative error %.1e (limit 1e-12)", worst);
    timing.check = text;
    timing.same = worst <= 1e-12;
    return timing;
}

Timing timeScalingAnalysis(const LiteralMatrix& data, int runs) {
    Timing timing;
    const std::vector<int> sides = defaultSides(data.R, data.C);
    std::vector<double> computed;
    SurfaceCalculator calculator(ComputeOptions{0, SurfaceMethod::kFast});
    ComputedRegion written = emptyRegion();
    timing.literal = medianSeconds(runs, [&] {
        computed.clear();
        const FastCentre centre(calculator.pool(), data.rows, data.R, data.C);
        for (int side : sides)
            computed.push_back(calculator.computeFast(nullptr, written, data.rows, data.R, data.C,
                                                      windowGeometry(side * side, kShift, kShift),
                                                      centre));
    });
    ScalingResult result;
    timing.vantrel =
        medianSeconds(runs, [&] { result = analyseSurface(data.rows, data.R, data.C, {}); });
    timing.same = result.table.points.size() == computed.size();
    for (std::size_t k = 0; timing.same && k < computed.size(); ++k)
        timing.same = result.table.points[k].residual == computed[k];
    char text[128];
    std::snprintf(text, sizeof text, "%zu sides, H = %.3f; residual sums %s", sides.size(),
                  result.hurst, timing.same ? "identical" : "DIFFER");
    timing.check = text;
    return timing;
}
