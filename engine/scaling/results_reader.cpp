#include "results_reader.h"

#include <cstring>

#include "text_file.h"
#include "text_scan.h"

namespace {

// One line of a results file, without its line end; false when it is not "AREA\tSUM".
bool parseResultsLine(const std::string& line, std::pair<int, double>& row) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    TextCursor cursor{line.data(), line.data() + tab};
    return scanInt(cursor, row.first) && cursor.atEnd() &&
           parseWholeDouble(line.data() + tab + 1, line.data() + line.size(), row.second);
}

}  // namespace

std::optional<std::vector<std::pair<int, double>>> readResultsFile(const std::string& path,
                                                                   std::string& error) {
    FileCloser file(openFile(path, "r"));
    if (!file.get() || isFolder(path)) {
        error = "Cannot open the results file " + path;
        return std::nullopt;
    }
    std::vector<std::pair<int, double>> rows;
    std::string line;
    int number = 0;
    // Takes the line gathered so far; a line end written on Windows ("\r\n") reads as "\n".
    auto takeLine = [&]() {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) return true;
        std::pair<int, double> row;
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
