#pragma once

#include <string>
#include <vector>

// vantrel-cli run [CONFIG] [options]: the analysis run over a progression of window areas.
// `args` starts with the command word. Returns the exit status: 0 completed, 1 ended with a
// message, 2 a usage fault.
int runRunCommand(const std::vector<std::string>& args);
