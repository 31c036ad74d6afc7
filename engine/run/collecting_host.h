#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "run_host.h"

// The host for callers with no person at hand to ask (the command line's analyse and fit, the
// dialog's Analyse results, the Python module): the loader's question is answered Yes, since
// the caller asked for the data; what the engine says is kept for the caller to report; and its
// cancel token lets another thread stop the work.
class CollectingHost : public RunHost {
  public:
    void showMessage(const std::string& text) override { said_.push_back(text); }
    bool askYesNo(const std::string&) override { return true; }
    void setDataSizeText(const std::string&) override {}
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    void dataFileUnreadable(const std::string&, int error) override { unreadable_ = error; }
    const CancelToken* cancelToken() const override { return &token_; }

    // Everything shown, messages and notices, in order.
    const std::vector<std::string>& said() const { return said_; }
    // The same, one a line; empty when nothing was shown.
    std::string saidText() const {
        std::string text;
        for (const std::string& line : said_) {
            if (!text.empty()) text += '\n';
            text += line;
        }
        return text;
    }
    // The system's error number when the data file could not be opened or read, else 0.
    int unreadableError() const { return unreadable_; }
    // Why a load failed, in the words a person reads after the file's name: what the reader
    // said, or the system's reason ("No such file or directory").
    std::string failureText() const {
        std::string text = saidText();
        if (unreadable_ != 0) {
            if (!text.empty()) text += '\n';
            text += std::strerror(unreadable_);
        }
        return text;
    }
    CancelToken& token() { return token_; }

  private:
    std::vector<std::string> said_;
    int unreadable_ = 0;
    CancelToken token_;
};
