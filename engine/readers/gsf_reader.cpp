#include "gsf_reader.h"

#include <algorithm>
#include <vector>

#include "file_signature.h"
#include "length_unit.h"
#include "reader_support.h"
#include "system.h"
#include "text_scan.h"

namespace {

// A header longer than this has lost its NUL terminator.
constexpr std::size_t kLargestHeader = 64u << 10;

bool wholeCount(std::string_view text, long long& value) {
    double parsed;
    if (!parseWholeDouble(text.data(), text.data() + text.size(), parsed) || parsed != parsed ||
        parsed < 0 || parsed > 9.0e18 ||
        parsed != static_cast<double>(static_cast<long long>(parsed)))
        return false;
    value = static_cast<long long>(parsed);
    return true;
}

}  // namespace

bool parseGsfHeader(std::string_view text, GsfHeader& header, std::string& what) {
    if (text.substr(0, kGsfMagicLine.size()) != kGsfMagicLine) {
        what = "is not a GSF file (its first line is not \"" +
               std::string(kGsfMagicLine.substr(0, kGsfMagicLine.size() - 1)) + "\")";
        return false;
    }
    std::string_view rest = text.substr(kGsfMagicLine.size());
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = trimCSpace(line.substr(0, equals));
        const std::string_view value = trimCSpace(line.substr(equals + 1));
        bool fine = true;
        if (key == "XRes") {
            fine = wholeCount(value, header.columns);
        } else if (key == "YRes") {
            fine = wholeCount(value, header.rows);
        } else if (key == "XReal" || key == "YReal") {
            double& side = key == "XReal" ? header.width : header.height;
            fine = parseWholeDouble(value.data(), value.data() + value.size(), side) &&
                   side > 0.0 && side < 1e300;
        } else if (key == "XYUnits") {
            header.lateralUnit = std::string(value);
        } else if (key == "ZUnits") {
            header.valueUnit = std::string(value);
        }
        if (!fine) {
            what =
                "has the header line \"" + printableExcerpt(line) + "\", whose value does not read";
            return false;
        }
    }
    if (header.columns < 0 || header.rows < 0) {
        what = std::string("gives no ") + (header.columns < 0 ? "XRes" : "YRes") +
               " (the number of " + (header.columns < 0 ? "columns" : "rows") + ") in its header";
        return false;
    }
    // One to four NUL bytes after the text bring the header to a multiple of 4 bytes.
    header.dataOffset = (text.size() / 4 + 1) * 4;
    return true;
}

std::optional<DataMatrix> readGsf(RunHost& host, std::FILE* file, const std::string& name) {
    std::string text;
    std::vector<char> block(4096);
    std::size_t nul = std::string::npos;
    while (nul == std::string::npos && text.size() < kLargestHeader) {
        const std::size_t got = std::fread(block.data(), 1, block.size(), file);
        if (got == 0) break;
        const std::size_t before = text.size();
        text.append(block.data(), got);
        nul = text.find('\0', before);
    }
    if (nul == std::string::npos)
        return fileRefused(host, name,
                           text.size() >= kLargestHeader
                               ? "has a header without the NUL bytes that end it"
                               : "is cut short inside its header");
    text.resize(nul);
    GsfHeader header;
    std::string what;
    if (!parseGsfHeader(text, header, what)) return fileRefused(host, name, what);
    if (!gridSizeFits(header.rows, header.columns, what)) return fileRefused(host, name, what);
    const int rowCount = static_cast<int>(header.rows);
    const int columnCount = static_cast<int>(header.columns);
    const long long available =
        std::fseek(file, static_cast<long>(header.dataOffset), SEEK_SET) == 0
            ? bytesLeftInFile(file)
            : -1;
    if (available < 0 || (rowCount > 0 && columnCount > 0 &&
                          static_cast<unsigned long long>(available) / 4 / rowCount <
                              static_cast<unsigned long long>(columnCount)))
        return fileRefused(host, name,
                           "declares " + sizeText(rowCount, columnCount) +
                               " values (XRes x YRes) of 4 bytes, but holds only " +
                               std::to_string(std::max(available, 0LL)) + " bytes of values");

    auto matrix = confirmSizeAndAllocate(host, rowCount, columnCount);
    if (!matrix) return std::nullopt;
    DataMatrix& rows = *matrix;
    const int R = rowCount;
    const int C = columnCount;
    std::vector<unsigned char> line(static_cast<std::size_t>(C) * 4);
    for (int i = 0; i < R; ++i) {
        if (std::fread(line.data(), 1, line.size(), file) != line.size()) {
            return fileRefused(host, name, "is cut short while its values are read");
        }
        for (int j = 0; j < C; ++j) rows[i][j] = float32LittleEndian(line.data() + 4 * j);
    }
    SurfaceUnits& units = matrix->units;
    if (header.width > 0.0 && header.height > 0.0 && C > 0 && R > 0) {
        units.pixelWidth = header.width / C;
        units.pixelHeight = header.height / R;
    }
    units.lateralUnit = unitText(header.lateralUnit, false);
    units.valueUnit = unitText(header.valueUnit, true);
    return matrix;
}
