#pragma once

#include <string>
#include <vector>

#include "data_matrix.h"
#include "hurst_map.h"
#include "map_plot.h"
#include "plot_figure.h"

// The roughness map as a figure that engine/plot lays out and draws, for the windows that draw a
// plot's marks themselves (the dialog's plot window on every platform). One panel per map: each
// tile's H a colour on the fixed scale 0 to 1, grey where a tile has none, a ring on a tile whose
// value is flagged. The axes are the surface's own, in the file's units (cells where it has
// none), the first row at the top; a panel's box keeps the shape of the mapped area.

// The lengths the map is drawn in: the file's pixel size and unit where it has them.
MapScale mapScaleOf(const SurfaceUnits& units);

PlotFigure mapFigure(const std::vector<HurstMap>& maps, const MapScale& scale);
