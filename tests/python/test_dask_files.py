"""vantrel.dask with files: the chunked reader of each format, lazy results, the active client,
the map written as the command line writes it, and the larger-than-memory recipe and map on a
worker whose memory is smaller than the file."""

import os
import subprocess

import numpy as np
import pytest

import dask
import dask.array as da
import vantrel
import vantrel.dask
from conftest import rough
from dask.distributed import Client, LocalCluster, get_client

DATA = rough(90, 70, 51)
#: Seconds any one wait on a cluster may take: a bound that turns a stuck cluster into a failure
#: instead of a hang, far above what the waits take.
WAIT = 90


def write_geotiff(path, values, placed=False):
    """`values` as a tiled float64 GeoTIFF; `placed`: on UTM zone 33 north with cells of 2 m and
    -9999 for nodata."""
    gdal = pytest.importorskip("osgeo.gdal")
    driver = gdal.GetDriverByName("GTiff")
    dataset = driver.Create(str(path), values.shape[1], values.shape[0], 1, gdal.GDT_Float64,
                            options=["TILED=YES", "BLOCKXSIZE=32", "BLOCKYSIZE=32"])
    if placed:
        from osgeo import osr

        dataset.SetGeoTransform((500000.0, 2.0, 0.0, 4000000.0, 0.0, -2.0))
        crs = osr.SpatialReference()
        crs.ImportFromEPSG(32633)
        dataset.SetProjection(crs.ExportToWkt())
        dataset.GetRasterBand(1).SetNoDataValue(-9999.0)
    dataset.GetRasterBand(1).WriteArray(values)
    dataset.FlushCache()
    del dataset
    return path


# (file name, writer): each file holds DATA
WRITERS = {
    "npy": ("m.npy", lambda path: np.save(path, DATA)),
    "npy, Fortran order, float32": ("f.npy", lambda path: np.save(
        path, np.asfortranarray(DATA.astype(np.float32)))),
    "npy, big-endian int16": ("b.npy", lambda path: np.save(path, (DATA * 100).astype(">i2"))),
    "text": ("m.txt", lambda path: np.savetxt(path, DATA, fmt="%.17g")),
    "text, blank lines and CRLF": ("b.txt", lambda path: path.write_bytes(
        b"\n\n" + b"\r\n\n".join(" ".join(f"{v:.17g}" for v in row).encode() for row in DATA))),
    "GeoTIFF": ("m.tif", lambda path: write_geotiff(path, DATA)),
}


@pytest.mark.parametrize("chunks", [(32, 32), (90, 25), 1000])
@pytest.mark.parametrize("case", WRITERS)
def test_from_file_reads_the_values_load_reads(case, chunks, tmp_path):
    name, write = WRITERS[case]
    path = tmp_path / name
    write(path)
    chunked = vantrel.dask.from_file(path, chunks=chunks)
    assert chunked.dtype == np.float64
    assert np.array_equal(chunked.compute(scheduler="sync"), vantrel.load(path))


@pytest.mark.parametrize("name, content", [
    ("m.csv", b"1,2\n3,4\n"),
    ("m.gwy", b"GWYP"),
    ("m.dat", b"GWYP"),            # a container found by its signature under another name
    ("m.zip", b"PK\x03\x04main.xml"),  # an X3P archive under another name
])
def test_from_file_refuses_files_it_would_misread(name, content, tmp_path):
    (tmp_path / name).write_bytes(content)
    with pytest.raises(ValueError, match="read whole: use vantrel.load"):
        vantrel.dask.from_file(tmp_path / name)


@pytest.mark.parametrize("scan_bytes", [3, 8, 1 << 24])
def test_text_comments_are_left_out_wherever_the_scan_cuts_them(scan_bytes, tmp_path,
                                                                 monkeypatch):
    monkeypatch.setattr("vantrel._chunked_files._SCAN_BYTES", scan_bytes)
    path = tmp_path / "c.txt"
    path.write_bytes(b"# Width: 2 m\n1 2 3 # first row\n  # a comment between rows\n"
                     b"4 5e0 6#\n#\n7 8 9 ## and after the last # row")
    chunked = vantrel.dask.from_file(path, chunks=(2, 2))
    assert np.array_equal(chunked.compute(scheduler="sync"), vantrel.load(path))
    assert chunked.shape == (3, 3)


def test_from_file_says_what_it_cannot_read(tmp_path):
    with pytest.raises(FileNotFoundError):
        vantrel.dask.from_file(tmp_path / "none.npy")
    (tmp_path / "ragged.txt").write_text("1 2 3\n4 5\n")
    with pytest.raises(ValueError, match="rows 1 to 2 hold 5 values, not 2 rows of 3"):
        vantrel.dask.from_file(tmp_path / "ragged.txt").compute(scheduler="sync")


def test_residuals_can_stay_lazy_and_compose():
    chunked = da.from_array(DATA, chunks=(40, 40))
    lazy = vantrel.dask.residuals(chunked, [9, 49], compute=False)
    assert isinstance(lazy, da.Array)
    sums, mean = dask.compute(lazy, chunked.mean(), scheduler="sync")
    np.testing.assert_allclose(sums, vantrel.residuals(DATA, [9, 49], method="fast"),
                               rtol=1e-12)
    assert mean == pytest.approx(DATA.mean())


# (call, exception, words): what the chunked functions refuse before reading anything
REFUSED = [
    (lambda: vantrel.dask.residuals(da.zeros((0, 64), chunks=8), [4]), ValueError,
     "data is empty (0 x 64)"),
    (lambda: vantrel.dask.residuals(da.from_array(DATA, chunks=30), [8100]), ValueError,
     "Area 8100 has a window of side 90, not smaller than the data (90 x 70)"),
    (lambda: vantrel.dask.residuals(da.from_array(DATA, chunks=30), [4], compute="no"),
     TypeError, "compute must be True or False"),
    (lambda: vantrel.dask.analyse_files(["a.txt", "b.txt"], metod="exact"), TypeError,
     "unknown options 'metod'"),
]


@pytest.mark.parametrize("call, error, words", REFUSED)
def test_bad_requests_are_refused_up_front(call, error, words):
    with pytest.raises(error) as raised:
        call()
    assert words in str(raised.value)


def test_missing_cells_in_a_chunk_are_named():
    holes = DATA.copy()
    holes[50, 10] = np.nan
    with pytest.raises(ValueError, match=r"the first is data\[50, 10\]"):
        vantrel.dask.residuals(da.from_array(holes, chunks=30), [9], compute=False).compute(
            scheduler="sync")


def test_analyse_files_uses_the_active_client(tmp_path, monkeypatch):
    path = tmp_path / "a.npy"
    np.save(path, DATA)
    with LocalCluster(n_workers=1, processes=False, dashboard_address=":0") as cluster, \
            Client(cluster):
        def no_new_cluster(*args, **kwargs):
            raise AssertionError("a LocalCluster was started beside the active client")

        monkeypatch.setattr("dask.distributed.LocalCluster", no_new_cluster)
        [result] = vantrel.dask.analyse_files([path], method="exact")
        mapped = vantrel.dask.hurst_map(path, tile=48, stride=16)
    assert result.ok
    assert result.result.hurst == vantrel.analyse(DATA, method="exact", threads=1).hurst
    np.testing.assert_allclose(mapped.hurst, vantrel.hurst_map(DATA, tile=48, stride=16).hurst,
                               rtol=0, atol=1e-9)


def raster_bands(path):
    """Everything a GeoTIFF says: its placement, and each band's name, nodata and values."""
    from osgeo import gdal

    dataset = gdal.Open(str(path))
    bands = [dataset.GetRasterBand(k + 1) for k in range(dataset.RasterCount)]
    return (dataset.GetGeoTransform(), dataset.GetProjectionRef(),
            [(band.GetDescription(), band.GetNoDataValue(), band.ReadAsArray()) for band in bands])


def test_map_of_a_raster_is_the_geotiff_the_command_line_writes(tmp_path, cli):
    values = rough(150, 130, 53)
    values[70, 20] = -9999.0  # nodata: the tiles that reach it are left empty
    source = write_geotiff(tmp_path / "dem.tif", values, placed=True)
    subprocess.run([cli, "map", str(source), "--tile", "48", "--stride", "16", "--directional",
                    "--output", str(tmp_path / "cli.tif")], check=True, capture_output=True)
    # No client is active: a LocalCluster is started for the call and closed after it.
    written = vantrel.dask.hurst_map(source, tile=48, stride=16, directional=True,
                                     tiles_per_block=3, output=tmp_path / "dask.tif",
                                     timeout=WAIT)
    assert written == str(tmp_path / "dask.tif")
    with pytest.raises(ValueError):
        get_client()

    transform, crs, bands = raster_bands(written)
    cli_transform, cli_crs, cli_bands = raster_bands(tmp_path / "cli.tif")
    assert (transform, crs) == (cli_transform, cli_crs)
    assert "32633" in crs and transform[0] == 500000.0 + 16 * 2.0  # half a tile less half a stride
    assert [name for name, _, _ in bands] == [name for name, _, _ in cli_bands]
    for (name, nodata, got), (_, _, expected) in zip(bands, cli_bands):
        assert np.isnan(nodata), name
        np.testing.assert_allclose(got, expected, rtol=0, atol=1e-9, err_msg=name)
    assert np.isnan(bands[0][2]).any() and not np.isnan(bands[0][2]).all()


# (output, words): outputs refused before anything is computed; the input is never touched
REFUSED_OUTPUTS = [
    (lambda folder: folder / "m.tif", "is the same file as the input"),
    (lambda folder: os.symlink(folder / "m.tif", folder / "link.tif") or folder / "link.tif",
     "is the same file as the input"),
    (lambda folder: os.link(folder / "m.tif", folder / "hard.tif") or folder / "hard.tif",
     "is the same file as the input"),
    (lambda folder: folder / "map.npy", "does not end in .tif or .tiff"),
]


@pytest.mark.parametrize("output, words", REFUSED_OUTPUTS)
def test_map_refuses_an_output_that_is_the_input(output, words, tmp_path):
    source = write_geotiff(tmp_path / "m.tif", DATA)
    before = source.read_bytes()
    with pytest.raises(ValueError, match=words):
        vantrel.dask.hurst_map(source, tile=48, output=output(tmp_path))
    assert source.read_bytes() == before


def test_a_map_that_fails_leaves_no_file(tmp_path, thread_client):
    source = tmp_path / "ragged.txt"
    rows = [" ".join(f"{v:.17g}" for v in row) for row in rough(150, 60, 54)]
    rows[120] = rows[120].rsplit(" ", 1)[0]  # a value short, in the last row of blocks
    source.write_text("\n".join(rows))
    with pytest.raises(ValueError, match="rows .* hold"):
        vantrel.dask.hurst_map(source, tile=48, stride=16, tiles_per_block=2,
                               output=tmp_path / "map.tif", client=thread_client, timeout=WAIT)
    assert not (tmp_path / "map.tif").exists()


#: The recipe's worker memory, and a file larger than it.
WORKER_MEMORY = 512 * 2**20
SIDE = 8500  # 8500^2 doubles: 551 MiB


@pytest.fixture(scope="module")
def large_surface(tmp_path_factory):
    """A rough 8500 x 8500 surface in a .npy file larger than WORKER_MEMORY, removed after the
    module's tests rather than left in pytest's kept folders."""
    path = tmp_path_factory.mktemp("large") / "large.npy"
    out = np.lib.format.open_memmap(path, mode="w+", dtype=np.float64, shape=(SIDE, SIDE))
    rng = np.random.default_rng(52)
    carry = np.zeros(SIDE)
    for start in range(0, SIDE, 1024):
        slab = rng.normal(size=(min(1024, SIDE - start), SIDE)).cumsum(axis=0) + carry
        out[start:start + len(slab)] = slab
        carry = slab[-1]
    out.flush()
    del out
    assert os.path.getsize(path) > WORKER_MEMORY
    yield path
    os.remove(path)


@pytest.fixture
def small_worker():
    """A cluster of one worker process of one thread, whose memory is smaller than the large
    file; one per test, so that a worker in trouble cannot pass it on. Every wait on it is
    bounded and it is closed however the test ends, so that a stuck cluster fails the test
    instead of hanging it."""
    cluster = LocalCluster(n_workers=1, threads_per_worker=1, memory_limit=WORKER_MEMORY,
                           dashboard_address=":0")
    try:
        client = Client(cluster, timeout=WAIT, set_as_default=False)
        try:
            yield client
        finally:
            client.close(timeout=WAIT)
    finally:
        cluster.close(timeout=WAIT)


def worker_process(client):
    # The worker that started is the one that finished: none was restarted for its memory.
    return client.submit(os.getpid, pure=False).result(timeout=WAIT)


def test_the_larger_than_memory_recipe_runs_on_workers_smaller_than_the_file(
        large_surface, small_worker):
    areas = [9, 1089, 16641]  # sides 3, 33, 129
    before = worker_process(small_worker)
    # Chunks of 1024: a task reads up to 9 of them and holds about 66 MiB, so that the chunks
    # the scheduler has a worker read ahead stay within its memory too.
    lazy = vantrel.dask.residuals(vantrel.dask.from_file(large_surface, chunks=1024), areas,
                                  compute=False)
    sums = small_worker.compute(lazy).result(timeout=WAIT)
    assert worker_process(small_worker) == before
    expected = vantrel.residuals(np.load(large_surface, mmap_mode="r"), areas, method="fast")
    np.testing.assert_allclose(sums, expected, rtol=1e-12)


def test_the_map_of_a_file_larger_than_a_worker_is_written_block_by_block(
        large_surface, small_worker, tmp_path):
    tile = stride = 128
    before = worker_process(small_worker)
    written = vantrel.dask.hurst_map(large_surface, tile=tile, stride=stride,
                                     output=tmp_path / "large.tif", client=small_worker,
                                     timeout=WAIT)
    assert worker_process(small_worker) == before
    _, _, bands = raster_bands(written)
    assert bands[0][2].shape == ((SIDE - tile) // stride + 1,) * 2
    assert np.isfinite(bands[0][2]).all()  # every row of blocks was written
    # The corner's tiles, from a map of the corner alone: the last rows and columns of blocks.
    # Its first row and column of tiles lack the halo beyond the cut and are left out.
    first = 56
    corner = vantrel.hurst_map(np.load(large_surface, mmap_mode="r")[first * stride:,
                                                                      first * stride:],
                               tile=tile, stride=stride)
    for (name, _, got), expected in zip(bands, (corner.hurst, corner.low, corner.high,
                                                corner.dimension, corner.cells, corner.flags)):
        np.testing.assert_allclose(got[first + 1:, first + 1:], expected[1:, 1:], rtol=0,
                                   atol=1e-9, err_msg=name)
