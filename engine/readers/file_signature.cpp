#include "file_signature.h"

#include <cctype>

namespace {

struct Ending {
    const char* ending;
    SurfaceFormat format;
};

// Rasters that GDAL opens and that are commonly named so; any other raster is found by its
// signature or read with --format gdal.
constexpr Ending kEndings[] = {
    {".txt", SurfaceFormat::kText},  {".csv", SurfaceFormat::kCsv},
    {".npy", SurfaceFormat::kNpy},   {".gsf", SurfaceFormat::kGsf},
    {".gwy", SurfaceFormat::kGwy},   {".x3p", SurfaceFormat::kX3p},
    {".tif", SurfaceFormat::kGdal},  {".tiff", SurfaceFormat::kGdal},
    {".asc", SurfaceFormat::kGdal},  {".png", SurfaceFormat::kGdal},
    {".nc", SurfaceFormat::kGdal},   {".h5", SurfaceFormat::kGdal},
    {".hdf5", SurfaceFormat::kGdal}, {".img", SurfaceFormat::kGdal},
    {".dem", SurfaceFormat::kGdal},  {".bil", SurfaceFormat::kGdal},
    {".flt", SurfaceFormat::kGdal},  {".vrt", SurfaceFormat::kGdal},
    {".grd", SurfaceFormat::kGdal},  {".jp2", SurfaceFormat::kGdal},
};

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool endsWithIgnoringCase(const std::string& text, std::string_view ending) {
    if (text.size() < ending.size()) return false;
    for (std::size_t k = 0; k < ending.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - ending.size() + k])) !=
            ending[k])
            return false;
    return true;
}

}  // namespace

SurfaceFormat formatOfSignature(std::string_view bytes) {
    using namespace std::string_view_literals;
    if (startsWith(bytes, "\x93NUMPY"sv)) return SurfaceFormat::kNpy;
    if (startsWith(bytes, kGsfMagicLine)) return SurfaceFormat::kGsf;
    if (startsWith(bytes, "GWYP"sv)) return SurfaceFormat::kGwy;
    // A zip archive whose first entry is main.xml (the local header's name begins at byte 30,
    // its length is at byte 26): how X3P files are written. Other zip archives are not surfaces.
    if (bytes.size() >= 38 && startsWith(bytes, "PK\x03\x04"sv) &&
        bytes.substr(26, 2) == "\x08\x00"sv && bytes.substr(30, 8) == "main.xml"sv)
        return SurfaceFormat::kX3p;
    for (std::string_view raster :
         {"II*\0"sv, "MM\0*"sv, "II+\0"sv, "MM\0+"sv,  // TIFF, BigTIFF
          "\x89PNG\r\n\x1a\n"sv, "\x89HDF\r\n\x1a\n"sv, "CDF\x01"sv, "CDF\x02"sv, "CDF\x05"sv})
        if (startsWith(bytes, raster)) return SurfaceFormat::kGdal;
    return SurfaceFormat::kAuto;
}

SurfaceFormat formatOfName(const std::string& path) {
    for (const Ending& known : kEndings)
        if (endsWithIgnoringCase(path, known.ending)) return known.format;
    return SurfaceFormat::kAuto;
}

SurfaceFormat formatOfFile(std::string_view firstBytes, const std::string& path) {
    SurfaceFormat format = formatOfSignature(firstBytes);
    if (format == SurfaceFormat::kAuto) format = formatOfName(path);
    return format == SurfaceFormat::kAuto ? SurfaceFormat::kText : format;
}

std::vector<std::string> knownEndings() {
    std::vector<std::string> endings;
    for (const Ending& known : kEndings) endings.push_back(known.ending);
    return endings;
}
