#pragma once

#include <chrono>
#include <cstdio>

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

    void showMessage(const std::string& text) override;
    // A line like a message's that does not make the run end with a message.
    void showNotice(const std::string& text) override { printLine(text); }
    bool askYesNo(const std::string& text) override;
    void setDataSizeText(const std::string& text) override;
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    void areaStarted(int k, int count, int area) override;

    // True once any message was shown: the run ended with a message, not normally.
    bool anyMessageShown() const { return messageShown_; }
    // Clears the progress line, if one is showing.
    void finish();

private:
    void printLine(const std::string& text);

    Settings settings_;
    std::FILE* input_;
    std::FILE* errors_;
    bool progressShowing_ = false;
    bool messageShown_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};
