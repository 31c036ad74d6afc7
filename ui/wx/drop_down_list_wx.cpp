#include "drop_down_list_wx.h"

#include <wx/dc.h>
#include <wx/settings.h>

namespace {

// Room left and right of an item's text, and above and below it in the open list.
constexpr int kPadding = 3;

wxColour colour(wxSystemColour which) {
    return wxSystemSettings::GetColour(which);
}

}  // namespace

WxDropDownList::WxDropDownList(wxWindow* parent, wxWindowID id, const wxRect& closed,
                               int listHeight, bool sorted)
    : wxOwnerDrawnComboBox(parent, id, wxEmptyString, closed.GetPosition(), closed.GetSize(), 0,
                           nullptr, wxCB_READONLY | (sorted ? wxCB_SORT : 0)),
      padding_(kPadding) {
    SetBackgroundColour(colour(wxSYS_COLOUR_WINDOW));
    SetPopupMaxHeight(listHeight);
}

void WxDropDownList::addItem(const wxString& item) {
    Append(item);
    fitFontToItems();
}

void WxDropDownList::closeList() {
    if (IsPopupShown()) Dismiss();
}

void WxDropDownList::SetCanFocus(bool) {
    wxOwnerDrawnComboBox::SetCanFocus(true);
}

void WxDropDownList::fitFontToItems() {
    int room = GetTextRect().GetWidth() - 2 * padding_;
    wxFont font = GetParent()->GetFont();
    auto fits = [&](const wxFont& candidate) {
        for (unsigned i = 0; i < GetCount(); ++i) {
            int width = 0;
            GetTextExtent(GetString(i), &width, nullptr, nullptr, nullptr, &candidate);
            if (width > room) return false;
        }
        return true;
    };
    // The dialog's font first, then its condensed face where the system has one, each a little
    // smaller in turn: a change of face keeps the text taller than a change of size alone.
    wxFont condensed = font;
    bool hasCondensed = condensed.SetFaceName(font.GetFaceName() + " Condensed");
    for (double size = font.GetFractionalPointSize(); size >= 6; size -= 0.5) {
        wxFont plain = font;
        plain.SetFractionalPointSize(size);
        if (fits(plain)) {
            SetFont(plain);
            return;
        }
        if (!hasCondensed) continue;
        condensed.SetFractionalPointSize(size);
        if (fits(condensed)) {
            SetFont(condensed);
            return;
        }
    }
}

void WxDropDownList::OnDrawItem(wxDC& dc, const wxRect& rect, int item, int flags) const {
    if (item < 0 || item >= static_cast<int>(GetCount())) return;
    bool selected = (flags & wxODCB_PAINTING_SELECTED) != 0;
    dc.SetFont(GetFont());
    dc.SetTextForeground(colour(selected ? wxSYS_COLOUR_HIGHLIGHTTEXT : wxSYS_COLOUR_WINDOWTEXT));
    wxString text = GetString(item);
    int height = dc.GetTextExtent(text).GetHeight();
    dc.DrawText(text, rect.x + padding_, rect.y + (rect.height - height) / 2);
}

void WxDropDownList::OnDrawBackground(wxDC& dc, const wxRect& rect, int, int flags) const {
    bool selected = (flags & wxODCB_PAINTING_SELECTED) != 0;
    wxColour fill = colour(selected ? wxSYS_COLOUR_HIGHLIGHT : wxSYS_COLOUR_WINDOW);
    dc.SetBrush(wxBrush(fill));
    dc.SetPen(wxPen(fill));
    dc.DrawRectangle(rect);
}

wxCoord WxDropDownList::OnMeasureItem(size_t) const {
    return GetCharHeight() + 2 * padding_;
}
