// The .gwy reader on arbitrary bytes: a matrix of the size it showed, with a pixel size only
// where xreal and yreal were given, or one message naming the file.

#include "gwy_reader.h"
#include "reader_fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkReader(data, size, [](RunHost& host, std::FILE* file, RowTable& rows, int& R, int& C) {
        SurfaceUnits units;
        const bool loaded = readGwy(host, file, "fuzz", rows, R, C, units);
        FUZZ_CHECK(units.pixelWidth >= 0.0 && units.pixelHeight >= 0.0);
        return loaded;
    });
    return 0;
}
