#include <windows.h>

#include <system_error>

#include "start_program.h"

std::optional<std::string> startDetached(const ProgramCommand& command) {
    // WinExec answers above 31 when the program started, and an error code otherwise (0: the
    // system is out of memory or resources).
    UINT result = WinExec(command.commandLine.c_str(), SW_SHOW);
    if (result > 31) return std::nullopt;
    int code = result == 0 ? ERROR_NOT_ENOUGH_MEMORY : static_cast<int>(result);
    return std::system_category().message(code);
}
