// vantrel-cli: the analysis from the command line, for scripts and batch work.

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "analysis_run.h"
#include "cli_options.h"
#include "multifractal_command.h"
#include "output_files.h"
#include "scaling_command.h"
#include "terminal_host.h"
#include "version.h"

namespace {

constexpr int kCompleted = 0;
constexpr int kEndedWithMessage = 1;
constexpr int kUsageError = 2;

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

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && isScalingCommand(args[0])) return runScalingCommand(args);
    if (!args.empty() && isMultifractalCommand(args[0])) return runMultifractalCommand(args);
    std::string error;
    auto request = parseCommandLine(args, error);
    if (!request) {
        std::fprintf(stderr, "vantrel-cli: %s\n%s\n", error.c_str(), kUsageHint);
        return kUsageError;
    }
    switch (request->action) {
        case CliRequest::Action::kHelp:
            std::fputs(kUsageText, stdout);
            return kCompleted;
        case CliRequest::Action::kVersion:
            std::printf("vantrel-cli %s\n", kVantrelVersion);
            return kCompleted;
        case CliRequest::Action::kRun:
            break;
    }
    return run(*request);
}
