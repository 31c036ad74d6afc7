#pragma once

#include <windows.h>

#include <vector>

#include "platform.h"

// The framework's platform on Windows itself: dialogs of the system's dialog manager, its
// message boxes and common file dialogs, the hourglass cursor and CreateProcess.
class Win32DialogWindow;

class Win32Platform : public Platform {
  public:
    int runModal(Dialog& dialog) override;
    int messageBox(const std::string& text, MessageBoxButtons buttons) override;
    std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    std::optional<std::string> startProgram(const ProgramCommand& command) override;

    // True while a begin has no matching end: the dialogs then keep the hourglass.
    static bool waitCursorShown();

  protected:
    void handlePendingEvents() override;

  private:
    // The dialog on top, the owner of anything shown next; null before the first.
    HWND activeWindow() const;

    std::vector<Win32DialogWindow*> active_;
};
