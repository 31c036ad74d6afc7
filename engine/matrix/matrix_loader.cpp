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

bool loadDataMatrix(RunHost& host, std::string path, RowTable& rows, int& R, int& C, int threads,
                    std::size_t skipBytes) {
    WaitCursorScope waitCursor(host);
    rows = nullptr;
    R = 0;
    C = 0;
    FileCloser file(openFile(path, "r"));
    if (!file.get()) {
        host.dataFileUnreadable(path, errno);
        return false;
    }
    errno = 0;
    if (!skipLeadingBytes(file.get(), skipBytes)) {
        host.dataFileUnreadable(path, errno != 0 ? errno : EIO);
        return false;
    }
    const bool loaded = loadDataMatrixFrom(host, file.get(), rows, R, C, 1u << 20, threads);
    // A folder opens but cannot be read; the reading pass names its own faults.
    if (!loaded && std::ferror(file.get()) && R == 0 && C == 0)
        host.dataFileUnreadable(path, errno != 0 ? errno : EIO);
    return loaded;
}

bool loadDataMatrixFrom(RunHost& host, std::FILE* file, RowTable& rows, int& R, int& C,
                        std::size_t blockSize, int threads) {
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
    bool read = false;
    try {
        WorkerPool pool(threads);
        pool.setCancelToken(host.cancelToken());
        read = readMatrixValues(host, file, blockSize, rows, R, C, pool);
    } catch (...) {  // std::bad_alloc from a chunk, RunCancelled: the caller reports them
        freeMatrix(rows, R, C);
        rows = nullptr;
        throw;
    }
    if (!read) {
        freeMatrix(rows, R, C);
        rows = nullptr;
    }
    return read;
}
