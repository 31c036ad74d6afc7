#pragma once

#include <string>

// Appends value in fixed notation with `precision` digits after the point, byte for byte as
// printf's "%.*f" prints it in the "C" locale (a negative precision means 6), whatever the
// process's locale.
void appendFixed(std::string& out, double value, int precision);

// Appends an int as printf's "%d" prints it.
void appendInt(std::string& out, int value);
