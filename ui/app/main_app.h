#pragma once

#include "application.h"

// The application: it shows the main dialog modally and ends when the dialog closes.
class MainApp : public Application {
  protected:
    bool initInstance() override;
};
