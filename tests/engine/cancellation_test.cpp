// Stopping the engine from outside: the worker pool stops handing out tasks once the token holds
// a request, every stage that runs on it (the exact and fast surfaces, the loader) ends with
// RunCancelled and holds nothing, a run ends between two areas, and a token that is never set
// leaves every bit as it was.

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "area_sweep.h"
#include "collecting_host.h"
#include "folder_run.h"
#include "rough_surface.h"
#include "surface_file.h"
#include "worker_pool.h"

namespace {

// The tasks a pool of `threads` started when task `stopAt` asked to stop, and whether run threw
// RunCancelled.
struct PoolStop {
    int started = 0;
    bool cancelled = false;
};

PoolStop stopPoolAt(int threads, int count, int stopAt) {
    CancelToken token;
    WorkerPool pool(threads);
    pool.setCancelToken(&token);
    std::atomic<int> started{0};
    PoolStop stop;
    try {
        pool.run(count, [&](int k) {
            started.fetch_add(1);
            if (k == stopAt) token.requestCancel();
        });
    } catch (const RunCancelled&) {
        stop.cancelled = true;
    }
    stop.started = started.load();
    return stop;
}

// A rough surface as a row table, with its counts.
struct Rough {
    std::vector<double> values;
    std::vector<const double*> rows;
    int R, C;
    Rough(int rowCount, int columnCount) : R(rowCount), C(columnCount) {
        values = randomWalkSurface(R, C, 17, 3.0);
        for (int i = 0; i < R; ++i) rows.push_back(values.data() + static_cast<std::size_t>(i) * C);
    }
};

ComputeOptions computing(SurfaceMethod method, int threads, const CancelToken* token) {
    ComputeOptions options;
    options.method = method;
    options.threads = threads;
    options.cancel = token;
    return options;
}

// A host that asks to stop when area `stopAt` starts.
class StoppingHost : public ScriptedHost {
  public:
    explicit StoppingHost(int stopAt) : stopAt_(stopAt) {}
    void areaStarted(int k, int, int) override {
        if (k == stopAt_) token_.requestCancel();
    }
    const CancelToken* cancelToken() const override { return &token_; }

  private:
    int stopAt_;
    CancelToken token_;
};

}  // namespace

TEST(Cancellation, ThePoolStartsNoTaskAfterTheRequest) {
    for (int threads : {1, 2, 4}) {
        SCOPED_TRACE(threads);
        const PoolStop stop = stopPoolAt(threads, 1000, 10);
        EXPECT_TRUE(stop.cancelled);
        // Tasks already handed out finish; one more per other thread at most.
        EXPECT_GE(stop.started, 11);
        EXPECT_LE(stop.started, 10 + threads);
    }
    // A request after the last task still ends the run as stopped; no request, no exception.
    EXPECT_TRUE(stopPoolAt(2, 5, 4).cancelled);
    EXPECT_EQ(stopPoolAt(2, 50, -1).started, 50);
    EXPECT_FALSE(stopPoolAt(2, 50, -1).cancelled);
}

TEST(Cancellation, EveryMethodStopsAndAnUnsetTokenKeepsTheBits) {
    const Rough data(150, 130);
    struct Case {
        const char* what;
        SurfaceMethod method;
        int optimise;
    };
    const Case cases[] = {{"sliding sums", SurfaceMethod::kExact, 1},
                          {"plain sums", SurfaceMethod::kExact, 0},
                          {"fast method", SurfaceMethod::kFast, 1}};
    for (const Case& c : cases)
        for (int threads : {1, 3}) {
            SCOPED_TRACE(std::string(c.what) + ", threads " + std::to_string(threads));
            CancelToken token;
            AreaSweep without(data.rows.data(), data.R, data.C, 0.5, 0.5, c.optimise, true,
                              computing(c.method, threads, nullptr));
            AreaSweep with(data.rows.data(), data.R, data.C, 0.5, 0.5, c.optimise, true,
                           computing(c.method, threads, &token));
            for (int area : {9, 400, 2500}) {
                const double expected = without.residualOf(area);
                const double got = with.residualOf(area);
                EXPECT_EQ(std::memcmp(&expected, &got, sizeof got), 0) << area;
            }
            token.requestCancel();
            EXPECT_THROW(with.residualOf(121), RunCancelled);
        }
}

TEST(Cancellation, TheLoaderStopsAndHoldsNothing) {
    TempFolder folder;
    std::string text;
    for (int i = 0; i < 300; ++i) text += "1.5 2.5 3.5 4.5\n";
    const std::string csv = "1,2\n3,4\n";
    const char npy[] =
        "\x93NUMPY\x01\x00\x76\x00{'descr': '<f8', 'fortran_order': False, 'shape': (1, 1), }";
    std::string npyBytes(npy, sizeof npy - 1);
    npyBytes.resize(10 + 0x76 - 1, ' ');
    npyBytes += '\n';
    npyBytes += std::string(8, '\0');
    const std::pair<const char*, std::string> files[] = {
        {"m.txt", text}, {"m.csv", csv}, {"m.npy", npyBytes}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        const std::string path = folder.write(name, bytes);
        for (bool stop : {false, true}) {
            CollectingHost host;
            if (stop) host.token().requestCancel();
            // The matrix is its own owner: a load that ends by RunCancelled leaves nothing held.
            if (stop)
                EXPECT_THROW(loadSurfaceFile(host, path, {}), RunCancelled);
            else
                EXPECT_TRUE(loadSurfaceFile(host, path, {})) << host.saidText();
        }
    }
}

TEST(Cancellation, ARunEndsBetweenTwoAreasWithTheLinesBefore) {
    FolderRun run("1 2 3 4\n5 6 7 8\n9 10 11 12\n13 14 15 16\n");
    run.linear(1, 4, 1);
    StoppingHost host(2);
    EXPECT_THROW(runAnalysis(run.settings, run.options, host), RunCancelled);
    EXPECT_EQ(run.results(), "1\t0.00000\n2\t0.00000\n");
}
