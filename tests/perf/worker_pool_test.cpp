#include "worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

TEST(WorkerPool, EveryTaskRunsExactlyOnceInEveryRun) {
    for (int threads : {1, 2, 3, 5}) {
        WorkerPool pool(threads);
        EXPECT_EQ(pool.threadCount(), threads);
        for (int count : {0, 1, 2, 7, 100, 1000}) {
            std::vector<std::atomic<int>> runs(static_cast<std::size_t>(count));
            pool.run(count, [&](int k) { runs[static_cast<std::size_t>(k)]++; });
            for (int k = 0; k < count; ++k) ASSERT_EQ(runs[static_cast<std::size_t>(k)], 1);
        }
    }
}

TEST(WorkerPool, ZeroThreadsMeansOnePerCore) {
    EXPECT_EQ(WorkerPool(0).threadCount(), WorkerPool::coreCount());
}

TEST(WorkerPool, TasksShareTheWorkAmongTheThreads) {
    WorkerPool pool(3);
    std::mutex mutex;
    std::set<std::thread::id> seen;
    std::atomic<int> waiting{0};
    // Each of the first three tasks waits until three are running at once, which only three
    // different threads can do.
    pool.run(3, [&](int) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            seen.insert(std::this_thread::get_id());
        }
        ++waiting;
        while (waiting < 3) std::this_thread::yield();
    });
    EXPECT_EQ(seen.size(), 3u);
}
