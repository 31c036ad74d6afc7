"""What `vantrel.dask.analyse_files` computes for one surface.

`analyse_matrix` is the single place where the per-file analysis is chosen. Until this build has
the scaling analysis, it returns the residual sums over a progression of window areas; when the
analysis arrives, it is called here instead and every caller follows."""

from __future__ import annotations

from typing import Any, Dict, Iterable, Optional, Tuple

import numpy as np

#: The default areas: log 4 ... 1048576, factor 4 (window sides 2 ... 1024).
DEFAULT_AREAS: Tuple[int, ...] = tuple(4**k for k in range(1, 11))


def analyse_matrix(
    data: np.ndarray,
    *,
    areas: Optional[Iterable[int]] = None,
    shift: Tuple[float, float] = (0.5, 0.5),
    method: str = "fast",
    optimise: bool = True,
    normalise: bool = False,
    threads: Optional[int] = None,
) -> Dict[str, Any]:
    """The analysis of one matrix: {"areas": int array, "residuals": float array}."""
    from . import residuals

    chosen = np.asarray(DEFAULT_AREAS if areas is None else list(areas))
    sums = residuals(
        data,
        chosen,
        shift=shift,
        method=method,
        optimise=optimise,
        normalise=normalise,
        threads=threads,
    )
    return {"areas": chosen, "residuals": sums}
