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
    // plot_window_win32.cpp
    void showPlot(const PlotWindowRequest& request) override;
    bool copyToClipboard(const std::string& text) override;
    std::optional<std::vector<std::uint32_t>> drawPlotPixels(const PlotScene& scene, double scale,
                                                             int& width, int& height) override;

    // True while a begin has no matching end: the dialogs then keep the hourglass.
    static bool waitCursorShown();

  protected:
    void handlePendingEvents() override;

  private:
    // The dialog on top, the owner of anything shown next; null before the first.
    HWND activeWindow() const;

    std::vector<Win32DialogWindow*> active_;
    HWND plotWindow_ = nullptr;  // the open plot window, above the dialogs
};
