#pragma once

#include <cstdint>
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
};
