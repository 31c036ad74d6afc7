#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>

#include "application.h"
#include "desktop_entry.h"
#include "platform_win32.h"

int runDesktopApplication(int, char**, Application& application) {
    // The manifest asks for version 6 of the common controls; they draw once registered.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Platform platform;
    return application.run(platform);
}
