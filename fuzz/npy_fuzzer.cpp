// The .npy reader on arbitrary bytes: a matrix of the size it showed, or one message naming the
// file; never a read past the data or an allocation the header did not earn.

#include "npy_reader.h"
#include "reader_fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkReader(data, size,
                [](RunHost& host, std::FILE* file) { return readNpy(host, file, "fuzz"); });
    return 0;
}
