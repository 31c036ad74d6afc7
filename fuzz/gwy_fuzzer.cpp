// The .gwy reader on arbitrary bytes: a matrix of the size it showed, with a pixel size only
// where xreal and yreal were given, or one message naming the file.

#include "gwy_reader.h"
#include "reader_fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkReader(data, size, [](RunHost& host, std::FILE* file) {
        auto matrix = readGwy(host, file, "fuzz");
        if (matrix) FUZZ_CHECK(matrix->units.pixelWidth >= 0.0 && matrix->units.pixelHeight >= 0.0);
        return matrix;
    });
    return 0;
}
