#include "npy_reader.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "npy_header.h"
#include "reader_support.h"
#include "system.h"

namespace {

// Larger headers are not written by NumPy; a larger claim is a damaged or hostile file.
constexpr std::size_t kLargestHeader = 1u << 20;

// Converts `count` values of type T from `from` (file order) into to[0], to[stride], ...
using Converter = void (*)(const unsigned char* from, std::size_t count, double* to,
                           std::size_t stride);

template <class T, bool kSwap>
void convertValues(const unsigned char* from, std::size_t count, double* to, std::size_t stride) {
    for (std::size_t k = 0; k < count; ++k, from += sizeof(T)) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, from, sizeof(T));
        if (kSwap) std::reverse(bytes, bytes + sizeof(T));
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        to[k * stride] = static_cast<double>(value);
    }
}

template <class T>
Converter converterFor(bool swap) {
    return swap ? convertValues<T, true> : convertValues<T, false>;
}

Converter converterFor(const NpyHeader& header) {
    const bool swap = header.bigEndian != (std::endian::native == std::endian::big);
    switch (header.kind) {
        case 'f':
            return header.itemSize == 4 ? converterFor<float>(swap) : converterFor<double>(swap);
        case 'i':
            switch (header.itemSize) {
                case 1:
                    return converterFor<std::int8_t>(swap);
                case 2:
                    return converterFor<std::int16_t>(swap);
                case 4:
                    return converterFor<std::int32_t>(swap);
                default:
                    return converterFor<std::int64_t>(swap);
            }
        default:
            switch (header.itemSize) {
                case 1:
                    return converterFor<std::uint8_t>(swap);
                case 2:
                    return converterFor<std::uint16_t>(swap);
                case 4:
                    return converterFor<std::uint32_t>(swap);
                default:
                    return converterFor<std::uint64_t>(swap);
            }
    }
}

bool readHeader(RunHost& host, std::FILE* file, const std::string& name, NpyHeader& header) {
    std::string bytes(kNpyPreambleSize, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::string what;
    std::size_t dataOffset = 0;
    if (!npyDataOffset(bytes, dataOffset, what)) return fileProblem(host, name, what);
    if (dataOffset > kLargestHeader)
        return fileProblem(host, name,
                           "claims a header of " + std::to_string(dataOffset) +
                               " bytes, more than a .npy header can be");
    const std::size_t have = bytes.size();
    bytes.resize(std::max(have, dataOffset));
    if (dataOffset > have)
        bytes.resize(have + std::fread(bytes.data() + have, 1, dataOffset - have, file));
    if (!parseNpyHeader(bytes, header, what)) return fileProblem(host, name, what);
    return true;
}

}  // namespace

std::optional<DataMatrix> readNpy(RunHost& host, std::FILE* file, const std::string& name) {
    NpyHeader header;
    if (!readHeader(host, file, name, header)) return std::nullopt;
    std::string what;
    if (!gridSizeFits(header.shape[0], header.shape[1], what)) return fileRefused(host, name, what);
    const int rowCount = static_cast<int>(header.shape[0]);
    const int columnCount = static_cast<int>(header.shape[1]);
    const long long available = bytesLeftInFile(file);
    const auto item = static_cast<unsigned long long>(header.itemSize);
    if (available < 0 || (rowCount > 0 && columnCount > 0 &&
                          static_cast<unsigned long long>(available) / item / rowCount <
                              static_cast<unsigned long long>(columnCount)))
        return fileRefused(host, name,
                           "declares " + sizeText(rowCount, columnCount) + " values of " +
                               std::to_string(item) + " bytes, but holds only " +
                               std::to_string(std::max(available, 0LL)) + " bytes of values");

    auto matrix = confirmSizeAndAllocate(host, rowCount, columnCount);
    if (!matrix) return std::nullopt;
    DataMatrix& rows = *matrix;
    const int R = rowCount;
    const int C = columnCount;
    // One row of the file at a time, or one column in Fortran order.
    const Converter convert = converterFor(header);
    const int lines = header.fortranOrder ? C : R;
    const std::size_t length = static_cast<std::size_t>(header.fortranOrder ? R : C);
    std::vector<unsigned char> block(length * item);
    for (int line = 0; line < lines; ++line) {
        throwIfCancelled(host.cancelToken());  // the caller releases the rows
        if (std::fread(block.data(), 1, block.size(), file) != block.size()) {
            return fileRefused(host, name, "is cut short while its values are read");
        }
        if (header.fortranOrder) {
            for (std::size_t i = 0; i < length; ++i)
                convert(block.data() + i * item, 1, &rows[i][line], 1);
        } else {
            convert(block.data(), length, rows[line], 1);
        }
    }
    return matrix;
}
