#include "counting_pass.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <string_view>

#include "byte_masks.h"
#include "text_scan.h"

namespace {

// Counts data lines and the values on each across blocks, as if one byte at a time: 64 bytes
// at once where they hold no NUL, byte by byte elsewhere. A NUL byte ends the pass as the end of
// the file would, except that its line is not counted.
class ShapeCounter {
  public:
    ShapeCounter() = default;

    // Feeds one block; false once the pass has ended.
    bool feed(const char* begin, const char* end) {
        const char* p = begin;
        for (; end - p >= 64; p += 64) {
            const ByteMasks masks = classifyBytes(p);
            if (masks.nul) return feedBytes(p, end);
            if (!feed64(masks)) return false;
        }
        return feedBytes(p, end);
    }

    // The end of the file ends the last line.
    void finish() { endLine(); }
    const MatrixShape& shape() const { return shape_; }

  private:
    // Bytes whose masks are known: for each line feed, the values since the last one, then the
    // line's end; the values after the last line feed stay on the line.
    bool feed64(const ByteMasks& masks) {
        const std::uint64_t value = ~masks.space;
        const std::uint64_t starts = value & ~((value << 1) | (inValue_ ? 1u : 0u));
        int from = 0;
        for (std::uint64_t feeds = masks.lineFeed; feeds; feeds &= feeds - 1) {
            const int at = __builtin_ctzll(feeds);
            const std::uint64_t line = bitsBelow(at) & ~bitsBelow(from);
            if (!addValues(countBits(starts & line))) return false;
            if (value & line) lineHasValue_ = true;
            if (!endLine()) return false;
            from = at + 1;
        }
        const std::uint64_t rest = ~bitsBelow(from);
        if (!addValues(countBits(starts & rest))) return false;
        if (value & rest) lineHasValue_ = true;
        inValue_ = (value >> 63) != 0;
        return true;
    }

    // n more values on the line; the count may not reach INT_MAX.
    bool addValues(int n) {
        if (static_cast<long long>(valuesOnLine_) + n >= INT_MAX) return tooLarge();
        valuesOnLine_ += n;
        return true;
    }

    bool feedBytes(const char* begin, const char* end) {
        for (const char* p = begin; p != end; ++p) {
            unsigned char c = static_cast<unsigned char>(*p);
            if (c == 0) return false;
            if (c == '\n') {
                if (!endLine()) return false;
            } else if (isCSpace(c)) {
                inValue_ = false;
            } else {
                if (!inValue_) {
                    if (++valuesOnLine_ == INT_MAX) return tooLarge();
                    inValue_ = true;
                }
                lineHasValue_ = true;
            }
        }
        return true;
    }

    bool endLine() {
        inValue_ = false;
        if (!lineHasValue_) return true;
        if (firstLine_) {
            shape_.columns = valuesOnLine_;
            firstLine_ = false;
        } else if (valuesOnLine_ != shape_.columns) {
            char message[128];
            std::snprintf(message, sizeof message,
                          "The number of columns of row %d is wrong (%d against %d)",
                          shape_.rows + 1, valuesOnLine_, shape_.columns);
            shape_.columnMessage = message;
            shape_.columnError = true;
            return false;
        }
        if (shape_.rows == INT_MAX - 1) return tooLarge();
        ++shape_.rows;
        valuesOnLine_ = 0;
        lineHasValue_ = false;
        return true;
    }

    bool tooLarge() {
        shape_.columnMessage = "The data file holds more rows or columns than can be counted";
        shape_.columnError = true;
        return false;
    }

    MatrixShape shape_;
    int valuesOnLine_ = 0;
    bool inValue_ = false;
    bool lineHasValue_ = false;
    bool firstLine_ = true;
};

}  // namespace

MatrixShape countShape(RunHost& host, BlockReader& reader) {
    ShapeCounter counter;
    const char* begin;
    const char* end;
    bool going = true;
    while (going && reader.next(begin, end)) {
        throwIfCancelled(host.cancelToken());
        going = counter.feed(begin, end);
    }
    MatrixShape shape = counter.shape();
    if (going && !reader.failed()) {
        counter.finish();
        shape = counter.shape();
    }
    shape.readError = reader.failed();
    if (shape.columnError && shape.rows > 0 && shape.columns > 0) {
        // A header or a word among the numbers is the usual cause: name it.
        reader.rewind();
        shape.columnMessage += wordBeforeRow(reader, shape.rows + 1);
    }
    if (shape.columnError) host.showMessage(shape.columnMessage);
    return shape;
}

std::string wordBeforeRow(BlockReader& reader, int lastRow) {
    constexpr std::size_t kLook = 1u << 20;  // the first megabyte is where a header stands
    std::string text;
    const char* begin;
    const char* end;
    while (text.size() < kLook && reader.next(begin, end)) text.append(begin, end);
    // The counting pass ends at the first NUL byte; what follows it is not part of any row.
    text.resize(std::min(text.size(), text.find('\0')));
    int row = 0;
    for (std::size_t at = 0; at < text.size() && row < lastRow;) {
        std::size_t feed = text.find('\n', at);
        if (feed == std::string::npos) feed = text.size();
        std::string_view line(text.data() + at, feed - at);
        at = feed + 1;
        if (trimCSpace(line).empty()) continue;
        ++row;
        while (!(line = trimCSpace(line)).empty()) {
            std::size_t stop = 0;
            while (stop < line.size() && !isCSpace(static_cast<unsigned char>(line[stop]))) ++stop;
            const std::string_view word = line.substr(0, stop);
            double value;
            if (!parseWholeDouble(word.data(), word.data() + word.size(), value))
                return "\nRow " + std::to_string(row) + " holds \"" + printableExcerpt(word) +
                       "\", which is not a number" +
                       (word[0] == '#' ? "; lines beginning with # are read as comments by "
                                         "vantrel-cli analyse and fit, not by the run"
                                       : "");
            line = line.substr(stop);
        }
    }
    return "";
}
