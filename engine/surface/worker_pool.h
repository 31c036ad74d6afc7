#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "cancel_token.h"

// A fixed set of threads that run numbered tasks together with the calling thread. A run hands
// out task numbers in ascending order to whichever thread is free and returns once every task
// has finished, so a task may write only what no other task of the same run touches.
// The ascending order is a promise that callers rely on: a task may wait for tasks with lower
// numbers (they have been handed out, so they are running or done), and the loader's task 0 is
// taken before the others.
class WorkerPool {
  public:
    // `threads` in all, the caller included; 0 means one per core. Fewer when the system will
    // not start more.
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int threadCount() const { return static_cast<int>(workers_.size()) + 1; }

    // The token every later run polls before each task: once it holds a request, no further
    // task starts, the running ones finish, and run throws RunCancelled. Tasks that wait for
    // tasks with lower numbers stay safe, since those were handed out before the request was seen.
    void setCancelToken(const CancelToken* token) { cancel_ = token; }

    // Calls task(k) once for every k in [0, count). When a task throws (std::bad_alloc from an
    // allocation, say), no further task starts, the running ones finish, and run throws the
    // first exception on the calling thread. A task that others wait for must not throw.
    void run(int count, const std::function<void(int)>& task);
    // The same, telling each task which thread runs it: 0 for the caller, 1 ... threadCount()-1
    // for the others, so that a task may use scratch memory of its thread.
    void run(int count, const std::function<void(int task, int thread)>& task);

    // The number of threads that 0 stands for.
    static int coreCount();

  private:
    void work(int thread);
    void takeTasks(int thread);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    const std::function<void(int, int)>* task_ = nullptr;
    int count_ = 0;
    int next_ = 0;
    int busy_ = 0;
    const CancelToken* cancel_ = nullptr;
    std::exception_ptr failure_;  // the first exception a task of this run threw
    unsigned generation_ = 0;
    bool stopping_ = false;
};
