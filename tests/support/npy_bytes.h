#pragma once

// The bytes of a .npy file, built here so that tests of every reader and window can hand one to
// the program without numpy.

#include <cstring>
#include <string>
#include <vector>

// A .npy file of format `version` with the header dict `dict` and the given value bytes.
inline std::string npyFile(const std::string& dict, const std::string& values, int version = 1) {
    const std::size_t lengthBytes = version == 1 ? 2 : 4;
    std::string header = dict;
    while ((10 + lengthBytes - 2 + header.size() + 1) % 64 != 0) header += ' ';
    header += '\n';
    std::string file = "\x93NUMPY";
    file += static_cast<char>(version);
    file += '\0';
    for (std::size_t k = 0; k < lengthBytes; ++k)
        file += static_cast<char>((header.size() >> (8 * k)) & 0xff);
    return file + header + values;
}

// A float64 .npy of R x C values in C order, in the machine's byte order (little-endian on
// every machine the tests run on).
inline std::string npyOfDoubles(const std::vector<double>& values, int R, int C) {
    std::string bytes(values.size() * sizeof(double), '\0');
    if (!values.empty()) std::memcpy(&bytes[0], values.data(), bytes.size());
    return npyFile("{'descr': '<f8', 'fortran_order': False, 'shape': (" + std::to_string(R) +
                       ", " + std::to_string(C) + "), }",
                   bytes);
}
