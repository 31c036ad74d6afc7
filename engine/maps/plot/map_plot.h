#pragma once

#include <string>
#include <vector>

#include "hurst_map.h"

// The colour map of a roughness map: each tile's H as a square of the stride's width at the
// tile's centre, on a fixed scale from 0 to 1 so that maps compare; a colour bar; a scale bar in
// the file's units (cells where it has none); flagged tiles hatched and empty tiles grey. One
// panel per map (the exponent, then along rows and along columns). The format follows the name's
// ending: .png, .svg or .pdf.

struct MapScale {
    double cellLength = 0.0;  // a cell's width in `unit`; 0: lengths in cells
    std::string unit;
};

// Writes `path` (replacing it whole); false with `error` set.
// A map panel's title: "Hurst exponent H", or the axis its windows run along.
const char* mapPanelTitle(WindowAxis axis);

bool drawMapPlot(const std::vector<HurstMap>& maps, const MapScale& scale, const std::string& path,
                 std::string& error);
