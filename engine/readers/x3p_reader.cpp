#include "x3p_reader.h"

#include <nettle/md5.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "reader_support.h"
#include "text_scan.h"
#include "x3p_header.h"
#include "zip_archive.h"

namespace {

constexpr const char* kDocument = "main.xml";
constexpr const char* kUsualChecksumFile = "md5checksum.hex";
constexpr std::size_t kPiece = 64u << 10;

// The bytes of one value of CZ's DataType; 0 for a type that is not one.
int itemSize(const std::string& dataType) {
    if (dataType == "I") return 2;
    if (dataType == "L" || dataType == "F") return 4;
    if (dataType == "D") return 8;
    return 0;
}

// One little-endian value of `itemBytes` bytes of CZ's DataType.
double valueAt(const unsigned char* p, int itemBytes, bool floating) {
    std::uint64_t bits = 0;
    for (int k = itemBytes - 1; k >= 0; --k) bits = bits << 8 | p[k];
    if (itemBytes == 2) return static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
    if (itemBytes == 4 && !floating)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    if (itemBytes == 4) return float32LittleEndian(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

class Md5 {
  public:
    Md5() { md5_init(&context_); }
    void add(const void* bytes, std::size_t count) {
        md5_update(&context_, count, static_cast<const std::uint8_t*>(bytes));
    }
    std::string hex() {
        std::uint8_t digest[MD5_DIGEST_SIZE];
        md5_digest(&context_, sizeof digest, digest);
        std::string text;
        for (std::uint8_t byte : digest) {
            text += "0123456789abcdef"[byte >> 4];
            text += "0123456789abcdef"[byte & 15];
        }
        return text;
    }

  private:
    md5_ctx context_;
};

// The 32 hexadecimal digits a checksum text begins with (md5sum writes "DIGEST *NAME"), in
// lower case; "" when it does not begin with them.
std::string givenDigest(std::string_view text) {
    text = trimCSpace(text);
    std::string digits;
    for (char c : text.substr(0, 32)) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return "";
        digits += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return digits.size() == 32 ? digits : "";
}

XmlPieceReader piecesOf(ZipEntry& entry, std::string& what) {
    return [&entry, &what](char* to, std::size_t room) { return entry.read(to, room, what); };
}

// What is wrong with the header for a surface on a grid, or "" when nothing is.
std::string headerProblem(const X3pHeader& h) {
    if (h.featureType == "PRF")
        return "is a profile (FeatureType PRF), not a surface; only surfaces (FeatureType SUR) "
               "can be analysed";
    if (h.featureType == "PCL")
        return "is a point cloud (FeatureType PCL), not a surface on a grid; only surfaces "
               "(FeatureType SUR) can be analysed";
    if (h.featureType != "SUR")
        return h.featureType.empty() ? "gives no FeatureType in its main.xml"
                                     : "has the FeatureType \"" + printableExcerpt(h.featureType) +
                                           "\"; only surfaces (FeatureType SUR) can be analysed";
    for (const auto& [axis, name] : {std::pair{&h.x, "CX"}, std::pair{&h.y, "CY"}}) {
        if (axis->axisType == "A")
            return std::string("has absolute coordinates on its ") + name +
                   " axis (AxisType A); only surfaces on a grid, with incremental X and Y axes "
                   "(AxisType I), can be analysed";
        if (axis->axisType != "I")
            return std::string("has the ") + name + " AxisType \"" +
                   printableExcerpt(axis->axisType) + "\", where I (incremental) is expected";
        if (!axis->hasIncrement || !(axis->increment > 0.0))
            return std::string("gives no positive ") + name +
                   " Increment (the spacing of its points)";
    }
    if (h.z.hasIncrement && h.z.increment == 0.0)
        return "gives a CZ Increment of 0, which would make every value the same";
    if (!h.hasSizeX || !h.hasSizeY || !h.hasSizeZ)
        return std::string("gives no ") +
               (!h.hasSizeX   ? "SizeX"
                : !h.hasSizeY ? "SizeY"
                              : "SizeZ") +
               " in its MatrixDimension";
    if (h.sizeZ != 1)
        return "has SizeZ = " + std::to_string(h.sizeZ) +
               " layers; only one layer (SizeZ = 1) can be analysed";
    if (h.pointDataLink.empty() && !h.hasDataList)
        return "has neither a PointDataLink to its values nor a DataList of them";
    if (!h.hasDataList && itemSize(h.z.dataType) == 0)
        return "has the CZ DataType \"" + printableExcerpt(h.z.dataType) +
               "\"; I, L, F or D is expected";
    return "";
}

std::string pointsText(const X3pHeader& h) {
    return sizeText(h.sizeY, h.sizeX) + " points (SizeY x SizeX)";
}

// Reads the values of the binary file into the matrix, row by row.
bool readBinaryValues(ZipEntry& data, const X3pHeader& h, DataMatrix& matrix, Md5& md5,
                      std::string& what) {
    const int R = matrix.rowCount(), C = matrix.columnCount();
    const int itemBytes = itemSize(h.z.dataType);
    const bool floating = h.z.dataType == "F" || h.z.dataType == "D";
    std::vector<unsigned char> line(static_cast<std::size_t>(C) * itemBytes);
    for (int i = 0; i < R; ++i) {
        const long long got = data.read(line.data(), line.size(), what);
        if (got < 0) return false;
        if (got != static_cast<long long>(line.size()))
            return what = "has a " + h.pointDataLink + " that is cut short in its archive", false;
        md5.add(line.data(), line.size());
        for (int j = 0; j < C; ++j)
            matrix[i][j] =
                valueAt(line.data() + static_cast<std::size_t>(j) * itemBytes, itemBytes, floating);
    }
    return true;
}

// Reads main.xml again for the Datum elements of its DataList; an empty Datum is a missing point.
bool readListedValues(ZipArchive& archive, const X3pHeader& h, DataMatrix& matrix,
                      std::string& what) {
    ZipEntry document;
    if (!archive.openEntry(kDocument, document, what)) return false;
    const long long C = matrix.columnCount();
    const long long count = static_cast<long long>(matrix.rowCount()) * C;
    long long k = 0;
    std::string readWhat;
    const bool fine = readX3pDataList(
        piecesOf(document, readWhat),
        [&](std::string_view text, std::string& datumWhat) {
            if (k >= count)
                return datumWhat =
                           "has more Datum values in its DataList than its " + pointsText(h),
                       false;
            double value = std::numeric_limits<double>::quiet_NaN();
            if (!text.empty() && !parseWholeDouble(text.data(), text.data() + text.size(), value))
                return datumWhat = "has the Datum \"" + printableExcerpt(text) +
                                   "\" in its DataList, which does not read as a number",
                       false;
            matrix[static_cast<int>(k / C)][static_cast<int>(k % C)] = value;
            ++k;
            return true;
        },
        what);
    if (!readWhat.empty()) what = readWhat;
    if (!fine) return false;
    if (k < count)
        return what = "has " + std::to_string(k) +
                      " Datum values in its DataList, fewer than its " + pointsText(h),
               false;
    return true;
}

// Marks the points that the valid points file (one bit a point, the first point in the lowest
// bit of the first byte) says are not valid as missing.
bool applyValidPoints(ZipEntry& valid, DataMatrix& matrix, std::string& what) {
    const int R = matrix.rowCount(), C = matrix.columnCount();
    std::vector<unsigned char> piece(kPiece);
    std::size_t have = 0, used = 0;
    long long point = 0;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j, ++point) {
            const int bit = static_cast<int>(point % 8);
            if (bit == 0 && ++used > have) {
                const long long got = valid.read(piece.data(), piece.size(), what);
                if (got <= 0) {
                    if (got == 0) what = "has a valid points file that is cut short";
                    return false;
                }
                have = static_cast<std::size_t>(got);
                used = 1;
            }
            if (!(piece[used - 1] >> bit & 1)) matrix[i][j] = std::nan("");
        }
    return true;
}

// Where md5checksum.hex (or the file Record4 names) does not match main.xml: a note; nothing
// when it matches or there is none.
std::string documentChecksumNote(ZipArchive& archive, const X3pHeader& h) {
    const std::string checksumFile = h.checksumFile.empty() ? kUsualChecksumFile : h.checksumFile;
    if (!archive.has(checksumFile)) return "";
    std::string what, text(256, '\0');
    ZipEntry sums, document;
    long long got = archive.openEntry(checksumFile, sums, what)
                        ? sums.read(text.data(), text.size(), what)
                        : -1;
    const std::string given = got > 0 ? givenDigest(std::string_view(text.data(), got)) : "";
    if (given.empty()) return checksumFile + " holds no MD5 checksum of main.xml";
    Md5 md5;
    std::vector<char> piece(kPiece);
    if (!archive.openEntry(kDocument, document, what)) return "";
    while ((got = document.read(piece.data(), piece.size(), what)) > 0)
        md5.add(piece.data(), static_cast<std::size_t>(got));
    if (got < 0 || md5.hex() == given) return "";
    return "main.xml does not match its MD5 checksum in " + checksumFile +
           "; the file may be damaged";
}

void addNote(std::string& notes, const std::string& note) {
    if (!note.empty()) notes += (notes.empty() ? "" : "; ") + note;
}

}  // namespace

std::optional<DataMatrix> readX3p(RunHost& host, std::FILE* file, const std::string& name) {
    ZipArchive archive;
    std::string what;
    if (!archive.open(file, what)) return fileRefused(host, name, what);
    if (!archive.has(kDocument))
        return fileRefused(host, name,
                           "is a zip archive without main.xml, so it is not an X3P surface file");
    X3pHeader h;
    {
        ZipEntry document;
        std::string readWhat;
        if (!archive.openEntry(kDocument, document, what)) return fileRefused(host, name, what);
        if (!readX3pHeader(piecesOf(document, readWhat), h, what))
            return fileRefused(host, name, readWhat.empty() ? what : readWhat);
    }
    what = headerProblem(h);
    if (!what.empty()) return fileRefused(host, name, what);
    long long rows = h.sizeY, columns = h.sizeX;
    if (!gridSizeFits(rows, columns, what)) return fileRefused(host, name, what);
    const unsigned long long points = static_cast<unsigned long long>(rows) * columns;

    // The files of the values and of their validity, opened and measured before the question.
    ZipEntry data, valid;
    const bool listed = h.hasDataList;
    if (listed) {
        // Each point is a Datum element of 8 bytes at least ("<Datum/>").
        ZipEntry document;
        if (!archive.openEntry(kDocument, document, what)) return fileRefused(host, name, what);
        if (static_cast<unsigned long long>(document.size()) / 8 < points)
            return fileRefused(host, name,
                               "declares " + pointsText(h) + ", more than the " +
                                   std::to_string(document.size()) +
                                   " bytes of its main.xml can list");
    } else {
        if (!archive.openEntry(h.pointDataLink, data, what)) return fileRefused(host, name, what);
        // By division: points times the item size may not fit 64 bits.
        if (static_cast<unsigned long long>(data.size()) / itemSize(h.z.dataType) < points)
            return fileRefused(host, name,
                               "holds " + std::to_string(data.size()) + " bytes in " +
                                   h.pointDataLink + ", fewer than its " + pointsText(h) + " of " +
                                   std::to_string(itemSize(h.z.dataType)) + " bytes need");
    }
    if (!h.validPointsLink.empty()) {
        if (!archive.openEntry(h.validPointsLink, valid, what))
            return fileRefused(host, name, what);
        if (static_cast<unsigned long long>(valid.size()) < (points + 7) / 8)
            return fileRefused(host, name,
                               "holds " + std::to_string(valid.size()) + " bytes in " +
                                   h.validPointsLink + ", fewer than the bits of its " +
                                   pointsText(h) + " need");
    }

    auto matrix = confirmSizeAndAllocate(host, static_cast<int>(rows), static_cast<int>(columns));
    if (!matrix) return std::nullopt;
    std::string notes;
    Md5 dataMd5;
    if (listed ? !readListedValues(archive, h, *matrix, what)
               : !readBinaryValues(data, h, *matrix, dataMd5, what))
        return fileRefused(host, name, what);
    if (valid.isOpen() && !applyValidPoints(valid, *matrix, what))
        return fileRefused(host, name, what);
    for (int i = 0; i < matrix->rowCount(); ++i)
        for (int j = 0; j < matrix->columnCount(); ++j)
            (*matrix)[i][j] = h.z.offset + h.z.increment * (*matrix)[i][j];

    if (!listed) {
        const long long extra =
            data.size() - static_cast<long long>(points * itemSize(h.z.dataType));
        if (extra > 0)
            addNote(notes, h.pointDataLink + " holds " + std::to_string(extra) +
                               " bytes more than its values need; they were not read");
        else if (!h.pointDataMd5.empty() && givenDigest(h.pointDataMd5) != dataMd5.hex())
            addNote(notes, h.pointDataLink +
                               " does not match its MD5 checksum in main.xml; "
                               "the file may be damaged");
    }
    addNote(notes, documentChecksumNote(archive, h));
    SurfaceUnits& units = matrix->units;
    units.pixelWidth = h.x.increment;
    units.pixelHeight = h.y.increment;
    units.lateralUnit = units.valueUnit = "m";
    if (h.x.increment != h.y.increment) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "its points are %g m apart in X and %g m in Y, so its cells are not "
                      "square; lengths are told in cells of %g m, their geometric mean",
                      h.x.increment, h.y.increment, std::sqrt(h.x.increment * h.y.increment));
        addNote(notes, text);
    }
    units.note = notes;
    return matrix;
}
