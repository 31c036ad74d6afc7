// vantrel-cli: the analysis from the command line, for scripts and batch work.

#include <string>
#include <vector>

#include "cli_program.h"
#include "system.h"

int main(int argc, char** argv) {
    return runCliProgram(programArguments(argc, argv));
}
