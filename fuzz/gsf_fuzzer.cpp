// The GSF reader on arbitrary bytes: a matrix of the size it showed, with the pixel size only
// where XReal and YReal were given, or one message naming the file.

#include "gsf_reader.h"
#include "reader_fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkReader(data, size, [](RunHost& host, std::FILE* file) {
        auto matrix = readGsf(host, file, "fuzz");
        if (matrix) FUZZ_CHECK(matrix->units.pixelWidth >= 0.0 && matrix->units.pixelHeight >= 0.0);
        return matrix;
    });
    return 0;
}
