// The data matrix loader on arbitrary bytes, read in blocks as small as one byte, checked
// against a plain reading of the same bytes: split at line feeds, stop at a NUL byte, every
// value converted whole by strtod in the "C" locale. Read again with comments, it must load what
// the plain reading makes of the bytes with each comment (from '#' to the line feed) blanked.

#include <locale.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "matrix_loader.h"
#include "reader_fuzz_host.h"
#include "text_scan.h"

namespace {

struct Expected {
    bool loaded = false;
    int R = 0;
    int C = 0;
    std::vector<double> values;
    std::vector<std::string> messages;
};

std::vector<std::string_view> valuesOf(std::string_view line) {
    std::vector<std::string_view> values;
    std::size_t k = 0;
    while (k < line.size()) {
        while (k < line.size() && isCSpace(static_cast<unsigned char>(line[k]))) ++k;
        std::size_t start = k;
        while (k < line.size() && !isCSpace(static_cast<unsigned char>(line[k]))) ++k;
        if (k > start) values.push_back(line.substr(start, k - start));
    }
    return values;
}

bool strtodWhole(std::string_view token, double& value) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    std::string copy(token);
    char* stop = nullptr;
    value = strtod_l(copy.c_str(), &stop, cLocale);
    return !copy.empty() && stop == copy.c_str() + copy.size();
}

// The note the loader adds to a row of the wrong length: the first word of rows 1 to lastRow that
// is not a number, where there is one.
std::string wordThatIsNotANumber(const std::vector<std::string_view>& lines, int lastRow) {
    int row = 0;
    for (std::string_view line : lines) {
        const std::vector<std::string_view> values = valuesOf(line);
        if (values.empty()) continue;
        if (++row > lastRow) break;
        for (std::string_view word : values) {
            double value = 0.0;
            if (strtodWhole(word, value)) continue;
            return "\nRow " + std::to_string(row) + " holds \"" + printableExcerpt(word) +
                   "\", which is not a number" +
                   (word[0] == '#' ? "; lines beginning with # are read as comments by "
                                     "vantrel-cli analyse and fit, not by the run"
                                   : "");
        }
    }
    return "";
}

Expected plainReading(std::string_view text) {
    Expected expected;
    std::size_t nul = text.find('\0');
    std::string_view counted = text.substr(0, nul);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = counted.find('\n', start)) != std::string_view::npos;
         start = end + 1)
        lines.push_back(counted.substr(start, end - start));
    if (nul == std::string_view::npos)
        lines.push_back(counted.substr(start));  // ended by the file's end

    std::vector<std::string_view> tokens;
    bool firstLine = true;
    for (std::string_view line : lines) {
        std::vector<std::string_view> values = valuesOf(line);
        if (values.empty()) continue;
        if (firstLine) {
            expected.C = static_cast<int>(values.size());
            firstLine = false;
        } else if (static_cast<int>(values.size()) != expected.C) {
            expected.messages.push_back(
                "The number of columns of row " + std::to_string(expected.R + 1) + " is wrong (" +
                std::to_string(values.size()) + " against " + std::to_string(expected.C) + ")" +
                wordThatIsNotANumber(lines, expected.R + 1));
            return expected;
        }
        ++expected.R;
        tokens.insert(tokens.end(), values.begin(), values.end());
    }
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        double value = 0.0;
        if (!strtodWhole(tokens[k], value)) {
            expected.messages.push_back("The value \"" + printableExcerpt(tokens[k]) +
                                        "\" in row " + std::to_string(k / expected.C + 1) +
                                        ", column " + std::to_string(k % expected.C + 1) +
                                        " is not a number");
            return expected;
        }
        expected.values.push_back(value);
    }
    expected.loaded = true;
    return expected;
}

std::string withCommentsBlanked(std::string text) {
    bool inComment = false;
    for (char& c : text) {
        if (c == '\n')
            inComment = false;
        else if (c == '#')
            inComment = true;
        if (inComment) c = ' ';
    }
    return text;
}

bool sameValue(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void check(const ReaderFuzzHost& host, const std::optional<DataMatrix>& matrix,
           const Expected& expected) {
    const int R = expected.R, C = expected.C;
    FUZZ_CHECK(matrix.has_value() == expected.loaded);
    FUZZ_CHECK(host.sizeText == dataSizeText(R, C));
    FUZZ_CHECK(host.messages == expected.messages);
    if (matrix) {
        FUZZ_CHECK(matrix->rowCount() == R && matrix->columnCount() == C);
        for (int i = 0; i < R; ++i)
            for (int j = 0; j < C; ++j)
                FUZZ_CHECK(sameValue((*matrix)[i][j],
                                     expected.values[static_cast<std::size_t>(i) * C + j]));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;  // fmemopen refuses an empty buffer
    // The first byte chooses the block size (tiny blocks split values and lines between blocks;
    // blocks around 64 bytes meet the counting pass's 64-byte steps) and one or two threads.
    static const std::size_t kBlockSizes[] = {1,  2,  3,  5,   7,   8,   13,  16,      31,
                                              63, 64, 65, 100, 127, 128, 129, 1u << 20};
    std::size_t blockSize = kBlockSizes[(data[0] & 0x7f) % std::size(kBlockSizes)];
    int threads = data[0] & 0x80 ? 2 : 1;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (bool comments : {false, true}) {
        std::FILE* file = fmemopen(text.data(), text.size(), "r");
        if (!file) return 0;
        ReaderFuzzHost host;
        const std::optional<DataMatrix> matrix =
            loadDataMatrixFrom(host, file, blockSize, threads, comments);
        std::fclose(file);
        check(host, matrix, plainReading(comments ? withCommentsBlanked(text) : text));
    }
    return 0;
}
