#pragma once

#include <string>

#include "cancel_token.h"

struct RunPreview;

// What the engine needs of whoever runs it: a way to tell the user something, to ask the one
// question of a run, to show the size of the data, and a wait cursor around the load. The dialog,
// the command line and the tests each supply their own.
class RunHost {
  public:
    virtual ~RunHost() = default;

    // Shows text with an OK button and returns when the user has read it.
    virtual void showMessage(const std::string& text) = 0;
    // Asks a Yes/No question. Returns false only for an explicit No.
    virtual bool askYesNo(const std::string& text) = 0;
    // Tells the user something worth knowing that does not end the run, such as the part of the
    // data a reader kept. A front end that counts messages as failures shows it apart.
    virtual void showNotice(const std::string& text) { showMessage(text); }
    // Sets the text of the data-size label.
    virtual void setDataSizeText(const std::string& text) = 0;
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;

    // Called before each area is computed: index k of count, counted from 0. A front end that
    // shows progress overrides it; the dialog has no use for it.
    virtual void areaStarted(int /*k*/, int /*count*/, int /*area*/) {}

    // Called when the data file cannot be opened or read, with the system's error number, just
    // before the run ends with "Error loading data". The command line names the file and the
    // reason; the dialog shows only the run's own message.
    virtual void dataFileUnreadable(const std::string& /*path*/, int /*error*/) {}
    // Called once before the first area, when the data is loaded (and normalised when asked) and
    // the results file created: a front end may warn about what the run is about to compute.
    virtual void beforeFirstArea(const RunPreview& /*preview*/) {}
    // The token the engine polls between sides and row blocks; none means the run cannot be
    // stopped from outside.
    virtual const CancelToken* cancelToken() const { return nullptr; }
};

// Pairs beginWaitCursor with exactly one endWaitCursor, whichever way the scope is left.
class WaitCursorScope {
  public:
    explicit WaitCursorScope(RunHost& host) : host_(host) { host_.beginWaitCursor(); }
    ~WaitCursorScope() { host_.endWaitCursor(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

  private:
    RunHost& host_;
};
