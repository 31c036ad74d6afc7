#include "map_files.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

const char* axisSuffix(WindowAxis axis) {
    switch (axis) {
        case WindowAxis::kAlongRows:
            return "_rows";
        case WindowAxis::kAlongColumns:
            return "_columns";
        default:
            return "";
    }
}

std::string number(double value) {
    if (!std::isfinite(value)) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

const RasterBand* bandNamed(const std::vector<RasterBand>& bands, const std::string& name) {
    for (const RasterBand& band : bands)
        if (band.name == name) return &band;
    return nullptr;
}

}  // namespace

std::vector<RasterBand> mapBands(const std::vector<HurstMap>& maps) {
    std::vector<RasterBand> bands;
    const HurstMap* rows = nullptr;
    const HurstMap* columns = nullptr;
    for (const HurstMap& map : maps) {
        const std::string suffix = axisSuffix(map.axis);
        std::vector<double> dimension(map.hurst.size()), flags(map.flags.size());
        for (std::size_t t = 0; t < map.hurst.size(); ++t) {
            dimension[t] = 3.0 - map.hurst[t];
            flags[t] = map.flags[t];
        }
        bands.push_back({"H" + suffix, map.hurst});
        bands.push_back({"H" + suffix + "_low", map.low});
        bands.push_back({"H" + suffix + "_high", map.high});
        if (map.axis == WindowAxis::kSquare) {
            bands.push_back({"D", dimension});
            bands.push_back({"cells", map.cells});
        }
        bands.push_back({"flags" + suffix, flags});
        if (map.axis == WindowAxis::kAlongRows) rows = &map;
        if (map.axis == WindowAxis::kAlongColumns) columns = &map;
    }
    if (rows && columns) {
        std::vector<double> difference(rows->hurst.size());
        for (std::size_t t = 0; t < difference.size(); ++t)
            difference[t] = rows->hurst[t] - columns->hurst[t];
        bands.push_back({"anisotropy", difference});
    }
    return bands;
}

RasterPlacement mapPlacement(const MapLayout& layout, bool hasGeoTransform,
                             const double geoTransform[6], const std::string& crsWkt) {
    const double cells[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
    const double* g = hasGeoTransform ? geoTransform : cells;
    RasterPlacement placement;
    // The first pixel's centre, half a stride in from its corner, is the first tile's centre,
    // half a tile in from the surface's corner.
    const double shift = (layout.tile - layout.stride) / 2.0;
    placement.geoTransform[0] = g[0] + shift * (g[1] + g[2]);
    placement.geoTransform[1] = g[1] * layout.stride;
    placement.geoTransform[2] = g[2] * layout.stride;
    placement.geoTransform[3] = g[3] + shift * (g[4] + g[5]);
    placement.geoTransform[4] = g[4] * layout.stride;
    placement.geoTransform[5] = g[5] * layout.stride;
    if (hasGeoTransform) placement.crsWkt = crsWkt;
    return placement;
}

void tileCentre(const RasterPlacement& placement, int a, int b, double& x, double& y) {
    const double* g = placement.geoTransform;
    x = g[0] + (b + 0.5) * g[1] + (a + 0.5) * g[2];
    y = g[3] + (b + 0.5) * g[4] + (a + 0.5) * g[5];
}

std::string mapCsv(const std::vector<HurstMap>& maps, const RasterPlacement& placement) {
    const std::vector<RasterBand> bands = mapBands(maps);
    const MapLayout& layout = maps.front().layout;
    // The exponent's own columns first, under the short names; then the rest by band name.
    const std::pair<const char*, const char*> leading[] = {
        {"H", "H"}, {"lo", "H_low"}, {"hi", "H_high"}, {"flags", "flags"}};
    std::vector<const RasterBand*> order;
    std::string text = "row,column,x,y";
    for (const auto& [title, name] : leading)
        if (const RasterBand* band = bandNamed(bands, name)) {
            text.append(",").append(title);
            order.push_back(band);
        }
    for (const RasterBand& band : bands) {
        bool taken = false;
        for (const RasterBand* kept : order) taken = taken || kept == &band;
        if (taken) continue;
        text.append(",").append(band.name);
        order.push_back(&band);
    }
    text += "\n";
    for (int a = 0; a < layout.tileRows; ++a)
        for (int b = 0; b < layout.tileColumns; ++b) {
            double x, y;
            tileCentre(placement, a, b, x, y);
            text.append(std::to_string(a)).append(",").append(std::to_string(b));
            text.append(",").append(number(x)).append(",").append(number(y));
            const std::size_t t = static_cast<std::size_t>(a) * layout.tileColumns + b;
            for (const RasterBand* band : order) text.append(",").append(number(band->values[t]));
            text.append("\n");
        }
    return text;
}

std::string mapNpy(const std::vector<HurstMap>& maps, const RasterPlacement& placement) {
    const std::vector<RasterBand> bands = mapBands(maps);
    const MapLayout& layout = maps.front().layout;
    std::string header = "{'descr': [('row', '<i4'), ('column', '<i4'), ('x', '<f8'), ('y', '<f8')";
    for (const RasterBand& band : bands) header += ", ('" + band.name + "', '<f8')";
    header += "], 'fortran_order': False, 'shape': (" + std::to_string(layout.tileRows) + ", " +
              std::to_string(layout.tileColumns) + "), }";
    // The magic, version 1.0, the header's length; the header padded with spaces to a multiple
    // of 64 bytes with its newline.
    const std::size_t prefix = 10;
    std::size_t padded = header.size() + 1;
    padded += (64 - (prefix + padded) % 64) % 64;
    header.append(padded - 1 - header.size(), ' ');
    header += '\n';
    std::string out("\x93NUMPY\x01\x00", 8);
    out += static_cast<char>(header.size() & 0xff);
    out += static_cast<char>(header.size() >> 8);
    out += header;
    auto put = [&out](const void* bytes, std::size_t size) {
        out.append(static_cast<const char*>(bytes), size);  // little-endian machines only
    };
    for (int a = 0; a < layout.tileRows; ++a)
        for (int b = 0; b < layout.tileColumns; ++b) {
            const std::int32_t row = a, column = b;
            double x, y;
            tileCentre(placement, a, b, x, y);
            put(&row, 4);
            put(&column, 4);
            put(&x, 8);
            put(&y, 8);
            const std::size_t t = static_cast<std::size_t>(a) * layout.tileColumns + b;
            for (const RasterBand& band : bands) put(&band.values[t], 8);
        }
    return out;
}
