"""The scaling analysis of one surface: the Hurst exponent with its 90% interval, the per-side
table it was fitted on, and its log-log plot."""

from __future__ import annotations

import math
from dataclasses import dataclass, field
from typing import Any, List, Optional, Tuple

import numpy as np

from ._labelled import PixelGrid


@dataclass(frozen=True)
class Analysis:
    """What `vantrel.analyse` found, the numbers of `vantrel-cli analyse --json`.

    `hurst`, `hurst_ci90`, `fractal_dimension` and `fit_sides` are None when no line could be
    fitted (the warnings say why). The per-side table is `side`, `area`, `residual`, `sigma2`
    (the mean squared residual per cell) and `fitted` (whether the fit took the point), one
    array element per side. `fit_line` is the fitted line's (slope, intercept) in natural
    logarithms, ln sigma2 = intercept + slope ln s, whose slope is twice the exponent before
    its bias correction. `warning_codes` names each warning in the order of `warnings`, for
    scripts to test without reading the text ("curved", "above_one", ...; docs/analysis.md
    lists them).

    For an xarray.DataArray whose coordinates are evenly spaced, `pixel_size` is (width,
    height) of a cell, the spacing of columns and of rows, in `unit` (the coordinates' units),
    `side_length` each side in that unit, and `value_unit` the values' unit (attrs["units"]);
    None otherwise, as `--json`'s pixel_size, unit and side_length.
    """

    rows: int
    columns: int
    hurst: Optional[float]
    hurst_ci90: Optional[Tuple[float, float]]
    fractal_dimension: Optional[float]
    fit_sides: Optional[Tuple[int, int]]
    fit_points: int
    warnings: List[str]
    side: np.ndarray = field(repr=False)
    area: np.ndarray = field(repr=False)
    residual: np.ndarray = field(repr=False)
    sigma2: np.ndarray = field(repr=False)
    fitted: np.ndarray = field(repr=False)
    fit_line: Optional[Tuple[float, float]] = field(default=None, repr=False)
    warning_codes: List[str] = field(default_factory=list)
    pixel_size: Optional[Tuple[float, float]] = None
    unit: Optional[str] = None
    value_unit: Optional[str] = None

    @property
    def side_length(self) -> Optional[np.ndarray]:
        """Each side's length in `unit`: the side times the pixel width, or times sqrt(width x
        height) for pixels that are not square; None without a pixel size."""
        if self.pixel_size is None:
            return None
        width, height = self.pixel_size
        return self.side * (width if width == height else math.sqrt(width * height))

    @classmethod
    def from_engine(cls, found: dict, grid: Optional[PixelGrid] = None) -> "Analysis":
        """The Analysis of the engine's dictionary (vantrel._vantrel.analyse), with the pixel
        size and units of `grid` where there is one."""
        defined = found["defined"]
        return cls(
            rows=found["rows"],
            columns=found["columns"],
            hurst=found["hurst"] if defined else None,
            hurst_ci90=(found["low"], found["high"]) if defined else None,
            fractal_dimension=found["fractal_dimension"] if defined else None,
            fit_sides=(found["fit_first_side"], found["fit_last_side"]) if defined else None,
            fit_points=found["fit_points"],
            warnings=list(found["warnings"]),
            side=found["side"],
            area=found["area"],
            residual=found["residual"],
            sigma2=found["sigma2"],
            fitted=found["fitted"],
            fit_line=(found["fit_slope"], found["fit_intercept"]) if found["fit_valid"] else None,
            warning_codes=list(found["warning_codes"]),
            pixel_size=None if grid is None else (grid.width, grid.height),
            unit=None if grid is None else grid.unit,
            value_unit=None if grid is None else grid.value_unit,
        )

    def plot(self, ax: Any = None) -> Any:
        """Draw the log-log plot on the matplotlib Axes `ax` (the current Axes when None), as
        `vantrel-cli analyse --plot` draws it: sigma2 against the side, fitted points filled and
        the others hollow, the fitted line over the fit range, the range shaded, H with its
        interval in the legend. Returns the Axes. Needs matplotlib (Debian python3-matplotlib).
        """
        try:
            import matplotlib.pyplot as plt
        except ImportError as missing:
            raise ImportError("Analysis.plot needs matplotlib (python3-matplotlib)") from missing
        if ax is None:
            ax = plt.gca()
        # Sides in the pixel's unit where it has one, as `analyse --plot` draws them.
        in_units = self.side_length is not None and bool(self.unit)
        scale = float(self.side_length[0] / self.side[0]) if in_units else 1.0
        shown = np.isfinite(self.sigma2) & (self.sigma2 > 0)
        fitted, other = shown & self.fitted, shown & ~self.fitted
        ax.loglog(self.side[fitted] * scale, self.sigma2[fitted], "o", color="#0d338c",
                  label="fitted sides")
        ax.loglog(self.side[other] * scale, self.sigma2[other], "o", mfc="none", color="#0d338c",
                  label="other sides")
        if self.fit_line is not None and self.fit_sides is not None:
            slope, intercept = self.fit_line
            first, last = self.fit_sides
            ax.axvspan(first * scale, last * scale, color="#dbebff", zorder=0)
            ends = np.array([first, last], dtype=float)
            ax.loglog(ends * scale, np.exp(intercept + slope * np.log(ends)), "-",
                      color="#cc1a1a", label=self._legend())
        ax.set_xlabel(f"window side s ({self.unit})" if in_units else "window side s")
        squared = f" ({self.value_unit}$^2$)" if self.value_unit else ""
        ax.set_ylabel("mean squared residual per cell, $\\sigma^2(s)$" + squared)
        ax.legend()
        return ax

    def _legend(self) -> str:
        if self.hurst is None or self.hurst_ci90 is None:
            return "fit (H not defined)"
        low, high = self.hurst_ci90
        return f"H = {self.hurst:.3f} (90%: {low:.3f} to {high:.3f})"
