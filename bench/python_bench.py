#!/usr/bin/env python3
"""The Python package's speed, in one run, as ratios:

1. vantrel.residuals on a 2048 x 2048 float64 array over the areas log 4 ... 1048576 (factor 4)
   against `vantrel-cli run` on the same data as a text file, less the time the command line takes
   to load that text (a run whose only window is larger than the data). Target: within 10%.
2. method="fast" against the summed-area-table NumPy script a scientist would write for the same
   sums. Target: at least 10 times faster.

    PYTHONPATH=build/python python3 bench/python_bench.py --cli build/cli/vantrel-cli
"""

import argparse
import os
import subprocess
import tempfile
import time

import numpy as np

import vantrel

AREAS = [4**k for k in range(1, 11)]  # 4 ... 1048576: window sides 2 ... 1024


def best_of(repeats, work):
    times = []
    for _ in range(repeats):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return min(times)


def run_cli(cli, path, areas_args):
    subprocess.run(
        [cli, "run", "--input", path, *areas_args, "--shift", "0.5", "0.5", "--yes", "--quiet"],
        check=True, stderr=subprocess.DEVNULL)


def summed_area_residuals(data, areas, shift=(0.5, 0.5)):
    """The residual sums from one summed-area table of the data, window sums by four corners."""
    R, C = data.shape
    table = np.zeros((R + 1, C + 1))
    table[1:, 1:] = data.cumsum(axis=0).cumsum(axis=1)
    sums = []
    for area in areas:
        s, F, G = vantrel._vantrel.window_geometry(area, *shift)
        if R - s <= 0 or C - s <= 0:
            sums.append(0.0)
            continue
        windows = table[s:, s:] - table[:-s, s:] - table[s:, :-s] + table[:-s, :-s]
        means = windows[: R - s, : C - s] / (s * s)
        top, left = s - F - 1, s - G - 1
        difference = means - data[top : top + R - s, left : left + C - s]
        sums.append(float(np.sum(difference * difference)))
    return np.array(sums)


def main():
    parser = argparse.ArgumentParser(description="Python package speed, as ratios")
    parser.add_argument("--cli", required=True)
    parser.add_argument("--size", type=int, default=2048)
    parser.add_argument("--repeats", type=int, default=3)
    args = parser.parse_args()

    data = np.random.default_rng(1).normal(size=(args.size, args.size)).cumsum(axis=0)
    folder = tempfile.mkdtemp(prefix="vantrel-bench-")
    path = os.path.join(folder, "surface.txt")
    np.savetxt(path, data, fmt="%.17g")
    assert vantrel.load(path).tobytes() == data.tobytes()

    log_areas = ["--log", "4", "1048576", "4"]
    too_large = str((2 * args.size) ** 2)  # a window larger than the data: load and start only
    cli_total = best_of(args.repeats, lambda: run_cli(args.cli, path, log_areas))
    cli_load = best_of(args.repeats, lambda: run_cli(
        args.cli, path, ["--linear", too_large, too_large, "1"]))
    python_exact = best_of(args.repeats, lambda: vantrel.residuals(data, AREAS))
    # The same values with rows 8 doubles further apart, as the command line's separately
    # allocated rows are: rows exactly 16 KiB apart share cache sets in the window kernels.
    padded = np.zeros((args.size, args.size + 8))
    padded[:, : args.size] = data
    python_padded = best_of(args.repeats, lambda: vantrel.residuals(padded[:, : args.size], AREAS))
    python_fast = best_of(args.repeats, lambda: vantrel.residuals(data, AREAS, method="fast"))
    python_fast_one = best_of(args.repeats, lambda: vantrel.residuals(
        data, AREAS, method="fast", threads=1))
    numpy_table = best_of(args.repeats, lambda: summed_area_residuals(data, AREAS))

    fast = vantrel.residuals(data, AREAS, method="fast")
    table = summed_area_residuals(data, AREAS)
    agreement = np.max(np.abs(table - fast) / fast)

    cli_compute = cli_total - cli_load
    print(f"{args.size} x {args.size} float64, areas log 4 ... 1048576 factor 4, best of "
          f"{args.repeats}")
    print(f"  vantrel-cli run:           {cli_total:7.3f} s, of which text load {cli_load:.3f} s")
    print(f"  vantrel.residuals exact:   {python_exact:7.3f} s")
    print(f"  the same, rows padded:     {python_padded:7.3f} s")
    print(f"  vantrel.residuals fast:    {python_fast:7.3f} s")
    print(f"  vantrel.residuals fast, 1 thread: {python_fast_one:.3f} s")
    print(f"  summed-area table (NumPy): {numpy_table:7.3f} s (agrees with fast to {agreement:.0e})")
    ratio = python_exact / cli_compute
    speedup = numpy_table / python_fast
    print(f"exact from Python / CLI less load: {ratio:5.2f}  (target <= 1.10)"
          f"  {'ok' if ratio <= 1.10 else 'MISSED'}")
    print(f"  the same, rows padded:            {python_padded / cli_compute:5.2f}")
    print(f"summed-area NumPy / fast method:   {speedup:5.1f}  (target >= 10)"
          f"  {'ok' if speedup >= 10 else 'MISSED'}")
    print(f"  the same, one thread each:        {numpy_table / python_fast_one:5.1f}")


if __name__ == "__main__":
    main()
