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


@pytest.fixture(scope="module")
def thread_client():
    """A dask.distributed client on threads of this process, not the default one: for tests
    of the chunked functions that need a cluster but not its processes."""
    from dask.distributed import Client, LocalCluster

    with LocalCluster(n_workers=1, threads_per_worker=2, processes=False,
                      dashboard_address=":0") as cluster, \
            Client(cluster, set_as_default=False) as client:
        yield client
