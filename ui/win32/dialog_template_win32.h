#pragma once

#include <windows.h>

#include <vector>

#include "dialog_template.h"

// The bytes of an extended dialog template (DLGTEMPLATEEX and one DLGITEMTEMPLATEEX a control)
// for DialogBoxIndirectParamW: the same rectangles, styles, font and tab order as a dialog
// resource compiled from this template. The vector is DWORD-aligned, as the call requires.
std::vector<DWORD> buildDialogTemplate(const DialogTemplate& dialogTemplate);
