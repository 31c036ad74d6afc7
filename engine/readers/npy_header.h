#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The header of a NumPy .npy file (format versions 1 to 3): the magic "\x93NUMPY", two version
// bytes, the header's length (2 bytes little endian in version 1, 4 in versions 2 and 3), then a
// Python dict literal such as {'descr': '<f8', 'fortran_order': False, 'shape': (3, 4), }.

struct NpyHeader {
    bool bigEndian = false;
    char kind = 'f';  // 'f' float, 'i' signed, 'u' unsigned integer ('b' bool is read as 'u')
    int itemSize = 8;
    bool fortranOrder = false;
    std::vector<long long> shape;
    std::size_t dataOffset = 0;  // where the values begin, counted from the file's start
};

// Bytes enough to know how long the whole header is.
inline constexpr std::size_t kNpyPreambleSize = 12;

// From the file's first bytes (at least kNpyPreambleSize, or the whole file when shorter), the
// offset where the values begin. False, with `what` saying why, for a file that is no .npy of
// versions 1 to 3 or is cut short.
bool npyDataOffset(std::string_view firstBytes, std::size_t& dataOffset, std::string& what);

// Parses the header from the file's first `header.dataOffset` bytes (as npyDataOffset found
// them). False, with `what` saying why, for a dict that does not parse, a type other than
// float, integer or bool (complex, strings, objects, records), or a shape with a negative side.
bool parseNpyHeader(std::string_view headerBytes, NpyHeader& header, std::string& what);
