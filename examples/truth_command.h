#pragma once

// vantrel-make-surface --mosaic --size ROWS COLUMNS --seed S [--hurst H1 H2 H3 H4] OUT: four
// exact fractional Brownian quadrants (default exponents 0.2, 0.4, 0.6, 0.8 from above left to
// below right, row by row).
// vantrel-make-surface --sheet --hurst HC HR --size ROWS COLUMNS --seed S OUT: the fractional
// Brownian sheet, columns with exponent HC and rows with HR.
// Both write a text matrix; the answer each surface's maps and directional exponents must give
// is known in closed form. Return the exit status.
int runTruthCommand(int argc, char** argv);
