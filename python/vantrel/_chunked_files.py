"""Data files read a window at a time, for `vantrel.dask.from_file`: each reader has a shape and
a dtype and returns any rectangle of the file as a float64 array, reading only that rectangle
(.npy, rasters) or those rows (text), so that a Dask task holds its own block and nothing more.
The readers hold only the file's name and what its header says, so that they travel to the
workers of a cluster as a few bytes."""

from __future__ import annotations

import os
from typing import Optional, Tuple, Union

import numpy as np

#: C's white space in the "C" locale, which separates the values of a text matrix.
_SPACE = np.frombuffer(b" \t\n\v\f\r", dtype=np.uint8)
#: Bytes read at once while the text reader finds where its rows start.
_SCAN_BYTES = 1 << 24


def _window(index, shape: Tuple[int, int]) -> Tuple[slice, slice]:
    """Dask's block index as two slices of unit step within the shape."""
    if not isinstance(index, tuple):
        index = (index,)
    index = index + (slice(None),) * (2 - len(index))
    windows = []
    for part, size in zip(index, shape):
        start, stop, step = part.indices(size)
        if step != 1:
            raise IndexError("file windows are read with unit steps only")
        windows.append(slice(start, max(start, stop)))
    return windows[0], windows[1]


class NpyWindows:
    """A .npy file, each window read through a memory map that is dropped at once: a map kept
    open would leave the pages it touched counted against the worker's memory."""

    ndim = 2
    dtype = np.dtype(np.float64)

    def __init__(self, path: str):
        self.path = path
        header = np.load(path, mmap_mode="r")
        if header.ndim != 2:
            raise ValueError(f"{path}: holds a {header.ndim}-D array, not a 2-D surface")
        if header.dtype.kind not in "iuf":
            raise ValueError(f"{path}: holds {header.dtype} values, not real numbers")
        self.shape = tuple(int(n) for n in header.shape)

    def __getitem__(self, index) -> np.ndarray:
        rows, columns = _window(index, self.shape)
        mapped = np.load(self.path, mmap_mode="r")
        return np.array(mapped[rows, columns], dtype=np.float64)


class RasterWindows:
    """A band of a raster that GDAL opens, each window read by GDAL itself (GeoTIFF tiles and
    strips are decoded for the window only). The band's nodata cells become NaN, and packed
    codes become values as GDAL defines them: code x scale + offset."""

    ndim = 2
    dtype = np.dtype(np.float64)

    def __init__(self, path: str, band: int):
        self.path, self.band = path, band
        dataset = self._open()
        if not 1 <= band <= dataset.RasterCount:
            raise ValueError(f"{path}: has {dataset.RasterCount} bands, not a band {band}")
        self.shape = (int(dataset.RasterYSize), int(dataset.RasterXSize))

    def _open(self):
        try:
            from osgeo import gdal
        except ImportError as missing:
            raise ImportError("reading rasters by windows needs GDAL's Python module "
                              "(Debian python3-gdal)") from missing
        gdal.UseExceptions()
        return gdal.Open(self.path)

    def __getitem__(self, index) -> np.ndarray:
        rows, columns = _window(index, self.shape)
        height, width = rows.stop - rows.start, columns.stop - columns.start
        if height == 0 or width == 0:
            return np.zeros((height, width))
        dataset = self._open()  # held while the band is read: the band does not keep it alive
        band = dataset.GetRasterBand(self.band)
        values = band.ReadAsArray(columns.start, rows.start, width, height).astype(np.float64)
        nodata = band.GetNoDataValue()
        if nodata is not None and not np.isnan(nodata):
            values[values == nodata] = np.nan
        scale, offset = band.GetScale(), band.GetOffset()
        if scale not in (None, 1.0) or offset not in (None, 0.0):
            values = values * (1.0 if scale is None else scale) + (offset or 0.0)
        return values


class TextRowWindows:
    """A text matrix (values separated by white space, one row per line, lines without a value
    skipped, as the command line's loader reads it). One pass at the start finds where each row
    begins, 8 bytes per row; a window then reads the bytes of its rows and no others. Values are
    read as correctly rounded decimals, the doubles the loader gives."""

    ndim = 2
    dtype = np.dtype(np.float64)

    def __init__(self, path: str):
        self.path = path
        self.starts, self.end = _row_starts(path)
        if len(self.starts) == 0:
            raise ValueError(f"{path}: holds no values")
        with open(path, "rb") as file:
            file.seek(int(self.starts[0]))
            first = file.readline()
        self.shape = (len(self.starts), len(first.split()))

    def __getitem__(self, index) -> np.ndarray:
        rows, columns = _window(index, self.shape)
        count = rows.stop - rows.start
        if count == 0:
            return np.zeros((0, columns.stop - columns.start))
        begin = int(self.starts[rows.start])
        end = int(self.starts[rows.stop]) if rows.stop < len(self.starts) else self.end
        with open(self.path, "rb") as file:
            file.seek(begin)
            text = file.read(end - begin)
        values = np.array(text.split(), dtype=np.float64)
        width = self.shape[1]
        if values.size != count * width:
            raise ValueError(
                f"{self.path}: rows {rows.start + 1} to {rows.stop} hold {values.size} values, "
                f"not {count} rows of {width} (the file changed, or its rows differ in length)")
        return values.reshape(count, width)[:, columns]


def _row_starts(path: str) -> Tuple[np.ndarray, int]:
    """The byte offset of each line that holds a value, and the file's length."""
    starts = []
    position = 0  # of the block in the file
    line_start, line_has_value = 0, False
    with open(path, "rb") as file:
        while True:
            block = file.read(_SCAN_BYTES)
            if not block:
                break
            codes = np.frombuffer(block, dtype=np.uint8)
            feeds = np.flatnonzero(codes == 10)
            values = np.concatenate(([0], np.cumsum(~np.isin(codes, _SPACE))))
            # The block's lines: the one carried in, those after each line feed.
            begins = np.concatenate(([0], feeds + 1))
            ends = np.concatenate((feeds, [codes.size]))
            has_value = values[ends] - values[begins] > 0
            has_value[0] |= line_has_value
            line_starts = begins + position
            line_starts[0] = line_start
            starts.append(line_starts[:-1][has_value[:-1]])
            line_start, line_has_value = int(line_starts[-1]), bool(has_value[-1])
            position += codes.size
    if line_has_value:
        starts.append(np.array([line_start]))
    joined = np.concatenate(starts) if starts else np.zeros(0)
    return joined.astype(np.int64), position


#: Raster endings GDAL reads without a signature this module knows.
RASTER_ENDINGS = (".tif", ".tiff", ".vrt", ".img", ".asc", ".dem", ".bil", ".nc", ".hgt")


def windows_of(path: Union[str, bytes, "os.PathLike[str]"], fmt: Optional[str], band: int):
    """The reader for the file: by `fmt` ("npy", "gdal", "text") or by its content and name."""
    name = os.fsdecode(os.fspath(path))
    if not os.path.exists(name):
        raise FileNotFoundError(2, os.strerror(2), name)
    if fmt is None:
        with open(name, "rb") as file:
            head = file.read(8)
        if head.startswith(b"\x93NUMPY"):
            fmt = "npy"
        elif head[:4] in (b"II*\0", b"MM\0*", b"II+\0", b"MM\0+") or name.lower().endswith(
                RASTER_ENDINGS):
            fmt = "gdal"
        elif name.lower().endswith((".csv", ".gsf", ".gwy", ".x3p")) or head[:4] in (
                b"GWYP", b"PK\x03\x04"):
            # Containers (and zip archives such as X3P) are not text: read as text they would
            # fail, or worse, give numbers.
            raise ValueError(f"{name}: CSV, GSF, .gwy and X3P files are read whole: use "
                             "vantrel.load and dask.array.from_array")
        else:
            fmt = "text"
    if fmt == "npy":
        return NpyWindows(name)
    if fmt == "gdal":
        return RasterWindows(name, band)
    if fmt == "text":
        return TextRowWindows(name)
    raise ValueError(f"format: '{fmt}' is none of text, npy and gdal")
