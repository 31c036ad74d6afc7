#include "npy_header.h"

#include <cctype>
#include <climits>
#include <cstdint>

namespace {

// A cursor over the dict literal, skipping the white space between tokens.
class PythonLiteral {
  public:
    explicit PythonLiteral(std::string_view text) : text_(text) {}

    bool take(char c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    char peek() {
        skipBlanks();
        return at_ < text_.size() ? text_[at_] : '\0';
    }
    bool string(std::string& value) {
        const char quote = peek();
        if (quote != '\'' && quote != '"') return false;
        const std::size_t close = text_.find(quote, at_ + 1);
        if (close == std::string_view::npos) return false;
        value = std::string(text_.substr(at_ + 1, close - at_ - 1));
        at_ = close + 1;
        return true;
    }
    bool word(std::string& value) {
        skipBlanks();
        const std::size_t start = at_;
        while (at_ < text_.size() && std::isalpha(static_cast<unsigned char>(text_[at_]))) ++at_;
        value = std::string(text_.substr(start, at_ - start));
        return !value.empty();
    }
    // A non-negative integer, as Python 2 wrote it too ("3L"); false beyond 2^62.
    bool count(long long& value) {
        skipBlanks();
        const std::size_t start = at_;
        value = 0;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            if (value > (1LL << 62) / 10) return false;
            value = value * 10 + (text_[at_++] - '0');
        }
        if (at_ < text_.size() && text_[at_] == 'L') ++at_;
        return at_ > start;
    }

  private:
    void skipBlanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    std::string_view text_;
    std::size_t at_ = 0;
};

bool parseShape(PythonLiteral& literal, std::vector<long long>& shape) {
    if (!literal.take('(')) return false;
    shape.clear();
    while (!literal.take(')')) {
        long long side;
        if (literal.peek() == '-') return false;
        if (!literal.count(side)) return false;
        shape.push_back(side);
        if (!literal.take(',') && literal.peek() != ')') return false;
    }
    return true;
}

bool parseDescr(const std::string& descr, NpyHeader& header, std::string& what) {
    std::size_t k = 0;
    if (k < descr.size() &&
        (descr[k] == '<' || descr[k] == '>' || descr[k] == '|' || descr[k] == '='))
        header.bigEndian = descr[k++] == '>';
    const char kind = k < descr.size() ? descr[k++] : '\0';
    int size = 0;
    for (; k < descr.size() && std::isdigit(static_cast<unsigned char>(descr[k])) && size < 100;
         ++k)
        size = size * 10 + (descr[k] - '0');
    const bool sizeFits = k == descr.size() && size > 0;
    if (kind == 'c' && sizeFits) {
        what = "holds complex values ('" + descr + "'); only real numbers can be analysed";
        return false;
    }
    const bool known =
        sizeFits &&
        ((kind == 'f' && (size == 4 || size == 8)) ||
         ((kind == 'i' || kind == 'u') && (size == 1 || size == 2 || size == 4 || size == 8)) ||
         (kind == 'b' && size == 1));
    if (!known) {
        what =
            "holds values of type '" + descr + "'; float32, float64 and integer arrays can be read";
        return false;
    }
    header.kind = kind == 'b' ? 'u' : kind;
    header.itemSize = size;
    return true;
}

std::uint64_t littleEndian(std::string_view bytes, std::size_t at, int width) {
    std::uint64_t value = 0;
    for (int k = width - 1; k >= 0; --k)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
    return value;
}

}  // namespace

bool npyDataOffset(std::string_view bytes, std::size_t& dataOffset, std::string& what) {
    using namespace std::string_view_literals;
    if (bytes.substr(0, 6) != "\x93NUMPY"sv) {
        what = "is not a .npy file (it does not begin with \\x93NUMPY)";
        return false;
    }
    if (bytes.size() < 10) {
        what = "is cut short inside its header";
        return false;
    }
    const int major = static_cast<unsigned char>(bytes[6]);
    if (major < 1 || major > 3) {
        what = "is a .npy file of format version " + std::to_string(major) +
               "; versions 1 to 3 can be read";
        return false;
    }
    const int width = major == 1 ? 2 : 4;
    if (bytes.size() < 8u + width) {
        what = "is cut short inside its header";
        return false;
    }
    // In 64 bits: a length near 4 GiB must not wrap round to a small offset.
    const std::uint64_t offset =
        8u + static_cast<std::uint64_t>(width) + littleEndian(bytes, 8, width);
    dataOffset = offset > SIZE_MAX ? SIZE_MAX : static_cast<std::size_t>(offset);
    return true;
}

bool parseNpyHeader(std::string_view bytes, NpyHeader& header, std::string& what) {
    if (!npyDataOffset(bytes, header.dataOffset, what)) return false;
    if (bytes.size() < header.dataOffset) {
        what = "is cut short inside its header";
        return false;
    }
    const std::size_t dictStart = static_cast<unsigned char>(bytes[6]) == 1 ? 10 : 12;
    PythonLiteral literal(bytes.substr(dictStart, header.dataOffset - dictStart));
    bool haveDescr = false, haveOrder = false, haveShape = false;
    what = "has a header that does not read as a .npy header";
    if (!literal.take('{')) return false;
    while (!literal.take('}')) {
        std::string key;
        if (!literal.string(key) || !literal.take(':')) return false;
        if (key == "descr") {
            std::string descr;
            if (literal.peek() == '[') {
                what =
                    "holds a structured array (fields of several types); a plain 2-D array "
                    "of numbers can be read";
                return false;
            }
            if (!literal.string(descr)) return false;
            if (!parseDescr(descr, header, what)) return false;
            haveDescr = true;
        } else if (key == "fortran_order") {
            std::string value;
            if (!literal.word(value) || (value != "True" && value != "False")) return false;
            header.fortranOrder = value == "True";
            haveOrder = true;
        } else if (key == "shape") {
            if (!parseShape(literal, header.shape)) return false;
            haveShape = true;
        } else {
            return false;
        }
        if (!literal.take(',') && literal.peek() != '}') return false;
    }
    if (!haveDescr || !haveOrder || !haveShape) return false;
    if (header.shape.size() != 2) {
        what = "holds a " + std::to_string(header.shape.size()) +
               "-D array; a 2-D array (rows, columns) is needed";
        return false;
    }
    return true;
}
