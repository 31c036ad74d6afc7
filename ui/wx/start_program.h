#pragma once

#include <optional>
#include <string>

#include "platform.h"

// Starts the command as a process of its own and returns at once, never through a shell. Nothing
// when it started; otherwise the system's reason it could not be (start_program_posix.cpp,
// start_program_win32.cpp).
std::optional<std::string> startDetached(const ProgramCommand& command);
