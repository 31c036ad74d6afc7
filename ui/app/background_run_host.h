#pragma once

#include <atomic>

#include "run_host.h"

class Platform;

// The RunHost a run on a worker thread is given: each thing it shows or asks is done by the
// dialog's own RunHost on the thread that owns the windows, while the run waits. The area under
// way is only noted, for the windows' thread to show when it next looks; a request to stop is
// noticed there too, before each area.
class BackgroundRunHost : public RunHost {
  public:
    BackgroundRunHost(RunHost& shown, Platform& platform, const CancelToken& token)
        : shown_(shown), platform_(platform), token_(token) {}

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showNotice(const std::string& text) override;
    void setDataSizeText(const std::string& text) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    void areaStarted(int k, int count, int area) override;
    void dataFileUnreadable(const std::string& path, int error) override;
    void beforeFirstArea(const RunPreview& preview) override;
    const CancelToken* cancelToken() const override { return &token_; }

    // The area under way, counted from 1, and how many there are; 0 of 0 before the first.
    int areaNumber() const { return areaNumber_.load(); }
    int areaCount() const { return areaCount_.load(); }

  private:
    RunHost& shown_;
    Platform& platform_;
    const CancelToken& token_;
    std::atomic<int> areaNumber_{0};
    std::atomic<int> areaCount_{0};
};
