// vantrel-cli: the analysis from the command line, for scripts and batch work.

#include <string>
#include <vector>

#include "cli_program.h"

int main(int argc, char** argv) {
    return runCliProgram(std::vector<std::string>(argv + 1, argv + argc));
}
