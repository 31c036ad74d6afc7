"""Cells without a value in the arrays handed to Vantrel: NaN, infinite and masked cells are
refused with their count and the first of them, or (`crop_valid=True`) cropped to the largest
rectangle without any, as `vantrel.load` does with a file's missing values. A residual over a
window holding such a cell would be meaningless, and no window may silently skip one."""

from __future__ import annotations

import warnings
from typing import Optional, Tuple

import numpy as np

from . import _vantrel
from ._warnings import CropWarning

#: Cells examined at once, so that the check holds a bounded amount of memory on top of the data.
BLOCK_CELLS = 1 << 20


def kept_rectangle(
    array: np.ndarray, mask: Optional[np.ndarray], crop_valid: bool
) -> Tuple[int, int, int, int]:
    """(top, left, rows, columns) of what is kept of `array`: all of it when every cell holds a
    value; else, with `crop_valid`, the largest rectangle without missing cells (and a
    CropWarning saying which); else ValueError."""
    with np.errstate(invalid="ignore", over="ignore"):
        total = np.add.reduce(array, axis=None)
    whole = (0, 0) + array.shape
    if mask is None and np.isfinite(total):
        return whole  # a NaN or an infinity would have made the sum one
    count, first = _count_missing(array, mask)
    if count == 0:
        return whole
    counted = f"{count} of {array.size} cells hold no value (NaN, infinite or masked)"
    if not crop_valid:
        raise ValueError(
            f"data: {counted}; the first is data[{first[0]}, {first[1]}]"
            "; crop_valid=True keeps the largest rectangle without them")
    top, left, kept_rows, kept_columns = _vantrel.valid_rectangle(_marked(array, mask))
    if kept_rows * kept_columns == 0:
        raise ValueError(f"data: {counted}: there is nothing to keep")
    warnings.warn(
        f"data: {counted}; kept data[{top}:{top + kept_rows}, {left}:{left + kept_columns}], "
        f"the largest rectangle without them ({kept_rows} x {kept_columns})",
        CropWarning, stacklevel=5)
    return top, left, kept_rows, kept_columns


def _row_blocks(array: np.ndarray):
    rows, columns = array.shape
    step = max(1, BLOCK_CELLS // max(1, columns))
    for start in range(0, rows, step):
        yield start, min(rows, start + step)


def _missing_in(array: np.ndarray, mask: Optional[np.ndarray], start: int, end: int) -> np.ndarray:
    missing = ~np.isfinite(array[start:end])
    if mask is not None:
        missing |= mask[start:end]
    return missing


def _count_missing(array: np.ndarray, mask: Optional[np.ndarray]) -> Tuple[int, Tuple[int, int]]:
    """How many cells are missing, and the first in row order as (row, column)."""
    count, first = 0, (-1, -1)
    for start, end in _row_blocks(array):
        missing = _missing_in(array, mask, start, end)
        found = int(np.count_nonzero(missing))
        if found and count == 0:
            row, column = np.unravel_index(int(np.argmax(missing)), missing.shape)
            first = (start + int(row), int(column))
        count += found
    return count, first


def _marked(array: np.ndarray, mask: Optional[np.ndarray]) -> np.ndarray:
    """NaN where a cell is missing, 0 elsewhere: what the engine's rectangle search reads."""
    marked = np.zeros(array.shape)
    for start, end in _row_blocks(array):
        marked[start:end][_missing_in(array, mask, start, end)] = np.nan
    return marked
