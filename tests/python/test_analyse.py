"""vantrel.analyse against `vantrel-cli analyse --json` on the sample surface."""

import json
import os
import subprocess

import numpy as np
import pytest

import vantrel

SAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "rough_surface.txt")

# (keyword arguments, command-line options)
CASES = {
    "defaults": ({}, []),
    "exact, a range, shifted": ({"method": "exact", "side_range": (3, 41), "shift": (0.25, 0.5)},
                                ["--method", "exact", "--sides", "3:41", "--shift", "0.25", "0.5"]),
    "a list of sides": ({"sides": [5, 9, 17, 33]}, ["--sides", "5,9,17,33"]),
}


@pytest.mark.parametrize("case", CASES)
def test_analyse_gives_the_numbers_of_the_cli(case, cli):
    kwargs, options = CASES[case]
    printed = subprocess.run([cli, "analyse", SAMPLE, "--json", *options], check=True,
                             capture_output=True, text=True).stdout
    expected = json.loads(printed)
    got = vantrel.analyse(vantrel.load(SAMPLE), **kwargs)
    assert got.hurst == expected["hurst"]
    assert list(got.hurst_ci90) == expected["hurst_ci90"]
    assert got.fractal_dimension == expected["fractal_dimension"]
    assert list(got.fit_sides) == expected["fit_sides"]
    assert got.warnings == expected["warnings"]
    table = expected["table"]
    assert got.side.tolist() == [row["side"] for row in table]
    assert got.sigma2.tolist() == [row["sigma2"] for row in table]
    assert got.fitted.tolist() == [row["fitted"] for row in table]


def test_plot_draws_the_points_the_fit_and_its_range():
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    analysis = vantrel.analyse(vantrel.load(SAMPLE))
    figure, ax = plt.subplots()
    assert analysis.plot(ax) is ax
    line = ax.get_lines()[-1]
    assert line.get_xdata().tolist() == list(analysis.fit_sides)
    assert f"H = {analysis.hurst:.3f}" in ax.get_legend().get_texts()[-1].get_text()
    # The line runs through the fitted points: at its ends, near the points of those sides.
    ends = np.isin(analysis.side, analysis.fit_sides)
    np.testing.assert_allclose(line.get_ydata(), analysis.sigma2[ends], rtol=0.1)
    plt.close(figure)



@pytest.mark.parametrize("case", CASES)
def test_fitted_is_a_boolean_mask_of_the_table(case):
    analysis = vantrel.analyse(vantrel.load(SAMPLE), **CASES[case][0])
    assert analysis.fitted.dtype == np.bool_
    assert analysis.fitted.shape == analysis.side.shape
    # As a mask it picks the fitted sides; integers 0 and 1 would pick positions instead.
    assert int(analysis.fitted.sum()) == analysis.fit_points
    picked = analysis.side[analysis.fitted]
    assert (picked.min(), picked.max()) == tuple(analysis.fit_sides)
