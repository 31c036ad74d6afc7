#pragma once

#include <pybind11/pybind11.h>

// Adds `multifractal` to the module.
void addMultifractal(pybind11::module_& m);
