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
    enum class Action { kRun, kHelp, kVersion } action = Action::kRun;
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

// Parses the arguments after the program name. Returns the request, or sets `error` to a
// one-line description of the usage fault and returns nothing.
// To add a command, give it a branch in parseCommandLine; to add an option of `run`, a branch
// in parseOption (cli_options.cpp) and a line in kUsageText.
std::optional<CliRequest> parseCommandLine(const std::vector<std::string>& args,
                                           std::string& error);

// The settings a request runs with: reset values, then the configuration file (false when it
// cannot be opened), then the overrides in order.
bool effectiveSettings(const CliRequest& request, AnalysisSettings& settings);

// Whether `word` is one of the input options (--format, --band, --crop-valid) that every command
// reading a surface file takes.
bool isReadOption(const std::string& word);
// Parses the input option args[k] and its value into `read`, leaving k on its last word; false
// with `error` set on a usage fault.
bool parseReadOptionAt(const std::vector<std::string>& args, std::size_t& k, ReadOptions& read,
                       std::string& error);

extern const char* const kUsageText;
// What follows a usage error's one-line reason.
extern const char* const kUsageHint;
