#pragma once

// X3P files made from a grid of values: main.xml written here, the archive through libzip, the
// checksums through nettle.

#include <nettle/md5.h>
#include <zip.h>

#include <cstdio>
#include <string>
#include <vector>

#include "surface_bytes.h"

struct ZipItem {
    std::string name, bytes;
    bool encrypted = false;
};

// A zip archive of the items in this order, deflated (AES-encrypted where asked).
inline std::string zipOf(const std::vector<ZipItem>& items) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_source_keep(buffer);
    for (const ZipItem& item : items) {
        zip_source_t* bytes = zip_source_buffer(archive, item.bytes.data(), item.bytes.size(), 0);
        const zip_int64_t index = zip_file_add(archive, item.name.c_str(), bytes, 0);
        if (item.encrypted)
            zip_file_set_encryption(archive, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256,
                                    "secret");
    }
    zip_close(archive);
    std::string out;
    zip_source_open(buffer);
    char piece[4096];
    for (zip_int64_t got; (got = zip_source_read(buffer, piece, sizeof piece)) > 0;)
        out.append(piece, static_cast<std::size_t>(got));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return out;
}

inline std::string md5Hex(const std::string& bytes) {
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data()));
    std::uint8_t digest[MD5_DIGEST_SIZE];
    md5_digest(&context, sizeof digest, digest);
    std::string hex;
    char two[3];
    for (std::uint8_t byte : digest) {
        std::snprintf(two, sizeof two, "%02x", byte);
        hex += two;
    }
    return hex;
}

inline std::string x3pAxis(const std::string& name, const std::string& type,
                           const std::string& dataType, double increment) {
    char number[40];
    std::snprintf(number, sizeof number, "%.17g", increment);
    return "<" + name + "><AxisType>" + type + "</AxisType><DataType>" + dataType +
           "</DataType><Increment>" + number + "</Increment><Offset>0</Offset></" + name + ">";
}

// main.xml of these Record1 axes and Record3 contents.
inline std::string x3pDocument(const std::string& featureType, const std::string& axes,
                               const std::string& record3) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<p:ISO5436_2 xmlns:p=\"http://www.opengps.eu/2008/ISO5436_2\">\n"
           "<Record1><Revision>ISO5436 - 2000</Revision><FeatureType>" +
           featureType + "</FeatureType>\n<Axes>" + axes +
           "</Axes></Record1>\n<Record2><Date>2026-01-01T00:00:00</Date></Record2>\n"
           "<Record3>" +
           record3 +
           "</Record3>\n<Record4><ChecksumFile>md5checksum.hex</ChecksumFile></Record4>\n"
           "</p:ISO5436_2>\n";
}

inline std::string x3pSizes(std::size_t sizeX, std::size_t sizeY, std::size_t sizeZ = 1) {
    return "<MatrixDimension><SizeX>" + std::to_string(sizeX) + "</SizeX><SizeY>" +
           std::to_string(sizeY) + "</SizeY><SizeZ>" + std::to_string(sizeZ) +
           "</SizeZ></MatrixDimension>";
}

// The values as CZ's DataType ('I', 'L', 'F', 'D') stores them, little endian, X fastest, each
// divided by `zIncrement` first.
inline std::string x3pValues(const Grid& grid, char dataType, double zIncrement = 1.0) {
    std::string bytes;
    for (const auto& row : grid)
        for (double v : row) {
            const double raw = v / zIncrement;
            bytes += dataType == 'I'   ? valueBytes<std::int16_t>(raw, false)
                     : dataType == 'L' ? valueBytes<std::int32_t>(raw, false)
                     : dataType == 'F' ? valueBytes<float>(raw, false)
                                       : valueBytes<double>(raw, false);
        }
    return bytes;
}

struct X3pLayout {
    char dataType = 'D';
    double dx = 1e-6, dy = 1e-6;
    double zIncrement = 1.0;
    bool dataList = false;  // the values in main.xml instead of bindata/data.bin
    bool checksums = true;  // md5checksum.hex and MD5ChecksumPointData, both right
};

// An X3P file of the grid as an instrument writes it: main.xml first.
inline std::string x3pOf(const Grid& grid, const X3pLayout& layout = {}) {
    const std::size_t R = grid.size(), C = R ? grid[0].size() : 0;
    const std::string type(1, layout.dataType);
    char zIncrement[40];
    std::snprintf(zIncrement, sizeof zIncrement, "%.17g", layout.zIncrement);
    const std::string axes = x3pAxis("CX", "I", "D", layout.dx) +
                             x3pAxis("CY", "I", "D", layout.dy) + "<CZ><AxisType>A</AxisType>" +
                             "<DataType>" + type + "</DataType><Increment>" + zIncrement +
                             "</Increment><Offset>0</Offset></CZ>";
    const std::string values = x3pValues(grid, layout.dataType, layout.zIncrement);
    std::string record3 = x3pSizes(C, R);
    if (layout.dataList) {
        record3 += "<DataList>\n";
        for (const auto& row : grid)
            for (double v : row) {
                char number[40];
                std::snprintf(number, sizeof number, "%.17g", v);
                record3 += v == v ? "<Datum>" + std::string(number) + "</Datum>\n" : "<Datum/>\n";
            }
        record3 += "</DataList>";
    } else {
        record3 += "<DataLink><PointDataLink>bindata/data.bin</PointDataLink>" +
                   (layout.checksums
                        ? "<MD5ChecksumPointData>" + md5Hex(values) + "</MD5ChecksumPointData>"
                        : std::string()) +
                   "</DataLink>";
    }
    const std::string document = x3pDocument("SUR", axes, record3);
    std::vector<ZipItem> items = {{"main.xml", document}};
    if (!layout.dataList) items.push_back({"bindata/data.bin", values});
    if (layout.checksums) items.push_back({"md5checksum.hex", md5Hex(document) + " *main.xml\n"});
    return zipOf(items);
}
