// window_probe: looks at and drives a running vantrel.exe from another Windows process, for the
// window test (window_test.sh) under Wine. Prints what it found; exits 1 when something is off.
//   window_probe controls        the dialog "Vantrel" and its controls, one line each
//   window_probe about           the About box must be open (or open soon); closes it
//   window_probe click ID        clicks the button ID and returns at once
//   window_probe calculate INPUT FROM TO STEP TYPE
//                                fills the fields, clicks Calculate, answers Yes, waits for the run
//   window_probe input PATH      types PATH into the input file's field
//   window_probe plot            the plot window "Analyse results" and its buttons
//   window_probe copy            clicks the plot window's Copy and prints the clipboard's text
//   window_probe saveplot PATH   clicks Save plot..., names PATH in the save dialog, confirms it
//   window_probe closeplot       clicks Close; the plot window must go

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HWND findDialog(const wchar_t* title, HWND except = nullptr) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND found = nullptr;
        while ((found = FindWindowExW(nullptr, found, L"#32770", title)))
            if (found != except && IsWindowVisible(found)) return found;
        Sleep(100);
    }
    return nullptr;
}

std::string narrowText(const wchar_t* text) {
    char bytes[512];
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

int listControls(HWND dialog) {
    std::vector<HWND> controls;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    for (HWND control : controls) {
        wchar_t className[64], text[256];
        GetClassNameW(control, className, 64);
        GetWindowTextW(control, text, 256);
        std::printf("control %d %s \"%s\"\n", static_cast<int>(GetDlgCtrlID(control)),
                    narrowText(className).c_str(), narrowText(text).c_str());
    }
    std::printf("controls: %zu\n", controls.size());
    return controls.size() == 32 ? 0 : 1;
}

int closeAbout() {
    HWND about = findDialog(L"Informazioni su Vantrel");
    if (!about) {
        std::printf("about: no About box\n");
        return 1;
    }
    std::printf("about: the About box opened\n");
    PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int attempt = 0; attempt < 50 && IsWindow(about); ++attempt) Sleep(100);
    return IsWindow(about) ? 1 : 0;
}

void setField(HWND dialog, int id, const wchar_t* text) {
    SendDlgItemMessageW(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The arguments are taken wide, so that a path outside the ANSI code page arrives whole.
int calculate(HWND dialog, wchar_t** args) {
    setField(dialog, 1001, args[0]);
    setField(dialog, 1002, L"0.5");
    setField(dialog, 1003, L"0.5");
    setField(dialog, 1008, args[1]);
    setField(dialog, 1009, args[2]);
    setField(dialog, 1010, args[3]);
    SendDlgItemMessageW(dialog, 1011, CB_SETCURSEL, static_cast<WPARAM>(_wtoi(args[4])), 0);
    HWND button = GetDlgItem(dialog, 1012);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    // The data-size question: a message box of the program's own, titled like the dialog.
    HWND question = findDialog(L"Vantrel", dialog);
    if (!question) {
        std::printf("calculate: no question about the data size\n");
        return 1;
    }
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    // The dialog answers again once the run has returned.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 120000, &ignored)) {
        std::printf("calculate: the run did not end\n");
        return 1;
    }
    wchar_t label[256];
    GetDlgItemTextW(dialog, 1015, label, 256);
    std::printf("calculate: done; data-size label \"%s\"\n", narrowText(label).c_str());
    return 0;
}

// The plot window of the program's own class, once it is open.
HWND findPlotWindow() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND found = FindWindowW(L"VantrelPlotWindow", L"Analyse results");
        if (found && IsWindowVisible(found)) return found;
        Sleep(100);
    }
    return nullptr;
}

int describePlot(HWND plot) {
    RECT client;
    GetClientRect(plot, &client);
    std::printf("plot: window %ldx%ld\n", client.right, client.bottom);
    int buttons = 0;
    for (HWND child = GetWindow(plot, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[64];
        GetWindowTextW(child, text, 64);
        std::printf("plot: button \"%s\"\n", narrowText(text).c_str());
        ++buttons;
    }
    return buttons == 3 && client.right > 600 ? 0 : 1;
}

int copyPlot(HWND plot) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SendMessageW(plot, WM_COMMAND, MAKEWPARAM(102, BN_CLICKED), 0);
    if (!OpenClipboard(nullptr)) return std::printf("copy: cannot open the clipboard\n"), 1;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    std::wstring text;
    if (data) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    std::string bytes(text.size() * 3 + 1, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    return text.empty() ? 1 : 0;
}

int savePlot(HWND plot, const wchar_t* path) {
    PostMessageW(plot, WM_COMMAND, MAKEWPARAM(101, BN_CLICKED), 0);
    HWND chooser = nullptr;
    for (int attempt = 0; attempt < 100 && !chooser; ++attempt) {
        HWND found = nullptr;
        while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)))
            if (IsWindowVisible(found) && GetWindow(found, GW_OWNER) == plot) chooser = found;
        if (!chooser) Sleep(100);
    }
    if (!chooser) return std::printf("saveplot: no save dialog\n"), 1;
    Sleep(500);
    // The name's box: a combo box's edit in the Explorer-style dialog, a plain edit otherwise.
    for (int id : {1148, 1152}) SetDlgItemTextW(chooser, id, path);
    PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
            std::printf("saveplot: written\n");
            return 0;
        }
        Sleep(100);
    }
    return std::printf("saveplot: no file written\n"), 1;
}

int closePlot(HWND plot) {
    PostMessageW(plot, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    for (int attempt = 0; attempt < 50 && IsWindow(plot); ++attempt) Sleep(100);
    return IsWindow(plot) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HWND dialog = findDialog(L"Vantrel");
    if (!dialog) {
        std::printf("no dialog titled Vantrel\n");
        return 1;
    }
    std::string command = argv[1];
    if (command == "plot" || command == "copy" || command == "saveplot" || command == "closeplot") {
        HWND plot = findPlotWindow();
        if (!plot) return std::printf("plot: no window \"Analyse results\"\n"), 1;
        if (command == "plot") return describePlot(plot);
        if (command == "copy") return copyPlot(plot);
        if (command == "closeplot") return closePlot(plot);
        int count = 0;
        wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
        return count == 3 ? savePlot(plot, wide[2]) : 2;
    }
    if (command == "controls") return listControls(dialog);
    if (command == "about") return closeAbout();
    if (command == "click" && argc == 3) {
        int id = std::atoi(argv[2]);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        return 0;
    }
    int wideCount = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
    if (command == "calculate" && wideCount == 7) return calculate(dialog, wide + 2);
    if (command == "input" && wideCount == 3) return setField(dialog, 1001, wide[2]), 0;
    return 2;
}
