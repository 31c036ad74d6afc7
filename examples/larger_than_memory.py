#!/usr/bin/env python3
"""vantrel.dask.residuals on an array several times larger than the memory of its workers.

Writes a rough surface of ROWS x ROWS float64 values to a .npy file (2 GiB for 16384 rows),
starts a LocalCluster whose workers may hold WORKERS x WORKER_MEMORY in all (a quarter of the
array by default), sums the residuals chunk by chunk on it, and compares the sums with the
in-memory fast method over the same file, memory-mapped in this process.

    python3 examples/larger_than_memory.py [--rows 16384] [--workers 1] [--worker-memory 512MiB]
"""

import argparse
import os
import resource
import tempfile
import time

import numpy as np

import vantrel
import vantrel.dask
from dask.distributed import Client, LocalCluster
from dask.utils import parse_bytes

AREAS = [4**k for k in range(1, 9)]  # log 4 ... 65536: window sides 2 ... 256


def write_surface(path, rows, seed=1):
    """A random walk down the columns, written a slab of rows at a time."""
    out = np.lib.format.open_memmap(path, mode="w+", dtype=np.float64, shape=(rows, rows))
    rng = np.random.default_rng(seed)
    carry = np.zeros(rows)
    for start in range(0, rows, 1024):
        slab = rng.normal(size=(min(1024, rows - start), rows)).cumsum(axis=0) + carry
        out[start : start + len(slab)] = slab
        carry = slab[-1]
    out.flush()
    del out


def peak_memory():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rows", type=int, default=16384)
    parser.add_argument("--chunk", type=int, default=1024)
    parser.add_argument("--workers", type=int, default=1)
    parser.add_argument("--worker-memory", default="512MiB")
    parser.add_argument("--folder", default=None, help="where the .npy file goes (kept)")
    args = parser.parse_args()

    folder = args.folder or tempfile.mkdtemp(prefix="vantrel-")
    path = os.path.join(folder, f"surface-{args.rows}.npy")
    if not os.path.exists(path):
        print(f"writing {path}")
        write_surface(path, args.rows)
    array_bytes = os.path.getsize(path)
    worker_bytes = args.workers * parse_bytes(args.worker_memory)
    print(f"array {array_bytes / 2**30:.2f} GiB; workers {worker_bytes / 2**30:.2f} GiB in all:"
          f" {array_bytes / worker_bytes:.1f} times larger")

    with LocalCluster(n_workers=args.workers, threads_per_worker=1, dashboard_address=":0",
                      memory_limit=args.worker_memory) as cluster, Client(cluster) as client:
        tiles = vantrel.dask.from_file(path, chunks=(args.chunk, args.chunk))
        start = time.perf_counter()
        chunked = vantrel.dask.residuals(tiles, AREAS)
        seconds = time.perf_counter() - start
        peaks = client.run(peak_memory)
    print(f"dask: {seconds:.1f} s; peak worker memory "
          + ", ".join(f"{p / 2**20:.0f} MiB" for p in peaks.values()))

    start = time.perf_counter()
    in_memory = vantrel.residuals(np.load(path, mmap_mode="r"), AREAS, method="fast")
    print(f"in memory, fast method: {time.perf_counter() - start:.1f} s")
    relative = np.abs(chunked - in_memory) / in_memory
    for area, a, b, r in zip(AREAS, chunked, in_memory, relative):
        print(f"{area:8d} {a:.17g} {b:.17g} {r:.1e}")
    print(f"largest relative difference {relative.max():.1e}",
          "(within 1e-12)" if relative.max() <= 1e-12 else "(NOT within 1e-12)")


if __name__ == "__main__":
    main()
