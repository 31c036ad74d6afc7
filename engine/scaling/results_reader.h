#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Reads a results file as a run writes it: one line per area, "AREA<TAB>RESIDUAL".

// One line: the area, its residual sum, and the digits after the point it was printed with,
// which bound how far the printed sum may lie from the one the run computed.
struct ResultsRow {
    int area = 0;
    double residual = 0.0;
    int digits = 0;
};

// The rows in file order, or nothing with `error` set when the file cannot be opened or a line
// is not of that form.
std::optional<std::vector<ResultsRow>> readResultsRows(const std::string& path, std::string& error);

// The same as (area, residual) pairs.
std::optional<std::vector<std::pair<int, double>>> readResultsFile(const std::string& path,
                                                                   std::string& error);
