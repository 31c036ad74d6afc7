#include "results_reader.h"

#include <cstring>

#include "text_file.h"
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

// One line of a results file, without its line end; false when it is not "AREA\tSUM".
bool parseResultsLine(const std::string& line, ResultsRow& row) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    TextCursor cursor{line.data(), line.data() + tab};
    if (!scanInt(cursor, row.area) || !cursor.atEnd() ||
        !parseWholeDouble(line.data() + tab + 1, line.data() + line.size(), row.residual))
        return false;
    row.digits = digitsAfterPoint(line.substr(tab + 1));
    return true;
}

}  // namespace

std::optional<std::vector<ResultsRow>> readResultsRows(const std::string& path,
                                                       std::string& error) {
    FileCloser file(openFile(path, "r"));
    if (!file.get() || isFolder(path)) {
        error = "Cannot open the results file " + path;
        return std::nullopt;
    }
    std::vector<ResultsRow> rows;
    std::string line;
    int number = 0;
    // Takes the line gathered so far; a line end written on Windows ("\r\n") reads as "\n".
    auto takeLine = [&]() {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) return true;
        ResultsRow row;
        if (!parseResultsLine(line, row)) {
            error = path + ", line " + std::to_string(number) +
                    ": not an area and a residual sum separated by a tab";
            return false;
        }
        rows.push_back(row);
        line.clear();
        return true;
    };
    BlockReader reader(file.get(), 64u << 10);
    const char* begin;
    const char* end;
    while (reader.next(begin, end)) {
        for (const char* p = begin; p < end;) {
            const char* stop = static_cast<const char*>(std::memchr(p, '\n', end - p));
            line.append(p, stop ? stop : end);
            if (!stop) break;
            if (!takeLine()) return std::nullopt;
            p = stop + 1;
        }
    }
    if (reader.failed()) {
        error = "Error reading the results file " + path;
        return std::nullopt;
    }
    if (!line.empty() && !takeLine()) return std::nullopt;
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
