#include "main_app.h"

#include "main_dialog.h"

bool MainApp::initInstance() {
    enableControlContainer();
    enable3dControls();
    MainDialog dialog(platform());
    setMainWindow(&dialog);
    dialog.doModal();
    setMainWindow(nullptr);
    // False: the program ends here rather than entering a message loop.
    return false;
}
