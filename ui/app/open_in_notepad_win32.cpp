#include <windows.h>

#include "open_in_notepad.h"

ProgramCommand viewFileCommand(const std::string& path) {
    // Asked for its length first, so that a Windows directory of any length fits.
    UINT length = GetWindowsDirectoryA(nullptr, 0);
    std::string directory(length, '\0');
    length = GetWindowsDirectoryA(directory.data(), length);
    directory.resize(length);
    ProgramCommand command;
    command.commandLine = notepadCommandLine(directory, path);
    return command;
}
