#include "command_line.h"

#include <algorithm>

namespace {

const CliOption* findOption(const CliOptionTable& options, const std::string& word) {
    for (const CliOption& option : options)
        if (std::find(option.names.begin(), option.names.end(), word) != option.names.end())
            return &option;
    return nullptr;
}

bool isOptionWord(const std::string& word) {
    return word.size() > 1 && word[0] == '-';
}

}  // namespace

ParseOutcome parseCommandArguments(const std::vector<std::string>& args, std::size_t first,
                                   const CliOptionTable& options, const CliOperand& operand,
                                   std::string& error) {
    for (std::size_t k = first; k < args.size(); ++k) {
        const std::string& word = args[k];
        if (word == "--help" || word == "-h") return ParseOutcome::kHelp;
        if (!isOptionWord(word)) {
            if (!operand(word, error)) return ParseOutcome::kUsageError;
            continue;
        }
        const CliOption* option = findOption(options, word);
        if (!option) {
            error = "unknown option '" + word + "'";
            return ParseOutcome::kUsageError;
        }
        const std::size_t count = static_cast<std::size_t>(option->valueCount);
        if (args.size() - k - 1 < count) {
            error = word + " needs a value";
            return ParseOutcome::kUsageError;
        }
        const std::vector<std::string> values(args.begin() + static_cast<long>(k + 1),
                                              args.begin() + static_cast<long>(k + 1 + count));
        if (!option->apply(word, values, error)) return ParseOutcome::kUsageError;
        k += count;
    }
    return ParseOutcome::kParsed;
}

CliOption flagOption(std::vector<std::string> names, std::function<void()> set) {
    return {
        std::move(names), 0,
        [set = std::move(set)](const std::string&, const std::vector<std::string>&, std::string&) {
            set();
            return true;
        }};
}

CliOption valuesOption(
    std::string name, int valueCount,
    std::function<bool(const std::string& name, const std::vector<std::string>& values,
                       std::string& error)>
        apply) {
    return {{std::move(name)}, valueCount, std::move(apply)};
}

CliOption textOption(std::string name, std::string& value) {
    return valuesOption(
        std::move(name), 1,
        [&value](const std::string&, const std::vector<std::string>& values, std::string&) {
            value = values[0];
            return true;
        });
}

std::string usageErrorText(const std::string& command, const std::string& reason) {
    const std::string help = command.empty() ? "--help" : command + " --help";
    return "vantrel-cli: " + reason + "\nTry 'vantrel-cli " + help + "'\n";
}

ParseOutcome parseSurfaceCommand(const std::vector<std::string>& args,
                                 const CliOptionTable& options, std::string& file,
                                 std::string& error) {
    auto surfaceFile = [&file](const std::string& word, std::string& fault) {
        if (!file.empty()) {
            fault = "unexpected argument '" + word + "' (only one surface file)";
            return false;
        }
        file = word;
        return true;
    };
    const ParseOutcome outcome = parseCommandArguments(args, 1, options, surfaceFile, error);
    if (outcome == ParseOutcome::kParsed && file.empty()) {
        error = "no surface file named";
        return ParseOutcome::kUsageError;
    }
    return outcome;
}
