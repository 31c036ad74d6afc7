#include "platform_wx.h"

#include <wx/app.h>
#include <wx/arrstr.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <cstdio>
#include <cstdlib>

#include "dialog.h"
#include "dialog_window_wx.h"
#include "file_filter.h"
#include "start_program.h"
#include "text_bytes_wx.h"

namespace {

#ifdef __WXGTK__
// Whether a file name matches one of a filter's patterns ("*.txt;*.dat"), in either case.
bool matchesPattern(const std::string& patterns, const wxString& name) {
    for (const wxString& pattern : wxSplit(fromBytes(patterns), ';'))
        if (wxMatchWild(pattern.Lower(), name.Lower(), false)) return true;
    return false;
}
#endif

// The name a file dialog starts with. GTK cannot show selected a file that the first filter
// hides: it drops the filter to show it. Such an open dialog starts in the file's folder, with
// the first filter, as it always does.
wxString startingName(const FileDialogRequest& request, const wxFileName& initial) {
    wxString name = initial.GetFullName();
#ifdef __WXGTK__
    std::vector<FileFilterEntry> filters = parseFileFilter(request.filter);
    if (request.open && !filters.empty() && !matchesPattern(filters.front().pattern, name))
        return {};
#endif
    return name;
}

// The window test reads what the boxes said from the file VANTREL_MESSAGE_LOG names, each text
// followed by a line "--": a GTK box's text cannot be read from outside the program.
void logMessage(const std::string& text) {
    const char* log = std::getenv("VANTREL_MESSAGE_LOG");
    if (!log || !*log) return;
    if (std::FILE* file = std::fopen(log, "a")) {
        std::fprintf(file, "%s\n--\n", text.c_str());
        std::fclose(file);
    }
}

}  // namespace

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
    logMessage(text);
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
    wxString name = startingName(request, initial);
    // A save dialog's name is given after the filters: given to the constructor, a name without
    // an extension would get the first filter's pattern appended.
    wxFileDialog chooser(activeWindow(), request.open ? "Open" : "Save As", initial.GetPath(),
                         request.open ? name : wxString(),
                         fromBytes(desktopWildcard(request.filter)), style);
    if (!request.open) chooser.SetFilename(name);
    if (chooser.ShowModal() != wxID_OK) return std::nullopt;
    wxFileName chosen(chooser.GetPath());
    if (request.defaultExtension && !chosen.HasExt())
        chosen.SetExt(fromBytes(*request.defaultExtension));
    return toBytes(chosen.GetFullPath());
}

void WxPlatform::handlePendingEvents() {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_ALL);
}

void WxPlatform::beginWaitCursor() {
    wxBeginBusyCursor();
}

void WxPlatform::endWaitCursor() {
    wxEndBusyCursor();
}

std::optional<std::string> WxPlatform::startProgram(const ProgramCommand& command) {
    return startDetached(command, [this](std::string problem) {
        // From the watching thread to the windows' own, which shows it over the active dialog.
        if (wxTheApp)
            wxTheApp->CallAfter([this, problem] { messageBox(problem, MessageBoxButtons::kOk); });
    });
}
