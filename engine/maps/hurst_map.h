#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cancel_token.h"
#include "map_layout.h"
#include "map_rows.h"
#include "residual_blocks.h"

// The Hurst exponent of every tile of a surface, with its 90% interval and flags, from the
// residual surfaces of the whole surface: one pass per window side gives every block's residual
// sum, and a tile's mean squared residual at each side is the sum of its blocks. A tile's value
// therefore describes the tile together with a halo of half the largest side around it, which
// its cells' windows reach into.

struct MapRequest {
    int tile = 128, stride = 64;
    int fromSide = 0, toSide = 0;  // odd sides in log steps; 0: from 5 to a quarter of the tile
    int threads = 0;
    // Rows of the surface to hold at once besides the band's halo (mapRowBands); 0: all of them.
    // The map is the same bits whatever this is.
    int bandRows = 0;
    const CancelToken* cancel = nullptr;  // polled between bands and between tasks
};

enum MapFlag : std::uint8_t {
    kMapCurved = 1,        // the log-log line bends: its two halves' slopes differ
    kMapOutsideRange = 2,  // the estimate lies outside the exponents the intervals were made for
    kMapFewCells = 4,      // fewer than half the tile's cells have a residual, or few sides
    kMapMissing = 8,       // the tile or its halo holds missing values: left empty
    kMapFlat = 16,         // every residual is 0: no exponent
};

struct HurstMap {
    MapLayout layout;
    WindowAxis axis = WindowAxis::kSquare;
    std::vector<int> sides;
    // Tile (a, b) at a * layout.tileColumns + b. Not-a-number where the tile has no exponent.
    std::vector<double> hurst, low, high;
    std::vector<double> cells;  // cells with a residual at the largest side
    std::vector<std::uint8_t> flags;
};

// The sides a map uses: the request's range, or the default one, each below the tile.
std::vector<int> mapSides(const MapRequest& request);

// The cells around a tile that its value depends on: half the largest side, and one more, since
// the square windows' residuals leave out the last row and column that a window reaches (as
// the analysis does). A map of any part of the surface that holds a tile and this halo gives
// that tile the same value.
int mapHalo(const std::vector<int>& sides);

// Why the request cannot map an R x C surface, or nothing.
std::optional<std::string> mapProblem(int R, int C, const MapRequest& request);

// One map per axis asked for (kSquare: the exponent; kAlongRows, kAlongColumns: the directional
// exponents). The data may hold values that are not finite: they count as missing. The request
// must pass mapProblem.
std::vector<HurstMap> computeHurstMaps(const double* const* data, int R, int C,
                                       const MapRequest& request,
                                       const std::vector<WindowAxis>& axes);

// The same map from rows read a band at a time: a first pass over the bands counts the missing
// values and takes the mean the sums are centred on (and missing values replaced by), then each
// band is read again with a halo of half the largest side above and below, and its units'
// residual sums are made on every thread. The bytes are those of the map in memory, whatever
// request.bandRows is. Throws RunCancelled when request.cancel asks to stop, and whatever
// `rows` throws.
std::vector<HurstMap> computeHurstMaps(MapRows& rows, const MapRequest& request,
                                       const std::vector<WindowAxis>& axes);

// The bands a map of an R x C surface reads with request.bandRows: each a run of whole units,
// as many as fit in bandRows (at least one). Rows first ... last are the band's own; it reads
// `halo` more above and below, within the surface.
struct MapBand {
    int first, last;
    int firstUnit, unitCount;
};
std::vector<MapBand> mapRowBands(int R, int C, const MapRequest& request);
int mapBandHalo(const MapRequest& request);

// The request.bandRows that keeps a band of a surface of C columns and its halo within
// `budget` bytes as doubles (one unit at least).
int mapBandRowsWithin(double budget, int C, const MapRequest& request);

// The bytes of the largest band that mapRowBands gives, with its halo, as doubles.
double mapBandBytes(int R, int C, const MapRequest& request);
