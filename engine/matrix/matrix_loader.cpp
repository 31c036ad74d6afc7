#include "matrix_loader.h"

#include <cerrno>
#include <cstdio>

#include "counting_pass.h"
#include "reading_pass.h"
#include "text_file.h"
#include "worker_pool.h"

std::string dataSizeText(int R, int C) {
    char text[64];
    std::snprintf(text, sizeof text, "Data rows: %d Data colums:%d", R, C);
    return text;
}

namespace {

// Reads past the first n bytes: fseek to an offset counted in bytes read is not portable in
// text mode, where a carriage return and line feed read as one byte.
bool skipLeadingBytes(std::FILE* file, std::size_t n) {
    char block[4096];
    while (n > 0) {
        const std::size_t want = n < sizeof block ? n : sizeof block;
        if (std::fread(block, 1, want, file) != want) return false;
        n -= want;
    }
    return true;
}

}  // namespace

namespace {

// The two passes; `shape` keeps the counts the counting pass reached.
std::optional<DataMatrix> loadWithShape(RunHost& host, std::FILE* file, std::size_t blockSize,
                                        int threads, bool comments, MatrixShape& shape) {
    BlockReader reader(file, blockSize);
    if (comments) reader.blankComments();
    shape = countShape(host, reader);
    // A directory opens but cannot be read: that is a file that cannot be opened.
    if (shape.readError) return std::nullopt;
    const int R = shape.rows;
    const int C = shape.columns;

    std::string sizeText = dataSizeText(R, C);
    host.setDataSizeText(sizeText);
    if (!host.askYesNo(sizeText + "\nContinue?")) return std::nullopt;
    if (shape.columnError) return std::nullopt;

    reader.rewind();
    DataMatrix matrix(R, C);
    WorkerPool pool(threads);
    pool.setCancelToken(host.cancelToken());
    if (!readMatrixValues(host, file, blockSize, matrix.rows(), R, C, pool, comments))
        return std::nullopt;
    return matrix;
}

}  // namespace

std::optional<DataMatrix> loadDataMatrix(RunHost& host, std::string path, int threads,
                                         std::size_t skipBytes, bool comments) {
    WaitCursorScope waitCursor(host);
    FileCloser file(openFile(path, "r"));
    if (!file.get()) {
        host.dataFileUnreadable(path, errno);
        return std::nullopt;
    }
    errno = 0;
    if (!skipLeadingBytes(file.get(), skipBytes)) {
        host.dataFileUnreadable(path, errno != 0 ? errno : EIO);
        return std::nullopt;
    }
    MatrixShape shape;
    auto matrix = loadWithShape(host, file.get(), 1u << 20, threads, comments, shape);
    // A folder opens but cannot be read; the reading pass names its own faults.
    if (!matrix && std::ferror(file.get()) &&
        (shape.readError || (shape.rows == 0 && shape.columns == 0)))
        host.dataFileUnreadable(path, errno != 0 ? errno : EIO);
    return matrix;
}

std::optional<DataMatrix> loadDataMatrixFrom(RunHost& host, std::FILE* file, std::size_t blockSize,
                                             int threads, bool comments) {
    MatrixShape shape;
    return loadWithShape(host, file, blockSize, threads, comments, shape);
}
