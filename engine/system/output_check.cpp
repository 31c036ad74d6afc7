#include "output_check.h"

#include "system.h"

std::optional<std::string> outputThatIsAnInput(const std::vector<std::string>& inputs,
                                               const std::vector<std::string>& outputs) {
    std::vector<std::pair<FileIdentity, const std::string*>> known;
    for (const std::string& input : inputs) {
        FileIdentity identity;
        if (fileIdentity(input, identity)) known.emplace_back(identity, &input);
    }
    for (const std::string& output : outputs) {
        FileIdentity identity;
        if (known.empty() || !fileIdentity(output, identity)) continue;
        for (const auto& [inputIdentity, input] : known)
            if (inputIdentity == identity)
                return "The output file " + output + " is the same file as the input " + *input +
                       ": nothing was written";
    }
    return std::nullopt;
}
