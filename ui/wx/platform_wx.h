#pragma once

#include <vector>

#include "platform.h"

class wxWindow;

// The desktop platform on wxWidgets: real windows, native message boxes and file dialogs, the
// busy cursor, and programs started without a shell.
class WxPlatform : public Platform {
  public:
    int runModal(Dialog& dialog) override;
    int messageBox(const std::string& text, MessageBoxButtons buttons) override;
    std::optional<std::string> runFileDialog(const FileDialogRequest& request) override;
    void beginWaitCursor() override;
    void endWaitCursor() override;
    std::optional<std::string> startProgram(const ProgramCommand& command) override;
    // plot_window_wx.cpp
    void showPlot(const PlotWindowRequest& request) override;
    bool copyToClipboard(const std::string& text) override;

  protected:
    void handlePendingEvents() override;

  private:
    // The dialog that boxes and file dialogs belong to: the innermost modal one.
    wxWindow* activeWindow() const { return active_.empty() ? nullptr : active_.back(); }

    std::vector<wxWindow*> active_;
};
