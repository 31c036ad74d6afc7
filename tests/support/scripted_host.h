#pragma once

#include <deque>
#include <string>
#include <vector>

#include "run_host.h"

// A RunHost for tests: records every call in order and answers the question from a queue
// (Yes when the queue is empty).
class ScriptedHost : public RunHost {
  public:
    std::vector<std::string> calls;     // "message: ...", "ask: ...", "size: ...", "begin", "end"
    std::vector<std::string> messages;  // the texts of showMessage only
    std::deque<bool> answers;
    int waitCursorDepth = 0;
    int maxWaitCursorDepth = 0;

    void showMessage(const std::string& text) override {
        calls.push_back("message: " + text);
        messages.push_back(text);
    }
    bool askYesNo(const std::string& text) override {
        calls.push_back("ask: " + text);
        if (answers.empty()) return true;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void setDataSizeText(const std::string& text) override { calls.push_back("size: " + text); }
    void beginWaitCursor() override {
        calls.push_back("begin");
        if (++waitCursorDepth > maxWaitCursorDepth) maxWaitCursorDepth = waitCursorDepth;
    }
    void endWaitCursor() override {
        calls.push_back("end");
        --waitCursorDepth;
    }
};
