"""Vantrel from Python: moving-average surfaces of 2-D data and the residual sums over a
progression of window areas, computed by the same engine as `vantrel-cli`.

    >>> import numpy as np, vantrel
    >>> data = np.random.default_rng(1).normal(size=(256, 256))
    >>> sums = vantrel.residuals(data, [4, 16, 64, 256])

`vantrel.dask` takes the same computation to arrays larger than memory and to many files.
"""

from __future__ import annotations

import os
from typing import Iterable, Optional, Tuple, Union

import numpy as np

from . import _arguments, _formats, _vantrel

__version__: str = _vantrel.__version__
__all__ = ["load", "residuals", "surface", "__version__"]

PathLike = Union[str, "os.PathLike[str]"]


def load(
    path: PathLike, *, format: Optional[str] = None, band: int = 1, crop_valid: bool = False
) -> np.ndarray:
    """Read a data file into a 2-D float64 array.

    A text matrix (one row per line, values separated by white space) is read by the same
    loader as `vantrel-cli`, so the values are the ones a run computes with. `format` names the
    reader ("text", the default, reads the file as the command line does); `band` picks a band
    of a multi-band raster and `crop_valid` crops a raster to its valid cells (a text matrix has
    one band and no missing values). This build reads text matrices only.

    Raises FileNotFoundError when the file does not exist, ValueError with the loader's message
    when the file is not a matrix (rows of different lengths, a value that is not a number),
    OSError when it cannot be read, and MemoryError when the matrix does not fit in memory.
    """
    text_path = os.fspath(path)
    if isinstance(text_path, bytes):
        text_path = os.fsdecode(text_path)
    if isinstance(band, bool) or not isinstance(band, int):
        raise TypeError(f"band must be an integer, not {type(band).__name__}")
    return _formats.read(
        text_path, format, band, _arguments.flag("crop_valid", crop_valid), threads=0
    )


def residuals(
    data: _arguments.ArrayLike,
    areas: Union[int, Iterable[int]],
    *,
    shift: Tuple[float, float] = (0.5, 0.5),
    method: str = "exact",
    optimise: bool = True,
    normalise: bool = False,
    threads: Optional[int] = None,
) -> np.ndarray:
    """The residual sum of each window area: the sum of squared differences between the data
    and its moving-average surface, as `vantrel-cli run` writes them to its results file.

    `data` is any 2-D array of real numbers; a C-contiguous float64 array (or a slice of whole
    rows and some columns of one) is used as it is, anything else is converted once. `areas` are the window areas in the order wanted (a window
    of area a has side floor(sqrt(a))). `shift` places the window around its cell, as fractions
    of the side along rows and columns. `method` "exact" gives the same doubles as the command
    line bit for bit (`optimise` chooses the sliding sums, as there); "fast" uses running sums,
    a constant cost per cell, within 1e-12 relative of the exact sums. `normalise` rescales a
    copy of the data to [-1, 1] first. `threads` defaults to one per core.

    Returns a float64 array with one sum per area. Raises ValueError with the engine's message
    for an area below 1 or a shift outside [0, 1], TypeError for arguments of the wrong kind,
    MemoryError when the surface does not fit in memory, and KeyboardInterrupt between areas
    on Ctrl-C.
    """
    return _vantrel.residuals(
        _arguments.matrix(data),
        _arguments.areas(areas),
        *_arguments.shift(shift),
        fast=_arguments.method_is_fast(method),
        optimise=_arguments.flag("optimise", optimise),
        normalise=_arguments.flag("normalise", normalise),
        threads=_arguments.threads(threads),
    )


def surface(
    data: _arguments.ArrayLike,
    area: int,
    *,
    shift: Tuple[float, float] = (0.5, 0.5),
    method: str = "exact",
    optimise: bool = True,
    threads: Optional[int] = None,
) -> np.ndarray:
    """The moving-average surface of one window area, the same shape as the data: every cell
    whose window lies wholly inside the data holds the mean under that window, every other cell
    0. The arguments are those of `residuals`; in exact mode the values are the ones the command
    line computes for its surface files (which print them with 20 digits after the point).
    """
    return _vantrel.surface(
        _arguments.matrix(data),
        _arguments.area(area),
        *_arguments.shift(shift),
        fast=_arguments.method_is_fast(method),
        optimise=_arguments.flag("optimise", optimise),
        threads=_arguments.threads(threads),
    )
