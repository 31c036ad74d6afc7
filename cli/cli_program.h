#pragma once

#include <string>
#include <vector>

// vantrel-cli as a whole: the words after the program name name a command (run, analyse, fit,
// ...) or ask for the help or the version. Returns the exit status.
int runCliProgram(const std::vector<std::string>& args);
