#pragma once

#include <functional>
#include <string>
#include <vector>

// The one command-line parser of vantrel-cli. Each command declares its options in a table of
// CliOption rows and hands the table, with what to do with a word that is not an option, to
// parseCommandArguments. The parser walks the words, gives each option the number of values
// its row asks for, and stops at the first usage fault with a one-line reason; the command
// prints it with usageErrorText and exits with kUsageError.

constexpr int kUsageError = 2;

// One option of a command. `apply` receives the option's own words (names[0] or an alias) and
// its values; it stores what they mean, or returns false with `error` set to a one-line reason
// ("--threads: 'x' is not an integer").
struct CliOption {
    std::vector<std::string> names;  // "--quiet"; "-y", "--yes"
    int valueCount = 0;              // the words that follow the option and belong to it
    std::function<bool(const std::string& name, const std::vector<std::string>& values,
                       std::string& error)>
        apply;
};

using CliOptionTable = std::vector<CliOption>;

// What to do with a word that is not an option (a file name); false with `error` set when the
// command takes no further such word.
using CliOperand = std::function<bool(const std::string& word, std::string& error)>;

enum class ParseOutcome { kParsed, kHelp, kUsageError };

// Parses args[first...] against `options`. "--help" or "-h" ends the parse with kHelp; "-" and
// words that do not start with '-' go to `operand`; an unknown option, a missing value or a
// value an option refuses ends it with kUsageError and `error` set.
ParseOutcome parseCommandArguments(const std::vector<std::string>& args, std::size_t first,
                                   const CliOptionTable& options, const CliOperand& operand,
                                   std::string& error);

// Parses the words of a command that reads one surface file: the file goes to `file`, a second
// one or none at all is a usage fault.
ParseOutcome parseSurfaceCommand(const std::vector<std::string>& args,
                                 const CliOptionTable& options, std::string& file,
                                 std::string& error);

// A row for an option without values that sets something.
CliOption flagOption(std::vector<std::string> names, std::function<void()> set);
// A row for an option with `valueCount` values, handed to `apply` with the option's name.
CliOption valuesOption(
    std::string name, int valueCount,
    std::function<bool(const std::string& name, const std::vector<std::string>& values,
                       std::string& error)>
        apply);
// A row for an option with one word that is stored as it is (a file name).
CliOption textOption(std::string name, std::string& value);

// The two lines a usage fault prints on standard error: "vantrel-cli: REASON" and
// "Try 'vantrel-cli COMMAND --help'" ("Try 'vantrel-cli --help'" for an empty command).
std::string usageErrorText(const std::string& command, const std::string& reason);
