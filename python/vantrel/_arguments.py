"""Checks and conversions shared by the public functions: every argument reaches the engine in
the one form it takes, or the caller learns at once what is wrong with it."""

from __future__ import annotations

import numbers
import os
from typing import TYPE_CHECKING, Iterable, List, Optional, Sequence, Tuple, Union

import numpy as np

from . import _missing, _vantrel

if TYPE_CHECKING:  # only for the annotations: xarray is imported when a result needs it
    import xarray

ArrayLike = Union[np.ndarray, Sequence[Sequence[float]]]
#: What the public functions take as data: any 2-D array of real numbers, a DataArray included.
DataLike = Union[ArrayLike, "xarray.DataArray"]

METHODS = ("exact", "fast")
MOST_THREADS = 1024


def matrix(data: DataLike, crop_valid: bool = False, surface: bool = False) -> np.ndarray:
    """The data as a 2-D float64 array whose rows are each contiguous: the array itself when it
    is one already (C order, or a slice of whole rows and some columns of one), otherwise one
    converted C-contiguous copy. Missing cells (NaN, infinite, or masked in a masked array) are
    refused, or cropped away with `crop_valid` (_missing.py). With `surface` (the call keeps a
    surface of the data's size), a surface too large for memory is refused first, before the
    data are read through."""
    return _kept_matrix(data, crop_valid, surface)[0]


def located_matrix(
    data: DataLike, crop_valid: bool = False, surface: bool = False
) -> Tuple[np.ndarray, Tuple[int, int]]:
    """`matrix`, and the (row, column) of the data where its first cell lies: (0, 0) unless
    `crop_valid` cropped it."""
    return _kept_matrix(data, crop_valid, surface)


def _kept_matrix(
    data: DataLike, crop_valid: bool, surface: bool
) -> Tuple[np.ndarray, Tuple[int, int]]:
    crop_valid = flag("crop_valid", crop_valid)
    mask = None
    if np.ma.isMaskedArray(data):
        if np.ma.getmask(data) is not np.ma.nomask:
            mask = np.ma.getmaskarray(data)
        data = np.ma.getdata(data)
    if isinstance(data, (str, bytes, os.PathLike)):
        raise TypeError(f"data {os.fsdecode(data)!r} is a file name: read it with vantrel.load "
                        "first (vantrel.load(path, labelled=True) keeps its pixel size)")
    array = np.asarray(data)
    if array.dtype.kind not in "iuf":
        raise TypeError(f"data must hold real numbers, not {array.dtype}")
    if array.ndim != 2:
        raise ValueError(f"data must be a 2-D array, not {array.ndim}-D")
    rows, columns = array.shape
    if rows == 0 or columns == 0:
        raise ValueError(f"data is empty ({rows} x {columns}): there is nothing to compute")
    item = np.dtype(np.float64).itemsize
    rows_apart = rows <= 1 or array.strides[0] >= item * columns
    if not (array.dtype == np.float64 and array.dtype.isnative and rows_apart and (
        columns <= 1 or array.strides[1] == item
    )):
        array = np.ascontiguousarray(array, dtype=np.float64)
    if surface:
        _vantrel.check_surface_memory(rows, columns)
    top, left, kept_rows, kept_columns = _missing.kept_rectangle(array, mask, crop_valid)
    if (kept_rows, kept_columns) != (rows, columns):
        array = array[top:top + kept_rows, left:left + kept_columns]
    return array, (top, left)


def areas(values: Union[int, Iterable[int]]) -> np.ndarray:
    """Window areas as a 1-D array of 32-bit integers; a single area gives a list of one."""
    array = np.atleast_1d(np.asarray(values))
    if array.size == 0:
        return np.zeros(0, dtype=np.int32)  # no areas, no sums: an empty list is not a type error
    if array.dtype.kind not in "iu":
        raise TypeError(f"areas must be integers, not {array.dtype}")
    if array.ndim != 1:
        raise ValueError(f"areas must be a 1-D list, not {array.ndim}-D")
    info = np.iinfo(np.int32)
    if array.size and (array.min() < info.min or array.max() > info.max):
        raise ValueError("areas must lie within 32-bit integers")
    return np.ascontiguousarray(array, dtype=np.int32)


def area(value: int) -> int:
    """One window area as an int."""
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise TypeError(f"area must be an integer, not {type(value).__name__}")
    return int(value)


def sides(values: Iterable[int]) -> List[int]:
    """Window sides as a list of ints, each at least 1."""
    array = np.atleast_1d(np.asarray(values))
    if array.size == 0:
        raise ValueError("sides must be a non-empty 1-D list")
    if array.dtype.kind not in "iu":
        raise TypeError(f"sides must be integers, not {array.dtype}")
    if array.ndim != 1:
        raise ValueError("sides must be a non-empty 1-D list")
    if array.min() < 1 or array.max() > np.iinfo(np.int32).max:
        raise ValueError(f"sides: {int(array.min())} to {int(array.max())} are not all window sides")
    return [int(side) for side in array]


def side_range(value: Tuple[int, int]) -> Tuple[int, int]:
    """(first, last) of a range of sides, 1 <= first <= last."""
    first, last = sides(value) if len(value) == 2 else (0, 0)
    if not 1 <= first <= last:
        raise ValueError(f"side_range must be (A, B) with 1 <= A <= B, not {tuple(value)}")
    return first, last


def shift(value: Tuple[float, float]) -> Tuple[float, float]:
    """The (row, column) shift fractions as two floats; the engine checks their range."""
    try:
        n_shift, m_shift = value
    except (TypeError, ValueError):
        raise TypeError("shift must be a pair (row shift, column shift)") from None
    for part in (n_shift, m_shift):
        if isinstance(part, bool) or not isinstance(part, numbers.Real):
            raise TypeError(f"shift must hold two real numbers, not {type(part).__name__}")
    return float(n_shift), float(m_shift)


def method_is_fast(method: str) -> bool:
    """True for "fast", False for "exact"."""
    if not isinstance(method, str):
        raise TypeError(f"method must be a string, not {type(method).__name__}")
    if method not in METHODS:
        raise ValueError(f"method: '{method}' is neither exact nor fast")
    return method == "fast"


def threads(value: Optional[int]) -> int:
    """The engine's thread count: 0 (one per core) for None."""
    if value is None:
        return 0
    if isinstance(value, bool) or not isinstance(value, numbers.Integral):
        raise TypeError(f"threads must be an integer or None, not {type(value).__name__}")
    if not 1 <= value <= MOST_THREADS:
        raise ValueError(f"threads: {value} is not between 1 and {MOST_THREADS}")
    return int(value)


def flag(name: str, value: bool) -> bool:
    """A yes/no option; anything but a bool is refused so that a misplaced argument shows."""
    if not isinstance(value, (bool, np.bool_)):
        raise TypeError(f"{name} must be True or False, not {type(value).__name__}")
    return bool(value)
