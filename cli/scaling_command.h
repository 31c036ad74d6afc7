#pragma once

#include <string>
#include <vector>

// vantrel-cli analyse FILE [options] and vantrel-cli fit FILE [options]: the Hurst exponent of a
// surface, computed afresh (analyse) or from the results file FILE.out.txt a run wrote (fit).
// `args` starts with the command word. Returns the exit status: 0 done (warnings included),
// 1 the surface cannot be analysed, 2 a usage fault.
int runScalingCommand(const std::vector<std::string>& args);
