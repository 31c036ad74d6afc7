#pragma once

#include <string>
#include <vector>

#include "icon.h"

// Dialog templates as data: what a dialog resource holds, transcribed control by control, so that
// each backend builds its windows from the same description.

// Ids the framework itself gives meaning to.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdStatic = -1;  // a control without an id of its own

enum class ControlKind {
    kStaticText,  // left-aligned label
    kPushButton,
    kEdit,      // single-line text field
    kCheckBox,  // automatic two-state check box
    kGroupBox,
    kDropDownList,  // pick an item, no typing
    kIcon,          // a picture of an icon resource; its caption names nothing, iconId does
};

// Style bits of a control. Which ones apply depends on the kind; a backend ignores the rest.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kTabStop = 1u << 0,
    kGroup = 1u << 1,  // starts a group
    kBorder = 1u << 2,
    kAutoHScroll = 1u << 3,    // an edit that scrolls sideways as the user types
    kVScroll = 1u << 4,        // a list with a vertical scroll bar
    kDefaultButton = 1u << 5,  // the button Enter presses
    kNoPrefix = 1u << 6,       // a static text that shows '&' as it is
    kSorted = 1u << 7,         // a list that sorts its items
    kPathEllipsis = 1u << 8,   // a static text showing a path: too long, its start gives way
};

// Style bits of a dialog.
enum DialogStyle : unsigned {
    kDialogPopup = 1u << 0,
    kDialogVisible = 1u << 1,
    kDialogCaption = 1u << 2,
    kDialogSystemMenu = 1u << 3,
    kDialogMinimizeBox = 1u << 4,
    kDialogModalFrame = 1u << 5,
    kDialogSetFont = 1u << 6,
    kDialogAppWindow = 1u << 7,  // extended style: a task-bar button of its own
};

// A rectangle in dialog units: left, top, width, height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    int id = kIdStatic;
    ControlKind kind = ControlKind::kStaticText;
    std::string caption;
    DialogRect rect;
    unsigned style = kStyleNone;
    int iconId = 0;                      // for kIcon: the icon resource shown
    const IconResource* icon = nullptr;  // and that resource itself
};

struct DialogFont {
    std::string face;
    int pointSize = 8;
    int weight = 400;  // normal
    bool italic = false;
    int charset = 1;  // default character set
};

// The items a list control holds before the first exchange, in the order they are added.
struct ListInitData {
    int controlId = 0;
    std::vector<std::string> items;
};

struct DialogTemplate {
    int id = 0;
    int language = 0;
    std::string caption;
    DialogFont font;
    DialogRect rect;
    unsigned style = 0;
    std::vector<ControlTemplate> controls;  // in template order, which is the tab order
    std::vector<ListInitData> initData;

    // The control with this id, or null.
    const ControlTemplate* control(int controlId) const {
        for (const ControlTemplate& c : controls)
            if (c.id == controlId) return &c;
        return nullptr;
    }
};
