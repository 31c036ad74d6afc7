#include "data_matrix_file.h"

#include <climits>
#include <cstdio>
#include <string_view>

#include "text_file.h"
#include "text_scan.h"

namespace {

// What the counting pass found.
struct MatrixShape {
    int rows = 0;
    int columns = 0;
    bool columnError = false;
    bool readError = false;
};

// Counts data lines and the values on each, one byte at a time across blocks. A NUL byte ends
// the pass as the end of the file would, except that its line is not counted.
class ShapeCounter {
public:
    explicit ShapeCounter(RunHost& host) : host_(host) {}

    // Feeds one block; false once the pass has ended.
    bool feed(const char* begin, const char* end) {
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

    // The end of the file ends the last line.
    void finish() { endLine(); }
    const MatrixShape& shape() const { return shape_; }

private:
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
            host_.showMessage(message);
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
        host_.showMessage("The data file holds more rows or columns than can be counted");
        shape_.columnError = true;
        return false;
    }

    RunHost& host_;
    MatrixShape shape_;
    int valuesOnLine_ = 0;
    bool inValue_ = false;
    bool lineHasValue_ = false;
    bool firstLine_ = true;
};

MatrixShape countShape(RunHost& host, BlockReader& reader) {
    ShapeCounter counter(host);
    const char* begin;
    const char* end;
    bool going = true;
    while (going && reader.next(begin, end)) going = counter.feed(begin, end);
    MatrixShape shape = counter.shape();
    if (going && !reader.failed()) {
        counter.finish();
        shape = counter.shape();
    }
    shape.readError = reader.failed();
    return shape;
}

// Hands out the values of the file in order, across block boundaries.
class ValueReader {
public:
    explicit ValueReader(BlockReader& reader) : reader_(reader) {}

    // The next value's text, or false at the end of the file.
    bool next(std::string_view& token) {
        pending_.clear();
        for (;;) {
            if (p_ == end_) {
                if (!reader_.next(p_, end_)) {
                    token = pending_;
                    return !pending_.empty();
                }
            }
            if (pending_.empty()) {
                while (p_ != end_ && isCSpace(static_cast<unsigned char>(*p_))) ++p_;
                if (p_ == end_) continue;
            }
            const char* start = p_;
            while (p_ != end_ && !isCSpace(static_cast<unsigned char>(*p_))) ++p_;
            if (p_ != end_) {
                if (pending_.empty()) {
                    token = std::string_view(start, static_cast<std::size_t>(p_ - start));
                } else {
                    pending_.append(start, p_);
                    token = pending_;
                }
                return true;
            }
            pending_.append(start, p_);  // the value goes on in the next block
        }
    }

private:
    BlockReader& reader_;
    const char* p_ = nullptr;
    const char* end_ = nullptr;
    std::string pending_;
};

// Converts R x C values in file order. False, after telling the user which value is at fault,
// when one does not convert or the file ends early.
bool readValues(RunHost& host, BlockReader& reader, RowTable rows, int R, int C) {
    ValueReader values(reader);
    std::string_view token;
    for (int i = 0; i < R; ++i) {
        for (int j = 0; j < C; ++j) {
            if (!values.next(token)) {
                host.showMessage("The data file changed while it was read: values are missing");
                return false;
            }
            if (!parseWholeDouble(token.data(), token.data() + token.size(), rows[i][j])) {
                host.showMessage("The value \"" + printableExcerpt(token) + "\" in row " +
                                 std::to_string(i + 1) + ", column " + std::to_string(j + 1) +
                                 " is not a number");
                return false;
            }
        }
    }
    return true;
}

}  // namespace

std::string dataSizeText(int R, int C) {
    char text[64];
    std::snprintf(text, sizeof text, "Data rows: %d Data colums:%d", R, C);
    return text;
}

bool loadDataMatrix(RunHost& host, std::string path, RowTable& rows, int& R, int& C) {
    WaitCursorScope waitCursor(host);
    rows = nullptr;
    R = 0;
    C = 0;
    FileCloser file(std::fopen(path.c_str(), "r"));
    if (!file.get()) return false;
    return loadDataMatrixFrom(host, file.get(), rows, R, C);
}

bool loadDataMatrixFrom(RunHost& host, std::FILE* file, RowTable& rows, int& R, int& C,
                        std::size_t blockSize) {
    BlockReader reader(file, blockSize);
    MatrixShape shape = countShape(host, reader);
    // A directory opens but cannot be read: that is a file that cannot be opened.
    if (shape.readError) return false;
    R = shape.rows;
    C = shape.columns;

    std::string sizeText = dataSizeText(R, C);
    host.setDataSizeText(sizeText);
    if (!host.askYesNo(sizeText + "\nContinue?")) return false;
    if (shape.columnError) return false;

    reader.rewind();
    allocateMatrix(rows, R, C);
    if (!readValues(host, reader, rows, R, C) || reader.failed()) {
        freeMatrix(rows, R, C);
        rows = nullptr;
        return false;
    }
    return true;
}
