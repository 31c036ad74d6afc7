// window_probe: looks at and drives a running vantrel.exe from another Windows process, for the
// window test (window_test.sh) under Wine. Prints what it found; exits 1 when something is off.
//   window_probe controls        the dialog "Vantrel" and its controls, one line each
//   window_probe about           the About box must be open (or open soon); closes it
//   window_probe click ID        clicks the button ID and returns at once
//   window_probe calculate INPUT FROM TO STEP TYPE
//                                fills the fields, clicks Calculate, answers Yes, waits for the run
//   window_probe textfit         every control's text fits its box in the control's own font
//   window_probe centred         the dialog is centred on the screen's work area
//   window_probe badfield        1o0 in From: Calculate stops after the message, focus on From
//   window_probe message INPUT TEXT
//                                Calculate on INPUT shows a box with exactly TEXT (\n: a new line)
//   window_probe longrun INPUT TO
//                                a run of areas 4 to TO: progress in the title, a second
//                                Calculate during it starts nothing
//   window_probe stoprun INPUT TO
//                                a run stopped from the close box: asked, and gone within 1.5 s
//   window_probe browse-progression PATH
//                                the progression file's open dialog, confirmed with PATH
//   window_probe input PATH      types PATH into the input file's field
//   window_probe plot            the plot window "Analyse results" and its buttons
//   window_probe copy            clicks the plot window's Copy and prints the clipboard's text
//   window_probe saveplot PATH   clicks Save plot..., names PATH in the save dialog, confirms it
//   window_probe closeplot       clicks Close; the plot window must go
//   window_probe mapplot         the plot window "Map roughness": its buttons, Copy's text, Close

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

std::wstring windowText(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

// A message box of the program's own, other than the dialog, and its text.
HWND findBox(HWND dialog) {
    return findDialog(L"Vantrel", dialog);
}

std::wstring boxText(HWND box) {
    return windowText(GetDlgItem(box, 0xFFFF));
}

void answer(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    for (int attempt = 0; attempt < 50 && IsWindow(box); ++attempt) Sleep(100);
}

void click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// No box but the dialog opens within the time.
bool noBoxFor(HWND dialog, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 100) {
        HWND found = nullptr;
        while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)))
            if (found != dialog && IsWindowVisible(found)) return false;
        Sleep(100);
    }
    return true;
}

// Waits for the question to close and the title to show the caption alone for a while.
bool runEnded(HWND dialog, HWND question) {
    for (int attempt = 0; attempt < 100 && IsWindow(question); ++attempt) Sleep(100);
    int steady = 0;
    for (int attempt = 0; attempt < 1200 && steady < 5; ++attempt) {
        steady = windowText(dialog) == L"Vantrel" ? steady + 1 : 0;
        Sleep(100);
    }
    return steady >= 5;
}

std::wstring unescaped(const wchar_t* text) {
    std::wstring out;
    for (const wchar_t* p = text; *p; ++p) {
        if (p[0] == L'\\' && p[1] == L'n') {
            out += L'\n';
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

// The width a control's text takes in the control's own font, and the room it has.
int textFit(HWND dialog) {
    std::vector<HWND> controls;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    // The control's own font handle belongs to the program's process; the same font is made here
    // from the template's face and size, as the dialog manager made it.
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, L"MS Sans Serif");
    int misfits = 0;
    for (HWND control : controls) {
        wchar_t className[64];
        GetClassNameW(control, className, 64);
        const std::wstring kind = className;
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        std::vector<std::wstring> texts;
        int room = 0;
        RECT box{};
        GetWindowRect(control, &box);
        const int width = box.right - box.left;
        const int edge = GetSystemMetrics(SM_CXEDGE);
        if (kind == L"Static") {
            if ((style & SS_TYPEMASK) == SS_ICON || (style & SS_PATHELLIPSIS)) continue;
            texts.push_back(windowText(control));
            room = width;
        } else if (kind == L"Button") {
            texts.push_back(windowText(control));
            const LONG type = style & BS_TYPEMASK;
            if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
                room = width - GetSystemMetrics(SM_CXMENUCHECK) - 3;
            else if (type == BS_GROUPBOX)
                room = width - 2 * GetSystemMetrics(SM_CXEDGE) - 8;
            else
                room = width - 2 * edge;
        } else if (kind == L"ComboBox") {
            const int count = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                wchar_t item[256] = L"";
                SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(item));
                texts.push_back(item);
            }
            room = width - GetSystemMetrics(SM_CXVSCROLL) - 2 * edge;
        } else {
            continue;
        }
        HDC dc = GetDC(control);
        HGDIOBJ previous = SelectObject(dc, font);
        for (std::wstring text : texts) {
            std::wstring shown;
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] == L'&' && !(kind == L"Static" && (style & SS_NOPREFIX)) &&
                    i + 1 < text.size())
                    ++i;
                shown += text[i];
            }
            SIZE size{};
            GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
            const bool fits = size.cx <= room;
            if (!fits) ++misfits;
            std::printf("textfit: %s \"%s\" needs %ld of %d\n", fits ? "fits" : "CUT",
                        narrowText(shown.c_str()).c_str(), size.cx, room);
        }
        SelectObject(dc, previous);
        ReleaseDC(control, dc);
    }
    DeleteObject(font);
    return misfits == 0 ? 0 : 1;
}

int centred(HWND dialog) {
    RECT own{};
    GetWindowRect(dialog, &own);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int dx = (own.left + own.right) - (work.left + work.right);
    const int dy = (own.top + own.bottom) - (work.top + work.bottom);
    std::printf("centred: the dialog at %ld,%ld-%ld,%ld on %ld,%ld-%ld,%ld\n", own.left, own.top,
                own.right, own.bottom, work.left, work.top, work.right, work.bottom);
    return std::abs(dx) <= 4 && std::abs(dy) <= 4 ? 0 : 1;
}

int badField(HWND dialog) {
    setField(dialog, 1008, L"1o0");
    click(dialog, 1012);
    HWND box = findBox(dialog);
    if (!box || boxText(box) != L"Please enter an integer.") {
        std::printf("badfield: no message that an integer is expected\n");
        return 1;
    }
    answer(box, IDOK);
    if (!noBoxFor(dialog, 2000)) {
        std::printf("badfield: Calculate went on after the message\n");
        return 1;
    }
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    if (thread.hwndFocus != GetDlgItem(dialog, 1008)) {
        std::printf("badfield: the focus is not on From\n");
        return 1;
    }
    std::printf("badfield: Calculate stopped after the message, with the focus on From\n");
    setField(dialog, 1008, L"4");
    return 0;
}

int expectMessage(HWND dialog, const wchar_t* input, const wchar_t* text) {
    setField(dialog, 1001, input);
    click(dialog, 1012);
    HWND box = findBox(dialog);
    const std::wstring shown = box ? boxText(box) : L"(no box)";
    if (box) answer(box, IDOK);
    if (shown != unescaped(text)) {
        std::printf("message: the box said \"%s\"\n", narrowText(shown.c_str()).c_str());
        return 1;
    }
    return 0;
}

// Fills the fields for areas 4 to `to` in steps of 4, clicks Calculate and answers Yes; waits
// for the title to show the area under way.
bool startRun(HWND dialog, const wchar_t* input, const wchar_t* to) {
    setField(dialog, 1001, input);
    setField(dialog, 1002, L"0.5");
    setField(dialog, 1003, L"0.5");
    setField(dialog, 1008, L"4");
    setField(dialog, 1009, to);
    setField(dialog, 1010, L"4");
    SendDlgItemMessageW(dialog, 1011, CB_SETCURSEL, 0, 0);
    click(dialog, 1012);
    HWND question = findBox(dialog);
    if (!question) return false;
    answer(question, IDYES);
    for (int attempt = 0; attempt < 300; ++attempt) {
        const std::wstring title = windowText(dialog);
        const wchar_t progress[] = L"Vantrel - area ";
        if (title.compare(0, wcslen(progress), progress) == 0) return true;
        Sleep(100);
    }
    return false;
}

int longRun(HWND dialog, wchar_t** args) {
    if (!startRun(dialog, args[0], args[1])) {
        std::printf("longrun: the title showed no progress\n");
        return 1;
    }
    std::printf("longrun: the title reads \"%s\"\n",
                narrowText(windowText(dialog).c_str()).c_str());
    click(dialog, 1012);
    for (int attempt = 0; attempt < 1200 && windowText(dialog) != L"Vantrel"; ++attempt) Sleep(100);
    if (windowText(dialog) != L"Vantrel") {
        std::printf("longrun: the run did not end\n");
        return 1;
    }
    if (!noBoxFor(dialog, 2000)) {
        std::printf("longrun: a Calculate during the run started another\n");
        return 1;
    }
    return 0;
}

int stopRun(HWND dialog, wchar_t** args) {
    if (!startRun(dialog, args[0], args[1])) {
        std::printf("stoprun: the title showed no progress\n");
        return 1;
    }
    // The close box.
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND box = findBox(dialog);
    if (!box || boxText(box) != L"Calculate is still running. Stop it and close Vantrel?") {
        std::printf("stoprun: the close box did not ask whether to stop the run\n");
        return 1;
    }
    const DWORD asked = GetTickCount();
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    while (IsWindow(dialog) && GetTickCount() - asked < 5000) Sleep(20);
    const DWORD took = GetTickCount() - asked;
    std::printf("stoprun: the dialog closed %lu ms after Yes\n", took);
    return !IsWindow(dialog) && took <= 1500 ? 0 : 1;
}

int browseProgression(HWND dialog, const wchar_t* path) {
    click(dialog, 1007);
    HWND open = nullptr;
    for (int attempt = 0; attempt < 100 && !open; ++attempt) {
        HWND found = nullptr;
        while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)))
            if (found != dialog && IsWindowVisible(found)) open = found;
        if (!open) Sleep(100);
    }
    if (!open) {
        std::printf("browse: no open dialog\n");
        return 1;
    }
    Sleep(500);  // the dialog fills in
    // The file name box: the explorer dialog's combo (cmb13), or the older edit (edt1).
    HWND name = GetDlgItem(open, 0x47c);
    if (!name) name = GetDlgItem(open, 0x480);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
    PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int attempt = 0; attempt < 100 && IsWindow(open); ++attempt) Sleep(100);
    wchar_t chosen[1024] = L"";
    GetDlgItemTextW(dialog, 1005, chosen, 1024);
    std::printf("browse: the progression file is \"%s\"\n", narrowText(chosen).c_str());
    return IsWindow(open) ? 1 : 0;
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
    // The dialog stays alive through the run; its title shows the caption alone once it ends.
    if (!runEnded(dialog, question)) {
        std::printf("calculate: the run did not end\n");
        return 1;
    }
    wchar_t label[256];
    GetDlgItemTextW(dialog, 1015, label, 256);
    std::printf("calculate: done; data-size label \"%s\"\n", narrowText(label).c_str());
    return 0;
}

// The plot window of the program's own class with the title, once it is open.
HWND findPlotWindow(const wchar_t* title = L"Analyse results") {
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND found = FindWindowW(L"VantrelPlotWindow", title);
        if (found && IsWindowVisible(found)) return found;
        Sleep(100);
    }
    return nullptr;
}

int describePlot(HWND plot, long leastWidth = 600) {
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
    return buttons == 3 && client.right > leastWidth ? 0 : 1;
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
    if (command == "mapplot") {
        // The map's window: its buttons, then what Copy gives, then Close.
        HWND plot = findPlotWindow(L"Map roughness");
        if (!plot) return std::printf("mapplot: no window \"Map roughness\"\n"), 1;
        if (describePlot(plot, 400) != 0 || copyPlot(plot) != 0) return 1;
        return closePlot(plot);
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
    if (command == "textfit") return textFit(dialog);
    if (command == "centred") return centred(dialog);
    if (command == "badfield") return badField(dialog);
    if (command == "message" && wideCount == 4) return expectMessage(dialog, wide[2], wide[3]);
    if (command == "longrun" && wideCount == 4) return longRun(dialog, wide + 2);
    if (command == "stoprun" && wideCount == 4) return stopRun(dialog, wide + 2);
    if (command == "browse-progression" && wideCount == 3)
        return browseProgression(dialog, wide[2]);
    if (command == "input" && wideCount == 3) return setField(dialog, 1001, wide[2]), 0;
    return 2;
}
