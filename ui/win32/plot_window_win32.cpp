// The Windows plot window: the plot drawn by GDI from its marks, the summary under it, and the
// buttons Save plot..., Copy and Close. A window of its own class, run modally over the dialog
// that opened it, with the dialog manager's keyboard handling (Tab, Enter, Escape).

#include <cmath>

#include "platform_win32.h"
#include "plot_drawing_win32.h"
#include "wide_text.h"

namespace {

constexpr wchar_t kClassName[] = L"VantrelPlotWindow";
constexpr int kMargin = 8, kButtonWidth = 96, kButtonHeight = 26;
constexpr int kIdSave = 101, kIdCopy = 102;

struct PlotWindowState {
    Win32Platform* platform;
    const PlotWindowRequest* request;
    RECT summary;
};

HFONT guiFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }();
    return font;
}

LRESULT CALLBACK plotProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<PlotWindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
            return 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (state) {
                drawSceneGdi(dc, state->request->scene, 1.0, kMargin, kMargin);
                HGDIOBJ old = SelectObject(dc, guiFont());
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
                SetTextAlign(dc, TA_LEFT | TA_TOP);
                const std::wstring text = widen(state->request->summary);
                RECT box = state->summary;
                DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                          DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
                SelectObject(dc, old);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_COMMAND:
            if (!state) break;
            if (LOWORD(wParam) == kIdSave) {
                savePlotAs(*state->platform, *state->request);
            } else if (LOWORD(wParam) == kIdCopy) {
                if (!state->platform->copyToClipboard(state->request->copyText))
                    state->platform->messageBox("Cannot open the clipboard",
                                                MessageBoxButtons::kOk);
            } else if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                DestroyWindow(window);
            }
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = plotProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    registered = RegisterClassExW(&windowClass) != 0;
}

HWND makeButton(HWND parent, int id, const wchar_t* text, int x, int y, bool isDefault) {
    HWND button = CreateWindowExW(
        0, L"BUTTON", text,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), x, y,
        kButtonWidth, kButtonHeight, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont()), TRUE);
    return button;
}

// The summary's height at the window's width, in the window's font.
int summaryHeight(const std::string& summary, int width) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, guiFont());
    RECT box{0, 0, width, 0};
    const std::wstring text = widen(summary);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return box.bottom - box.top;
}

}  // namespace

void Win32Platform::showPlot(const PlotWindowRequest& request) {
    registerClass();
    const int plotWidth = static_cast<int>(std::ceil(request.scene.width));
    const int plotHeight = static_cast<int>(std::ceil(request.scene.height));
    const int textTop = kMargin + plotHeight + kMargin;
    const int textHeight = summaryHeight(request.summary, plotWidth - 8);
    const int buttonsTop = textTop + textHeight + kMargin;
    RECT frame{0, 0, plotWidth + 2 * kMargin, buttonsTop + kButtonHeight + kMargin};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);

    HWND owner = activeWindow();
    RECT ownerBox{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner) GetWindowRect(owner, &ownerBox);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    const int x = std::max(0L, (ownerBox.left + ownerBox.right - width) / 2);
    const int y = std::max(0L, (ownerBox.top + ownerBox.bottom - height) / 2);

    PlotWindowState state{
        this, &request, {kMargin + 4, textTop, kMargin + plotWidth - 4, textTop + textHeight}};
    HWND window =
        CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, widen(request.title).c_str(), style, x, y,
                        width, height, owner, nullptr, GetModuleHandleW(nullptr), &state);
    if (!window) return Platform::showPlot(request);
    const int right = kMargin + plotWidth;
    makeButton(window, kIdSave, L"Save plot...", right - 3 * kButtonWidth - 2 * kMargin, buttonsTop,
               false);
    makeButton(window, kIdCopy, L"Copy", right - 2 * kButtonWidth - kMargin, buttonsTop, false);
    HWND close = makeButton(window, IDCANCEL, L"Close", right - kButtonWidth, buttonsTop, true);

    // Modal: the owner is disabled while the window is open, as a dialog's owner is.
    plotWindow_ = window;
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    SetFocus(close);
    MSG message;
    while (IsWindow(window) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    plotWindow_ = nullptr;
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
}

bool Win32Platform::copyToClipboard(const std::string& text) {
    const std::wstring wide = widen(text);
    if (!OpenClipboard(activeWindow())) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    bool copied = false;
    if (memory) {
        auto* target = static_cast<wchar_t*>(GlobalLock(memory));
        std::copy(wide.begin(), wide.end(), target);
        target[wide.size()] = L'\0';
        GlobalUnlock(memory);
        copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!copied) GlobalFree(memory);
    }
    CloseClipboard();
    return copied;
}

std::optional<std::vector<std::uint32_t>> Win32Platform::drawPlotPixels(const PlotScene& scene,
                                                                        double scale, int& width,
                                                                        int& height) {
    width = std::max(1, static_cast<int>(std::lround(scene.width * scale)));
    height = std::max(1, static_cast<int>(std::lround(scene.height * scale)));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap) {
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        return std::nullopt;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    drawSceneGdi(dc, scene, scale, 0, 0);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> result(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& p : result) p &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}
