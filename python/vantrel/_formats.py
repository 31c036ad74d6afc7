"""Reading a data file with the reader the command line would choose for it."""

from __future__ import annotations

import errno
import os
import warnings
from typing import Any, Dict, Optional, Tuple, Union

import numpy as np

from . import _vantrel
from ._warnings import CropWarning, FileNoteWarning

#: The names `format` takes; None chooses by the file's content, then by its name's ending.
FORMATS = ("text", "csv", "npy", "gsf", "gwy", "x3p", "gdal")


def read(
    path: Union[str, bytes], fmt: Optional[str], band: int, crop_valid: bool, threads: int
) -> np.ndarray:
    """The matrix in the file at `path` (text or the system's bytes). What the reader says of a
    file it read comes as a warning: the rectangle `crop_valid` kept as a CropWarning, any other
    note (cells not square on the ground, a checksum) as a FileNoteWarning."""
    return read_with_grid(path, fmt, band, crop_valid, threads)[0]


def read_with_grid(
    path: Union[str, bytes], fmt: Optional[str], band: int, crop_valid: bool, threads: int
) -> Tuple[np.ndarray, Dict[str, Any]]:
    """The matrix and what the file says of its grid: pixel_width, pixel_height (0 when it says
    nothing), lateral_unit, value_unit, geotransform (GDAL's six coefficients, or None), crs."""
    if not os.path.exists(path):
        raise FileNotFoundError(errno.ENOENT, os.strerror(errno.ENOENT), path)
    if os.path.isdir(path):
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), path)
    if fmt is not None and not isinstance(fmt, str):
        raise TypeError(f"format must be a string or None, not {type(fmt).__name__}")
    matrix, said, grid = _vantrel.load_surface(
        os.fsencode(path), "" if fmt is None else fmt.lower(), band, crop_valid, threads
    )
    for note in said.splitlines():
        # The crop's own note names the rectangle kept; every other note is about the file.
        kind = CropWarning if "; kept rows " in note else FileNoteWarning
        warnings.warn(note, kind, stacklevel=4)
    return matrix, grid
