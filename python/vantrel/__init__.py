"""Vantrel from Python: moving-average surfaces of 2-D data and the residual sums over a
progression of window areas, computed by the same engine as `vantrel-cli`.

    >>> import numpy as np, vantrel
    >>> data = np.random.default_rng(1).normal(size=(256, 256))
    >>> sums = vantrel.residuals(data, [4, 16, 64, 256])
    >>> analysis = vantrel.analyse(data.cumsum(axis=0).cumsum(axis=1))   # H, as `analyse`

`vantrel.dask` takes the same computation to arrays larger than memory and to many files.
"""

from __future__ import annotations

import math
import os
from typing import TYPE_CHECKING, Iterable, Literal, Optional, Sequence, Tuple, Union, overload

import numpy as np

from . import _arguments, _formats, _labelled, _precision, _vantrel
from ._analysis import Analysis
from ._multifractal import Multifractal
from ._warnings import CropWarning, FileNoteWarning, PrecisionWarning
from ._maps import HurstMap, directional, hurst_map
from . import _multifractal

if TYPE_CHECKING:  # only for the annotations: xarray is imported when a result needs it
    import xarray

__version__: str = _vantrel.__version__
__all__ = [
    "load",
    "residuals",
    "surface",
    "analyse",
    "Analysis",
    "multifractal",
    "Multifractal",
    "PrecisionWarning",
    "CropWarning",
    "FileNoteWarning",
    "hurst_map",
    "HurstMap",
    "directional",
    "__version__",
]

#: A file name: text, or the system's bytes (a name that is not valid text still opens).
PathLike = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]


@overload
def load(path: PathLike, *, format: Optional[str] = ..., band: int = ...,
         crop_valid: bool = ..., labelled: Literal[False] = ...) -> np.ndarray: ...
@overload
def load(path: PathLike, *, format: Optional[str] = ..., band: int = ...,
         crop_valid: bool = ..., labelled: Literal[True]) -> "xarray.DataArray": ...
@overload
def load(path: PathLike, *, format: Optional[str] = ..., band: int = ...,
         crop_valid: bool = ..., labelled: bool = ...) -> Union[np.ndarray, "xarray.DataArray"]: ...


def load(
    path: PathLike,
    *,
    format: Optional[str] = None,
    band: int = 1,
    crop_valid: bool = False,
    labelled: bool = False,
) -> Union[np.ndarray, "xarray.DataArray"]:
    """Read a data file into a 2-D float64 array, with the reader `vantrel-cli` would choose.

    Every format the command line reads: a text matrix (one row per line, values separated by
    white space, read by the same loader, so the values are the ones a run computes with), CSV,
    NumPy .npy, GSF, .gwy, X3P (ISO 25178-72) and the rasters GDAL opens (GeoTIFF, ...). `format`
    names the reader ("text", "csv", "npy", "gsf", "gwy", "x3p", "gdal"); None chooses it by the
    file's content, then by its name's ending, as the command line does. `band` picks a band of
    a multi-band raster, counted from 1. A file with missing values is refused unless `crop_valid` is True, which
    keeps the largest rectangle of cells without any and says which in a CropWarning. `path`
    may be text, bytes (any name the system allows, valid text or not) or a path object.

    `labelled=True` returns an xarray.DataArray (python3-xarray) with dims ("y", "x") placed as
    the file places its cells: a raster's cell centres in its own coordinates (its CRS in the
    attribute crs_wkt), or distances from the first cell by the pixel size a GSF, X3P or text
    header gives, or cell indices; the value and lateral units as attributes.

    Raises FileNotFoundError when the file does not exist, ValueError with the reader's message
    when the file is not a surface it can read (rows of different lengths, a value that is not
    a number, a band the raster lacks, missing values), OSError when it cannot be read, and
    MemoryError when the matrix does not fit in memory.
    """
    if isinstance(band, bool) or not isinstance(band, int):
        raise TypeError(f"band must be an integer, not {type(band).__name__}")
    values, grid = _formats.read_with_grid(
        os.fspath(path), format, band, _arguments.flag("crop_valid", crop_valid), threads=0
    )
    if _arguments.flag("labelled", labelled):
        name = os.path.basename(os.fsdecode(os.fspath(path)))
        return _labelled.grid_array(values, grid, name)
    return values


@overload
def residuals(data: "xarray.DataArray", areas: Union[int, Iterable[int]], *,
              shift: Tuple[float, float] = ..., method: str = ..., optimise: bool = ...,
              normalise: bool = ..., threads: Optional[int] = ...,
              crop_valid: bool = ...) -> "xarray.DataArray": ...
@overload
def residuals(data: _arguments.ArrayLike, areas: Union[int, Iterable[int]], *,
              shift: Tuple[float, float] = ..., method: str = ..., optimise: bool = ...,
              normalise: bool = ..., threads: Optional[int] = ...,
              crop_valid: bool = ...) -> np.ndarray: ...


def residuals(
    data: _arguments.DataLike,
    areas: Union[int, Iterable[int]],
    *,
    shift: Tuple[float, float] = (0.5, 0.5),
    method: str = "exact",
    optimise: bool = True,
    normalise: bool = False,
    threads: Optional[int] = None,
    crop_valid: bool = False,
) -> Union[np.ndarray, "xarray.DataArray"]:
    """The residual sum of each window area: the sum of squared differences between the data
    and its moving-average surface, as `vantrel-cli run` writes them to its results file.

    `data` is any 2-D array of real numbers; a C-contiguous float64 array (or a slice of whole
    rows and some columns of one) is used as it is, anything else is converted once. `areas` are the window areas in the order wanted (a window
    of area a has side floor(sqrt(a))). `shift` places the window around its cell, as fractions
    of the side along rows and columns. `method` "exact" gives the same doubles as the command
    line bit for bit (`optimise` chooses the sliding sums, as there); "fast" uses running sums,
    a constant cost per cell, within 1e-12 relative of the exact sums. `normalise` rescales a
    copy of the data to [-1, 1] first. `threads` defaults to one per core.

    Cells without a value (NaN, infinite, masked in a numpy.ma array) are refused with their
    count and the first of them; `crop_valid=True` computes over the largest rectangle without
    any instead, with a CropWarning naming it. When the exact sums lose digits to the data's
    mean (a mean far larger than the spread), a PrecisionWarning says how many and what avoids
    the loss, as the command line does.

    Returns a float64 array with one sum per area (empty for no areas); for an xarray.DataArray
    `data`, a DataArray along `area` with each area's window `side` beside it. Raises ValueError with
    the engine's message for an area below 1, a shift outside [0, 1], or a window whose side is
    not smaller than the data's rows and columns (its residual would hold no cell); TypeError
    for arguments of the wrong kind; MemoryError when the surface does not fit in memory; and
    KeyboardInterrupt within a fraction of a second of Ctrl-C.
    """
    fast = _arguments.method_is_fast(method)
    normalised = _arguments.flag("normalise", normalise)
    array = _arguments.matrix(data, crop_valid, surface=not fast or normalised)
    area_list = _arguments.areas(areas)
    n_shift, m_shift = _arguments.shift(shift)
    sums = _vantrel.residuals(
        array,
        area_list,
        n_shift,
        m_shift,
        fast=fast,
        optimise=_arguments.flag("optimise", optimise),
        normalise=normalised,
        threads=_arguments.threads(threads),
    )
    if not fast and not normalised and area_list.size:
        _precision.warn_lost_digits(
            array, math.isqrt(int(area_list.max())), 'method="fast" (centred sums) or normalise=True')
    if _labelled.is_data_array(data):
        sides = np.array([_vantrel.window_geometry(int(a), n_shift, m_shift)[0] for a in area_list])
        return _labelled.residuals_by_area(sums, area_list, sides)
    return sums


@overload
def surface(data: "xarray.DataArray", area: int, *, shift: Tuple[float, float] = ...,
            method: str = ..., optimise: bool = ..., threads: Optional[int] = ...,
            crop_valid: bool = ...) -> "xarray.DataArray": ...
@overload
def surface(data: _arguments.ArrayLike, area: int, *, shift: Tuple[float, float] = ...,
            method: str = ..., optimise: bool = ..., threads: Optional[int] = ...,
            crop_valid: bool = ...) -> np.ndarray: ...


def surface(
    data: _arguments.DataLike,
    area: int,
    *,
    shift: Tuple[float, float] = (0.5, 0.5),
    method: str = "exact",
    optimise: bool = True,
    threads: Optional[int] = None,
    crop_valid: bool = False,
) -> Union[np.ndarray, "xarray.DataArray"]:
    """The moving-average surface of one window area, the same shape as the data (as the
    rectangle kept, with `crop_valid`): every cell whose window lies wholly inside the data
    holds the mean under that window; every other cell is NaN, since no mean was computed there.
    The arguments are those of `residuals`; in exact mode the values are the ones the command
    line computes for its surface files (which print them with 20 digits after the point, and
    0 where this gives NaN). A window larger than the data raises ValueError. An
    xarray.DataArray `data` gives a DataArray with its dims, coordinates and attributes (those of
    the rectangle kept, with `crop_valid`).
    """
    array, origin = _arguments.located_matrix(data, crop_valid, surface=True)
    one_area = _arguments.area(area)
    fast = _arguments.method_is_fast(method)
    means = _vantrel.surface(
        array,
        one_area,
        *_arguments.shift(shift),
        fast=fast,
        optimise=_arguments.flag("optimise", optimise),
        threads=_arguments.threads(threads),
    )
    if not fast and one_area > 0:
        _precision.warn_lost_digits(array, math.isqrt(one_area), 'method="fast" (centred sums)')
    if _labelled.is_data_array(data):
        return _labelled.surface_like(data, means, one_area, origin)
    return means


def analyse(
    data: _arguments.DataLike,
    *,
    sides: Optional[Sequence[int]] = None,
    side_range: Optional[Tuple[int, int]] = None,
    method: str = "fast",
    shift: Tuple[float, float] = (0.5, 0.5),
    threads: Optional[int] = None,
    crop_valid: bool = False,
) -> Analysis:
    """The Hurst (roughness) exponent H of the surface with its 90% interval, the fractal
    dimension D = 3 - H and the per-side table: the same estimate, by the same code and with
    the same defaults, as `vantrel-cli analyse`.

    By default the sides are odd (windows centred at shifts of 0.5), spaced evenly in log s, and
    the fit range is chosen automatically. `sides` lists the sides to use instead, all fitted
    (`--sides S1,S2,...`); `side_range=(A, B)` takes odd sides from A to B in log steps, all
    fitted (`--sides A:B`). `method` is "fast" or "exact" (`--method`), `shift` the window
    shifts (`--shift`; not 0.5 gives a warning), `threads` defaults to one per core. Missing
    cells are refused, or cropped away with `crop_valid=True`, as in `residuals`.

    An xarray.DataArray `data` whose coordinates are evenly spaced gives the pixel size and
    units to the result (`pixel_size`, `unit`, `side_length`, `value_unit`), as a file's pixel
    size does on the command line; coordinates that are not evenly spaced are refused with
    ValueError, since their cells have no one size.

    Returns an `Analysis`; its `plot()` draws the log-log plot with matplotlib. Raises ValueError
    with the engine's words for a surface too small to analyse, sides of which none fits it, or
    a shift outside [0, 1] (sides that do not fit are left out with a warning, as on the
    command line); TypeError for arguments of the wrong kind.
    """
    if sides is not None and side_range is not None:
        raise ValueError("give sides or side_range, not both")
    side_list = [] if sides is None else _arguments.sides(sides)
    first, last = (0, 0) if side_range is None else _arguments.side_range(side_range)
    fast = _arguments.method_is_fast(method)
    grid = _labelled.pixel_grid(data) if _labelled.is_data_array(data) else None
    array = _arguments.matrix(data, crop_valid, surface=not fast)
    found = _vantrel.analyse(
        array,
        side_list,
        first,
        last,
        fast,
        *_arguments.shift(shift),
        _arguments.threads(threads),
    )
    if not fast and len(found["side"]):
        _precision.warn_lost_digits(array, int(np.max(found["side"])), 'method="fast"')
    return Analysis.from_engine(found, grid)


def multifractal(
    data: _arguments.DataLike,
    *,
    q: Optional[Sequence[float]] = None,
    measure: bool = False,
    sides: Optional[Sequence[int]] = None,
    side_range: Optional[Tuple[int, int]] = None,
    shift: Optional[Tuple[float, float]] = None,
    surrogates: int = 99,
    seed: int = 1,
    threads: Optional[int] = None,
) -> Multifractal:
    """The multifractal spectrum of the surface (or, with `measure=True`, of the measure: the
    profile is taken inside each window): h(q) with 90% intervals, tau(q), f(alpha) and the
    surrogate test of the width h(qmin) - h(qmax), by the same code and with the same defaults
    as `vantrel-cli multifractal`.

    `q` lists the moments (default -4 to 4 in steps of 0.5); `sides` or `side_range=(A, B)` the
    window sides (default odd sides from 9 to an eighth of the smaller dimension); `shift` the
    window shifts (default (0.5, 0.5) for a surface, (0, 0) for a measure); `surrogates` how many
    phase-randomised surrogates the test uses (0: no test), `seed` their phases.

    Returns a `Multifractal`; its `plot()` draws the three panels with matplotlib. Raises
    ValueError with the engine's words for data too small or holding missing values.
    """
    return _multifractal.analyse(
        data, q=q, measure=measure, sides=sides, side_range=side_range, shift=shift,
        surrogates=surrogates, seed=seed, threads=threads,
    )
