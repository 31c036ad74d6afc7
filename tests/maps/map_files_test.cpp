// The map's files placed and read back: a GeoTIFF made from a georeferenced raster puts each
// tile's value at the tile's centre in the raster's coordinates, keeps its coordinate system and
// holds the map's values band by band; the CSV and .npy say the same.

#include "map_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "data_matrix.h"
#include "scripted_host.h"
#include "surface_file.h"
#include "temp_folder.h"
#include "truth_surfaces.h"

namespace {

const char* const kLocalCrs = "LOCAL_CS[\"survey grid\",UNIT[\"metre\",1]]";

std::vector<const double*> rowsOf(const std::vector<double>& values, int columns) {
    std::vector<const double*> rows;
    for (std::size_t i = 0; i < values.size(); i += static_cast<std::size_t>(columns))
        rows.push_back(values.data() + i);
    return rows;
}

struct Loaded {
    std::vector<double> values;
    int R = 0, C = 0;
    SurfaceUnits units;
};

Loaded load(const std::string& path, int band) {
    ScriptedHost host;
    ReadOptions read;
    read.band = band;
    read.keepMissing = true;
    Loaded loaded;
    const auto matrix = loadSurfaceFile(host, path, read);
    EXPECT_TRUE(matrix) << (host.messages.empty() ? "" : host.messages[0]);
    if (!matrix) return loaded;
    loaded.R = matrix->rowCount();
    loaded.C = matrix->columnCount();
    loaded.units = matrix->units;
    for (int i = 0; i < loaded.R; ++i)
        loaded.values.insert(loaded.values.end(), (*matrix)[i], (*matrix)[i] + loaded.C);
    return loaded;
}

TEST(MapFiles, PlacementPutsEachValueAtItsTilesCentre) {
    const double surface[6] = {1000.0, 2.0, 0.0, 5000.0, 0.0, -2.0};
    const struct {
        int tile, stride;
        double x0, y0;  // the first pixel's corner
    } cases[] = {
        {128, 64, 1000.0 + 32 * 2.0, 5000.0 - 32 * 2.0},
        {64, 64, 1000.0, 5000.0},
        {100, 30, 1000.0 + 35 * 2.0, 5000.0 - 35 * 2.0},
    };
    for (const auto& c : cases) {
        const MapLayout layout = mapLayout(1000, 800, c.tile, c.stride);
        const RasterPlacement placement = mapPlacement(layout, true, surface, kLocalCrs);
        EXPECT_DOUBLE_EQ(placement.geoTransform[0], c.x0);
        EXPECT_DOUBLE_EQ(placement.geoTransform[1], 2.0 * c.stride);
        EXPECT_DOUBLE_EQ(placement.geoTransform[3], c.y0);
        EXPECT_DOUBLE_EQ(placement.geoTransform[5], -2.0 * c.stride);
        EXPECT_EQ(placement.crsWkt, kLocalCrs);
        // Tile (3, 5): rows 3S ... 3S + T - 1, columns 5S ...; its centre in the raster's terms.
        double x, y;
        tileCentre(placement, 3, 5, x, y);
        EXPECT_DOUBLE_EQ(x, 1000.0 + 2.0 * (5 * c.stride + c.tile / 2.0));
        EXPECT_DOUBLE_EQ(y, 5000.0 - 2.0 * (3 * c.stride + c.tile / 2.0));
    }
    // Without a geotransform the map is placed in cells of the surface, and has no system.
    const RasterPlacement cells =
        mapPlacement(mapLayout(256, 256, 64, 32), false, surface, kLocalCrs);
    double x, y;
    tileCentre(cells, 0, 1, x, y);
    EXPECT_DOUBLE_EQ(x, 64.0);
    EXPECT_DOUBLE_EQ(y, 32.0);
    EXPECT_EQ(cells.crsWkt, "");
}

TEST(MapFiles, GeoTiffFromAGeoreferencedRasterReadsBackPlacedAndWhole) {
    TempFolder folder;
    const double hurst[4] = {0.3, 0.5, 0.5, 0.7};
    std::string error;
    std::vector<double> values = makeFbmMosaic(256, 320, hurst, 4, error);
    ASSERT_EQ(error, "");
    values[10 * 320 + 300] = std::nan("");  // one missing value: its tiles are empty
    RasterPlacement input;
    const double transform[6] = {500000.0, 0.5, 0.0, 4100000.0, 0.0, -0.5};
    std::memcpy(input.geoTransform, transform, sizeof transform);
    input.crsWkt = kLocalCrs;
    const std::string raster = folder.path("dem.tif");
    ASSERT_TRUE(writeGeoTiff(raster, 256, 320, {{"height", values}}, input, error)) << error;

    const Loaded surface = load(raster, 1);
    ASSERT_EQ(surface.R, 256);
    ASSERT_EQ(surface.C, 320);
    ASSERT_TRUE(surface.units.hasGeoTransform);
    const auto rows = rowsOf(surface.values, 320);
    MapRequest request;
    request.tile = 64;
    request.stride = 32;
    const std::vector<HurstMap> maps =
        computeHurstMaps(rows.data(), 256, 320, request,
                         {WindowAxis::kSquare, WindowAxis::kAlongRows, WindowAxis::kAlongColumns});
    const RasterPlacement placement =
        mapPlacement(maps[0].layout, true, surface.units.geoTransform, surface.units.crsWkt);
    const std::string out = folder.path("map.tif");
    const std::vector<RasterBand> bands = mapBands(maps);
    ASSERT_TRUE(writeGeoTiff(out, maps[0].layout.tileRows, maps[0].layout.tileColumns, bands,
                             placement, error))
        << error;

    const char* const names[] = {"H", "H_low", "H_high", "D", "cells", "flags", "H_rows"};
    for (int b = 0; b < 7; ++b) {
        SCOPED_TRACE(names[b]);
        ASSERT_EQ(bands[b].name, names[b]);
        const Loaded band = load(out, b + 1);
        ASSERT_EQ(band.R, maps[0].layout.tileRows);
        ASSERT_EQ(band.C, maps[0].layout.tileColumns);
        for (int k = 0; k < 6; ++k)
            EXPECT_DOUBLE_EQ(band.units.geoTransform[k], placement.geoTransform[k]);
        EXPECT_NE(band.units.crsWkt.find("survey grid"), std::string::npos);
        for (std::size_t t = 0; t < band.values.size(); ++t) {
            const double expected = bands[b].values[t];
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(band.values[t]));
            else
                EXPECT_EQ(band.values[t], expected);
        }
    }
    // The missing value at row 10, column 300 leaves the tiles above right empty.
    const std::size_t corner = static_cast<std::size_t>(maps[0].layout.tileColumns) - 1;
    EXPECT_TRUE(std::isnan(maps[0].hurst[corner]));
    EXPECT_TRUE(maps[0].flags[corner] & kMapMissing);
    EXPECT_FALSE(std::isnan(maps[0].hurst[0]));
}

TEST(MapFiles, CsvAndNpyHoldTheSameTilesInRowOrder) {
    const double hurst[4] = {0.2, 0.4, 0.6, 0.8};
    std::string error;
    const std::vector<double> values = makeFbmMosaic(128, 192, hurst, 9, error);
    const auto rows = rowsOf(values, 192);
    MapRequest request;
    request.tile = 32;
    request.stride = 32;
    const std::vector<HurstMap> maps =
        computeHurstMaps(rows.data(), 128, 192, request, {WindowAxis::kSquare});
    const double none[6] = {};
    const RasterPlacement placement = mapPlacement(maps[0].layout, false, none, "");
    const std::string csv = mapCsv(maps, placement);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "row,column,x,y,H,lo,hi,flags,D,cells");
    // Row 0 column 1 is the second line: the tile right of the first, centred at x 48, y 16.
    const std::size_t second = csv.find('\n', csv.find('\n') + 1) + 1;
    EXPECT_EQ(csv.substr(second, 11), "0,1,48,16,0");
    int lines = 0;
    for (char c : csv) lines += c == '\n';
    EXPECT_EQ(lines, 1 + 4 * 6);

    const std::string npy = mapNpy(maps, placement);
    ASSERT_EQ(npy.compare(0, 6, "\x93NUMPY"), 0);
    const std::size_t headerLength =
        static_cast<unsigned char>(npy[8]) + 256u * static_cast<unsigned char>(npy[9]);
    EXPECT_EQ((10 + headerLength) % 64, 0u);
    const std::string header = npy.substr(10, headerLength);
    EXPECT_NE(header.find("'shape': (4, 6)"), std::string::npos);
    const std::size_t record = 4 + 4 + 8 + 8 + 6 * 8;
    ASSERT_EQ(npy.size(), 10 + headerLength + 24 * record);
    // Tile (2, 3): its row, column and H where the structured array puts them.
    const char* at = npy.data() + 10 + headerLength + (2 * 6 + 3) * record;
    std::int32_t row, column;
    double x, h;
    std::memcpy(&row, at, 4);
    std::memcpy(&column, at + 4, 4);
    std::memcpy(&x, at + 8, 8);
    std::memcpy(&h, at + 24, 8);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(column, 3);
    EXPECT_EQ(x, 3 * 32 + 16.0);
    EXPECT_EQ(h, maps[0].hurst[2 * 6 + 3]);
}

}  // namespace
