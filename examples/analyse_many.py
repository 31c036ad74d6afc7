#!/usr/bin/env python3
"""Analyse many surfaces at once on a Dask cluster: the Hurst exponent of each file with its 90%
interval, one line per file, failures included.

    python3 examples/analyse_many.py surfaces/*.txt
    python3 examples/analyse_many.py --scheduler tcp://host:8786 --method exact surfaces/*.npy

Without --scheduler a LocalCluster on this machine does the work.
"""

import argparse
import sys

import vantrel.dask


def main() -> int:
    parser = argparse.ArgumentParser(description="The Hurst exponent of many surface files with Dask")
    parser.add_argument("paths", nargs="+", help="surface files (any format vantrel.load reads)")
    parser.add_argument("--scheduler", help="address of a running dask.distributed scheduler")
    parser.add_argument("--method", choices=["exact", "fast"], default="fast")
    parser.add_argument("--sides", type=int, nargs="+", default=None,
                        help="window sides, all fitted (default: chosen as vantrel-cli analyse does)")
    args = parser.parse_args()

    client = None
    if args.scheduler:
        from dask.distributed import Client
        client = Client(args.scheduler)
    results = vantrel.dask.analyse_files(args.paths, client=client, method=args.method,
                                         sides=args.sides)
    for result in results:
        if not result.ok:
            print(result.path, "failed:", result.error, file=sys.stderr)
            continue
        analysis = result.result
        if analysis.hurst is None:
            print(result.path, "H not defined")
        else:
            low, high = analysis.hurst_ci90
            print(f"{result.path} H = {analysis.hurst:.3f} (90%: {low:.3f} to {high:.3f})")
        for warning in analysis.warnings:
            print(f"{result.path} warning: {warning}", file=sys.stderr)
    return 0 if all(result.ok for result in results) else 1


if __name__ == "__main__":
    sys.exit(main())
