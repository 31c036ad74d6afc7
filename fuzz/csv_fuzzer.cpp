// The CSV reader on arbitrary bytes: a matrix of the size it showed, or one message naming the
// file. Its two passes must agree, whatever the lines hold.

#include "csv_reader.h"
#include "reader_fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkReader(data, size,
                [](RunHost& host, std::FILE* file) { return readCsv(host, file, "fuzz"); });
    return 0;
}
