#pragma once

#include <pybind11/pybind11.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "cancel_token.h"

// Runs `work` on a thread of its own while the calling thread, without the GIL, lets Python run
// its signal handlers every 20 ms. When a handler raises (KeyboardInterrupt on Ctrl-C), the
// token asks the engine to stop; the engine notices between two row blocks, the work ends, and
// the handler's exception is raised here. Otherwise whatever `work` threw is thrown again.
// Called with the GIL held; `work` must not touch Python objects.
template <class Work>
void runCancellable(CancelToken& token, Work&& work) {
    constexpr auto kSignalPoll = std::chrono::milliseconds(20);
    std::optional<pybind11::error_already_set> raised;
    std::exception_ptr failure;
    {
        pybind11::gil_scoped_release withoutGil;
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        std::thread worker([&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard<std::mutex> lock(mutex);
            done = true;
            finished.notify_all();
        });
        std::unique_lock<std::mutex> lock(mutex);
        while (!finished.wait_for(lock, kSignalPoll, [&] { return done; })) {
            if (raised) continue;
            lock.unlock();
            {
                pybind11::gil_scoped_acquire gil;
                if (PyErr_CheckSignals() != 0) raised.emplace();
            }
            if (raised) token.requestCancel();
            lock.lock();
        }
        lock.unlock();
        worker.join();
    }
    if (raised) throw std::move(*raised);
    if (failure) std::rethrow_exception(failure);
}
