// The X3P reader on arbitrary bytes: a matrix of the size it showed, with the pixel size of its
// increments in metres, or one message naming the file.

#include "reader_fuzz_host.h"
#include "x3p_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkReader(data, size, [](RunHost& host, std::FILE* file) {
        auto matrix = readX3p(host, file, "fuzz");
        if (matrix)
            FUZZ_CHECK(matrix->units.pixelWidth > 0.0 && matrix->units.pixelHeight > 0.0 &&
                       matrix->units.lateralUnit == "m");
        return matrix;
    });
    return 0;
}
