#include "dialog_window_wx.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/fontenum.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>

#include "dialog.h"
#include "drop_down_list_wx.h"
#include "text_bytes_wx.h"

namespace {

long dialogStyle(unsigned style) {
    long wxStyle = 0;
    if (style & kDialogCaption) wxStyle |= wxCAPTION;
    if (style & kDialogSystemMenu) wxStyle |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (style & kDialogMinimizeBox) wxStyle |= wxMINIMIZE_BOX;
    // No resize border and no maximise box: the layout is fixed.
    return wxStyle;
}

// The template's face where this system has it, else the closest sans-serif face at the same size.
wxFont templateFont(const DialogFont& font) {
    wxString face;
    for (const char* candidate : {font.face.c_str(), "Microsoft Sans Serif", "Liberation Sans",
                                  "Arimo", "Nimbus Sans", "Arial", "Helvetica"}) {
        if (wxFontEnumerator::IsValidFacename(candidate)) {
            face = candidate;
            break;
        }
    }
    wxFontInfo info(font.pointSize);
    info.Family(wxFONTFAMILY_SWISS).Italic(font.italic).Bold(font.weight >= 700);
    if (!face.empty()) info.FaceName(face);
    return wxFont(info);
}

wxBitmap iconBitmap(const IconImage& image) {
    wxImage picture(image.width, image.height);
    picture.InitAlpha();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.transparentAt(x, y)) {
                picture.SetRGB(x, y, 0, 0, 0);
                picture.SetAlpha(x, y, wxIMAGE_ALPHA_TRANSPARENT);
                continue;
            }
            std::uint32_t colour = image.colourAt(x, y);
            picture.SetRGB(x, y, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
            picture.SetAlpha(x, y, wxIMAGE_ALPHA_OPAQUE);
        }
    }
    return wxBitmap(picture);
}

// GTK's check boxes and drop-down lists need more room than a template's rectangle at small
// fonts, and GTK complains or clips when they are squeezed: such a control grows rightwards and
// about its centre line instead.
void growToFit(wxWindow* window, const wxRect& rect) {
    wxSize best = window->GetBestSize();
    if (best.GetWidth() <= rect.GetWidth() && best.GetHeight() <= rect.GetHeight()) return;
    int height = std::max(best.GetHeight(), rect.GetHeight());
    window->SetSize(rect.GetX(), rect.GetY() - (height - rect.GetHeight()) / 2,
                    std::max(best.GetWidth(), rect.GetWidth()), height);
}

wxIcon iconOfSize(const IconResource& icon, int size) {
    wxIcon result;
    if (const IconImage* image = icon.imageFor(size)) result.CopyFromBitmap(iconBitmap(*image));
    return result;
}

}  // namespace

WxDialogWindow::WxDialogWindow(wxWindow* parent, Dialog& dialog) : dialog_(dialog) {
    const DialogTemplate& t = dialog.dialogTemplate();
    long style = dialogStyle(t.style);
    if (!parent) style |= wxDIALOG_NO_PARENT;
    Create(parent, wxID_ANY, fromBytes(t.caption), wxDefaultPosition, wxDefaultSize, style);
    SetFont(templateFont(t.font));

    // Average width of the alphabet and the line height, the way dialog units are defined.
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    wxSize alphabet = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    unitX_ = ((alphabet.GetWidth() / 26 + 1) / 2) / 4.0;
    unitY_ = dc.GetCharHeight() / 8.0;

    for (const ControlTemplate& control : t.controls) createControl(control);
    // The face here is not the template's, and its texts run wider: the units widen until the
    // widest text fits, so the layout keeps its proportions across and no text is cut.
    const double widen = widthToFitTexts();
    if (widen > 1.0) {
        unitX_ *= widen;
        for (const auto& [control, window] : placed_) placeControl(*control, window);
    }
    wxRect client = toPixels(t.rect);
    SetClientSize(client.GetSize());
    Centre();

    Bind(wxEVT_CHAR_HOOK, &WxDialogWindow::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &WxDialogWindow::OnClose, this);
    Bind(wxEVT_CONTEXT_MENU, &WxDialogWindow::OnContextMenu, this);
#ifdef __WXMSW__
    // Only Windows paints a minimised window's client area; GTK shows the icon itself.
    Bind(wxEVT_PAINT, &WxDialogWindow::OnPaint, this);
#endif
}

wxRect WxDialogWindow::toPixels(const DialogRect& rect) const {
    auto x = [this](int units) { return static_cast<int>(units * unitX_); };
    auto y = [this](int units) { return static_cast<int>(units * unitY_); };
    return wxRect(x(rect.x), y(rect.y), x(rect.width), y(rect.height));
}

void WxDialogWindow::createControl(const ControlTemplate& c) {
    wxRect r = toPixels(c.rect);
    wxWindowID id = c.id == kIdStatic ? wxID_ANY : c.id;
    wxString caption = fromBytes(c.caption);
    wxWindow* window = nullptr;
    switch (c.kind) {
        case ControlKind::kStaticText: {
            // A path that does not fit keeps its end, the file name; other texts their start.
            long ellipsis = (c.style & kPathEllipsis) ? wxST_ELLIPSIZE_START : wxST_ELLIPSIZE_END;
            auto* label = new wxStaticText(this, id, wxEmptyString, r.GetPosition(), r.GetSize(),
                                           wxST_NO_AUTORESIZE | wxALIGN_LEFT | ellipsis);
            if (c.style & kNoPrefix)
                label->SetLabelText(caption);
            else
                label->SetLabel(caption);
            window = label;
            break;
        }
        case ControlKind::kPushButton: {
            auto* button =
                new wxButton(this, id, caption, r.GetPosition(), r.GetSize(), wxBU_EXACTFIT);
            if (c.style & kDefaultButton) button->SetDefault();
            int command = c.id;
            button->Bind(wxEVT_BUTTON,
                         [this, command](wxCommandEvent&) { dialog_.command(command); });
            window = button;
            break;
        }
        case ControlKind::kEdit:
            window = new wxTextCtrl(this, id, caption, r.GetPosition(), r.GetSize(),
                                    (c.style & kBorder) ? 0 : wxBORDER_NONE);
            break;
        case ControlKind::kCheckBox:
            window = new wxCheckBox(this, id, caption, r.GetPosition(), r.GetSize());
            growToFit(window, r);
            break;
        case ControlKind::kGroupBox:
            window = new wxStaticBox(this, id, caption, r.GetPosition(), r.GetSize());
            break;
        case ControlKind::kDropDownList: {
            // The template's height includes the dropped-down list; closed, the list is as high
            // as an edit.
            wxRect closed(r.GetPosition(),
                          wxSize(r.GetWidth(), toPixels({0, 0, 0, 14}).GetHeight()));
            window = new WxDropDownList(this, id, closed, r.GetHeight() - closed.GetHeight(),
                                        (c.style & kSorted) != 0);
            break;
        }
        case ControlKind::kIcon:
            if (c.icon) {
                const IconImage* image = c.icon->imageFor(32);
                if (image)
                    window = new wxStaticBitmap(this, id, iconBitmap(*image), r.GetPosition());
            }
            break;
    }
    if (!window) return;
    placed_.emplace_back(&c, window);
    if (!(c.style & kTabStop) && c.kind != ControlKind::kStaticText &&
        c.kind != ControlKind::kGroupBox && c.kind != ControlKind::kIcon)
        window->SetCanFocus(false);
    if (c.id != kIdStatic) controls_[c.id] = window;
}

void WxDialogWindow::placeControl(const ControlTemplate& c, wxWindow* window) {
    wxRect r = toPixels(c.rect);
    if (c.kind == ControlKind::kDropDownList) {
        r.SetHeight(toPixels({0, 0, 0, 14}).GetHeight());
    } else if (c.kind == ControlKind::kIcon) {
        return window->Move(r.GetPosition());
    }
    window->SetSize(r);
    if (c.kind == ControlKind::kCheckBox) growToFit(window, r);
}

double WxDialogWindow::widthToFitTexts() const {
    double widen = 1.0;
    const DialogTemplate& t = dialog_.dialogTemplate();
    for (const auto& [c, window] : placed_) {
        const int width = toPixels(c->rect).GetWidth();
        if (width <= 0) continue;
        int needed = 0;
        switch (c->kind) {
            case ControlKind::kStaticText:
                // A path label shows the end of what does not fit, by design.
                if (!(c->style & kPathEllipsis))
                    needed =
                        window->GetTextExtent(wxControl::RemoveMnemonics(fromBytes(c->caption)))
                            .GetWidth() +
                        1;
                break;
            case ControlKind::kPushButton:
                // GTK's own button asks for far more room than its caption needs, and draws a
                // short caption whole in less.
                needed = window->GetTextExtent(wxControl::RemoveMnemonics(fromBytes(c->caption)))
                             .GetWidth() +
                         window->GetCharWidth();
                break;
            case ControlKind::kGroupBox:
                // The caption sits in the frame's top line, with a gap at either end.
                needed = window->GetTextExtent(fromBytes(c->caption)).GetWidth() +
                         4 * window->GetCharWidth();
                break;
            case ControlKind::kDropDownList: {
                auto* list = static_cast<WxDropDownList*>(window);
                int widest = 0;
                for (const ListInitData& init : t.initData)
                    if (init.controlId == c->id)
                        for (const std::string& item : init.items)
                            widest = std::max(widest, GetTextExtent(fromBytes(item)).GetWidth());
                // The text, the room beside it, the button and a frame of two pixels a side.
                needed = widest + 2 * list->textPadding() + list->GetButtonSize().GetWidth() + 4;
                break;
            }
            default:
                // Check boxes grow rightwards to fit their text (growToFit) instead.
                break;
        }
        widen = std::max(widen, static_cast<double>(needed) / width);
    }
    return widen;
}

wxWindow* WxDialogWindow::control(int id) const {
    auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

void WxDialogWindow::focusFirstTabStop() {
    for (const ControlTemplate& c : dialog_.dialogTemplate().controls)
        if ((c.style & kTabStop) && control(c.id)) return control(c.id)->SetFocus();
}

bool WxDialogWindow::listIsOpen() const {
    for (const auto& [id, window] : controls_)
        if (auto* list = dynamic_cast<WxDropDownList*>(window); list && list->IsPopupShown())
            return true;
    return false;
}

std::string WxDialogWindow::text(int id) const {
    wxWindow* window = control(id);
    if (auto* edit = dynamic_cast<wxTextCtrl*>(window)) return toBytes(edit->GetValue());
    if (auto* labelled = dynamic_cast<wxControl*>(window)) return toBytes(labelled->GetLabelText());
    return {};
}

void WxDialogWindow::setText(int id, const std::string& text) {
    wxWindow* window = control(id);
    if (auto* edit = dynamic_cast<wxTextCtrl*>(window))
        edit->ChangeValue(fromBytes(text));
    else if (auto* labelled = dynamic_cast<wxControl*>(window))
        labelled->SetLabelText(fromBytes(text));
}

bool WxDialogWindow::checked(int id) const {
    auto* box = dynamic_cast<wxCheckBox*>(control(id));
    return box && box->GetValue();
}

void WxDialogWindow::setChecked(int id, bool checked) {
    if (auto* box = dynamic_cast<wxCheckBox*>(control(id))) box->SetValue(checked);
}

void WxDialogWindow::addListItem(int id, const std::string& item) {
    if (auto* list = dynamic_cast<WxDropDownList*>(control(id))) list->addItem(fromBytes(item));
}

int WxDialogWindow::listSelection(int id) const {
    auto* list = dynamic_cast<WxDropDownList*>(control(id));
    return list ? list->GetSelection() : -1;
}

void WxDialogWindow::setListSelection(int id, int index) {
    auto* list = dynamic_cast<WxDropDownList*>(control(id));
    if (!list) return;
    bool inside = index >= 0 && index < static_cast<int>(list->GetCount());
    list->SetSelection(inside ? index : wxNOT_FOUND);
}

void WxDialogWindow::setFocus(int id) {
    if (wxWindow* window = control(id)) window->SetFocus();
}

void WxDialogWindow::setTitle(const std::string& text) {
    SetTitle(fromBytes(text));
}

bool WxDialogWindow::hasSystemMenu() const {
    return (dialog_.dialogTemplate().style & kDialogSystemMenu) != 0;
}

void WxDialogWindow::appendSystemMenuSeparator() {
    systemMenu_.push_back({true, 0, {}});
}

void WxDialogWindow::appendSystemMenuItem(int commandId, const std::string& text) {
    systemMenu_.push_back({false, commandId, fromBytes(text)});
}

void WxDialogWindow::setIcon(IconSize size, const IconResource& icon) {
    icons_.AddIcon(iconOfSize(icon, size == IconSize::kBig ? 32 : 16));
    SetIcons(icons_);
}

void WxDialogWindow::clientSize(int& width, int& height) const {
    GetClientSize(&width, &height);
}

void WxDialogWindow::systemIconSize(int& width, int& height) const {
    width = wxSystemSettings::GetMetric(wxSYS_ICON_X, this);
    height = wxSystemSettings::GetMetric(wxSYS_ICON_Y, this);
    if (width <= 0) width = 32;
    if (height <= 0) height = 32;
}

void WxDialogWindow::eraseIconBackground() {
    if (paintDC_) {
        paintDC_->SetBackground(GetBackgroundColour());
        paintDC_->Clear();
    }
}

void WxDialogWindow::drawIcon(int x, int y, const IconResource& icon) {
    if (paintDC_) paintDC_->DrawIcon(iconOfSize(icon, 32), x, y);
}

void WxDialogWindow::endModal(int result) {
    // An open list is closed first: it must not outlive the window it belongs to.
    for (const auto& [id, window] : controls_)
        if (auto* list = dynamic_cast<WxDropDownList*>(window)) list->closeList();
    if (IsModal()) EndModal(result);
}

void WxDialogWindow::OnCharHook(wxKeyEvent& event) {
    // On an open list every key is the list's: Return picks the highlighted item, Escape closes
    // the list and nothing more.
    if (listIsOpen()) return event.Skip();
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            dialog_.command(kIdCancel);
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            // On a push button, Enter presses that button; anywhere else it is OK.
            if (dynamic_cast<wxButton*>(FindFocus())) break;
            dialog_.command(kIdOk);
            return;
        default:
            break;
    }
    event.Skip();
}

void WxDialogWindow::OnClose(wxCloseEvent& event) {
    dialog_.command(kIdCancel);
    if (IsModal() && event.CanVeto()) event.Veto();
}

void WxDialogWindow::OnContextMenu(wxContextMenuEvent&) {
    // GTK has no system menu: its entries are offered here, with their texts and ids.
    wxMenu menu;
    for (const MenuEntry& entry : systemMenu_) {
        if (entry.separator) {
            if (menu.GetMenuItemCount() > 0) menu.AppendSeparator();
        } else {
            menu.Append(entry.commandId, entry.text);
        }
    }
    if (menu.GetMenuItemCount() == 0) return;
    int chosen = GetPopupMenuSelectionFromUser(menu);
    if (chosen != wxID_NONE) dialog_.systemCommand(chosen);
}

void WxDialogWindow::OnPaint(wxPaintEvent& event) {
    wxPaintDC dc(this);
    paintDC_ = &dc;
    bool painted = dialog_.paint();
    paintDC_ = nullptr;
    if (!painted) event.Skip();
}
