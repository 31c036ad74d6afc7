#pragma once

#include <string>

#include "run_host.h"

// The host a dialog command other than Calculate loads a surface through: the size question is
// answered Yes without being asked (only Calculate asks it), the data-size label is left as
// Calculate set it, and what the reader says is kept for the command to show with its own
// words. The wait cursor and why the file could not be opened go to the dialog's host.
class QuietLoadHost : public RunHost {
  public:
    explicit QuietLoadHost(RunHost& shown, const CancelToken* cancel = nullptr)
        : shown_(shown), cancel_(cancel) {}
    void showMessage(const std::string& text) override {
        said += (said.empty() ? "" : "\n") + text;
    }
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string&) override {}
    void beginWaitCursor() override { shown_.beginWaitCursor(); }
    void endWaitCursor() override { shown_.endWaitCursor(); }
    void dataFileUnreadable(const std::string& path, int error) override {
        shown_.dataFileUnreadable(path, error);
    }
    const CancelToken* cancelToken() const override { return cancel_; }
    std::string said;

  private:
    RunHost& shown_;
    const CancelToken* cancel_;
};
