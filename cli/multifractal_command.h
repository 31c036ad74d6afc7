#pragma once

#include <string>
#include <vector>

// vantrel-cli multifractal FILE [options]: h(q), tau(q) and f(alpha) of a surface or a measure,
// with intervals and the surrogate test. `args` starts with the command word. Returns the exit
// status: 0 done (warnings included), 1 the data cannot be analysed, 2 a usage fault.
int runMultifractalCommand(const std::vector<std::string>& args);
