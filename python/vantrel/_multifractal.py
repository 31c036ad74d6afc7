"""The multifractal analysis of one surface or measure: h(q) with 90% intervals, tau(q), the
singularity spectrum f(alpha), the surrogate test, and the four-panel plot."""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import Any, List, Optional, Sequence, Tuple, Union

import numpy as np

from . import _arguments, _vantrel


@dataclass(frozen=True)
class Multifractal:
    """What `vantrel.multifractal` found, the numbers of `vantrel-cli multifractal --json`.

    Per q: `h` with its 90% interval `h_ci90` (an array of [low, high] rows), `tau` = q h - 2,
    `alpha` and `f_alpha`. Per side: `sides`, `boxes`, `zero_boxes` (boxes left out, their
    residual 0) and `log_F` (ln F_q, one row per side). `width` is h(qmin) - h(qmax); `p_value`
    and `verdict` are the surrogate test's ("multifractal", "no evidence of multifractality" or
    "not tested").
    """

    rows: int
    columns: int
    measure: bool
    shift: Tuple[float, float]
    q: np.ndarray
    h: np.ndarray
    h_ci90: np.ndarray = field(repr=False)
    tau: np.ndarray = field(repr=False)
    alpha: np.ndarray = field(repr=False)
    f_alpha: np.ndarray = field(repr=False)
    width: Optional[float] = None
    alpha_width: Optional[float] = None
    p_value: Optional[float] = None
    verdict: str = "not tested"
    surrogates: int = 0
    warnings: List[str] = field(default_factory=list)
    sides: np.ndarray = field(default=None, repr=False)
    boxes: np.ndarray = field(default=None, repr=False)
    zero_boxes: np.ndarray = field(default=None, repr=False)
    log_F: np.ndarray = field(default=None, repr=False)
    intercept: np.ndarray = field(default=None, repr=False)

    @classmethod
    def from_engine(cls, found: dict) -> "Multifractal":
        """The Multifractal of the engine's dictionary (vantrel._vantrel.multifractal)."""
        defined = found["defined"]
        return cls(
            rows=found["rows"],
            columns=found["columns"],
            measure=found["measure"],
            shift=tuple(found["shift"]),
            q=found["q"],
            h=found["h"],
            h_ci90=np.column_stack([found["h_low"], found["h_high"]]) if defined
            else np.full((len(found["q"]), 2), np.nan),
            tau=found["tau"],
            alpha=found["alpha"],
            f_alpha=found["f_alpha"],
            width=found["width"] if defined else None,
            alpha_width=found["alpha_width"] if defined else None,
            p_value=found["p_value"],
            verdict=found["verdict"],
            surrogates=found["surrogates"],
            warnings=list(found["warnings"]),
            sides=np.asarray(found["sides"]),
            boxes=np.asarray(found["boxes"]),
            zero_boxes=np.asarray(found["zero_boxes"]),
            log_F=found["log_F"],
            intercept=found["intercept"],
        )

    def tau_ci90(self) -> np.ndarray:
        """The 90% interval of tau(q) = q h(q) - 2 from h's, its ends swapped where q < 0."""
        ends = self.q[:, None] * self.h_ci90 - 2.0
        return np.sort(ends, axis=1)

    def plot(self, axes: Any = None) -> Any:
        """Draw the four panels of `vantrel-cli multifractal --plot` on four matplotlib Axes (a
        new figure's, side by side, when None): ln F_q against ln n with the fitted lines, h(q)
        with its 90% intervals, tau(q) with its 90% intervals (a panel of its own, as a panel has
        one vertical scale), and f(alpha) with the verdict. Returns the Axes. Needs matplotlib
        (Debian python3-matplotlib)."""
        try:
            import matplotlib.pyplot as plt
        except ImportError as missing:
            raise ImportError("Multifractal.plot needs matplotlib (python3-matplotlib)") from missing
        if axes is None:
            _, axes = plt.subplots(1, 4, figsize=(20, 5.5))
        family, exponent, mass, spectrum = axes
        log_n = np.log(self.sides.astype(float))
        colours = plt.cm.coolwarm(np.linspace(0, 1, len(self.q)))
        for k, q in enumerate(self.q):
            # The ends of the q range and q = 0 are named; the colours between follow them.
            named = k in (0, len(self.q) - 1) or q == 0
            family.plot(log_n, self.log_F[:, k], "o", ms=3, color=colours[k],
                        label=f"q = {q:g}" if named else None)
            if np.isfinite(self.h[k]):
                ends = log_n[[0, -1]]
                family.plot(ends, self.intercept[k] + self.h[k] * ends, "-", lw=1,
                            color=colours[k])
        _panel(family, "ln F_q(n), fitted lines", "ln n", "ln F_q")
        for axis, values, intervals, title, name, style, colour in (
                (exponent, self.h, self.h_ci90, "h(q) with 90% intervals", "h(q)", "o", "#1a33cc"),
                (mass, self.tau, self.tau_ci90(), "mass exponent tau(q)", "tau(q)", "o-",
                 "#5a5a5a")):
            shown = np.all(np.isfinite(intervals), axis=1)
            axis.vlines(self.q[shown], intervals[shown, 0], intervals[shown, 1], color="#80a0eb",
                        lw=1.6, label="90% interval")
            axis.plot(self.q, values, style, ms=4, color=colour, label=name)
            _panel(axis, title, "q", name)
        spectrum.plot(self.alpha, self.f_alpha, "o", color="#1a8033",
                      label=self.verdict if self.p_value is None
                      else f"{self.verdict}\np = {self.p_value:.3f}")
        _panel(spectrum, "singularity spectrum", "alpha", "f(alpha)")
        return axes


def _panel(axis: Any, title: str, x: str, y: str) -> None:
    """The titles and legend of one panel, the same texts as the command line's figure."""
    axis.set_title(title)
    axis.set_xlabel(x)
    axis.set_ylabel(y)
    axis.legend(fontsize="small")


def moments(q: Union[Sequence[float], np.ndarray, None]) -> List[float]:
    """The q values as floats, finite; None: the default -4 to 4 in steps of 0.5."""
    if q is None:
        return []
    array = np.atleast_1d(np.asarray(q, dtype=float))
    if array.ndim != 1 or array.size == 0 or not np.all(np.isfinite(array)):
        raise ValueError("q must be a non-empty 1-D list of finite numbers")
    return [float(value) for value in array]


def analyse(
    data: _arguments.DataLike,
    *,
    q: Optional[Sequence[float]] = None,
    measure: bool = False,
    sides: Optional[Sequence[int]] = None,
    side_range: Optional[Tuple[int, int]] = None,
    shift: Optional[Tuple[float, float]] = None,
    surrogates: int = 99,
    seed: int = 1,
    threads: Optional[int] = None,
) -> Multifractal:
    """vantrel.multifractal (see there)."""
    if sides is not None and side_range is not None:
        raise ValueError("give sides or side_range, not both")
    side_list = [] if sides is None else _arguments.sides(sides)
    first, last = (0, 0) if side_range is None else _arguments.side_range(side_range)
    n_shift, m_shift = (-1.0, -1.0) if shift is None else _arguments.shift(shift)
    for name, value in (("surrogates", surrogates), ("seed", seed)):
        if isinstance(value, bool) or not isinstance(value, (int, np.integer)) or value < 0:
            raise ValueError(f"{name} must be a whole number of at least 0")
    found = _vantrel.multifractal(
        _arguments.matrix(data),
        moments(q),
        side_list,
        first,
        last,
        _arguments.flag("measure", measure),
        n_shift,
        m_shift,
        int(surrogates),
        int(seed),
        _arguments.threads(threads),
    )
    return Multifractal.from_engine(found)
