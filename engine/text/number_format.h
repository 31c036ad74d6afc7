#pragma once

#include <string>

// Appends value in fixed notation with `precision` digits after the point, byte for byte as
// printf's "%.*f" prints it in the "C" locale (a negative precision means 6), whatever the
// process's locale.
void appendFixed(std::string& out, double value, int precision);

// The shortest text that reads back as the same double ("0.5", "1e+300", "nan").
std::string shortestText(double value);

// Appends an int as printf's "%d" prints it.
void appendInt(std::string& out, int value);
