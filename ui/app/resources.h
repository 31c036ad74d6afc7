#pragma once

#include <string>

#include "dialog_template.h"
#include "icon.h"

// The program's resources: its two dialog templates, its string table and its icon.

const DialogTemplate& mainDialogTemplate();   // template 102, with the Type list's items
const DialogTemplate& aboutDialogTemplate();  // template 100
const IconResource& appIcon();                // icon 128

// The string with this id, empty when the table has none.
std::string loadString(int id);
