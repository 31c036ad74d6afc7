"""vantrel.hurst_map, vantrel.directional and vantrel.dask.hurst_map: maps whose orientation a
transposition or a mirror would spoil, coordinates at the tiles' centres, and the chunked map
equal to the in-memory one, down to a halo that leaves no cell to spare."""

import numpy as np
import pytest

import dask.array as da
import vantrel
import vantrel.dask


def quadrants(size: int, seed: int) -> np.ndarray:
    """Rough above left (white noise), smooth below right (a random walk down the columns and
    along the rows), between elsewhere: H rises from above left to below right."""
    rng = np.random.default_rng(seed)
    half = size // 2
    white = rng.normal(size=(half, half))
    walk_rows = rng.normal(size=(half, half)).cumsum(axis=1)
    walk_columns = rng.normal(size=(half, half)).cumsum(axis=0)
    smooth = rng.normal(size=(half, half)).cumsum(axis=0).cumsum(axis=1)
    return np.block([[white, walk_rows * 0.3 + white], [walk_columns * 0.3 + white, smooth]])


def test_map_keeps_its_orientation_and_tile_centres():
    data = quadrants(256, 3)
    found = vantrel.hurst_map(data, tile=64, stride=64)
    assert found.hurst.shape == (4, 4)
    np.testing.assert_array_equal(found.x, [32, 96, 160, 224])
    np.testing.assert_array_equal(found.y, [32, 96, 160, 224])
    corners = [found.hurst[0, 0], found.hurst[3, 3]]
    assert corners[0] < 0.2 and corners[1] > 0.5, corners
    np.testing.assert_array_equal(found.dimension, 3 - found.hurst)
    assert np.all(found.low < found.hurst) and np.all(found.hurst < found.high)


def test_rows_and_columns_are_told_apart():
    # Brownian along each row, white noise down the columns.
    data = np.random.default_rng(5).normal(size=(256, 256)).cumsum(axis=1)
    both = vantrel.directional(data)
    rows, columns = both["hurst_rows"][0], both["hurst_columns"][0]
    assert abs(rows - 0.5) < 0.1 and columns < 0.15, both
    assert both["anisotropy"][1] > 0.2
    mapped = vantrel.hurst_map(data, tile=64, directional=True)
    assert np.nanmin(mapped.rows["hurst"]) > np.nanmax(mapped.columns["hurst"])


def test_a_data_array_gives_a_dataset_on_its_coordinates():
    xr = pytest.importorskip("xarray")
    data = quadrants(128, 4)
    x = 1000.0 + 2.0 * np.arange(128)
    y = 5000.0 - 2.0 * np.arange(128)
    array = xr.DataArray(data, dims=("northing", "easting"), coords={"northing": y, "easting": x})
    ds = vantrel.hurst_map(array, tile=64, stride=32)
    assert isinstance(ds, xr.Dataset)
    # Tile 0 covers cells 0 ... 63, whose centre lies between cells 31 and 32.
    np.testing.assert_allclose(ds["easting"].values, [1000 + 63, 1000 + 127, 1000 + 191])
    np.testing.assert_allclose(ds["northing"].values, [5000 - 63, 5000 - 127, 5000 - 191])
    np.testing.assert_array_equal(ds["H"].values, vantrel.hurst_map(data, tile=64, stride=32).hurst)
    for name in ("H_low", "H_high", "D", "cells", "flags"):
        assert name in ds


@pytest.mark.parametrize("chunks,per", [((70, 45), 2), ((128, 128), 8), ((33, 200), 1)])
def test_chunked_map_equals_the_in_memory_map(chunks, per, thread_client):
    data = quadrants(192, 7)
    data[40, 150] = np.nan
    expected = vantrel.hurst_map(data, tile=48, stride=16, directional=True)
    got = vantrel.dask.hurst_map(da.from_array(data, chunks=chunks), tile=48, stride=16,
                                 directional=True, tiles_per_block=per, client=thread_client)
    for name in ("hurst", "low", "high", "cells", "flags"):
        np.testing.assert_allclose(getattr(got, name), getattr(expected, name), rtol=0,
                                   atol=1e-9, err_msg=name)
    np.testing.assert_allclose(got.rows["hurst"], expected.rows["hurst"], atol=1e-9)
    assert np.isnan(expected.hurst).any()


def test_stride_of_one_leaves_the_halo_no_spare_cell(thread_client):
    # With a stride of 1 the blocks' margin is the halo itself: one cell less would change the
    # tiles at each block's edge.
    data = quadrants(64, 9)
    expected = vantrel.hurst_map(data, tile=32, stride=1, side_range=(3, 7))
    assert expected.halo == 4
    got = vantrel.dask.hurst_map(da.from_array(data, chunks=(20, 20)), tile=32, stride=1,
                                 side_range=(3, 7), tiles_per_block=5, client=thread_client)
    np.testing.assert_allclose(got.hurst, expected.hurst, rtol=0, atol=1e-9)


def test_plot_hatches_the_flagged_tiles():
    pytest.importorskip("matplotlib")
    import matplotlib

    matplotlib.use("Agg")
    data = quadrants(128, 2)
    data[5, 5] = np.nan
    found = vantrel.hurst_map(data, tile=48, stride=16)
    ax = found.plot()
    assert len(ax.patches) == int(np.count_nonzero(found.flags))
    with pytest.raises(ValueError, match="directional=True"):
        found.plot(which="rows")


def test_bad_tiles_are_refused_in_the_engines_words():
    with pytest.raises(ValueError, match="multiple of 4"):
        vantrel.hurst_map(np.zeros((100, 100)), tile=30)
    with pytest.raises(ValueError, match="larger than the surface"):
        vantrel.dask.hurst_map(da.zeros((50, 50), chunks=10), tile=64)
