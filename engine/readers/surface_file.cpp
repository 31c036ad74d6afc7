#include "surface_file.h"

#include <cerrno>

#include "csv_reader.h"
#include "file_signature.h"
#include "gdal_reader.h"
#include "gsf_reader.h"
#include "gwy_reader.h"
#include "matrix_loader.h"
#include "missing_values.h"
#include "npy_reader.h"
#include "reader_support.h"
#include "system.h"
#include "text_file.h"
#include "text_header.h"
#include "x3p_reader.h"

namespace {

// By content, then by name; a file that cannot be opened goes to the text loader, which has
// always said nothing of its own about it.
SurfaceFormat chosenFormat(const std::string& path, SurfaceFormat forced) {
    if (forced != SurfaceFormat::kAuto) return forced;
    FileCloser file(openFile(path, "rb"));
    if (!file.get()) return SurfaceFormat::kText;
    char bytes[64];
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, file.get());
    return formatOfFile(std::string_view(bytes, got), path);
}

std::optional<DataMatrix> readOpenFile(RunHost& host, const std::string& path,
                                       SurfaceFormat format) {
    // As the text loader does: the front end names the file and the system's reason.
    if (isFolder(path)) {
        host.dataFileUnreadable(path, EISDIR);
        return std::nullopt;
    }
    FileCloser file(openFile(path, "rb"));
    if (!file.get()) {
        host.dataFileUnreadable(path, errno);
        return std::nullopt;
    }
    switch (format) {
        case SurfaceFormat::kCsv:
            return readCsv(host, file.get(), path);
        case SurfaceFormat::kNpy:
            return readNpy(host, file.get(), path);
        case SurfaceFormat::kGwy:
            return readGwy(host, file.get(), path);
        case SurfaceFormat::kX3p:
            return readX3p(host, file.get(), path);
        default:
            return readGsf(host, file.get(), path);
    }
}

// The text matrix; when options.commentLines is set, after the header of comment lines it may
// begin with (whose sizes and units are kept), and with the comments anywhere else left out.
std::optional<DataMatrix> loadTextMatrix(RunHost& host, const std::string& path,
                                         const ReadOptions& options) {
    TextHeader header;
    if (options.commentLines) {
        FileCloser file(openFile(path, "r"));
        if (file.get() && !isFolder(path)) {
            std::string first(64u << 10, '\0');
            first.resize(std::fread(first.data(), 1, first.size(), file.get()));
            header = readTextHeader(first, std::feof(file.get()) != 0);
        }
    }
    auto matrix =
        loadDataMatrix(host, path, options.threads, header.dataOffset, options.commentLines);
    if (!matrix) return std::nullopt;
    const int R = matrix->rowCount(), C = matrix->columnCount();
    SurfaceUnits& units = matrix->units;
    if (header.width > 0.0 && header.height > 0.0 && R > 0 && C > 0) {
        units.pixelWidth = header.width / C;
        units.pixelHeight = header.height / R;
        units.lateralUnit = header.lateralUnit;
    }
    units.valueUnit = header.valueUnit;
    if (!header.note.empty()) host.showNotice(path + ": " + header.note);
    return matrix;
}
std::string cellText(int row, int column) {
    return "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1);
}

// Ends the load at the first missing value, or keeps the largest rectangle without one.
bool settleMissingValues(RunHost& host, const std::string& path, bool cropValid,
                         DataMatrix& matrix) {
    const int R = matrix.rowCount(), C = matrix.columnCount();
    const MissingCells missing = findMissing(matrix.rows(), R, C);
    if (missing.count == 0) return true;
    const std::string counted = std::to_string(missing.count) + " of " +
                                std::to_string(static_cast<long long>(R) * C) +
                                " cells hold no value";
    if (!cropValid)
        return fileProblem(host, path,
                           counted + "; the first is in " +
                               cellText(missing.firstRow, missing.firstColumn) +
                               " (--crop-valid keeps the largest rectangle without them)");
    const GridRectangle keep = largestValidRectangle(matrix.rows(), R, C);
    if (keep.area() == 0) return fileProblem(host, path, counted + ": there is nothing to keep");
    host.showNotice(
        path + ": " + counted + "; kept rows " + std::to_string(keep.top + 1) + " to " +
        std::to_string(keep.top + keep.rows) + " and columns " + std::to_string(keep.left + 1) +
        " to " + std::to_string(keep.left + keep.columns) +
        ", the largest rectangle without them (" + sizeText(keep.rows, keep.columns) + ")");
    cropMatrix(matrix, keep);
    return true;
}

}  // namespace

std::optional<DataMatrix> loadSurfaceFile(RunHost& host, const std::string& path,
                                          const ReadOptions& options) {
    const SurfaceFormat format = chosenFormat(path, options.format);
    if (format == SurfaceFormat::kText) return loadTextMatrix(host, path, options);

    WaitCursorScope waitCursor(host);
    auto matrix = format == SurfaceFormat::kGdal ? readGdal(host, path, options.band)
                                                 : readOpenFile(host, path, format);
    if (!matrix) return std::nullopt;
    if ((options.cropValid || !options.keepMissing) &&
        !settleMissingValues(host, path, options.cropValid, *matrix))
        return std::nullopt;
    if (!matrix->units.note.empty()) host.showNotice(path + ": " + matrix->units.note);
    return matrix;
}

SurfaceFormat surfaceFileFormat(const std::string& path, SurfaceFormat forced) {
    return chosenFormat(path, forced);
}

bool surfaceFormatFromName(const std::string& name, SurfaceFormat& format) {
    static const std::pair<const char*, SurfaceFormat> kNames[] = {
        {"text", SurfaceFormat::kText}, {"csv", SurfaceFormat::kCsv}, {"npy", SurfaceFormat::kNpy},
        {"gsf", SurfaceFormat::kGsf},   {"gwy", SurfaceFormat::kGwy}, {"x3p", SurfaceFormat::kX3p},
        {"gdal", SurfaceFormat::kGdal}};
    for (const auto& [word, known] : kNames)
        if (name == word) {
            format = known;
            return true;
        }
    return false;
}

std::string surfaceFileFilter() {
    std::string patterns;
    for (const std::string& ending : knownEndings())
        patterns += (patterns.empty() ? "*" : ";*") + ending;
    return "Surface files (" + patterns + ")|" + patterns + "|";
}
