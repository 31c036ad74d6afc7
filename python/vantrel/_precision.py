"""The exact sums run over the raw values, so data whose mean is large beside its spread lose
digits to it (docs/exactness.md); the command line warns about it, and so does Python."""

from __future__ import annotations

import warnings

import numpy as np

from . import _vantrel
from ._warnings import PrecisionWarning

#: The expected relative error of the largest residual sum above which a warning is given: far
#: above a double's own rounding, and a thousand times the fast method's promise (1e-12 relative),
#: so that only a real loss is reported.
TOLERANCE = 1e-9


def warn_lost_digits(array: np.ndarray, largest_side: int, remedy: str) -> None:
    """A PrecisionWarning when the exact sums over windows up to `largest_side` are expected to
    be wrong by more than TOLERANCE relative; `remedy` names the arguments that avoid the loss."""
    if largest_side < 1 or array.size == 0:
        return
    ratio, digits, error = _vantrel.lost_digits(array, int(largest_side))
    if digits < 1 or not error > TOLERANCE:
        return
    size = (f"relative error about {error:.1g}" if error < 0.1
            else "the sums may be wrong in their first digit")
    warnings.warn(
        f"the data's mean is {ratio:.1g} times its spread: the exact sums lose about "
        f"{digits:.0f} digits ({size}); {remedy} avoids the loss",
        PrecisionWarning, stacklevel=3)
