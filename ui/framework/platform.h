#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plot_window.h"

class Dialog;

// What a dialog program asks of the system it runs on, beyond its own windows: message boxes,
// file dialogs, the wait cursor, starting other programs and running dialogs modally. The
// desktop backend and the headless test backend each implement it.

enum class MessageBoxButtons { kOk, kYesNo };

// What a message box returns.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// Option flags of the file dialogs, with the values the program's callers pass.
inline constexpr unsigned kFileOverwritePrompt = 0x2;  // ask before replacing a file
inline constexpr unsigned kFileHideReadOnly = 0x4;     // no read-only box
inline constexpr unsigned kFilePathMustExist = 0x800;  // the folder must exist
inline constexpr unsigned kFileMustExist = 0x1000;     // only an existing file can be confirmed

struct FileDialogRequest {
    bool open = true;  // false: a save dialog
    // Pairs of description and pattern, each followed by '|', with one more '|' at the end:
    // "Data files (*.txt)|*.txt|All files (*.*)|*.*||".
    std::string filter;
    unsigned flags = 0;
    std::string initialName;  // a full path, a bare name or empty
    std::optional<std::string> defaultExtension;
};

// A program to start. On Windows it is one command line, as the system call takes it; elsewhere
// it is the program and its arguments, passed as they are and never through a shell.
struct ProgramCommand {
    std::string commandLine;
    std::vector<std::string> arguments;
    // What to tell the user when the program ends with this exit status; empty for nothing.
    // A platform that can watch the program does so without waiting for it, and shows the text
    // in a message box whenever the program ends. It is called on any thread.
    std::function<std::string(int status)> exitProblem;
};

class Platform {
  public:
    virtual ~Platform() = default;

    // Builds the dialog's window from its template, calls its initialisation, and runs it until
    // it ends; returns the code it ended with.
    virtual int runModal(Dialog& dialog) = 0;

    // Shows text with the buttons over the active dialog; returns kAnswerOk, kAnswerYes or
    // kAnswerNo (closing a Yes/No box otherwise counts as kAnswerNo).
    virtual int messageBox(const std::string& text, MessageBoxButtons buttons) = 0;

    // Runs a file dialog; the full path of the confirmed file, or nothing when cancelled.
    virtual std::optional<std::string> runFileDialog(const FileDialogRequest& request) = 0;

    // The busy cursor over the whole application, from the first begin to the matching end.
    virtual void beginWaitCursor() = 0;
    virtual void endWaitCursor() = 0;

    // Starts a program and returns at once, without waiting for it or watching it. Nothing when
    // it started; otherwise why it could not be started ("No such file or directory").
    virtual std::optional<std::string> startProgram(const ProgramCommand& command) = 0;

    // Shows the plot window over the active dialog and returns when the user closes it. A
    // backend that cannot draw shows the summary in a message box.
    virtual void showPlot(const PlotWindowRequest& request) {
        messageBox(request.summary, MessageBoxButtons::kOk);
    }

    // Puts text on the clipboard; false when the clipboard could not be opened.
    virtual bool copyToClipboard(const std::string& /*text*/) { return false; }

    // The scene drawn by the platform into pixels (0xRRGGBB rows, the top row first), `scale`
    // pixels a point, for a PNG file where the build has no other way to draw one; nothing where
    // the platform does not offer it.
    virtual std::optional<std::vector<std::uint32_t>> drawPlotPixels(const PlotScene& /*scene*/,
                                                                     double /*scale*/,
                                                                     int& /*width*/,
                                                                     int& /*height*/) {
        return std::nullopt;
    }

    // Runs `work` on a thread of its own and returns when it has ended, handling the user's input
    // and painting meanwhile, so that the windows stay alive through a long run. `tick` runs on
    // this thread each time the wait wakes, at least every few hundredths of a second. What
    // `work` throws is thrown here, once it has ended.
    void runInBackground(const std::function<void()>& work, const std::function<void()>& tick);
    // Runs `call` on the thread that handles the windows and returns when it has run, throwing
    // what it threw: from background work, it waits its turn between the windows' events; from
    // anywhere else, it runs at once.
    void callOnUiThread(const std::function<void()>& call);

  protected:
    // Handles the input and painting that are waiting, without waiting for more. A platform
    // whose windows need no handling (the tests') leaves it empty.
    virtual void handlePendingEvents() {}

  private:
    struct BackgroundWork;
    std::shared_ptr<BackgroundWork> background_;
};
