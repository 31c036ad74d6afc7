// vantrel: the desktop dialog.

#include <cstdio>
#include <cstring>

#include "desktop_entry.h"
#include "main_app.h"
#include "version.h"

namespace {

// The application object, one for the program's whole life.
MainApp theApp;

}  // namespace

int main(int argc, char** argv) {
    // The one option, answered before any window system is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("vantrel %s\n", kVantrelVersion);
        return 0;
    }
    return runDesktopApplication(argc, argv, theApp);
}
