#pragma once

#include <string>
#include <vector>

// vantrel-cli map FILE [options]: the roughness map of a surface, the Hurst exponent of every
// tile with its interval and flags, printed as a summary and written by --output's ending
// (.tif, .npy, .csv, .png, .svg, .pdf). `args` starts with the command word. Returns the exit
// status: 0 done, 1 the surface cannot be mapped or the output not written, 2 a usage fault.
int runMapCommand(const std::vector<std::string>& args);
