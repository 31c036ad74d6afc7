#include "raster_map_rows.h"

#include <stdexcept>

void RasterMapRows::readRows(int first, int count, double* out) {
    std::string error;
    if (!raster_.read(first, count, out, error)) throw std::runtime_error(error);
}
