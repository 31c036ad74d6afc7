#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "run_host.h"

// RunHost for the command line: messages go to standard error one per line, the question is
// answered by --yes or on the terminal, and a progress line shows the area being computed.
class TerminalHost : public RunHost {
  public:
    struct Settings {
        bool answerYes = false;
        bool showProgress = true;
    };
    TerminalHost(Settings settings, std::FILE* input, std::FILE* errors);
    ~TerminalHost() override;

    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void setDataSizeText(const std::string& text) override;
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    void areaStarted(int k, int count, int area) override;
    void dataFileUnreadable(const std::string& path, int error) override;
    void beforeFirstArea(const RunPreview& preview) override;

    // True once any message was shown: the run ended with a message, not normally.
    bool anyMessageShown() const { return messageShown_; }
    // Clears the progress line, if one is showing, and stops its clock.
    void finish();
    // After a completed run, on a terminal: one line naming the results file.
    void announceResults(const std::string& resultsFile);

  private:
    void printLine(const std::string& text);
    void clearProgress();
    void drawProgress();
    void tick();

    Settings settings_;
    std::FILE* input_;
    std::FILE* errors_;
    bool messageShown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();

    // The progress line is redrawn by a clock thread within a long area, so everything that
    // prints holds the lock.
    std::mutex lock_;
    std::condition_variable wake_;
    std::thread clock_;
    bool progressShowing_ = false;
    bool stopping_ = false;
    int area_ = 0, index_ = 0, count_ = 0;
};
