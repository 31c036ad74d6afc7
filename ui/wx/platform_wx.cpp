#include "platform_wx.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#ifdef __WXMSW__
#include <windows.h>
#endif

#include "dialog.h"
#include "dialog_window_wx.h"
#include "file_filter.h"
#include "text_bytes_wx.h"

int WxPlatform::runModal(Dialog& dialog) {
    auto* window = new WxDialogWindow(activeWindow(), dialog);
    dialog.attachWindow(window);
    if (dialog.initDialog()) {
        // Once the window is shown, so that showing it does not move the focus again.
        window->CallAfter([window] { window->focusFirstTabStop(); });
    }
    active_.push_back(window);
    int result = window->ShowModal();
    active_.pop_back();
    dialog.attachWindow(nullptr);
    window->Destroy();
    return result;
}

int WxPlatform::messageBox(const std::string& text, MessageBoxButtons buttons) {
    long style = buttons == MessageBoxButtons::kYesNo ? wxYES_NO | wxICON_QUESTION
                                                      : wxOK | wxICON_EXCLAMATION;
    wxMessageDialog box(activeWindow(), fromBytes(text), wxTheApp->GetAppDisplayName(), style);
    int answer = box.ShowModal();
    if (buttons == MessageBoxButtons::kOk) return kAnswerOk;
    // GTK lets the user close a question without answering it: that is not a Yes.
    return answer == wxID_YES ? kAnswerYes : kAnswerNo;
}

std::optional<std::string> WxPlatform::runFileDialog(const FileDialogRequest& request) {
    long style = request.open ? wxFD_OPEN : wxFD_SAVE;
    if (request.open && (request.flags & kFileMustExist)) style |= wxFD_FILE_MUST_EXIST;
    if (!request.open && (request.flags & kFileOverwritePrompt)) style |= wxFD_OVERWRITE_PROMPT;
    // The chooser has no read-only box to hide, and only offers folders that exist.

    wxFileName initial(fromBytes(request.initialName));
    wxFileDialog chooser(activeWindow(), request.open ? "Open" : "Save As", initial.GetPath(),
                         initial.GetFullName(), fromBytes(desktopWildcard(request.filter)), style);
    if (chooser.ShowModal() != wxID_OK) return std::nullopt;
    wxFileName chosen(chooser.GetPath());
    if (request.defaultExtension && !chosen.HasExt())
        chosen.SetExt(fromBytes(*request.defaultExtension));
    return toBytes(chosen.GetFullPath());
}

void WxPlatform::beginWaitCursor() {
    wxBeginBusyCursor();
}

void WxPlatform::endWaitCursor() {
    wxEndBusyCursor();
}

void WxPlatform::startProgram(const ProgramCommand& command) {
#ifdef __WXMSW__
    WinExec(command.commandLine.c_str(), SW_SHOW);
#else
    if (command.arguments.empty()) return;
    std::vector<const char*> argv;
    for (const std::string& argument : command.arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    // Nothing is reported when the program cannot be started.
    wxLogNull quiet;
    wxExecute(argv.data(), wxEXEC_ASYNC);
#endif
}
