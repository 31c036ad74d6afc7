"""Checked by mypy, not run: what the annotations promise a type checker. A DataArray in gives a
DataArray out, an array an array, and `load(labelled=True)` a DataArray (ctest: python_typing)."""

from typing import Union, assert_type

import numpy as np
import xarray

import vantrel

array = np.zeros((8, 8))
labelled = xarray.DataArray(array, dims=("y", "x"))
choice: bool = bool(array.size)

assert_type(vantrel.surface(array, 9), np.ndarray)
assert_type(vantrel.surface(labelled, 9), xarray.DataArray)
assert_type(vantrel.residuals([[1.0, 2.0], [3.0, 4.0]], [1]), np.ndarray)
assert_type(vantrel.residuals(labelled, [9, 25]), xarray.DataArray)
assert_type(vantrel.load("m.txt"), np.ndarray)
assert_type(vantrel.load("m.txt", labelled=True), xarray.DataArray)
assert_type(vantrel.load("m.txt", labelled=choice), Union[np.ndarray, xarray.DataArray])
assert_type(vantrel.analyse(labelled).pixel_size, Union[tuple[float, float], None])
assert_type(vantrel.analyse(array).side_length, Union[np.ndarray, None])
assert_type(vantrel.multifractal(labelled), vantrel.Multifractal)
