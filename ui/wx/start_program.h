#pragma once

#include <optional>
#include <string>

#include "platform.h"

// Starts the program of the command with its arguments as a process of its own and returns at
// once, never through a shell. Nothing when it started; otherwise the system's reason it could
// not be.
std::optional<std::string> startDetached(const ProgramCommand& command);
