#include "cli_program.h"

#include <cstdio>

#include "cli_options.h"
#include "command_line.h"
#include "map_command.h"
#include "multifractal_command.h"
#include "run_command.h"
#include "scaling_command.h"
#include "version.h"

namespace {

// The commands, each given the words from its own name on. A new command is one row here and
// a file of its own.
struct CliCommand {
    const char* name;
    int (*run)(const std::vector<std::string>& args);
};

const CliCommand kCommands[] = {
    {"run", runRunCommand},     {"analyse", runScalingCommand},
    {"fit", runScalingCommand}, {"multifractal", runMultifractalCommand},
    {"map", runMapCommand},
};

int usageError(const std::string& reason) {
    std::fputs(usageErrorText("", reason).c_str(), stderr);
    return kUsageError;
}

}  // namespace

int runCliProgram(const std::vector<std::string>& args) {
    if (args.empty()) return usageError("no command given");
    const std::string& word = args[0];
    if (word == "--help" || word == "-h" || word == "--version") {
        if (args.size() > 1)
            return usageError(word + " takes no arguments, but '" + args[1] + "' follows");
        if (word == "--version")
            std::printf("vantrel-cli %s\n", kVantrelVersion);
        else
            std::fputs(kUsageText, stdout);
        return 0;
    }
    for (const CliCommand& command : kCommands)
        if (word == command.name) return command.run(args);
    return usageError("unknown command '" + word + "'");
}
