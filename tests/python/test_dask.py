"""vantrel.dask against the in-memory fast method, and one batch on a LocalCluster."""

import numpy as np
import pytest

import dask.array as da
import vantrel
import vantrel.dask
from conftest import rough

AREAS = [4, 9, 30, 100, 1000, 4000]


@pytest.mark.parametrize("shift", [(0.5, 0.5), (0.0, 1.0), (1.0, 0.25)])
@pytest.mark.parametrize("chunks", [(70, 45), (300, 200), (33, 200)])
def test_chunked_sums_equal_the_in_memory_fast_method(shift, chunks):
    data = rough(300, 200, 11)
    expected = vantrel.residuals(data, AREAS, shift=shift, method="fast")
    got = vantrel.dask.residuals(da.from_array(data, chunks=chunks), AREAS, shift=shift)
    np.testing.assert_allclose(got, expected, rtol=1e-12)


def test_dask_checks_areas_in_the_engines_words():
    with pytest.raises(ValueError, match="Area 0 is below 1"):
        vantrel.dask.residuals(da.zeros((10, 10), chunks=5), [0])


def test_batch_reports_each_file_and_goes_on_past_failures(tmp_path):
    good = [tmp_path / "surface1.txt", tmp_path / "surface2.npy"]
    np.savetxt(good[0], rough(64, 48, 1), fmt="%.17g")
    np.save(good[1], rough(50, 70, 2))
    ragged = tmp_path / "ragged.txt"
    ragged.write_text("1 2\n3\n")
    paths = [good[0], tmp_path / "missing.txt", ragged, good[1]]

    results = vantrel.dask.analyse_files(paths, method="exact")

    assert [r.ok for r in results] == [True, False, False, True]
    assert "FileNotFoundError" in results[1].error
    assert "The number of columns of row 2 is wrong" in results[2].error
    for path, result in zip(good, (results[0], results[3])):
        expected = vantrel.analyse(vantrel.load(path), method="exact", threads=1)
        assert (result.result.hurst, result.result.hurst_ci90) == (
            expected.hurst, expected.hurst_ci90)
        assert result.result.residual.tobytes() == expected.residual.tobytes()
