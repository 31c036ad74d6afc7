#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "dialog_window.h"

class Dialog;

// A dialog of Windows' own dialog manager, made from the template's bytes: the manager creates
// the controls, moves the focus with Tab, and turns Enter into IDOK (or the focused button's
// click), Escape and the close box into IDCANCEL; every one of these reaches the Dialog.
class Win32DialogWindow : public DialogWindow {
  public:
    explicit Win32DialogWindow(Dialog& dialog) : dialog_(dialog) {}
    ~Win32DialogWindow() override;

    // Runs the dialog modally over the owner; the code it ended with.
    int runModal(HWND owner);
    HWND handle() const { return window_; }

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
    bool isIconic() const override;
    void clientSize(int& width, int& height) const override;
    void systemIconSize(int& width, int& height) const override;
    void eraseIconBackground() override;
    void drawIcon(int x, int y, const IconResource& icon) override;
    void endModal(int result) override;

  private:
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    // The icon at this many pixels, made once and kept until the window ends.
    HICON iconHandle(const IconResource& icon, int size);
    void showTemplateIcons();

    Dialog& dialog_;
    HWND window_ = nullptr;
    HDC paintDc_ = nullptr;
    struct MadeIcon {
        const IconResource* icon;
        int size;
        HICON handle;
    };
    std::vector<MadeIcon> icons_;
    // The program's own entries of the system menu, offered again on a right click.
    struct MenuEntry {
        bool separator;
        int commandId;
        std::wstring text;
    };
    std::vector<MenuEntry> contextEntries_;
    void showContextMenu(LPARAM at);
};
