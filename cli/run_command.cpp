#include "run_command.h"

#include <cstdio>
#include <new>

#include "analysis_run.h"
#include "cli_options.h"
#include "command_line.h"
#include "output_check.h"
#include "output_files.h"
#include "terminal_host.h"

namespace {

constexpr int kCompleted = 0;
constexpr int kEndedWithMessage = 1;

// The outputs the command line names against every file it reads. --save-config may name the
// configuration file read, which it rewrites with the options applied, but no other input; the
// results may replace none, the configuration file included. The run checks its own outputs
// against its inputs again, for every front end.
std::optional<std::string> commandLineClash(const CliRequest& request,
                                            const AnalysisSettings& settings) {
    std::vector<std::string> inputs = {settings.inputFile};
    if (settings.useProgressionFile != 0) inputs.push_back(settings.progressionFile);
    if (auto clash = outputThatIsAnInput(inputs, {request.saveConfigFile.value_or("")}))
        return clash;
    if (request.configFile) inputs.push_back(*request.configFile);
    const std::string resultsFile = request.compute.resultsFile.empty()
                                        ? resultsFileName(settings.inputFile)
                                        : request.compute.resultsFile;
    return outputThatIsAnInput(inputs, {resultsFile});
}

int run(const CliRequest& request) {
    TerminalHost host({request.answerYes, !request.quiet}, stdin, stderr);
    AnalysisSettings settings;
    if (!effectiveSettings(request, settings)) {
        host.showMessage("Error opening config file");
        return kEndedWithMessage;
    }
    if (auto clash = commandLineClash(request, settings)) {
        host.showMessage(*clash);
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
