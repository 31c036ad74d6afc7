"""vantrel.load's file names and its memory: any name the system allows, in any of Python's
forms, and nothing held after a load that failed for want of memory."""

import os
import pathlib
import subprocess
import sys
import warnings

import numpy as np
import pytest

import vantrel
from conftest import rough, write_x3p

DATA = rough(9, 7, 41)


class BytesPath:
    """An os.PathLike whose path is bytes."""

    def __init__(self, path: bytes):
        self.path = path

    def __fspath__(self) -> bytes:
        return self.path


# (how the name is handed over): each must load the same file, one whose name is not UTF-8
NAMES = {
    "bytes": lambda folder: folder + b"/\xff.npy",
    "text with the escaped byte": lambda folder: os.fsdecode(folder + b"/\xff.npy"),
    "os.PathLike of bytes": lambda folder: BytesPath(folder + b"/\xff.npy"),
    "pathlib": lambda folder: pathlib.Path(os.fsdecode(folder + b"/\xff.npy")),
}


@pytest.mark.parametrize("name", NAMES)
def test_a_name_that_is_not_utf8_loads(name, tmp_path):
    folder = os.fsencode(tmp_path)
    with open(folder + b"/\xff.npy", "wb") as file:
        np.save(file, DATA)
    assert vantrel.load(NAMES[name](folder)).tobytes() == DATA.tobytes()


def test_messages_about_such_a_name_keep_its_byte(tmp_path):
    folder = os.fsencode(tmp_path)
    with open(folder + b"/\xff.txt", "wb") as file:
        file.write(b"1 2\n3\n")
    with pytest.raises(ValueError, match="The number of columns of row 2 is wrong"):
        vantrel.load(folder + b"/\xff.txt")
    with open(folder + b"/\xff.csv", "wb") as file:
        file.write(b"1,2\n3,x\n")
    with pytest.raises(ValueError) as raised:
        vantrel.load(folder + b"/\xff.csv")
    assert os.fsdecode(folder + b"/\xff.csv") in str(raised.value)
    with pytest.raises(FileNotFoundError):
        vantrel.load(folder + b"/\xfe.npy")


def test_an_x3p_surface_loads_and_analyses_as_its_npy_does(tmp_path):
    surface = rough(60, 50, 43)
    np.save(tmp_path / "s.npy", surface)
    write_x3p(tmp_path / "s.x3p", surface, 5e-7, 5e-7)
    loaded = vantrel.load(tmp_path / "s.x3p")
    assert loaded.tobytes() == vantrel.load(tmp_path / "s.npy").tobytes()
    assert vantrel.analyse(loaded).hurst == vantrel.analyse(surface).hurst


def test_crop_valid_on_load_says_what_it_kept(tmp_path):
    path = tmp_path / "holes.csv"
    path.write_text("1,2,3\n4,,6\n7,8,9\n10,11,12\n")
    with pytest.raises(ValueError, match="1 of 12 cells hold no value"):
        vantrel.load(path)
    with pytest.warns(vantrel.CropWarning, match="kept rows 3 to 4 and columns 1 to 3"):
        kept = vantrel.load(path, crop_valid=True)
    assert kept.tolist() == [[7, 8, 9], [10, 11, 12]]
    whole = tmp_path / "whole.csv"
    whole.write_text("1,2\n3,4\n")
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert vantrel.load(whole, crop_valid=True).tolist() == [[1, 2], [3, 4]]


# Under an address-space limit that leaves room for the loaded matrix but not for the array it
# is copied into, load raises MemoryError; the matrix must then be gone, leaving room for an
# array of its size. Each row is mapped on its own (MALLOC_MMAP_THRESHOLD_) and released at
# once, so that the room measured is the room held.
LIMITED_LOAD = """
import resource, sys, numpy as np, vantrel
path, size = sys.argv[1], int(sys.argv[2])
vantrel.load(path)  # once in full, so that every library and thread stack is in place
used = int(open("/proc/self/statm").read().split()[0]) * resource.getpagesize()
resource.setrlimit(resource.RLIMIT_AS, (used + size * 3 // 2, resource.RLIM_INFINITY))
try:
    vantrel.load(path)
    print("loaded")
except MemoryError:
    print("MemoryError")
try:
    room = np.ones(size // 8)
    print("room")
except MemoryError:
    print("no room")
"""


def test_a_load_that_runs_out_of_memory_holds_nothing(tmp_path):
    path = tmp_path / "m.npy"
    np.save(path, np.ones((500, 10000)))
    environment = dict(os.environ, MALLOC_ARENA_MAX="1", MALLOC_MMAP_THRESHOLD_="65536")
    out = subprocess.run([sys.executable, "-c", LIMITED_LOAD, str(path), str(500 * 10000 * 8)],
                         env=environment, capture_output=True, text=True, check=True).stdout
    assert out.split() == ["MemoryError", "room"]


def test_a_note_on_the_files_grid_is_not_a_crop(tmp_path):
    gdal = pytest.importorskip("osgeo.gdal")
    from osgeo import osr

    path = tmp_path / "degrees.tif"
    dataset = gdal.GetDriverByName("GTiff").Create(str(path), 40, 30, 1, gdal.GDT_Float64)
    dataset.SetGeoTransform((-84.4, 1 / 1200, 0.0, 36.7, 0.0, -1 / 1200))
    wgs84 = osr.SpatialReference()
    wgs84.ImportFromEPSG(4326)
    dataset.SetProjection(wgs84.ExportToWkt())
    dataset.GetRasterBand(1).WriteArray(rough(30, 40, 5))
    del dataset
    with warnings.catch_warnings(record=True) as said:
        warnings.simplefilter("always")
        vantrel.load(path)
    assert [type(w.message) for w in said] == [vantrel.FileNoteWarning]
    assert "not square on the ground" in str(said[0].message)


@pytest.mark.parametrize("name", ["surface.tif", b"surface.tif", pathlib.Path("surface.tif")])
def test_a_file_name_given_as_data_is_told_to_load_first(name):
    with pytest.raises(TypeError, match="is a file name: read it with vantrel.load"):
        vantrel.analyse(name)
