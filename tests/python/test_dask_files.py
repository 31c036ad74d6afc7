"""vantrel.dask with files: the chunked reader of each format, lazy results, the active client,
and the larger-than-memory recipe on workers whose memory is smaller than the file."""

import os

import numpy as np
import pytest

import dask
import dask.array as da
import vantrel
import vantrel.dask
from conftest import rough
from dask.distributed import Client, LocalCluster

DATA = rough(90, 70, 51)


def write_geotiff(path, values):
    gdal = pytest.importorskip("osgeo.gdal")
    driver = gdal.GetDriverByName("GTiff")
    dataset = driver.Create(str(path), values.shape[1], values.shape[0], 1, gdal.GDT_Float64,
                            options=["TILED=YES", "BLOCKXSIZE=32", "BLOCKYSIZE=32"])
    dataset.GetRasterBand(1).WriteArray(values)
    dataset.FlushCache()
    del dataset
    return path


# (file name, writer): each file holds DATA
WRITERS = {
    "npy": ("m.npy", lambda path: np.save(path, DATA)),
    "npy, Fortran order, float32": ("f.npy", lambda path: np.save(
        path, np.asfortranarray(DATA.astype(np.float32)))),
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
    assert result.ok
    assert result.result.hurst == vantrel.analyse(DATA, method="exact", threads=1).hurst


#: The recipe's worker memory, and a file larger than it.
WORKER_MEMORY = 512 * 2**20
SIDE = 8500  # 8500^2 doubles: 551 MiB


def write_large_surface(path):
    out = np.lib.format.open_memmap(path, mode="w+", dtype=np.float64, shape=(SIDE, SIDE))
    rng = np.random.default_rng(52)
    carry = np.zeros(SIDE)
    for start in range(0, SIDE, 1024):
        slab = rng.normal(size=(min(1024, SIDE - start), SIDE)).cumsum(axis=0) + carry
        out[start:start + len(slab)] = slab
        carry = slab[-1]
    out.flush()
    del out


def test_the_larger_than_memory_recipe_runs_on_workers_smaller_than_the_file(tmp_path):
    path = tmp_path / "large.npy"
    write_large_surface(path)
    assert os.path.getsize(path) > WORKER_MEMORY
    areas = [9, 1089, 16641]  # sides 3, 33, 129
    with LocalCluster(n_workers=1, threads_per_worker=1, memory_limit=WORKER_MEMORY,
                      dashboard_address=":0") as cluster, Client(cluster) as client:
        before = client.run(os.getpid)
        sums = vantrel.dask.residuals(vantrel.dask.from_file(path, chunks=2048), areas)
        # The worker that started is the one that finished: none was restarted for its memory.
        assert client.run(os.getpid) == before
    expected = vantrel.residuals(np.load(path, mmap_mode="r"), areas, method="fast")
    np.testing.assert_allclose(sums, expected, rtol=1e-12)
