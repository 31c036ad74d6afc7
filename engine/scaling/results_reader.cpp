#include "results_reader.h"

#include <fstream>

#include "text_scan.h"

namespace {

// Digits after the decimal point of a number printed in fixed notation; 0 without a point.
int digitsAfterPoint(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return 0;
    int digits = 0;
    for (std::size_t k = point + 1; k < text.size() && text[k] >= '0' && text[k] <= '9'; ++k)
        ++digits;
    return digits;
}

}  // namespace

std::optional<std::vector<ResultsRow>> readResultsRows(const std::string& path,
                                                       std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "Cannot open the results file " + path;
        return std::nullopt;
    }
    std::vector<ResultsRow> rows;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty()) continue;
        const std::size_t tab = line.find('\t');
        ResultsRow row;
        TextCursor cursor{line.data(), line.data() + (tab == std::string::npos ? 0 : tab)};
        if (tab == std::string::npos || !scanInt(cursor, row.area) || !cursor.atEnd() ||
            !parseWholeDouble(line.data() + tab + 1, line.data() + line.size(), row.residual)) {
            error = path + ", line " + std::to_string(number) +
                    ": not an area and a residual sum separated by a tab";
            return std::nullopt;
        }
        row.digits = digitsAfterPoint(line.substr(tab + 1));
        rows.push_back(row);
    }
    return rows;
}

std::optional<std::vector<std::pair<int, double>>> readResultsFile(const std::string& path,
                                                                   std::string& error) {
    const auto rows = readResultsRows(path, error);
    if (!rows) return std::nullopt;
    std::vector<std::pair<int, double>> pairs;
    for (const ResultsRow& row : *rows) pairs.emplace_back(row.area, row.residual);
    return pairs;
}
