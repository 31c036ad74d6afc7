// window_probe: looks at and drives a running vantrel.exe from another Windows process, for the
// window test (window_test.sh) under Wine. Prints what it found; exits 1 when something is off.
//   window_probe controls        the dialog "Vantrel" and its controls, one line each
//   window_probe about           the About box must be open (or open soon); closes it
//   window_probe click ID        clicks the button ID and returns at once
//   window_probe calculate INPUT FROM TO STEP TYPE
//                                fills the fields, clicks Calculate, answers Yes, waits for the run

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

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HWND dialog = findDialog(L"Vantrel");
    if (!dialog) {
        std::printf("no dialog titled Vantrel\n");
        return 1;
    }
    std::string command = argv[1];
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
    return 2;
}
