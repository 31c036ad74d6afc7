#include "dialog_template_win32.h"

#include <cstring>

#include "wide_text.h"

namespace {

// The predefined window classes, by the ordinals dialog templates name them with.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

class TemplateWriter {
  public:
    void word(WORD value) { append(&value, sizeof value); }
    void dword(DWORD value) { append(&value, sizeof value); }
    void text(const std::string& text) {
        std::wstring wide = widen(text);
        append(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    }
    void alignToDword() {
        while (bytes_.size() % sizeof(DWORD)) bytes_.push_back(0);
    }
    std::vector<DWORD> finish() {
        alignToDword();
        std::vector<DWORD> words(bytes_.size() / sizeof(DWORD));
        std::memcpy(words.data(), bytes_.data(), bytes_.size());
        return words;
    }

  private:
    void append(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    std::vector<unsigned char> bytes_;
};

DWORD dialogStyle(unsigned style) {
    DWORD result = 0;
    if (style & kDialogPopup) result |= WS_POPUP;
    if (style & kDialogVisible) result |= WS_VISIBLE;
    if (style & kDialogCaption) result |= WS_CAPTION;
    if (style & kDialogSystemMenu) result |= WS_SYSMENU;
    if (style & kDialogMinimizeBox) result |= WS_MINIMIZEBOX;
    if (style & kDialogModalFrame) result |= DS_MODALFRAME;
    if (style & kDialogSetFont) result |= DS_SETFONT;
    return result;
}

// The class ordinal and the style of a control of this kind.
void controlClassAndStyle(const ControlTemplate& c, WORD& windowClass, DWORD& style) {
    style = WS_CHILD | WS_VISIBLE;
    if (c.style & kTabStop) style |= WS_TABSTOP;
    if (c.style & kGroup) style |= WS_GROUP;
    if (c.style & kBorder) style |= WS_BORDER;
    if (c.style & kVScroll) style |= WS_VSCROLL;
    switch (c.kind) {
        case ControlKind::kStaticText:
            windowClass = kStaticClass;
            style |= SS_LEFT | ((c.style & kNoPrefix) ? SS_NOPREFIX : 0) |
                     ((c.style & kPathEllipsis) ? SS_PATHELLIPSIS : 0);
            break;
        case ControlKind::kPushButton:
            windowClass = kButtonClass;
            style |= (c.style & kDefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            break;
        case ControlKind::kEdit:
            windowClass = kEditClass;
            style |= ES_LEFT | ((c.style & kAutoHScroll) ? ES_AUTOHSCROLL : 0);
            break;
        case ControlKind::kCheckBox:
            windowClass = kButtonClass;
            style |= BS_AUTOCHECKBOX;
            break;
        case ControlKind::kGroupBox:
            windowClass = kButtonClass;
            style |= BS_GROUPBOX;
            break;
        case ControlKind::kDropDownList:
            windowClass = kComboBoxClass;
            style |= CBS_DROPDOWNLIST | ((c.style & kSorted) ? CBS_SORT : 0);
            break;
        case ControlKind::kIcon:
            // The picture is handed over when the dialog starts (STM_SETICON): the icon is the
            // program's data, not a resource of the executable.
            windowClass = kStaticClass;
            style |= SS_ICON;
            break;
    }
}

}  // namespace

std::vector<DWORD> buildDialogTemplate(const DialogTemplate& t) {
    TemplateWriter out;
    out.word(1);       // dlgVer
    out.word(0xFFFF);  // signature: extended template
    out.dword(0);      // helpID
    out.dword((t.style & kDialogAppWindow) ? WS_EX_APPWINDOW : 0);
    out.dword(dialogStyle(t.style));
    out.word(static_cast<WORD>(t.controls.size()));
    out.word(static_cast<WORD>(t.rect.x));
    out.word(static_cast<WORD>(t.rect.y));
    out.word(static_cast<WORD>(t.rect.width));
    out.word(static_cast<WORD>(t.rect.height));
    out.word(0);  // no menu
    out.word(0);  // the predefined dialog class
    out.text(t.caption);
    if (t.style & kDialogSetFont) {
        out.word(static_cast<WORD>(t.font.pointSize));
        out.word(static_cast<WORD>(t.font.weight));
        out.word(static_cast<WORD>((t.font.italic ? 1 : 0) | (t.font.charset << 8)));
        out.text(t.font.face);
    }
    for (const ControlTemplate& c : t.controls) {
        WORD windowClass = 0;
        DWORD style = 0;
        controlClassAndStyle(c, windowClass, style);
        out.alignToDword();
        out.dword(0);  // helpID
        out.dword(0);  // extended style
        out.dword(style);
        out.word(static_cast<WORD>(c.rect.x));
        out.word(static_cast<WORD>(c.rect.y));
        out.word(static_cast<WORD>(c.rect.width));
        out.word(static_cast<WORD>(c.rect.height));
        out.dword(static_cast<DWORD>(c.id));
        out.word(0xFFFF);
        out.word(windowClass);
        out.text(c.kind == ControlKind::kIcon ? std::string() : c.caption);
        out.word(0);  // no creation data
    }
    return out.finish();
}
