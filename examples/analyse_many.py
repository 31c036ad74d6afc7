#!/usr/bin/env python3
"""Analyse many surfaces at once on a Dask cluster: one line per file, failures included.

    python3 examples/analyse_many.py surfaces/*.txt
    python3 examples/analyse_many.py --scheduler tcp://host:8786 --method exact surfaces/*.txt

Without --scheduler a LocalCluster on this machine does the work.
"""

import argparse
import sys

import vantrel.dask


def main() -> int:
    parser = argparse.ArgumentParser(description="Residual sums of many surface files with Dask")
    parser.add_argument("paths", nargs="+", help="data files (text matrices)")
    parser.add_argument("--scheduler", help="address of a running dask.distributed scheduler")
    parser.add_argument("--method", choices=["exact", "fast"], default="fast")
    parser.add_argument("--areas", type=int, nargs="+", default=None,
                        help="window areas (default: log 4 ... 1048576, factor 4)")
    args = parser.parse_args()

    client = None
    if args.scheduler:
        from dask.distributed import Client
        client = Client(args.scheduler)
    results = vantrel.dask.analyse_files(args.paths, client=client, method=args.method,
                                         areas=args.areas)
    for result in results:
        if result.ok:
            pairs = zip(result.result["areas"], result.result["residuals"])
            print(result.path, " ".join(f"{area}:{sum:.6g}" for area, sum in pairs))
        else:
            print(result.path, "failed:", result.error, file=sys.stderr)
    return 0 if all(result.ok for result in results) else 1


if __name__ == "__main__":
    sys.exit(main())
