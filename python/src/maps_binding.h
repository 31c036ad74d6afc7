#pragma once

#include <pybind11/pybind11.h>

// Adds `hurst_map`, `map_plan` and `directional` to the module.
void addMaps(pybind11::module_& m);
