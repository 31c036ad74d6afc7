"""The multifractal analysis of one surface or measure: h(q) with 90% intervals, tau(q), the
singularity spectrum f(alpha), the surrogate test, and the three-panel plot."""

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

    def plot(self, axes: Any = None) -> Any:
        """Draw the three panels of `vantrel-cli multifractal --plot` on three matplotlib Axes
        (a new figure's when None): ln F_q against ln n with the fitted lines, h(q) with its 90%
        band and tau(q) on a second scale, and f(alpha). Returns the Axes. Needs matplotlib
        (Debian python3-matplotlib)."""
        try:
            import matplotlib.pyplot as plt
        except ImportError as missing:
            raise ImportError("Multifractal.plot needs matplotlib (python3-matplotlib)") from missing
        if axes is None:
            _, axes = plt.subplots(1, 3, figsize=(15, 4.5))
        left, middle, right = axes
        log_n = np.log(self.sides.astype(float))
        colours = plt.cm.coolwarm(np.linspace(0, 1, len(self.q)))
        for k, q in enumerate(self.q):
            left.plot(log_n, self.log_F[:, k], "o", ms=3, color=colours[k])
            if np.isfinite(self.h[k]):
                ends = log_n[[0, -1]]
                left.plot(ends, self.intercept[k] + self.h[k] * ends, "-", lw=1, color=colours[k],
                          label=f"q = {q:g}" if k in (0, len(self.q) - 1) else None)
        left.set_xlabel("ln n")
        left.set_ylabel("ln $F_q(n)$")
        left.legend()
        middle.fill_between(self.q, self.h_ci90[:, 0], self.h_ci90[:, 1], color="#b3c7f0",
                            label="90% interval")
        middle.plot(self.q, self.h, "o-", color="#1a33cc", label="h(q)")
        middle.set_xlabel("q")
        middle.set_ylabel("h(q)")
        second = middle.twinx()
        second.plot(self.q, self.tau, "-", color="grey", label="tau(q)")
        second.set_ylabel("tau(q)")
        middle.legend(loc="upper right")
        right.plot(self.alpha, self.f_alpha, "o-", color="#1a8033")
        right.set_xlabel("alpha")
        right.set_ylabel("f(alpha)")
        right.set_title(self.verdict if self.p_value is None
                        else f"{self.verdict} (p = {self.p_value:.3f})")
        return axes


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
