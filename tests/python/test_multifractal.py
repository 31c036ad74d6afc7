"""vantrel.multifractal: the numbers of `vantrel-cli multifractal --json`, argument checks, and
the plot."""

import json
import subprocess

import numpy as np
import pytest

import vantrel


def pmodel(levels: int, seed: int) -> np.ndarray:
    """The p-model measure with fractions 0.1 ... 0.4, written in NumPy for the comparison."""
    rng = np.random.default_rng(seed)
    mass = np.ones((1, 1))
    for _ in range(levels):
        size = mass.shape[0]
        finer = np.empty((2 * size, 2 * size))
        for i in range(size):
            for j in range(size):
                p = rng.permutation([0.1, 0.2, 0.3, 0.4]) * mass[i, j]
                finer[2 * i:2 * i + 2, 2 * j:2 * j + 2] = p.reshape(2, 2)
        mass = finer
    return mass


def test_same_numbers_as_the_command_line(cli, tmp_path):
    data = pmodel(8, 2)
    path = tmp_path / "measure.npy"
    np.save(path, data)
    found = vantrel.multifractal(data, q=[-2, -1, 0, 1, 2], measure=True, surrogates=9)
    printed = json.loads(subprocess.run(
        [cli, "multifractal", str(path), "--measure", "--q", "-2:2:1", "--surrogates", "9",
         "--json"], check=True, capture_output=True, text=True).stdout)
    assert list(found.q) == printed["q"]
    np.testing.assert_array_equal(found.h, printed["h"])
    np.testing.assert_array_equal(found.tau, printed["tau"])
    np.testing.assert_array_equal(found.h_ci90, printed["h_ci90"])
    assert list(found.sides) == printed["sides"]
    assert found.p_value == printed["p_value"] and found.verdict == printed["verdict"]
    assert found.shift == (0.0, 0.0)
    # tau(q) = -log2 sum p^q of the p-model within the estimator's accuracy at this size.
    exact = [-np.log2(sum(p ** q for p in (0.1, 0.2, 0.3, 0.4))) for q in found.q]
    np.testing.assert_allclose(found.tau, exact, atol=0.3)


@pytest.mark.parametrize("arguments, error", [
    (dict(q=[]), ValueError),
    (dict(q=[np.nan]), ValueError),
    (dict(shift=(2.0, 0.0)), ValueError),
    (dict(surrogates=-1), ValueError),
    (dict(measure="yes"), TypeError),
    (dict(sides=[9], side_range=(9, 15)), ValueError),
])
def test_arguments_refused(arguments, error):
    with pytest.raises(error):
        vantrel.multifractal(np.ones((64, 64)), **{"surrogates": 0, **arguments})


def test_missing_values_refused():
    data = np.random.default_rng(1).normal(size=(64, 64)).cumsum(axis=0)
    data[3, 4] = np.nan
    # The package's one policy for missing cells, as residuals and analyse apply it.
    with pytest.raises(ValueError, match=r"1 of 4096 cells hold no value.*data\[3, 4\]"):
        vantrel.multifractal(data, surrogates=0)


def test_plot_draws_the_command_lines_four_panels():
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    data = np.random.default_rng(3).normal(size=(128, 128)).cumsum(axis=0).cumsum(axis=1)
    result = vantrel.multifractal(data, q=[-2, 0, 2], surrogates=0)
    axes = result.plot()
    # The titles and axis names of vantrel-cli multifractal --plot, panel by panel.
    assert [(a.get_title(), a.get_xlabel(), a.get_ylabel()) for a in axes] == [
        ("ln F_q(n), fitted lines", "ln n", "ln F_q"),
        ("h(q) with 90% intervals", "q", "h(q)"),
        ("mass exponent tau(q)", "q", "tau(q)"),
        ("singularity spectrum", "alpha", "f(alpha)"),
    ]
    # One line per q and one fitted line per q; the intervals are bars at each q, tau's the
    # image of h's under q h - 2 (ends swapped at q = -2).
    assert len(axes[0].get_lines()) == 6
    for axis, expected in ((axes[1], result.h_ci90), (axes[2], result.tau_ci90())):
        bars = np.array(axis.collections[0].get_segments())
        np.testing.assert_allclose(bars[:, :, 0], np.repeat(result.q[:, None], 2, axis=1))
        np.testing.assert_allclose(bars[:, :, 1], expected)
    low, high = result.tau_ci90()[0]
    assert low < high and np.isclose(high, -2 * result.h_ci90[0, 0] - 2)
