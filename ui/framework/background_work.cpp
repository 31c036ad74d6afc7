// Platform::runInBackground and callOnUiThread: a worker thread, and a queue of calls that the
// worker hands to the thread that owns the windows, which runs them between its own events.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "platform.h"

namespace {

// How long the windows' thread waits for a call before it looks at its events again: short
// enough that typing and painting feel immediate, long enough not to spin.
constexpr auto kPollInterval = std::chrono::milliseconds(20);

}  // namespace

struct Platform::BackgroundWork {
    struct Call {
        const std::function<void()>* call;
        std::exception_ptr thrown;
        bool ran = false;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Call*> calls;
    bool ended = false;
    std::thread::id worker;

    // The worker's side: waits until the windows' thread has run the call.
    void hand(const std::function<void()>& call) {
        Call waiting{&call, nullptr, false};
        std::unique_lock<std::mutex> lock(mutex);
        calls.push_back(&waiting);
        changed.notify_all();
        changed.wait(lock, [&] { return waiting.ran; });
        if (waiting.thrown) std::rethrow_exception(waiting.thrown);
    }

    // The windows' thread: runs the waiting calls, one at a time and without the lock held, as a
    // call may show a box and so handle events of its own.
    void runWaitingCalls() {
        std::unique_lock<std::mutex> lock(mutex);
        while (!calls.empty()) {
            Call* next = calls.front();
            calls.pop_front();
            lock.unlock();
            try {
                (*next->call)();
            } catch (...) {
                next->thrown = std::current_exception();
            }
            lock.lock();
            next->ran = true;
            changed.notify_all();
        }
    }

    // True once the work has ended and every call it made has run.
    bool waitForCallOrEnd() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, kPollInterval, [&] { return ended || !calls.empty(); });
        return ended && calls.empty();
    }
};

void Platform::runInBackground(const std::function<void()>& work,
                               const std::function<void()>& tick) {
    auto state = std::make_shared<BackgroundWork>();
    background_ = state;
    std::exception_ptr thrown;
    std::thread worker([&] {
        {
            // Before the work's first call, which must know it comes from the worker.
            std::lock_guard<std::mutex> lock(state->mutex);
            state->worker = std::this_thread::get_id();
        }
        try {
            work();
        } catch (...) {
            thrown = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(state->mutex);
        state->ended = true;
        state->changed.notify_all();
    });
    for (;;) {
        state->runWaitingCalls();
        if (tick) tick();
        handlePendingEvents();
        if (state->waitForCallOrEnd()) break;
    }
    worker.join();
    background_.reset();
    if (tick) tick();
    if (thrown) std::rethrow_exception(thrown);
}

void Platform::callOnUiThread(const std::function<void()>& call) {
    std::shared_ptr<BackgroundWork> state = background_;
    bool fromWorker = false;
    if (state) {
        std::lock_guard<std::mutex> lock(state->mutex);
        fromWorker = state->worker == std::this_thread::get_id();
    }
    if (fromWorker)
        state->hand(call);
    else
        call();
}
