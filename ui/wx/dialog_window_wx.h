#pragma once

#include <wx/dcclient.h>
#include <wx/dialog.h>
#include <wx/iconbndl.h>

#include <map>
#include <vector>

#include "dialog_template.h"
#include "dialog_window.h"

class Dialog;

// A real dialog window, laid out from the template's dialog-unit rectangles. Buttons, Enter,
// Escape, the close box and the system-menu entries (offered in the context menu, for GTK has no
// system menu) are routed to the Dialog.
class WxDialogWindow : public wxDialog, public DialogWindow {
  public:
    WxDialogWindow(wxWindow* parent, Dialog& dialog);

    // Puts the focus on the first control with a tab stop.
    void focusFirstTabStop();

    std::string text(int id) const override;
    void setText(int id, const std::string& text) override;
    bool checked(int id) const override;
    void setChecked(int id, bool checked) override;
    void addListItem(int id, const std::string& item) override;
    int listSelection(int id) const override;
    void setListSelection(int id, int index) override;
    void setFocus(int id) override;
    void setTitle(const std::string& text) override;
    bool hasSystemMenu() const override;
    void appendSystemMenuSeparator() override;
    void appendSystemMenuItem(int commandId, const std::string& text) override;
    void setIcon(IconSize size, const IconResource& icon) override;
    bool isIconic() const override { return IsIconized(); }
    void clientSize(int& width, int& height) const override;
    void systemIconSize(int& width, int& height) const override;
    void eraseIconBackground() override;
    void drawIcon(int x, int y, const IconResource& icon) override;
    void endModal(int result) override;

  private:
    // Dialog units to pixels, from the dialog font's average character width and height, as
    // dialog templates have always been scaled; wider where that would clip a text.
    wxRect toPixels(const DialogRect& rect) const;
    void createControl(const ControlTemplate& control);
    // Puts a control at its template rectangle in the current units.
    void placeControl(const ControlTemplate& control, wxWindow* window);
    // How much wider the units must be for every template text to fit its control in the font
    // actually used: 1 when they all fit. The template was drawn for another face's metrics.
    double widthToFitTexts() const;
    wxWindow* control(int id) const;
    bool listIsOpen() const;

    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnPaint(wxPaintEvent& event);

    Dialog& dialog_;
    std::map<int, wxWindow*> controls_;
    // Pixels per dialog unit, across and down.
    double unitX_ = 1.5, unitY_ = 1.625;
    std::vector<std::pair<const ControlTemplate*, wxWindow*>> placed_;
    struct MenuEntry {
        bool separator;
        int commandId;
        wxString text;
    };
    std::vector<MenuEntry> systemMenu_;
    wxIconBundle icons_;
    wxPaintDC* paintDC_ = nullptr;
};
