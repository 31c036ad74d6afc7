#include "dialog_window_win32.h"

#include <algorithm>
#include <cstdint>

#include "dialog.h"
#include "dialog_template_win32.h"
#include "platform_win32.h"
#include "wide_text.h"

namespace {

// A 16-colour picture as a Windows icon: the colours, and a mask that is set where the picture
// is transparent.
HICON makeIcon(const IconImage& image) {
    const int width = image.width, height = image.height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!colour) return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    // One bit a pixel, each row padded to a WORD.
    const int maskStride = ((width + 15) / 16) * 2;
    std::vector<unsigned char> mask(static_cast<std::size_t>(maskStride * height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool transparent = image.transparentAt(x, y);
            pixels[y * width + x] = transparent ? 0 : image.colourAt(x, y);
            if (transparent) mask[y * maskStride + x / 8] |= 0x80 >> (x % 8);
        }
    }
    HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
    ICONINFO icon{TRUE, 0, 0, maskBitmap, colour};
    HICON result = CreateIconIndirect(&icon);
    DeleteObject(maskBitmap);
    DeleteObject(colour);
    return result;
}

// What a control of this kind needs across for its caption (or widest item) in `dc`'s font.
int widthNeeded(HDC dc, const ControlTemplate& c, const std::vector<std::string>& items) {
    auto extent = [dc](const std::string& text, bool prefix) {
        std::wstring wide = widen(text);
        if (prefix) {  // "&x" shows x underlined, "&&" one ampersand
            std::wstring shown;
            for (std::size_t i = 0; i < wide.size(); ++i) {
                if (wide[i] == L'&' && i + 1 < wide.size()) ++i;
                shown += wide[i];
            }
            wide = shown;
        }
        SIZE size{};
        GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        return static_cast<int>(size.cx);
    };
    const bool prefix = !(c.style & kNoPrefix);
    const int edge = GetSystemMetrics(SM_CXEDGE);
    switch (c.kind) {
        case ControlKind::kStaticText:
            // A path label shows the end of what does not fit, by design.
            return (c.style & kPathEllipsis) ? 0 : extent(c.caption, prefix);
        case ControlKind::kPushButton:
            return extent(c.caption, prefix) + 2 * edge + 2;
        case ControlKind::kCheckBox:
            return extent(c.caption, prefix) + GetSystemMetrics(SM_CXMENUCHECK) + 4;
        case ControlKind::kGroupBox:
            return extent(c.caption, prefix) + 4 * extent("x", false);
        case ControlKind::kDropDownList: {
            int widest = 0;
            for (const std::string& item : items) widest = std::max(widest, extent(item, false));
            return widest + GetSystemMetrics(SM_CXVSCROLL) + 4 * edge + 4;
        }
        default:
            return 0;
    }
}

// The dialog manager sized the template in the metrics of the face it found for the template's
// font, which is not always the face the template was drawn for: where a text would be cut or
// wrapped, every control and the dialog widen alike until the widest text fits.
void widenToFitTexts(HWND window, const DialogTemplate& t) {
    HDC dc = GetDC(window);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    double widen = 1.0;
    std::vector<std::pair<HWND, RECT>> children;
    HWND child = GetWindow(window, GW_CHILD);
    for (const ControlTemplate& c : t.controls) {
        if (!child) break;
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        children.emplace_back(child, box);
        std::vector<std::string> items;
        for (const ListInitData& init : t.initData)
            if (init.controlId == c.id) items = init.items;
        const int width = box.right - box.left;
        if (width > 0)
            widen = std::max(widen, static_cast<double>(widthNeeded(dc, c, items)) / width);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    if (widen <= 1.0) return;
    for (const auto& [control, box] : children) {
        const int left = static_cast<int>(box.left * widen + 0.5);
        const int right = static_cast<int>(box.right * widen + 0.5);
        SetWindowPos(control, nullptr, left, box.top, right - left, box.bottom - box.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT client{}, frame{};
    GetClientRect(window, &client);
    GetWindowRect(window, &frame);
    const int extra = static_cast<int>(client.right * widen + 0.5) - client.right;
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + extra, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A dialog whose template leaves its position at 0, 0 is placed by the dialog framework: centred
// over its owner, or on the work area of the screen it is on when it has none, as the desktop
// backend places it and as the message boxes are placed.
void centreWindow(HWND window) {
    RECT area{};
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
        area = monitor.rcWork;
    }
    RECT own{};
    GetWindowRect(window, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Over an owner near the edge, the dialog stays on the screen.
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTOPRIMARY), &screen)) {
        const RECT& work = screen.rcWork;
        if (x + width > work.right) x = work.right - width;
        if (y + height > work.bottom) y = work.bottom - height;
        if (x < work.left) x = work.left;
        if (y < work.top) y = work.top;
    }
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32DialogWindow::~Win32DialogWindow() {
    for (const MadeIcon& made : icons_) DestroyIcon(made.handle);
}

int Win32DialogWindow::runModal(HWND owner) {
    std::vector<DWORD> bytes = buildDialogTemplate(dialog_.dialogTemplate());
    INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), owner,
        &Win32DialogWindow::dialogProcedure, reinterpret_cast<LPARAM>(this));
    window_ = nullptr;
    return static_cast<int>(result);
}

INT_PTR CALLBACK Win32DialogWindow::dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32DialogWindow*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
    }
    auto* self = reinterpret_cast<Win32DialogWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR Win32DialogWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            widenToFitTexts(window_, dialog_.dialogTemplate());
            const DialogRect& placed = dialog_.dialogTemplate().rect;
            if (placed.x == 0 && placed.y == 0) centreWindow(window_);
            showTemplateIcons();
            // TRUE: the dialog manager puts the focus on the first control with a tab stop.
            return dialog_.initDialog() ? TRUE : FALSE;
        }
        case WM_COMMAND:
            // Clicks of buttons, and IDOK and IDCANCEL from Enter, Escape and the close box;
            // the other controls' notifications are nobody's business here.
            if (HIWORD(wParam) == BN_CLICKED) dialog_.command(LOWORD(wParam));
            return TRUE;
        case WM_SYSCOMMAND:
            // While a modal window of this dialog's own is open, the dialog is disabled and no
            // user can reach its system menu; Wine's menu loop may still hand the last command
            // over a second time, which would open that window again over itself.
            if ((wParam & 0xFFF0) < SC_SIZE && !IsWindowEnabled(window_)) return TRUE;
            return dialog_.systemCommand(static_cast<int>(wParam)) ? TRUE : FALSE;
        case WM_CONTEXTMENU:
            showContextMenu(lParam);
            return TRUE;
        case WM_PAINT: {
            if (!IsIconic(window_)) return FALSE;
            PAINTSTRUCT paint;
            paintDc_ = BeginPaint(window_, &paint);
            dialog_.paint();
            EndPaint(window_, &paint);
            paintDc_ = nullptr;
            return TRUE;
        }
        case WM_QUERYDRAGICON:
            // Returned as it is: this message's answer is not the dialog's message result.
            if (const IconResource* icon = dialog_.OnQueryDragIcon())
                return reinterpret_cast<INT_PTR>(iconHandle(*icon, 32));
            return FALSE;
        case WM_SETCURSOR:
            if (!Win32Platform::waitCursorShown()) return FALSE;
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        default:
            return FALSE;
    }
}

void Win32DialogWindow::showTemplateIcons() {
    // The icon controls have no id of their own: they are found in template order.
    HWND child = GetWindow(window_, GW_CHILD);
    for (const ControlTemplate& c : dialog_.dialogTemplate().controls) {
        if (!child) break;
        if (c.kind == ControlKind::kIcon && c.icon)
            SendMessageW(child, STM_SETICON, reinterpret_cast<WPARAM>(iconHandle(*c.icon, 32)), 0);
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

HICON Win32DialogWindow::iconHandle(const IconResource& icon, int size) {
    for (const MadeIcon& made : icons_)
        if (made.icon == &icon && made.size == size) return made.handle;
    const IconImage* image = icon.imageFor(size);
    HICON handle = image ? makeIcon(*image) : nullptr;
    if (handle) icons_.push_back({&icon, size, handle});
    return handle;
}

std::string Win32DialogWindow::text(int id) const {
    HWND control = GetDlgItem(window_, id);
    if (!control) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return narrow(text);
}

void Win32DialogWindow::setText(int id, const std::string& text) {
    SetDlgItemTextW(window_, id, widen(text).c_str());
}

bool Win32DialogWindow::checked(int id) const {
    return IsDlgButtonChecked(window_, id) == BST_CHECKED;
}

void Win32DialogWindow::setChecked(int id, bool checked) {
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void Win32DialogWindow::addListItem(int id, const std::string& item) {
    SendDlgItemMessageW(window_, id, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(widen(item).c_str()));
}

int Win32DialogWindow::listSelection(int id) const {
    if (!GetDlgItem(window_, id)) return -1;
    LRESULT index = SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32DialogWindow::setListSelection(int id, int index) {
    // CB_SETCURSEL with an index outside the list clears the selection.
    SendDlgItemMessageW(window_, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32DialogWindow::setFocus(int id) {
    if (HWND control = GetDlgItem(window_, id))
        SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

void Win32DialogWindow::setTitle(const std::string& text) {
    SetWindowTextW(window_, widen(text).c_str());
}

bool Win32DialogWindow::hasSystemMenu() const {
    return GetSystemMenu(window_, FALSE) != nullptr;
}

void Win32DialogWindow::appendSystemMenuSeparator() {
    if (HMENU menu = GetSystemMenu(window_, FALSE)) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    contextEntries_.push_back({true, 0, {}});
}

void Win32DialogWindow::appendSystemMenuItem(int commandId, const std::string& text) {
    if (HMENU menu = GetSystemMenu(window_, FALSE))
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(commandId), widen(text).c_str());
    contextEntries_.push_back({false, commandId, widen(text)});
}

// A right click anywhere on the dialog offers the program's entries of the system menu (About,
// Analyse results...), as the desktop backend does on systems without a system menu, so that
// they do not depend on Alt+Space, which a window manager may take for itself.
void Win32DialogWindow::showContextMenu(LPARAM at) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    int items = 0;
    for (const MenuEntry& entry : contextEntries_) {
        if (entry.separator) {
            if (items > 0) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(entry.commandId),
                        entry.text.c_str());
            ++items;
        }
    }
    POINT point{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == static_cast<LPARAM>(-1)) {  // from the keyboard: at the window's centre
        RECT box;
        GetWindowRect(window_, &box);
        point = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    }
    const int chosen = items == 0
                           ? 0
                           : TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                            point.x, point.y, 0, window_, nullptr);
    DestroyMenu(menu);
    if (chosen != 0) dialog_.systemCommand(chosen);
}

void Win32DialogWindow::setIcon(IconSize size, const IconResource& icon) {
    bool big = size == IconSize::kBig;
    int pixels = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
    SendMessageW(window_, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                 reinterpret_cast<LPARAM>(iconHandle(icon, pixels > 0 ? pixels : 32)));
}

bool Win32DialogWindow::isIconic() const {
    return IsIconic(window_) != FALSE;
}

void Win32DialogWindow::clientSize(int& width, int& height) const {
    RECT client{};
    GetClientRect(window_, &client);
    width = client.right - client.left;
    height = client.bottom - client.top;
}

void Win32DialogWindow::systemIconSize(int& width, int& height) const {
    width = GetSystemMetrics(SM_CXICON);
    height = GetSystemMetrics(SM_CYICON);
}

void Win32DialogWindow::eraseIconBackground() {
    if (paintDc_) SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paintDc_), 0);
}

void Win32DialogWindow::drawIcon(int x, int y, const IconResource& icon) {
    if (paintDc_) DrawIcon(paintDc_, x, y, iconHandle(icon, 32));
}

void Win32DialogWindow::endModal(int result) {
    if (window_) EndDialog(window_, result);
}
