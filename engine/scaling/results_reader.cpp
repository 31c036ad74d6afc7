#include "results_reader.h"

#include <fstream>

#include "text_scan.h"

std::optional<std::vector<std::pair<int, double>>> readResultsFile(const std::string& path,
                                                                   std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "Cannot open the results file " + path;
        return std::nullopt;
    }
    std::vector<std::pair<int, double>> rows;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty()) continue;
        const std::size_t tab = line.find('\t');
        int area = 0;
        double residual = 0.0;
        TextCursor cursor{line.data(), line.data() + (tab == std::string::npos ? 0 : tab)};
        if (tab == std::string::npos || !scanInt(cursor, area) || !cursor.atEnd() ||
            !parseWholeDouble(line.data() + tab + 1, line.data() + line.size(), residual)) {
            error = path + ", line " + std::to_string(number) +
                    ": not an area and a residual sum separated by a tab";
            return std::nullopt;
        }
        rows.emplace_back(area, residual);
    }
    return rows;
}
