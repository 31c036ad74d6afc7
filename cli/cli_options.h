#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis_settings.h"
#include "compute_options.h"
#include "surface_file.h"

// What the command line asks for, once parsed.
struct CliRequest {
    enum class Action { kRun, kHelp } action = Action::kRun;
    std::optional<std::string> configFile;
    // Overrides of single settings, applied in the order given, after the configuration file.
    std::vector<std::function<void(AnalysisSettings&)>> overrides;
    RunOptions options;
    ComputeOptions compute;
    ReadOptions read;
    bool answerYes = false;
    bool quiet = false;
    std::optional<std::string> saveConfigFile;
};

// Parses the words of `vantrel-cli run` (args[0] is "run"). Returns the request, or sets `error`
// to a one-line description of the usage fault and returns nothing. The options are the rows of
// runOptionTable (cli_options.cpp), each with a line in kUsageText.
std::optional<CliRequest> parseRunArguments(const std::vector<std::string>& args,
                                            std::string& error);

// The settings a request runs with: reset values, then the configuration file (false when it
// cannot be opened), then the overrides in order.
bool effectiveSettings(const CliRequest& request, AnalysisSettings& settings);

// The help of vantrel-cli and of its run command.
extern const char* const kUsageText;
