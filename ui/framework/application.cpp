#include "application.h"

int Application::run(Platform& platform) {
    platform_ = &platform;
    // There is no message loop beyond the modal dialogs': whatever initInstance returns, the
    // program ends after it.
    initInstance();
    mainWindow_ = nullptr;
    platform_ = nullptr;
    return 0;
}
