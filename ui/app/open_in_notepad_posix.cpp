#include "open_in_notepad.h"

ProgramCommand viewFileCommand(const std::string& path) {
    return desktopOpenCommand(path);
}
