#pragma once

#include <atomic>
#include <stdexcept>

// A request to stop, set by whoever runs the engine (the dialog's close box, Ctrl-C in Python)
// from any thread, and polled by the engine between sides and between row blocks. A stopped run
// leaves its files as a failed run leaves them.
class CancelToken {
  public:
    void requestCancel() noexcept { requested_.store(true, std::memory_order_relaxed); }
    bool cancelRequested() const noexcept { return requested_.load(std::memory_order_relaxed); }
    // Clears a request, so that one token can serve the next run.
    void reset() noexcept { requested_.store(false, std::memory_order_relaxed); }

  private:
    std::atomic<bool> requested_{false};
};

// Thrown by the engine where it notices a request to stop; the front end that asked catches it.
class RunCancelled : public std::runtime_error {
  public:
    RunCancelled() : std::runtime_error("The run was stopped.") {}
};

// Throws RunCancelled when `token` is set and holds a request.
inline void throwIfCancelled(const CancelToken* token) {
    if (token != nullptr && token->cancelRequested()) throw RunCancelled();
}
