#include "platform_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <system_error>

#include "dialog.h"
#include "dialog_window_win32.h"
#include "wide_text.h"

namespace {

int waitCursorCount = 0;

// The title of the program's message boxes: the program's name, as the application is named
// after its executable.
constexpr wchar_t kMessageTitle[] = L"Vantrel";

std::wstring currentFolder() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    if (folder.empty()) return folder;
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

}  // namespace

HWND Win32Platform::activeWindow() const {
    if (plotWindow_) return plotWindow_;
    return active_.empty() ? nullptr : active_.back()->handle();
}

int Win32Platform::runModal(Dialog& dialog) {
    Win32DialogWindow window(dialog);
    HWND owner = activeWindow();
    dialog.attachWindow(&window);
    active_.push_back(&window);
    int result = window.runModal(owner);
    active_.pop_back();
    dialog.attachWindow(nullptr);
    return result;
}

int Win32Platform::messageBox(const std::string& text, MessageBoxButtons buttons) {
    UINT style = buttons == MessageBoxButtons::kYesNo ? MB_YESNO | MB_ICONQUESTION
                                                      : MB_OK | MB_ICONEXCLAMATION;
    int answer = MessageBoxW(activeWindow(), widen(text).c_str(), kMessageTitle, style);
    if (buttons == MessageBoxButtons::kOk) return kAnswerOk;
    return answer == IDNO ? kAnswerNo : kAnswerYes;
}

std::optional<std::string> Win32Platform::runFileDialog(const FileDialogRequest& request) {
    // The filter's '|' separators are the common dialog's NULs; its closing "||" ends the list.
    std::wstring filter = widen(request.filter);
    for (wchar_t& c : filter)
        if (c == L'|') c = L'\0';
    std::wstring file = widen(request.initialName);
    file.resize(std::max<std::size_t>(file.size() + 1, 32768), L'\0');
    std::wstring extension = request.defaultExtension ? widen(*request.defaultExtension) : L"";

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = activeWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = request.defaultExtension ? extension.c_str() : nullptr;
    // The current folder stays where it was, so that a relative name in a field means the same
    // file before and after browsing, as it does on other systems. The flag alone is not enough:
    // the open dialog is documented to ignore it, so the folder is also put back by hand.
    dialog.Flags = request.flags | OFN_EXPLORER | OFN_NOCHANGEDIR;
    const std::wstring folder = currentFolder();
    BOOL confirmed = request.open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    if (!confirmed) return std::nullopt;
    return narrow(file.c_str());
}

void Win32Platform::handlePendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that ends on it
            return;
        }
        // Tab, Enter and Escape work as in the dialog manager's own loop.
        HWND dialog = activeWindow();
        if (dialog && IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Platform::beginWaitCursor() {
    ++waitCursorCount;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void Win32Platform::endWaitCursor() {
    if (waitCursorCount > 0 && --waitCursorCount == 0) {
        // The cursor the window under it asks for, as if the mouse had moved.
        POINT at;
        GetCursorPos(&at);
        SetCursorPos(at.x, at.y);
    }
}

bool Win32Platform::waitCursorShown() {
    return waitCursorCount > 0;
}

std::optional<std::string> Win32Platform::startProgram(const ProgramCommand& command) {
    // WinExec's way, shown normally and not waited for, but with a wide command line, so that
    // a path with characters outside the ANSI code page reaches the program whole.
    std::wstring commandLine = widen(command.commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return std::system_category().message(static_cast<int>(GetLastError()));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::nullopt;
}
