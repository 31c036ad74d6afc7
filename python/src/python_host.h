#pragma once

#include <pybind11/pybind11.h>

#include <string>

#include "run_host.h"

// RunHost for calls from Python: the loader's question is always answered Yes (the caller asked
// for the data), its messages are kept for the exception that reports them, and before each area
// the GIL is taken back for a moment to let Python run its signal handlers, so that Ctrl-C ends a
// long call between areas with KeyboardInterrupt.
class PythonHost : public RunHost {
  public:
    void showMessage(const std::string& text) override {
        if (message_.empty()) message_ = text;
    }
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string&) override {}
    void beginWaitCursor() override {}
    void endWaitCursor() override {}

    // Called without the GIL; throws error_already_set (KeyboardInterrupt) when a handler raised.
    void areaStarted(int, int, int) override {
        pybind11::gil_scoped_acquire gil;
        if (PyErr_CheckSignals() != 0) throw pybind11::error_already_set();
    }

    void dataFileUnreadable(const std::string&, int error) override { unreadable_ = error; }

    // The first message the engine showed, or empty.
    const std::string& message() const { return message_; }
    // The system's error number when the data file could not be opened or read, else 0.
    int unreadableError() const { return unreadable_; }

  private:
    std::string message_;
    int unreadable_ = 0;
};
