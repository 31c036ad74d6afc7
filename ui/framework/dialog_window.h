#pragma once

#include <string>

#include "icon.h"

// A live dialog window, built by a backend from a dialog template. Controls are named by their
// ids; asking a control of the wrong kind for something it does not hold gives an empty answer.
class DialogWindow {
  public:
    virtual ~DialogWindow() = default;

    // The window text of a control (an edit's content, a label's or button's caption).
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, const std::string& text) = 0;

    virtual bool checked(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;

    virtual void addListItem(int id, const std::string& item) = 0;
    // The index of the selected item, -1 when none is selected.
    virtual int listSelection(int id) const = 0;
    // Selects the item at index; an index outside the list clears the selection.
    virtual void setListSelection(int id, int index) = 0;

    virtual void setFocus(int id) = 0;

    // The text of the title bar.
    virtual void setTitle(const std::string& text) = 0;

    // The system menu. Where the platform has none, a backend offers the entries elsewhere (the
    // desktop backend on GTK: the dialog's context menu) or reports that there is none.
    virtual bool hasSystemMenu() const = 0;
    virtual void appendSystemMenuSeparator() = 0;
    virtual void appendSystemMenuItem(int commandId, const std::string& text) = 0;

    enum class IconSize { kBig, kSmall };
    virtual void setIcon(IconSize size, const IconResource& icon) = 0;

    // Painting while minimised, where the platform lets a program draw its own icon.
    virtual bool isIconic() const = 0;
    virtual void clientSize(int& width, int& height) const = 0;
    virtual void systemIconSize(int& width, int& height) const = 0;
    virtual void eraseIconBackground() = 0;
    virtual void drawIcon(int x, int y, const IconResource& icon) = 0;

    // Ends the modal run with this code once the current handler returns.
    virtual void endModal(int result) = 0;
};
