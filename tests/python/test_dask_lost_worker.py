"""analyse_files on a cluster that loses a worker process while no task runs on it."""

import os
import signal
from concurrent.futures import ThreadPoolExecutor, wait

import numpy as np
import pytest

import vantrel
import vantrel.dask
from conftest import rough
from dask.distributed import Client, LocalCluster

#: Seconds the batch may take at most: a hang guard, not a speed target.
WAIT_BOUND = 120


def test_a_worker_killed_while_idle_does_not_abort_the_batch(tmp_path):
    surfaces = [rough(40 + 3 * k, 30 + 2 * k, 60 + k) for k in range(4)]
    paths = [tmp_path / f"s{k}.npy" for k in range(len(surfaces))]
    for path, surface in zip(paths, surfaces):
        np.save(path, surface)
    # The batch runs on another thread, so that one waiting for the dead worker fails here
    # instead of hanging; the bound is far above the second or so the batch takes.
    pool = ThreadPoolExecutor(1)
    try:
        with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                          dashboard_address=":0") as cluster, Client(cluster) as client:
            client.wait_for_workers(2)
            # Killed while idle, before the scheduler has noticed: tasks may still go to it.
            victim = next(iter(client.run(os.getpid).values()))
            os.kill(victim, signal.SIGKILL)
            batch = pool.submit(vantrel.dask.analyse_files, paths, client=client,
                                method="exact")
            finished, _ = wait([batch], timeout=WAIT_BOUND)
    finally:
        pool.shutdown(wait=False)  # closing the client above ends a batch still waiting
    assert finished, "analyse_files still waits for the killed worker's files"
    results = batch.result()
    assert [os.fspath(path) for path in paths] == [r.path for r in results]
    # The worker's files went to the other worker or to its restarted self: every file analysed.
    assert [r.error for r in results] == [None] * len(paths)
    for result, surface in zip(results, surfaces):
        assert result.result.hurst == vantrel.analyse(surface, method="exact", threads=1).hurst
