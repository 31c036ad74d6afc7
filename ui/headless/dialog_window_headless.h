#pragma once

#include <map>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "dialog_window.h"

class Dialog;

// A dialog window held in memory, for tests. It is built from the dialog's template like a real
// one, and a test works it as a user would: types into a field, ticks a box, picks a list item,
// clicks a button, presses Enter or Escape, chooses a system-menu entry; then reads back what the
// controls show and where the focus is.
class HeadlessWindow : public DialogWindow {
  public:
    explicit HeadlessWindow(Dialog& dialog);

    // What the user does. Each puts the focus where the user's action puts it.
    void type(int id, const std::string& text);  // replaces an edit's whole text
    void tick(int id, bool checked);
    void pick(int id, int index);
    void click(int id);
    // A push button with the focus is pressed; otherwise the dialog gets OK.
    void pressEnter();
    void pressEscape();
    void chooseSystemCommand(int id);
    void minimise(bool iconic) { iconic_ = iconic; }
    // Asks the dialog to paint; true when it painted itself.
    bool paint();

    // What the window shows.
    int focus() const { return focus_; }
    // Every title the program set, in order.
    const std::vector<std::string>& titles() const { return titles_; }
    std::vector<std::string> listItems(int id) const;
    bool ended() const { return ended_; }
    int result() const { return result_; }
    const DialogTemplate& dialogTemplate() const { return template_; }

    struct MenuEntry {
        bool separator = false;
        int commandId = 0;
        std::string text;
    };
    const std::vector<MenuEntry>& systemMenu() const { return systemMenu_; }
    const IconResource* icon(IconSize size) const;
    // What the last paint drew: the background erased, then the icon at x, y.
    struct PaintRecord {
        bool backgroundErased = false;
        bool iconDrawn = false;
        int x = 0;
        int y = 0;
    };
    const PaintRecord& lastPaint() const { return lastPaint_; }

    // DialogWindow.
    std::string text(int id) const override;
    void setText(int id, const std::string& text) override;
    bool checked(int id) const override;
    void setChecked(int id, bool checked) override;
    void addListItem(int id, const std::string& item) override;
    int listSelection(int id) const override;
    void setListSelection(int id, int index) override;
    void setFocus(int id) override { focus_ = id; }
    void setTitle(const std::string& text) override { titles_.push_back(text); }
    bool hasSystemMenu() const override;
    void appendSystemMenuSeparator() override;
    void appendSystemMenuItem(int commandId, const std::string& text) override;
    void setIcon(IconSize size, const IconResource& icon) override;
    bool isIconic() const override { return iconic_; }
    void clientSize(int& width, int& height) const override;
    void systemIconSize(int& width, int& height) const override;
    void eraseIconBackground() override { lastPaint_.backgroundErased = true; }
    void drawIcon(int x, int y, const IconResource& icon) override;
    void endModal(int result) override;

    // The first control with a tab stop, 0 when there is none.
    int firstTabStop() const;

    // Client area and icon size of a minimised window, in pixels.
    static constexpr int kIconicClientWidth = 37;
    static constexpr int kIconicClientHeight = 24;
    static constexpr int kSystemIconSize = 32;

  private:
    struct Control {
        ControlKind kind;
        std::string text;
        bool checked = false;
        std::vector<std::string> items;
        int selection = -1;
    };
    // The control with this id; a test that names a control the template lacks is wrong.
    Control& control(int id);
    const Control& control(int id) const;
    void requireOpen() const;

    Dialog& dialog_;
    const DialogTemplate& template_;
    std::map<int, Control> controls_;
    int focus_ = 0;
    bool iconic_ = false;
    bool ended_ = false;
    int result_ = 0;
    std::vector<MenuEntry> systemMenu_;
    std::vector<std::string> titles_;
    const IconResource* bigIcon_ = nullptr;
    const IconResource* smallIcon_ = nullptr;
    PaintRecord lastPaint_;
};
