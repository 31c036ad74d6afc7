"""Labelled results with xarray, where it is installed (Debian python3-xarray): a DataArray in
gives a DataArray out with the same coordinates, and `load(..., labelled=True)` places a file's
cells by the pixel size or geotransform it records. xarray is imported only when asked for."""

from __future__ import annotations

from typing import Any, Dict, Optional

import numpy as np


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


def surface_like(data: Any, means: np.ndarray, area: int) -> Any:
    """The surface with the coordinates of `data`, when it kept its shape (nothing cropped)."""
    if means.shape != data.shape:
        return means
    return _xarray().DataArray(
        means, dims=data.dims, coords=data.coords, name="surface",
        attrs={**data.attrs, "long_name": f"moving-average surface of window area {area}"})


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
