#include "reader_support.h"

#include <climits>
#include <cstring>

#include "matrix_loader.h"

std::optional<DataMatrix> confirmSizeAndAllocate(RunHost& host, int R, int C) {
    const std::string label = dataSizeText(R, C);
    host.setDataSizeText(label);
    if (!host.askYesNo(label + "\nContinue?")) return std::nullopt;
    return DataMatrix(R, C);
}

bool fileProblem(RunHost& host, const std::string& name, const std::string& what) {
    host.showMessage(name + ": " + what);
    return false;
}

std::nullopt_t fileRefused(RunHost& host, const std::string& name, const std::string& what) {
    fileProblem(host, name, what);
    return std::nullopt;
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
