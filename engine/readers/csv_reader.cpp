#include "csv_reader.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "reader_support.h"
#include "text_file.h"
#include "text_scan.h"

namespace {

// The file's lines one by one, each without its line feed; one line is held at a time. Lines
// are counted from 1, empty ones included, so that a message can name the line a person sees.
class LineReader {
  public:
    explicit LineReader(std::FILE* file) : blocks_(file, 64u << 10) {}

    // The next line, or false at the end of the file or on a read error (see failed()).
    bool next(std::string_view& line) {
        line_.clear();
        bool any = false;
        for (;;) {
            if (at_ == end_ && !blocks_.next(at_, end_)) break;
            any = true;
            const char* feed = static_cast<const char*>(std::memchr(at_, '\n', end_ - at_));
            line_.append(at_, feed ? feed : end_);
            at_ = feed ? feed + 1 : end_;
            if (feed) break;
        }
        if (!any) return false;
        ++number_;
        line = line_;
        return true;
    }
    int number() const { return number_; }
    bool failed() const { return blocks_.failed(); }

  private:
    BlockReader blocks_;
    const char* at_ = nullptr;
    const char* end_ = nullptr;
    std::string line_;
    int number_ = 0;
};

// A NUL byte would end the line early for every C string function: such a file is not CSV text.
bool refuseNul(RunHost& host, const std::string& name, std::string_view line, int number) {
    if (line.find('\0') == std::string_view::npos) return true;
    return fileProblem(
        host, name,
        "line " + std::to_string(number) + " holds a NUL byte, which no CSV text holds");
}

struct CsvLayout {
    char separator = ',';
    bool header = false;
    int rows = 0;
    int columns = 0;
};

// Calls field(k, text) for each field of the line, trimmed; returns the number of fields.
template <class Field>
long long forEachField(std::string_view line, char separator, Field field) {
    long long k = 0;
    for (std::size_t start = 0;; ++k) {
        const std::size_t end = line.find(separator, start);
        field(k, trimCSpace(line.substr(start, end - start)));
        if (end == std::string_view::npos) return k + 1;
        start = end + 1;
    }
}

bool holdsNumber(std::string_view line, char separator) {
    bool number = false;
    forEachField(line, separator, [&](long long, std::string_view text) {
        double value;
        number = number || parseWholeDouble(text.data(), text.data() + text.size(), value);
    });
    return number;
}

bool countLayout(RunHost& host, std::FILE* file, const std::string& name, CsvLayout& layout) {
    LineReader lines(file);
    std::string_view line;
    bool first = true;
    while (lines.next(line)) {
        throwIfCancelled(host.cancelToken());
        if (!refuseNul(host, name, line, lines.number())) return false;
        if (trimCSpace(line).empty()) continue;
        if (first) {
            first = false;
            layout.separator = line.find(';') != std::string_view::npos ? ';' : ',';
            if (!holdsNumber(line, layout.separator)) {
                layout.header = true;
                continue;
            }
        }
        const long long fields = forEachField(line, layout.separator, [](long long, auto) {});
        if (layout.rows == 0) {
            if (fields >= INT_MAX) return fileProblem(host, name, "has too many columns");
            layout.columns = static_cast<int>(fields);
        } else if (fields != layout.columns) {
            return fileProblem(host, name,
                               "the number of columns of row " + std::to_string(layout.rows + 1) +
                                   " is wrong (" + std::to_string(fields) + " against " +
                                   std::to_string(layout.columns) + ")");
        }
        if (layout.rows == INT_MAX - 1) return fileProblem(host, name, "has too many rows");
        ++layout.rows;
    }
    if (lines.failed()) return fileProblem(host, name, "cannot be read");
    return true;
}

bool readValues(RunHost& host, std::FILE* file, const std::string& name, const CsvLayout& layout,
                DataMatrix& rows) {
    LineReader lines(file);
    std::string_view line;
    bool skipHeader = layout.header;
    for (int i = 0; i < layout.rows && lines.next(line);) {
        throwIfCancelled(host.cancelToken());  // the caller releases the rows
        if (!refuseNul(host, name, line, lines.number())) return false;
        if (trimCSpace(line).empty()) continue;
        if (skipHeader) {
            skipHeader = false;
            continue;
        }
        std::string bad;
        long long badColumn = -1;
        const long long fields =
            forEachField(line, layout.separator, [&](long long j, std::string_view text) {
                if (badColumn >= 0 || j >= layout.columns) return;
                double& cell = rows[i][j];
                if (text.empty()) {
                    cell = std::nan("");
                } else if (!parseWholeDouble(text.data(), text.data() + text.size(), cell)) {
                    bad = std::string(text);
                    badColumn = j;
                }
            });
        if (badColumn >= 0)
            return fileProblem(host, name,
                               "the value \"" + printableExcerpt(bad) + "\" in row " +
                                   std::to_string(i + 1) + ", column " +
                                   std::to_string(badColumn + 1) + " is not a number");
        if (fields != layout.columns) break;  // the file changed since it was counted
        ++i;
    }
    return true;
}

}  // namespace

std::optional<DataMatrix> readCsv(RunHost& host, std::FILE* file, const std::string& name) {
    CsvLayout layout;
    if (!countLayout(host, file, name, layout)) return std::nullopt;
    auto matrix = confirmSizeAndAllocate(host, layout.rows, layout.columns);
    if (!matrix) return std::nullopt;
    std::rewind(file);
    if (!readValues(host, file, name, layout, *matrix)) return std::nullopt;
    return matrix;
}
