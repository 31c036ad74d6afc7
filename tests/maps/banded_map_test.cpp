// A map read a band of rows at a time against the map of the whole surface in memory: the same
// bytes for every shape, whether a band ends on a tile's edge or not, with missing values, for
// the directional maps too; a band read with a halo one row short shows, and a request to stop
// is heard between bands.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

#include "hurst_map.h"
#include "map_files.h"

namespace {

// A rough surface far from zero (a random walk along both axes plus an offset), so that the
// centring and the order of the additions show in the last bits.
std::vector<double> roughSurface(int R, int C, unsigned seed) {
    std::mt19937 bits(seed);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::vector<double> values(static_cast<std::size_t>(R) * C);
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) {
            double v = 1000.0 + normal(bits);
            if (i > 0) v += values[static_cast<std::size_t>(i - 1) * C + j] - 1000.0;
            if (j > 0) v += 0.5 * (values[static_cast<std::size_t>(i) * C + j - 1] - 1000.0);
            values[static_cast<std::size_t>(i) * C + j] = v;
        }
    return values;
}

// Rows copied out of a matrix band by band, as a file's would be read. `shortBy` rows are left
// out at the top of every read that starts above a band's own rows (its halo); `cancelAt` asks to
// stop when that read (counted from 1) comes.
class CopiedRows : public StreamedRows {
  public:
    CopiedRows(const std::vector<double>& values, int R, int C, std::set<int> bandStarts)
        : StreamedRows(R, C), values_(values), starts_(std::move(bandStarts)) {}
    int shortBy = 0, cancelAt = 0;
    CancelToken token;
    int reads = 0, mostRows = 0;

  protected:
    void readRows(int first, int count, double* out) override {
        if (++reads == cancelAt) token.requestCancel();
        mostRows = std::max(mostRows, count);
        const std::size_t C = static_cast<std::size_t>(C_);
        std::fill(out, out + static_cast<std::size_t>(count) * C,
                  std::numeric_limits<double>::quiet_NaN());
        const int skip = first > 0 && !starts_.count(first) ? shortBy : 0;
        std::copy(values_.begin() + static_cast<std::ptrdiff_t>((first + skip) * C),
                  values_.begin() + static_cast<std::ptrdiff_t>((first + count) * C),
                  out + static_cast<std::size_t>(skip) * C);
    }

  private:
    const std::vector<double>& values_;
    std::set<int> starts_;
};

struct Shape {
    const char* name;
    int R, C, tile, stride, largestSide, bandRows;
    bool holes, directional;
};

// Units are 128 rows or more of whole blocks (block: the largest side dividing the stride and a
// quarter of the tile), and bands are whole units.
const Shape kShapes[] = {
    {"bands of one unit, ending on tile edges", 300, 90, 32, 16, 15, 1, false, false},
    {"bands that end inside tiles", 333, 75, 32, 12, 13, 200, false, false},
    {"blocks of 24 rows, units of 144", 517, 97, 96, 24, 0, 150, false, false},
    {"stride 1: blocks of one row", 290, 40, 16, 1, 7, 1, false, false},
    {"missing values on and off the bands' edges", 400, 80, 32, 16, 15, 1, true, false},
    {"directional maps with missing values", 300, 70, 32, 8, 11, 130, true, true},
    {"one band holds it all", 200, 60, 32, 16, 15, 100000, true, true},
};

void PrintTo(const Shape& shape, std::ostream* out) {
    *out << shape.name;
}

std::vector<WindowAxis> axesOf(const Shape& s) {
    if (!s.directional) return {WindowAxis::kSquare};
    return {WindowAxis::kSquare, WindowAxis::kAlongRows, WindowAxis::kAlongColumns};
}

MapRequest requestOf(const Shape& s) {
    MapRequest request;
    request.tile = s.tile;
    request.stride = s.stride;
    if (s.largestSide > 0) {
        request.fromSide = 3;
        request.toSide = s.largestSide;
    }
    request.threads = 2;
    return request;
}

std::vector<double> surfaceOf(const Shape& s) {
    std::vector<double> values = roughSurface(s.R, s.C, static_cast<unsigned>(s.R * 7 + s.C));
    if (s.holes) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        // One on a unit's first row, one on the row before, one well inside, one at an edge.
        for (auto [i, j] :
             {std::pair{128, 10}, {127, s.C - 1}, {std::min(200, s.R - 2), s.C / 2}, {s.R - 1, 0}})
            values[static_cast<std::size_t>(i) * s.C + j] = nan;
    }
    return values;
}

std::set<int> bandStarts(const Shape& s, const MapRequest& request) {
    std::set<int> starts;
    for (const MapBand& band : mapRowBands(s.R, s.C, request)) starts.insert(band.first);
    return starts;
}

std::string bytesOf(const std::vector<HurstMap>& maps) {
    return mapNpy(maps, RasterPlacement{});
}

class BandedMap : public testing::TestWithParam<Shape> {};

TEST_P(BandedMap, IsTheMapInMemoryByteForByte) {
    const Shape& s = GetParam();
    ASSERT_FALSE(mapProblem(s.R, s.C, requestOf(s)));
    const std::vector<double> values = surfaceOf(s);
    std::vector<const double*> table;
    for (int i = 0; i < s.R; ++i)
        table.push_back(values.data() + static_cast<std::size_t>(i) * s.C);
    const auto whole = computeHurstMaps(table.data(), s.R, s.C, requestOf(s), axesOf(s));

    MapRequest request = requestOf(s);
    request.bandRows = s.bandRows;
    const std::vector<MapBand> bands = mapRowBands(s.R, s.C, request);
    CopiedRows rows(values, s.R, s.C, bandStarts(s, request));
    const auto banded = computeHurstMaps(rows, request, axesOf(s));
    EXPECT_TRUE(bytesOf(banded) == bytesOf(whole));
    // Each band is read twice (the count, then the sums), never more than it and its halo.
    EXPECT_EQ(rows.reads, 2 * static_cast<int>(bands.size()));
    int widest = 0;
    for (const MapBand& band : bands) widest = std::max(widest, band.last - band.first + 1);
    EXPECT_LE(rows.mostRows, widest + 2 * mapBandHalo(request));
    if (s.bandRows < s.R) {
        EXPECT_GT(bands.size(), 1u);
    }
    if (s.holes) {
        int missing = 0;
        for (std::uint8_t flag : whole[0].flags) missing += (flag & kMapMissing) != 0;
        EXPECT_GT(missing, 0);
    }
}

// With a halo one row short the windows at the bands' edges reach rows that were not read.
TEST_P(BandedMap, AHaloOneRowShortIsSeen) {
    const Shape& s = GetParam();
    MapRequest request = requestOf(s);
    request.bandRows = s.bandRows;
    if (mapRowBands(s.R, s.C, request).size() < 2) GTEST_SKIP() << "one band has no halo";
    const std::vector<double> values = surfaceOf(s);
    CopiedRows exact(values, s.R, s.C, bandStarts(s, request));
    CopiedRows short1(values, s.R, s.C, bandStarts(s, request));
    short1.shortBy = 1;
    EXPECT_FALSE(bytesOf(computeHurstMaps(short1, request, axesOf(s))) ==
                 bytesOf(computeHurstMaps(exact, request, axesOf(s))));
}

INSTANTIATE_TEST_SUITE_P(Shapes, BandedMap, testing::ValuesIn(kShapes));

TEST(BandedMap, StopsWhenAskedInEitherPass) {
    const Shape& s = kShapes[0];
    MapRequest request = requestOf(s);
    request.bandRows = s.bandRows;
    const int bands = static_cast<int>(mapRowBands(s.R, s.C, request).size());
    const std::vector<double> values = surfaceOf(s);
    for (int at : {1, bands, bands + 1, 2 * bands - 1}) {
        SCOPED_TRACE(at);
        CopiedRows rows(values, s.R, s.C, bandStarts(s, request));
        rows.cancelAt = at;
        request.cancel = &rows.token;
        EXPECT_THROW(computeHurstMaps(rows, request, {WindowAxis::kSquare}), RunCancelled);
        EXPECT_LE(rows.reads, at + 1);
    }
}

}  // namespace
