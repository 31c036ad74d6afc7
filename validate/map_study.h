#pragma once

// The study behind the maps and the directional exponents (docs/maps.md): tiles of a mosaic of
// exact fractional Brownian quadrants, the fractional Brownian sheet, and isotropic surfaces.
// Calibration seeds and report seeds are disjoint. Prints Markdown tables.
void printMapStudy(bool calibrate, double scale);
