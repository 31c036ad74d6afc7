"""Labelled results with xarray: a DataArray in gives its coordinates out (and its pixel size to
the analysis), and a raster loads with its cells placed by its geotransform."""

import json
import re
import subprocess

import numpy as np
import pytest

import vantrel
from conftest import rough, write_x3p

xr = pytest.importorskip("xarray")

DATA = rough(40, 30, 61)


def labelled():
    return xr.DataArray(DATA, dims=("northing", "easting"),
                        coords={"northing": 1000 - 2.0 * np.arange(40),
                                "easting": 500 + 2.0 * np.arange(30)},
                        attrs={"units": "m"})


def test_surface_of_a_data_array_keeps_its_coordinates():
    means = vantrel.surface(labelled(), 25)
    assert isinstance(means, xr.DataArray)
    assert means.dims == ("northing", "easting")
    assert np.array_equal(means["easting"], labelled()["easting"])
    assert means.attrs["units"] == "m"
    assert np.array_equal(means.values, vantrel.surface(DATA, 25), equal_nan=True)


def test_residuals_of_a_data_array_run_along_area_with_their_sides():
    sums = vantrel.residuals(labelled(), [9, 30, 100])
    assert sums.dims == ("area",)
    assert sums["area"].values.tolist() == [9, 30, 100]
    assert sums["side"].values.tolist() == [3, 5, 10]
    assert sums.values.tobytes() == vantrel.residuals(DATA, [9, 30, 100]).tobytes()


def test_plain_arrays_stay_plain():
    assert type(vantrel.surface(DATA, 9)) is np.ndarray
    assert type(vantrel.residuals(DATA, [9])) is np.ndarray


# (file, writer, expected x of the first two cells, expected y, attributes)
def write_geotiff(path):
    gdal = pytest.importorskip("osgeo.gdal")
    dataset = gdal.GetDriverByName("GTiff").Create(str(path), 30, 40, 1, gdal.GDT_Float64)
    dataset.SetGeoTransform((500.0, 2.0, 0.0, 1000.0, 0.0, -2.0))
    band = dataset.GetRasterBand(1)
    band.WriteArray(DATA)
    band.SetUnitType("m")
    dataset.FlushCache()
    del dataset


LOADS = {
    "GeoTIFF": ("m.tif", write_geotiff, [501.0, 503.0], [999.0, 997.0], {"units": "m"}),
    "npy": ("m.npy", lambda path: np.save(path, DATA), [0, 1], [0, 1], {}),
    "X3P": ("m.x3p", lambda path: write_x3p(path, DATA, 1e-6, 2e-6), [0, 1e-6], [0, 2e-6],
            {"units": "m", "lateral_unit": "m"}),
}


@pytest.mark.parametrize("case", LOADS)
def test_load_labelled_places_the_cells(case, tmp_path):
    name, write, x, y, attrs = LOADS[case]
    write(tmp_path / name)
    loaded = vantrel.load(tmp_path / name, labelled=True)
    assert loaded.dims == ("y", "x")
    assert loaded["x"].values[:2].tolist() == x
    assert loaded["y"].values[:2].tolist() == y
    for key, value in attrs.items():
        assert loaded.attrs[key] == value
    assert loaded.values.tobytes() == vantrel.load(tmp_path / name).tobytes()


def grid(y, x, y_units=None, x_units=None, **attrs):
    """DATA on coordinates y and x (None: a dimension without one)."""
    coords = {name: (name, axis, {"units": units} if units else {})
              for name, axis, units in (("y", y, y_units), ("x", x, x_units)) if axis is not None}
    return xr.DataArray(DATA, dims=("y", "x"), coords=coords, attrs=attrs)


STEPS_40, STEPS_30 = np.arange(40.0), np.arange(30.0)

# (DataArray, pixel_size, unit, value_unit), or the start of the ValueError's message.
PIXEL_SIZES = {
    "the cells of labelled()": (labelled(), (2.0, 2.0), None, "m"),
    "micrometres spelt um, rows in nm": (
        grid(250 * STEPS_40, 0.5 * STEPS_30, "nm", "um", units="um"), (0.5, 0.25), "µm", "µm"),
    "pixels that are not square, in metres": (
        grid(4 * STEPS_40, 2 * STEPS_30, "metre", "metre"), (2.0, 4.0), "m", None),
    "the lateral unit of a loaded file": (
        grid(STEPS_40, STEPS_30, lateral_unit="Micron", units="A"), (1.0, 1.0), "µm", "A"),
    "float32 eastings far from 0": (
        grid(STEPS_40, (500000 + 2 * STEPS_30).astype(np.float32)), (2.0, 1.0), None, None),
    "a dimension without coordinates": (grid(STEPS_40, None), None, None, None),
    "uneven coordinates": (
        grid(STEPS_40, STEPS_30 ** 2),
        "the coordinate 'x' is not evenly spaced (steps from 1 to 57)"),
    "units that cannot be compared": (
        grid(STEPS_40, STEPS_30, "mm", "px"),
        "the coordinates are in units that cannot be compared ('x' in px, 'y' in mm)"),
}


@pytest.mark.parametrize("case", PIXEL_SIZES)
def test_analyse_takes_the_pixel_size_from_the_coordinates(case):
    data, *expected = PIXEL_SIZES[case]
    if isinstance(expected[0], str):
        with pytest.raises(ValueError, match=re.escape(expected[0])):
            vantrel.analyse(data)
        return
    pixel_size, unit, value_unit = expected
    found = vantrel.analyse(data)
    plain = vantrel.analyse(DATA)
    assert (found.hurst, found.sigma2.tobytes()) == (plain.hurst, plain.sigma2.tobytes())
    assert (found.pixel_size, found.unit, found.value_unit) == (pixel_size, unit, value_unit)
    if pixel_size is None:
        assert found.side_length is None
    else:  # sides told in sqrt(width x height), as the command line's side_length
        length = np.sqrt(pixel_size[0] * pixel_size[1])
        assert np.allclose(found.side_length, found.side * length, rtol=1e-15)


def test_a_text_export_loaded_labelled_gives_the_command_lines_pixel_size(tmp_path, cli):
    path = tmp_path / "e.txt"
    np.savetxt(path, DATA, fmt="%.17g", comments="# ",
               header="Width: 60 um\nHeight: 40000 nm\nValue units: nm")
    reported = json.loads(subprocess.run([cli, "analyse", str(path), "--json"], check=True,
                                         capture_output=True, text=True).stdout)
    found = vantrel.analyse(vantrel.load(path, labelled=True))
    assert list(found.pixel_size) == reported["pixel_size"] == [2, 1]
    assert found.unit == reported["unit"] == "µm"
    assert found.side_length.tolist() == [p["side_length"] for p in reported["table"]]
    assert found.hurst == reported["hurst"]
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    ax = found.plot()
    assert (ax.get_xlabel(), ax.get_ylabel()) == (
        "window side s (µm)", "mean squared residual per cell, $\\sigma^2(s)$ (nm$^2$)")


def test_a_cropped_surface_keeps_the_coordinates_of_the_rectangle_kept():
    holed = labelled().copy()
    holed[:3, 0] = np.nan  # the largest rectangle without it: rows 0 ... 39, columns 1 ... 29
    with pytest.warns(vantrel.CropWarning):
        means = vantrel.surface(holed, 25, crop_valid=True)
    assert isinstance(means, xr.DataArray)
    assert means["easting"].values.tolist() == labelled()["easting"].values[1:].tolist()
    assert means["northing"].values.tolist() == labelled()["northing"].values.tolist()
    assert np.array_equal(means.values, vantrel.surface(DATA[:, 1:], 25), equal_nan=True)
