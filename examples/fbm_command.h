#pragma once

// vantrel-make-surface --fbm --hurst H --size ROWS COLUMNS --seed S [--digits D] OUT: an exact
// fractional Brownian surface written as a text matrix. Returns the exit status.
int runFbmCommand(int argc, char** argv);
