"""Labelled results with xarray: a DataArray in gives its coordinates out, and a raster loads
with its cells placed by its geotransform."""

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
