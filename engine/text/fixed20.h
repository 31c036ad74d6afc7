#pragma once

// Writes value as printf's "%.20f" prints it in the "C" locale, the surface files' format, at
// `out` (room for 336 characters) and returns the end. Values from 2^-58 to 2^53 in magnitude,
// and zeros, are converted here with 128-bit integers: the 20 digits after the point are those of
// the exact binary value, the last rounded to nearest with ties to even as printf does; all
// others go to std::to_chars, which gives the same digits more slowly.
char* writeFixed20(char* out, double value);
