#pragma once

#include <wx/odcombo.h>

// The template's drop-down list: pick an item, no typing. GTK's own combo box cannot be made as
// low as an edit field, so this is the toolkit's drawn one, and it draws its items itself: white
// like the edit fields beside it, each item in the largest face and size (up to the dialog's)
// that fits the closed box, and rows with room around the text in the open list.
class WxDropDownList : public wxOwnerDrawnComboBox {
  public:
    // `closed` is the box without its list; `listHeight` is the most the open list may take.
    WxDropDownList(wxWindow* parent, wxWindowID id, const wxRect& closed, int listHeight,
                   bool sorted);

    void addItem(const wxString& item);

    // Room left and right of an item's text.
    int textPadding() const { return padding_; }

    // Closes the open list, if it is open, as Escape would.
    void closeList();

    // The template gives the list a tab stop, always. The toolkit's combo withdraws it once its
    // list has been open (from then on it counts as a container whose parts take the focus), and
    // Tab and the arrow keys would then pass the list by.
    void SetCanFocus(bool) override;

  protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const override;
    void OnDrawBackground(wxDC& dc, const wxRect& rect, int item, int flags) const override;
    wxCoord OnMeasureItem(size_t item) const override;

  private:
    // The font every item fits in, across the closed box's text area.
    void fitFontToItems();

    int padding_;
};
