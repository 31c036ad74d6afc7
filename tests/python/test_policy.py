"""What Python does with data the engine cannot use as it is: missing cells (NaN, infinite,
masked) refused or cropped as `vantrel.load` does, digits lost to a large mean, windows larger
than the data, and the surface's cells without a mean."""

import warnings

import numpy as np
import pytest

import vantrel
from conftest import rough

CLEAN = rough(40, 30, 31)


def with_cells(values, cells):
    data = CLEAN.copy()
    for (i, j), value in zip(cells, values):
        data[i, j] = value
    return data


def masked(cells):
    mask = np.zeros(CLEAN.shape, dtype=bool)
    for i, j in cells:
        mask[i, j] = True
    return np.ma.masked_array(with_cells([-9999.0] * len(cells), cells), mask=mask)


# (data, missing cells, the first, the rectangle kept by crop_valid as (rows, columns) slices)
MISSING = {
    "NaN": (with_cells([np.nan], [(5, 7)]), 1, "data[5, 7]", (slice(6, 40), slice(0, 30))),
    "infinity": (with_cells([np.inf, -np.inf], [(39, 0), (2, 29)]), 2, "data[2, 29]",
                 (slice(0, 39), slice(0, 29))),
    "masked -9999": (masked([(10, 3), (11, 4)]), 2, "data[10, 3]", (slice(0, 40), slice(5, 30))),
}

FUNCTIONS = {
    "residuals": lambda data, **kw: vantrel.residuals(data, [4, 25], **kw),
    "surface": lambda data, **kw: vantrel.surface(data, 9, **kw),
    "analyse": lambda data, **kw: vantrel.analyse(data, method="exact", **kw).residual,
}


@pytest.mark.parametrize("function", FUNCTIONS)
@pytest.mark.parametrize("case", MISSING)
def test_missing_cells_are_refused_with_count_and_first(case, function):
    data, count, first, _ = MISSING[case]
    with pytest.raises(ValueError) as raised:
        FUNCTIONS[function](data)
    message = str(raised.value)
    assert f"{count} of {CLEAN.size} cells hold no value" in message
    assert f"the first is {first}" in message
    assert "crop_valid=True" in message


@pytest.mark.parametrize("function", FUNCTIONS)
@pytest.mark.parametrize("case", MISSING)
def test_crop_valid_computes_over_the_largest_valid_rectangle(case, function):
    data, count, _, kept = MISSING[case]
    values = np.ma.getdata(data)[kept]
    expected = FUNCTIONS[function](np.ascontiguousarray(values))
    with pytest.warns(vantrel.CropWarning, match=f"{count} of {CLEAN.size} cells"):
        got = FUNCTIONS[function](data, crop_valid=True)
    assert np.array_equal(got, expected, equal_nan=True)


def test_a_mask_without_masked_cells_and_integers_pass_unchanged():
    expected = vantrel.residuals(CLEAN, [4, 25])
    assert vantrel.residuals(np.ma.masked_array(CLEAN), [4, 25]).tobytes() == expected.tobytes()
    assert vantrel.residuals(np.ma.masked_array(CLEAN, mask=False), [4, 25]).tobytes() == \
        expected.tobytes()
    integers = np.arange(1200).reshape(40, 30) % 13
    assert vantrel.residuals(integers, [9]).tobytes() == vantrel.residuals(
        integers.astype(float), [9]).tobytes()


def test_every_cell_missing_leaves_nothing_to_keep():
    with pytest.raises(ValueError, match="there is nothing to keep"):
        vantrel.residuals(np.full((5, 5), np.nan), [4], crop_valid=True)


# (offset added to the data, method, whether a PrecisionWarning is expected)
OFFSETS = [
    (0.0, "exact", False),
    (1e3, "exact", False),
    (1e8, "exact", True),
    (1e12, "exact", True),
    (1e12, "fast", False),
]


@pytest.mark.parametrize("offset, method, warned", OFFSETS)
def test_lost_digits_are_warned_about_as_on_the_command_line(offset, method, warned):
    data = rough(200, 200, 32) + offset
    calls = [lambda: vantrel.residuals(data, [9, 2500], method=method),
             lambda: vantrel.surface(data, 2500, method=method),
             lambda: vantrel.analyse(data, method=method)]
    for call in calls:
        with warnings.catch_warnings(record=True) as caught:
            warnings.simplefilter("always")
            call()
        precision = [w for w in caught if issubclass(w.category, vantrel.PrecisionWarning)]
        assert bool(precision) == warned
        if warned:
            assert "digits" in str(precision[0].message)
            assert 'method="fast"' in str(precision[0].message)


def test_normalise_avoids_the_loss_without_a_warning():
    with warnings.catch_warnings():
        warnings.simplefilter("error", vantrel.PrecisionWarning)
        vantrel.residuals(rough(100, 100, 33) + 1e12, [9, 400], normalise=True)


# (call, words): a window that leaves nothing to compute in 30 x 20 data
TOO_LARGE = [
    (lambda: vantrel.residuals(CLEAN[:30, :20], [4, 400]), "Area 400 has a window of side 20, "
     "not smaller than the data (30 x 20)"),
    (lambda: vantrel.residuals(CLEAN[:30, :20], [5000]), "side 70"),
    (lambda: vantrel.residuals(CLEAN[:30, :20], [4], shift=(0.0, 0.0), method="fast"), None),
    (lambda: vantrel.surface(CLEAN[:30, :20], 441), "Area 441 has a window of side 21, larger "
     "than the data (30 x 20)"),
]


@pytest.mark.parametrize("call, words", TOO_LARGE)
def test_a_window_larger_than_the_data_is_refused(call, words):
    if words is None:
        call()  # a window that fits is computed
        return
    with pytest.raises(ValueError) as raised:
        call()
    assert words in str(raised.value)


@pytest.mark.parametrize("shift", [(0.5, 0.5), (0.0, 1.0), (1.0, 0.25)])
@pytest.mark.parametrize("method", ["exact", "fast"])
def test_surface_is_nan_exactly_where_no_mean_was_computed(shift, method):
    data = rough(23, 31, 34)
    area = 49
    side, row_offset, column_offset = vantrel._vantrel.window_geometry(area, *shift)
    means = vantrel.surface(data, area, shift=shift, method=method)
    computed = np.zeros(data.shape, dtype=bool)
    computed[side - row_offset - 1:data.shape[0] - row_offset,
             side - column_offset - 1:data.shape[1] - column_offset] = True
    assert np.array_equal(np.isnan(means), ~computed)
    window = data[0:side, 0:side]  # the window of the first computed cell
    np.testing.assert_allclose(means[side - row_offset - 1, side - column_offset - 1],
                               window.mean(), rtol=1e-12)


# (argument, exception, words): empty inputs say what is wrong with them
EMPTY = [
    (lambda: vantrel.residuals(np.zeros((0, 64)), [4]), ValueError, "data is empty (0 x 64)"),
    (lambda: vantrel.analyse(np.zeros((64, 0))), ValueError, "data is empty (64 x 0)"),
    (lambda: vantrel.analyse(CLEAN, sides=[]), ValueError, "sides must be a non-empty"),
]


@pytest.mark.parametrize("call, error, words", EMPTY)
def test_empty_inputs_get_clear_messages(call, error, words):
    with pytest.raises(error) as raised:
        call()
    assert words in str(raised.value)


def test_no_areas_give_no_sums():
    assert vantrel.residuals(CLEAN, []).shape == (0,)
