#include "worker_pool.h"

#include <system_error>
#include <utility>

#include "system.h"

int WorkerPool::coreCount() {
    return processorCount();
}

WorkerPool::WorkerPool(int threads) {
    if (threads <= 0) threads = coreCount();
    workers_.reserve(static_cast<std::size_t>(threads - 1));
    try {
        for (int k = 1; k < threads; ++k) workers_.emplace_back([this, k] { work(k); });
    } catch (const std::system_error&) {
        // The system gives no more threads: work with those there are.
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void WorkerPool::run(int count, const std::function<void(int)>& task) {
    run(count, [&task](int k, int) { task(k); });
}

void WorkerPool::run(int count, const std::function<void(int, int)>& task) {
    if (count <= 0) return;
    if (workers_.empty() || count == 1) {
        for (int k = 0; k < count; ++k) {
            throwIfCancelled(cancel_);
            task(k, 0);
        }
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = &task;
        count_ = count;
        next_ = 0;
        busy_ = 0;
        failure_ = nullptr;
        ++generation_;
    }
    wake_.notify_all();
    takeTasks(0);
    std::unique_lock<std::mutex> lock(mutex_);
    // The task lives in the caller's frame: no worker may still hold it when run returns.
    finished_.wait(lock, [this] { return next_ >= count_ && busy_ == 0; });
    task_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    throwIfCancelled(cancel_);
}

// Takes task numbers until none is left. An exception ends the handing out and is kept for run.
void WorkerPool::takeTasks(int thread) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (next_ < count_) {
        if (cancel_ != nullptr && cancel_->cancelRequested()) {
            next_ = count_;
            break;
        }
        int k = next_++;
        ++busy_;
        const std::function<void(int, int)>& task = *task_;
        lock.unlock();
        std::exception_ptr failure;
        try {
            task(k, thread);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        --busy_;
        if (failure && !failure_) {
            failure_ = failure;
            next_ = count_;
        }
    }
    if (busy_ == 0) finished_.notify_all();
}

void WorkerPool::work(int thread) {
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
        }
        takeTasks(thread);
    }
}
