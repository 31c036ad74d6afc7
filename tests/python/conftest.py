import os
import shutil

import numpy as np
import pytest


@pytest.fixture(scope="session")
def cli() -> str:
    """The vantrel-cli of the build under test."""
    path = os.environ.get("VANTREL_CLI") or shutil.which("vantrel-cli")
    if not path:
        pytest.fail("VANTREL_CLI names no vantrel-cli program")
    return path


def rough(rows: int, columns: int, seed: int) -> np.ndarray:
    """A rough surface: random steps summed down the columns."""
    return np.random.default_rng(seed).normal(size=(rows, columns)).cumsum(axis=0)
