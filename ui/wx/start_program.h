#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform.h"

// Starts the program of the command with its arguments as a process of its own and returns at
// once, never through a shell. Nothing when it started; otherwise the system's reason it could
// not be. When the program ends and the command's exitProblem has words for its status, they go
// to `report`, on the thread that watched it.
std::optional<std::string> startDetached(const ProgramCommand& command,
                                         std::function<void(std::string)> report);
