#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Reads a results file as a run writes it: one line per area, "AREA<TAB>RESIDUAL". Returns the
// pairs in file order, or nothing with `error` set when the file cannot be opened or a line is
// not of that form.
std::optional<std::vector<std::pair<int, double>>> readResultsFile(const std::string& path,
                                                                   std::string& error);
