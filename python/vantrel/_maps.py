"""Roughness maps: the Hurst exponent of every tile of a surface, and the exponents along its
rows and its columns. The engine is the one `vantrel-cli map` and `analyse --directional` use."""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import Any, Dict, List, Optional, Tuple

import numpy as np

from . import _arguments, _vantrel

# The flag bits of a tile, as `vantrel-cli map --help` lists them.
FLAGS = {
    1: "the log-log line is curved",
    2: "H outside 0.15 to 0.85 (the calibrated 0.2 to 0.8 and a margin)",
    4: "fewer than half the cells, or fewer than 3 sides",
    8: "the tile or its halo holds missing values",
    16: "flat: every residual is 0",
}


@dataclass
class HurstMap:
    """The map: arrays of tile rows x tile columns, tile (a, b) covering rows a*stride ...
    a*stride + tile - 1 and the same columns, its value placed at its centre (`y`, `x`, in cells
    of the surface from its top left corner, or in the DataArray's coordinates). Not-a-number
    where a tile has no value. With `directional=True`, `rows` and `columns` hold the maps of
    the exponents along rows and along columns, each a dict of the same arrays."""

    hurst: np.ndarray
    low: np.ndarray
    high: np.ndarray
    cells: np.ndarray
    flags: np.ndarray
    tile: int
    stride: int
    sides: List[int]
    halo: int
    y: np.ndarray
    x: np.ndarray
    rows: Optional[Dict[str, np.ndarray]] = None
    columns: Optional[Dict[str, np.ndarray]] = None
    dataset: Any = field(default=None, repr=False)

    @property
    def dimension(self) -> np.ndarray:
        """D = 3 - H."""
        return 3.0 - self.hurst

    def to_xarray(self, y_name: str = "y", x_name: str = "x"):
        """An xarray.Dataset with H, H_low, H_high, D, cells, flags (and the directional maps)
        on the tile centres' coordinates."""
        import xarray as xr

        dims = (y_name, x_name)
        variables = {
            "H": (dims, self.hurst), "H_low": (dims, self.low), "H_high": (dims, self.high),
            "D": (dims, self.dimension), "cells": (dims, self.cells), "flags": (dims, self.flags),
        }
        for name, part in (("rows", self.rows), ("columns", self.columns)):
            if part is not None:
                variables[f"H_{name}"] = (dims, part["hurst"])
                variables[f"H_{name}_low"] = (dims, part["low"])
                variables[f"H_{name}_high"] = (dims, part["high"])
                variables[f"flags_{name}"] = (dims, part["flags"])
        return xr.Dataset(
            variables, coords={y_name: self.y, x_name: self.x},
            attrs={"tile": self.tile, "stride": self.stride, "sides": list(self.sides),
                   "halo": self.halo},
        )

    def plot(self, ax=None, *, which: str = "hurst"):
        """Draws the map with matplotlib on `ax` (a new figure's when None): H on a fixed scale
        from 0 to 1, flagged tiles hatched. `which` is "hurst", "rows" or "columns". Returns the
        axes."""
        import matplotlib.pyplot as plt
        from matplotlib.patches import Rectangle

        values = {"hurst": self.hurst}.get(which)
        flags = self.flags
        if which in ("rows", "columns"):
            part = getattr(self, which)
            if part is None:
                raise ValueError(f"the map has no '{which}' exponents: use directional=True")
            values, flags = part["hurst"], part["flags"]
        if values is None:
            raise ValueError(f"which: '{which}' is none of hurst, rows and columns")
        if ax is None:
            _, ax = plt.subplots()
        dy = self.y[1] - self.y[0] if len(self.y) > 1 else self.stride
        dx = self.x[1] - self.x[0] if len(self.x) > 1 else self.stride
        extent = (self.x[0] - dx / 2, self.x[-1] + dx / 2, self.y[-1] + dy / 2, self.y[0] - dy / 2)
        image = ax.imshow(values, vmin=0.0, vmax=1.0, cmap="viridis", extent=extent,
                          interpolation="nearest")
        for a, b in zip(*np.nonzero(flags)):
            ax.add_patch(Rectangle((self.x[b] - dx / 2, self.y[a] - dy / 2), dx, dy, fill=False,
                                   hatch="////", linewidth=0))
        ax.figure.colorbar(image, ax=ax, label="H" if which == "hurst" else f"H along {which}")
        ax.set_title(f"tiles {self.tile} every {self.stride} cells; hatched: flagged")
        return ax


def plan(shape: Tuple[int, int], tile: int, stride: Optional[int],
         side_range: Optional[Tuple[int, int]]) -> Tuple[int, int, Dict[str, Any]]:
    """The stride and sides the engine takes, and its plan for a surface of `shape`."""
    for name, value in (("tile", tile), ("stride", stride)):
        if value is not None and (isinstance(value, bool) or not isinstance(value, (int, np.integer))):
            raise TypeError(f"{name} must be an integer, not {type(value).__name__}")
    tile = int(tile)
    stride = max(1, tile // 2) if stride is None else int(stride)
    first, last = (0, 0) if side_range is None else (int(side_range[0]), int(side_range[1]))
    found = _vantrel.map_plan(int(shape[0]), int(shape[1]), tile, stride, first, last)
    return tile, stride, found


def from_engine(found: Dict[str, Any], tile: int, stride: int, shape: Tuple[int, int],
                coords: Optional[Tuple[np.ndarray, np.ndarray]] = None) -> HurstMap:
    square = found["square"]
    tile_rows, tile_columns = square["hurst"].shape
    centre_rows = np.arange(tile_rows) * stride + tile / 2.0
    centre_columns = np.arange(tile_columns) * stride + tile / 2.0
    y, x = centre_rows, centre_columns
    if coords is not None:
        # Coordinates label the cells' centres: the tile's centre lies half a cell before the
        # cell at index (start + tile / 2).
        y = _centre_coordinates(coords[0], centre_rows)
        x = _centre_coordinates(coords[1], centre_columns)
    return HurstMap(
        hurst=square["hurst"], low=square["low"], high=square["high"], cells=square["cells"],
        flags=square["flags"].astype(np.uint8), tile=tile, stride=stride,
        sides=list(found["sides"]), halo=int(found["halo"]), y=y, x=x,
        rows=found.get("rows"), columns=found.get("columns"),
    )


def _centre_coordinates(axis: np.ndarray, centres: np.ndarray) -> np.ndarray:
    axis = np.asarray(axis, dtype=float)
    index = np.arange(len(axis), dtype=float)
    # The cell whose centre is at position k + 0.5 from the edge carries coordinate axis[k].
    return np.interp(centres - 0.5, index, axis, left=np.nan, right=np.nan) if len(axis) > 1 \
        else centres


def hurst_map(data: Any, *, tile: int = 128, stride: Optional[int] = None,
              side_range: Optional[Tuple[int, int]] = None, directional: bool = False,
              threads: Optional[int] = None) -> Any:
    """The roughness map of `data`: the Hurst exponent of every `tile` x `tile` tile, tiles
    every `stride` cells (default half the tile), by the code of `vantrel-cli map`. `side_range`
    = (A, B) sets the window sides (default 5 to tile / 4); `directional` adds the maps of the
    exponents along rows and along columns. Missing values (NaN) leave the tiles they reach
    empty and flagged.

    Returns a `HurstMap` (arrays, `.plot()`, `.to_xarray()`); given an xarray.DataArray, the
    map as an xarray.Dataset on the DataArray's coordinates (each value at its tile's centre).
    Raises ValueError with the engine's words for a tile or stride that does not fit.
    """
    coords = None
    names = ("y", "x")
    try:
        import xarray as xr
    except ImportError:
        xr = None
    is_data_array = xr is not None and isinstance(data, xr.DataArray)
    if is_data_array:
        if data.ndim != 2:
            raise ValueError(f"data must be a 2-D array, not {data.ndim}-D")
        names = tuple(str(d) for d in data.dims)
        coords = tuple(np.asarray(data[d].values) if d in data.coords else
                       np.arange(data.sizes[d], dtype=float) for d in data.dims)
        data = data.values
    array = np.ascontiguousarray(np.asarray(data, dtype=np.float64))
    if array.ndim != 2:
        raise ValueError(f"data must be a 2-D array, not {array.ndim}-D")
    tile, stride, _ = plan(array.shape, tile, stride, side_range)
    first, last = (0, 0) if side_range is None else (int(side_range[0]), int(side_range[1]))
    found = _vantrel.hurst_map(array, tile, stride, first, last, bool(directional),
                               _arguments.threads(threads))
    result = from_engine(found, tile, stride, array.shape, coords)
    if is_data_array:
        return result.to_xarray(*names)
    return result


def directional(data: Any, *, sides: Optional[List[int]] = None,
                side_range: Optional[Tuple[int, int]] = None,
                threads: Optional[int] = None) -> Dict[str, Any]:
    """The exponents along rows and along columns and their difference (rows less columns), as
    `vantrel-cli analyse --directional` gives them: a dict with hurst_rows, hurst_columns and
    anisotropy, each (value, low, high) with the 90% interval or None, and warnings."""
    array = np.ascontiguousarray(np.asarray(data, dtype=np.float64))
    first, last = (0, 0) if side_range is None else (int(side_range[0]), int(side_range[1]))
    return _vantrel.directional(array, [int(s) for s in (sides or [])], first, last,
                                _arguments.threads(threads))
