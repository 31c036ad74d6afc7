#pragma once

// Files of every input format, made from a grid of values: .npy and GSF bytes built here, GDAL
// rasters written through GDAL itself, and the text matrix and CSV of the same values.

#include <gdal.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "npy_bytes.h"

using Grid = std::vector<std::vector<double>>;

inline std::string textMatrix(const Grid& grid, const char* separator = " ") {
    std::string text;
    char number[40];
    for (const auto& row : grid) {
        for (std::size_t j = 0; j < row.size(); ++j) {
            std::snprintf(number, sizeof number, "%.17g", row[j]);
            text += (j ? separator : "") + std::string(number);
        }
        text += "\n";
    }
    return text;
}

// The bytes of value v as the type T, in big or little endian order.
template <class T>
std::string valueBytes(double v, bool bigEndian) {
    const T value = static_cast<T>(v);
    std::string bytes(sizeof(T), '\0');
    std::memcpy(bytes.data(), &value, sizeof(T));
    if (bigEndian) std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

template <class T>
std::string npyOf(const Grid& grid, const std::string& descr, bool fortran, int version = 1) {
    const std::size_t R = grid.size(), C = R ? grid[0].size() : 0;
    std::string values;
    for (std::size_t a = 0; a < (fortran ? C : R); ++a)
        for (std::size_t b = 0; b < (fortran ? R : C); ++b)
            values += valueBytes<T>(fortran ? grid[b][a] : grid[a][b], descr[0] == '>');
    return npyFile("{'descr': '" + descr + "', 'fortran_order': " + (fortran ? "True" : "False") +
                       ", 'shape': (" + std::to_string(R) + ", " + std::to_string(C) + "), }",
                   values, version);
}

inline std::string gsfFile(const std::string& keys, const std::string& values) {
    std::string header = "Gwyddion Simple Field 1.0\n" + keys;
    header.append(4 - header.size() % 4, '\0');
    return header + values;
}

inline std::string gsfOf(const Grid& grid, const std::string& extraKeys = "") {
    std::string values;
    for (const auto& row : grid)
        for (double v : row) values += valueBytes<float>(v, false);
    return gsfFile("XRes = " + std::to_string(grid.empty() ? 0 : grid[0].size()) +
                       "\nYRes = " + std::to_string(grid.size()) + "\n" + extraKeys,
                   values);
}

// The pieces of a .gwy file, little endian: a NUL-terminated name, a typed component, an object
// (type name, 32-bit size, components).
inline std::string gwyU32(std::uint32_t v) {
    return valueBytes<std::uint32_t>(v, false);
}
inline std::string gwyText(const std::string& text) {
    return text + std::string(1, '\0');
}
inline std::string gwyComponent(const std::string& name, char type, const std::string& value) {
    return gwyText(name) + std::string(1, type) + value;
}
inline std::string gwyObject(const std::string& type, const std::string& components) {
    return gwyText(type) + gwyU32(static_cast<std::uint32_t>(components.size())) + components;
}
inline std::string gwyUnit(const std::string& unit) {
    return gwyObject("GwySIUnit", gwyComponent("unitstr", 's', gwyText(unit)));
}

// A GwyDataField of the grid with these real sizes and units, its components in this order.
inline std::string gwyDataField(const Grid& grid, double width, double height,
                                const std::string& lateralUnit, const std::string& valueUnit) {
    const std::size_t R = grid.size(), C = R ? grid[0].size() : 0;
    std::string values;
    for (const auto& row : grid)
        for (double v : row) values += valueBytes<double>(v, false);
    return gwyObject(
        "GwyDataField",
        gwyComponent("xres", 'i', valueBytes<std::int32_t>(static_cast<double>(C), false)) +
            gwyComponent("yres", 'i', valueBytes<std::int32_t>(static_cast<double>(R), false)) +
            gwyComponent("xreal", 'd', valueBytes<double>(width, false)) +
            gwyComponent("yreal", 'd', valueBytes<double>(height, false)) +
            gwyComponent("si_unit_xy", 'o', gwyUnit(lateralUnit)) +
            gwyComponent("si_unit_z", 'o', gwyUnit(valueUnit)) +
            gwyComponent("data", 'D', gwyU32(static_cast<std::uint32_t>(R * C)) + values));
}

// A .gwy file: "GWYP" and a GwyContainer of these components.
inline std::string gwyFile(const std::string& components) {
    return "GWYP" + gwyObject("GwyContainer", components);
}

// A .gwy file as an instrument's export is: channel 0 after its title and other values, a
// second channel (of zeros) after it, and a mask field that is not a channel.
inline std::string gwyOf(const Grid& grid, double width, double height) {
    const Grid zeros(grid.size(), std::vector<double>(grid.empty() ? 0 : grid[0].size(), 0.0));
    return gwyFile(gwyComponent("/0/data/title", 's', gwyText("Height")) +
                   gwyComponent("/0/mask", 'o', gwyDataField(zeros, width, height, "m", "")) +
                   gwyComponent("/0/base/palette", 's', gwyText("Gray")) +
                   gwyComponent("/0/meta/flags", 'I', gwyU32(2) + gwyU32(7) + gwyU32(9)) +
                   gwyComponent("/1/data", 'o', gwyDataField(zeros, width, height, "m", "A")) +
                   gwyComponent("/0/data", 'o', gwyDataField(grid, width, height, "m", "m")) +
                   gwyComponent("/0/data/visible", 'b', std::string(1, '\1')));
}

// Writes the grid as band `dataBand` of a raster of `bands` bands (the others hold zeros)
// through GDAL's `driver` ("GTiff", "AAIGrid", ...), made in memory first for drivers that only
// copy, with the geotransform and the projection (WKT) where given; false when GDAL fails.
inline bool writeRaster(const std::string& path, const char* driver, const Grid& grid,
                        GDALDataType type = GDT_Float32, int bands = 1,
                        const double* transform = nullptr, int dataBand = 1,
                        const char* projection = nullptr) {
    GDALAllRegister();
    const int R = static_cast<int>(grid.size()), C = R ? static_cast<int>(grid[0].size()) : 0;
    GDALDatasetH memory = GDALCreate(GDALGetDriverByName("MEM"), "", C, R, bands, type, nullptr);
    if (!memory) return false;
    for (int i = 0; i < R; ++i) {
        for (int b = 1; b <= bands; ++b) {
            std::vector<double> row = b == dataBand ? grid[i] : std::vector<double>(C, 0.0);
            if (GDALRasterIO(GDALGetRasterBand(memory, b), GF_Write, 0, i, C, 1, row.data(), C, 1,
                             GDT_Float64, 0, 0) != CE_None)
                return false;
        }
    }
    if (transform) GDALSetGeoTransform(memory, const_cast<double*>(transform));
    if (projection) GDALSetProjection(memory, projection);
    GDALDatasetH copy = GDALCreateCopy(GDALGetDriverByName(driver), path.c_str(), memory, FALSE,
                                       nullptr, nullptr, nullptr);
    GDALClose(memory);
    if (!copy) return false;
    GDALClose(copy);
    return true;
}
