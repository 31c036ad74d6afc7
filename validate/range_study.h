#pragma once

// The study behind the default fit range: every candidate range fitted to the same tables of
// exact fractional Brownian surfaces (calibration seeds), its bias and root mean square error.
void printRangeStudy(double scale);
