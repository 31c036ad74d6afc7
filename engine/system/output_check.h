#pragma once

#include <optional>
#include <string>
#include <vector>

// The one check that stands between a command and the loss of its own input: no file a command
// is about to write may be a file it reads, whatever names lead to the two (a symbolic link, a
// hard link, "./x" beside "x"). Every front end asks it before anything is written.

// The message naming the first output that is the same file as an input, as the user named
// both: "The output file OUT is the same file as the input IN: nothing was written". Nothing
// when every output is a file of its own or does not exist yet. Empty names are skipped.
std::optional<std::string> outputThatIsAnInput(const std::vector<std::string>& inputs,
                                               const std::vector<std::string>& outputs);
