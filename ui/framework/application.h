#pragma once

#include <string>

class Dialog;
class Platform;

// The application object: one per program. The backend's start-up calls run(), which calls
// initInstance(); a dialog program shows its main dialog modally there and returns false, so
// that the program ends when the dialog closes instead of entering a message loop of its own.
class Application {
  public:
    virtual ~Application() = default;

    // Start-up on this platform; returns the program's exit code.
    int run(Platform& platform);

    // Valid from the start of run() to its end.
    Platform& platform() { return *platform_; }
    Dialog* mainWindow() { return mainWindow_; }
    void setMainWindow(Dialog* window) { mainWindow_ = window; }

  protected:
    // True would ask for a message loop after it; dialog programs return false.
    virtual bool initInstance() = 0;

    // Kept so that start-up reads as the steps it has always had; the toolkits host and draw
    // their controls without being asked.
    void enableControlContainer() {}
    void enable3dControls() {}

  private:
    Platform* platform_ = nullptr;
    Dialog* mainWindow_ = nullptr;
};
