#pragma once

#include "dialog.h"

// The About box: the icon, the name and version, and OK. It exchanges nothing.
class AboutDialog : public Dialog {
  public:
    explicit AboutDialog(Platform& platform);
};
