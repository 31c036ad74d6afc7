#include "run_command.h"

#include <cstdio>
#include <new>

#include "analysis_run.h"
#include "cli_options.h"
#include "command_line.h"
#include "output_files.h"
#include "terminal_host.h"

namespace {

constexpr int kCompleted = 0;
constexpr int kEndedWithMessage = 1;

int run(const CliRequest& request) {
    TerminalHost host({request.answerYes, !request.quiet}, stdin, stderr);
    AnalysisSettings settings;
    if (!effectiveSettings(request, settings)) {
        host.showMessage("Error opening config file");
        return kEndedWithMessage;
    }
    if (request.saveConfigFile && !settings.writeConfig(*request.saveConfigFile)) {
        host.showMessage("Error saving config file");
        return kEndedWithMessage;
    }
    try {
        runAnalysis(settings, request.options, host, request.compute, request.read);
    } catch (const std::bad_alloc& error) {
        host.showMessage(std::string("Out of memory: ") + error.what());
    }
    host.finish();
    if (host.anyMessageShown()) return kEndedWithMessage;
    host.announceResults(request.compute.resultsFile.empty() ? resultsFileName(settings.inputFile)
                                                             : request.compute.resultsFile);
    return kCompleted;
}

}  // namespace

int runRunCommand(const std::vector<std::string>& args) {
    std::string error;
    const auto request = parseRunArguments(args, error);
    if (!request) {
        std::fputs(usageErrorText("run", error).c_str(), stderr);
        return kUsageError;
    }
    if (request->action == CliRequest::Action::kHelp) {
        std::fputs(kUsageText, stdout);
        return kCompleted;
    }
    return run(*request);
}
