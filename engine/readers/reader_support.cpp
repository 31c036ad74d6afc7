#include "reader_support.h"

#include <sys/stat.h>

#include <climits>
#include <cstring>

#include "data_matrix_file.h"

bool confirmSizeAndAllocate(RunHost& host, RowTable& rows, int R, int C) {
    const std::string label = dataSizeText(R, C);
    host.setDataSizeText(label);
    if (!host.askYesNo(label + "\nContinue?")) return false;
    allocateMatrix(rows, R, C);
    return true;
}

bool fileProblem(RunHost& host, const std::string& name, const std::string& what) {
    host.showMessage(name + ": " + what);
    return false;
}

long long bytesLeft(std::FILE* file) {
    const long here = std::ftell(file);
    struct stat info {};
    if (here >= 0 && fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode))
        return static_cast<long long>(info.st_size) - here;
    // No descriptor (a memory stream): seek to the end and back.
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

std::string sizeText(long long rows, long long columns) {
    return std::to_string(rows) + " x " + std::to_string(columns);
}

bool gridSizeFits(long long& rows, long long& columns, std::string& what) {
    if (rows < 0 || columns < 0 || rows >= INT_MAX || columns >= INT_MAX) {
        what = "the size " + sizeText(rows, columns) + " is out of range (at most " +
               std::to_string(INT_MAX - 1) + " rows and columns)";
        return false;
    }
    if (rows == 0 || columns == 0) rows = columns = 0;
    return true;
}

double float32LittleEndian(const unsigned char* p) {
    const std::uint32_t bits =
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
