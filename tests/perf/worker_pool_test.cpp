#include "worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
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

// The surface calculator's tasks wait for tasks with lower numbers, and the loader's task 0
// reads ahead while the others convert: both need task numbers handed out in ascending order.
// Here every task waits for the one before it; any other order leaves a waiting task holding
// the thread that the task it waits for needs (bounded, so that a fault fails instead of hanging).
TEST(WorkerPool, TasksAreHandedOutInAscendingOrder) {
    for (int threads : {2, 3, 5}) {
        WorkerPool pool(threads);
        std::atomic<int> done{0};
        std::atomic<bool> stuck{false};
        pool.run(200, [&](int k) {
            auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (done.load() != k && !stuck)
                if (std::chrono::steady_clock::now() > giveUp) stuck = true;
            if (!stuck) done.store(k + 1);
        });
        EXPECT_FALSE(stuck) << threads << " threads";
        EXPECT_EQ(done.load(), 200);
    }
}

// An allocation that fails in a task (on the calling thread or on another) lets the tasks that
// are running finish and reaches the caller as the exception it was; the pool goes on working.
TEST(WorkerPool, AnExceptionInATaskReachesTheCallerAfterTheRoundDrains) {
    for (int threads : {1, 2, 4}) {
        WorkerPool pool(threads);
        for (int failing : {0, 1, 37}) {
            std::atomic<int> running{0};
            EXPECT_THROW(pool.run(64,
                                  [&](int k) {
                                      ++running;
                                      std::this_thread::sleep_for(std::chrono::microseconds(50));
                                      --running;
                                      if (k == failing) throw std::bad_alloc();
                                  }),
                         std::bad_alloc)
                << threads << " threads, task " << failing;
            EXPECT_EQ(running.load(), 0) << "a task still ran after run returned";
        }
        std::atomic<int> ran{0};
        pool.run(10, [&](int) { ++ran; });
        EXPECT_EQ(ran.load(), 10);
    }
}
