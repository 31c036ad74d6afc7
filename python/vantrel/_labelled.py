"""Labelled results with xarray, where it is installed (Debian python3-xarray): a DataArray in
gives a DataArray out with the same coordinates, and `load(..., labelled=True)` places a file's
cells by the pixel size or geotransform it records. xarray is imported only when asked for."""

from __future__ import annotations

import math
from typing import Any, Dict, NamedTuple, Optional, Tuple

import numpy as np

from . import _vantrel


class PixelGrid(NamedTuple):
    """A grid's pixel size, from a DataArray's coordinates: the spacing of columns (`width`) and
    of rows (`height`), both in `unit` (None where the coordinates name none), and the unit of
    the values (None where the DataArray names none)."""

    width: float
    height: float
    unit: Optional[str]
    value_unit: Optional[str]


def is_data_array(data: Any) -> bool:
    """True for an xarray.DataArray, without importing xarray for anything else."""
    kind = type(data)
    return kind.__name__ == "DataArray" and kind.__module__.startswith("xarray")


def _xarray():
    try:
        import xarray
    except ImportError as missing:
        raise ImportError("labelled results need xarray (python3-xarray)") from missing
    return xarray


def surface_like(data: Any, means: np.ndarray, area: int, origin: Tuple[int, int] = (0, 0)) -> Any:
    """The surface with the coordinates of `data`'s cells that it covers: all of them, or the
    rectangle from `origin` (row, column) that crop_valid kept."""
    top, left = origin
    kept = data[top:top + means.shape[0], left:left + means.shape[1]]
    return _xarray().DataArray(
        means, dims=data.dims, coords=kept.coords, name="surface",
        attrs={**data.attrs, "long_name": f"moving-average surface of window area {area}"})


def unit_text(text: Optional[str], values: bool = False) -> Optional[str]:
    """A unit as reports show it: a known length unit by its symbol ("um" is "µm", "metre" is
    "m"), any other as it is written. For `values`, "A" is the ampere and stays."""
    if not text:
        return None
    text = str(text)
    if values and text in ("A", "a"):
        return text
    known = _vantrel.length_unit(text)
    return text if known is None else known[0]


def pixel_grid(data: Any) -> Optional[PixelGrid]:
    """The pixel size of a 2-D DataArray from its dimensions' coordinates: each evenly spaced
    (a step of the same size and sign between neighbours, to a millionth of the step and the
    coordinates' rounding), their
    units from the coordinates' attrs["units"] (or the DataArray's attrs["lateral_unit"]), the
    values' from attrs["units"]. None where a dimension has no numeric coordinate or only one
    cell. Raises ValueError for coordinates that are not evenly spaced, or whose units differ
    and cannot be compared."""
    steps, units = [], []
    if data.ndim != 2:
        return None
    for dim in data.dims:
        if dim not in data.coords:
            return None
        axis = data.coords[dim]
        values = np.asarray(axis.values)
        if values.dtype.kind not in "iuf" or values.size < 2:
            return None
        wide = values.astype(np.float64)
        step = (wide[-1] - wide[0]) / (values.size - 1)
        gaps = np.diff(wide)
        # The coordinates' own rounding (float32 ones far from 0) is not unevenness.
        rounding = 4 * np.finfo(values.dtype).eps * np.abs(wide).max() \
            if values.dtype.kind == "f" else 0.0
        if step == 0 or not np.all(np.abs(gaps - step) <= 1e-6 * abs(step) + rounding):
            raise ValueError(
                f"the coordinate '{dim}' is not evenly spaced (steps from {gaps.min():g} to "
                f"{gaps.max():g}), so its cells have no one size; give data.values to analyse "
                "the cells as they are")
        steps.append(abs(step))
        units.append(axis.attrs.get("units") or data.attrs.get("lateral_unit"))
    height, width = steps
    height_unit, width_unit = units
    value_unit = unit_text(data.attrs.get("units"), values=True)
    if not height_unit or not width_unit or unit_text(height_unit) == unit_text(width_unit):
        return PixelGrid(width, height, unit_text(width_unit or height_unit), value_unit)
    known_height = _vantrel.length_unit(str(height_unit))
    known_width = _vantrel.length_unit(str(width_unit))
    if known_height is None or known_width is None:
        raise ValueError(
            f"the coordinates are in units that cannot be compared ('{data.dims[1]}' in "
            f"{width_unit}, '{data.dims[0]}' in {height_unit}), so the cells have no one size")
    power = known_height[1] - known_width[1]  # exact powers of ten: 5000 nm is 5 µm
    height = height * 10.0 ** power if power >= 0 else height / 10.0 ** -power
    return PixelGrid(width, height, known_width[0], value_unit)


def cell_length(grid: PixelGrid) -> float:
    """The length a window side of one cell is told in: the pixel width, or sqrt(width x
    height) for pixels that are not square."""
    return grid.width if grid.width == grid.height else math.sqrt(grid.width * grid.height)


def residuals_by_area(sums: np.ndarray, areas: np.ndarray, sides: np.ndarray) -> Any:
    """The residual sums along a dimension `area`, with each area's window side beside it."""
    return _xarray().DataArray(
        sums, dims=("area",), coords={"area": np.asarray(areas), "side": ("area", sides)},
        name="residual", attrs={"long_name": "residual sum"})


def grid_array(values: np.ndarray, grid: Dict[str, Any], name: Optional[str]) -> Any:
    """A loaded matrix placed as its file places it: dims ("y", "x"); with a geotransform, the
    cells' centres in the raster's coordinates (and its CRS as an attribute); with a pixel size,
    distances from the first cell's centre; else cell indices."""
    rows, columns = values.shape
    transform = grid.get("geotransform")
    attrs = {key: grid[key] for key in ("value_unit", "lateral_unit") if grid.get(key)}
    if grid.get("value_unit"):
        attrs["units"] = grid["value_unit"]
    if transform is not None and transform[2] == 0 and transform[4] == 0:
        x = transform[0] + (np.arange(columns) + 0.5) * transform[1]
        y = transform[3] + (np.arange(rows) + 0.5) * transform[5]
        if grid.get("crs"):
            attrs["crs_wkt"] = grid["crs"]
    elif grid.get("pixel_width", 0) > 0 and grid.get("pixel_height", 0) > 0:
        x = np.arange(columns) * grid["pixel_width"]
        y = np.arange(rows) * grid["pixel_height"]
    else:
        x, y = np.arange(columns), np.arange(rows)
    coords = {"y": ("y", y), "x": ("x", x)}
    array = _xarray().DataArray(values, dims=("y", "x"), coords=coords, name=name, attrs=attrs)
    if grid.get("lateral_unit"):
        for axis in ("x", "y"):
            array[axis].attrs["units"] = grid["lateral_unit"]
    return array
