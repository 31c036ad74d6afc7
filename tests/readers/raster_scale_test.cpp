// Packed rasters: a band's codes become values as code x scale + offset, the no-data code is
// recognised before that, and the band's unit is kept for the reports.

#include <gtest/gtest.h>

#include <cmath>

#include "scripted_host.h"
#include "surface_bytes.h"
#include "surface_file.h"
#include "temp_folder.h"

namespace {

// A 5 x 7 Int16 GeoTIFF of codes with the given scale, offset, unit and no-data code.
std::string packedRaster(const TempFolder& folder, const Grid& codes, double scale, double offset,
                         const char* unit, double nodata) {
    GDALAllRegister();
    const std::string path = folder.path("dem.tif");
    const int R = static_cast<int>(codes.size()), C = static_cast<int>(codes[0].size());
    GDALDatasetH file =
        GDALCreate(GDALGetDriverByName("GTiff"), path.c_str(), C, R, 1, GDT_Int16, nullptr);
    GDALRasterBandH band = GDALGetRasterBand(file, 1);
    for (int i = 0; i < R; ++i) {
        std::vector<double> row = codes[static_cast<std::size_t>(i)];
        EXPECT_EQ(GDALRasterIO(band, GF_Write, 0, i, C, 1, row.data(), C, 1, GDT_Float64, 0, 0),
                  CE_None);
    }
    GDALSetRasterScale(band, scale);
    GDALSetRasterOffset(band, offset);
    GDALSetRasterUnitType(band, unit);
    GDALSetRasterNoDataValue(band, nodata);
    GDALClose(file);
    return path;
}

}  // namespace

TEST(PackedRaster, CodesBecomeValuesByScaleAndOffset) {
    struct Case {
        double scale, offset;
    };
    const Case cases[] = {{0.01, 1000.0}, {0.25, -3.0}, {1.0, 0.0}, {-2.0, 0.5}};
    Grid codes(5, std::vector<double>(7));
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 7; ++j) codes[i][j] = -300 + 97 * i + 13 * j * j;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.scale) + " " + std::to_string(c.offset));
        TempFolder folder;
        const std::string path = packedRaster(folder, codes, c.scale, c.offset, "m", -32768);
        ScriptedHost host;
        const auto matrix = loadSurfaceFile(host, path, {});
        ASSERT_TRUE(matrix) << host.messages[0];
        const DataMatrix& rows = *matrix;
        const int R = rows.rowCount(), C = rows.columnCount();
        ASSERT_EQ(R, 5);
        ASSERT_EQ(C, 7);
        for (int i = 0; i < R; ++i)
            for (int j = 0; j < C; ++j)
                EXPECT_EQ(rows[i][j], codes[i][j] * c.scale + c.offset) << i << ", " << j;
        EXPECT_EQ(rows.units.valueUnit, "m");
    }
}

TEST(PackedRaster, TheNoDataCodeIsMissingNotScaled) {
    TempFolder folder;
    Grid codes(4, std::vector<double>(6, 100.0));
    codes[0][5] = -32768;  // no data, in a corner: --crop-valid keeps the 4 x 5 beside it
    const std::string path = packedRaster(folder, codes, 0.01, 1000.0, "m", -32768);
    ScriptedHost host;
    ReadOptions crop;
    crop.cropValid = true;
    const auto matrix = loadSurfaceFile(host, path, crop);
    ASSERT_TRUE(matrix);
    EXPECT_EQ(matrix->rowCount() * matrix->columnCount(), 20);
    for (int i = 0; i < matrix->rowCount(); ++i)
        for (int j = 0; j < matrix->columnCount(); ++j)
            EXPECT_EQ((*matrix)[i][j], 100.0 * 0.01 + 1000.0);
}
