"""Which reader takes a data file. The text matrix is read by the engine's own loader; every other
format goes through `read_other_format`, the one place where the raster readers join."""

from __future__ import annotations

import errno
import os
from typing import Optional

import numpy as np

from . import _vantrel

TEXT = "text"


def format_of(requested: Optional[str]) -> str:
    """The format named by the caller; without one, a text matrix, as the command line reads
    every file."""
    if requested is None:
        return TEXT
    if not isinstance(requested, str):
        raise TypeError(f"format must be a string or None, not {type(requested).__name__}")
    return requested.lower()


def read(path: str, fmt: Optional[str], band: int, crop_valid: bool, threads: int) -> np.ndarray:
    """The matrix in the file at `path`."""
    if not os.path.exists(path):
        raise FileNotFoundError(errno.ENOENT, os.strerror(errno.ENOENT), path)
    if os.path.isdir(path):
        raise IsADirectoryError(errno.EISDIR, os.strerror(errno.EISDIR), path)
    name = format_of(fmt)
    if name == TEXT:
        if band != 1:
            raise ValueError(f"band {band}: a text matrix has one band")
        # A text matrix has no missing values, so there is nothing for crop_valid to crop.
        return _vantrel.load_text(path, threads)
    return read_other_format(path, name, band, crop_valid)


def read_other_format(path: str, name: str, band: int, crop_valid: bool) -> np.ndarray:
    """Rasters and other formats than the text matrix: this build reads none of them yet."""
    raise ValueError(f"The format '{name}' of {path} cannot be read: only text matrices can")
