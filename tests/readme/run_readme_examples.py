#!/usr/bin/env python3
"""Runs every example of README.md, so that the README cannot go stale.

Convention (docs/testing.md):
  ```sh        commands a reader can paste: run, in order, with bash -euo pipefail, in one
               temporary folder holding a copy of examples/ and `build`, a link to the build
               folder, with the built programs first on PATH and `python3` the interpreter the
               build is for, standard input from /dev/null; a block may use files an earlier
               block made.
  ```sh python like sh, where the build has the Python package (else skipped).
  ```sh norun  shown, not run: make targets, installing, the dialog, anything needing root, a
               display, the network or minutes of time.
  ```text output of: COMMAND
               output a reader will see: COMMAND is run after the sh blocks, in the same folder,
               and its standard output must be the block's text, so that the numbers the README
               quotes are the numbers the programs print.
  other blocks (```text, file contents, output) are never run.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

FENCE = re.compile(r"^```(.*)$")
OUTPUT_OF = "text output of:"


def shell_blocks(readme):
    """(first line number, info string, text) of every fenced block."""
    blocks, info, start, lines = [], None, 0, []
    for number, line in enumerate(readme.splitlines(), 1):
        fence = FENCE.match(line)
        if fence and info is None:
            info, start, lines = fence.group(1).strip(), number, []
        elif fence and fence.group(1) == "":
            blocks.append((start, info, "\n".join(lines) + "\n"))
            info = None
        elif info is not None:
            lines.append(line)
    if info is not None:
        sys.exit(f"README.md:{start}: a fenced block is never closed")
    return blocks


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--readme", required=True)
    parser.add_argument("--examples", required=True)
    parser.add_argument("--path", action="append", default=[], help="a folder of built programs")
    parser.add_argument("--build", required=True, help="the build folder, linked as `build`")
    parser.add_argument("--python", required=True, help="the interpreter `python3` runs")
    parser.add_argument("--with-python-package", action="store_true",
                        help="the build made the Python package: run the `sh python` blocks")
    args = parser.parse_args()
    with open(args.readme, encoding="utf-8") as f:
        blocks = shell_blocks(f.read())
    kinds = ("sh", "sh python") if args.with_python_package else ("sh",)
    runnable = [b for b in blocks if b[1] in kinds]
    unknown = [b for b in blocks
               if b[1].startswith("sh") and b[1] not in ("sh", "sh python", "sh norun")]
    for start, info, _ in unknown:
        print(f"README.md:{start}: unknown block kind '{info}' (sh or sh norun)")
    if unknown or not runnable:
        return 1
    with tempfile.TemporaryDirectory(prefix="vantrel-readme-") as folder:
        shutil.copytree(args.examples, os.path.join(folder, "examples"))
        os.symlink(args.build, os.path.join(folder, "build"))
        interpreter = os.path.join(folder, ".python")
        os.mkdir(interpreter)
        os.symlink(args.python, os.path.join(interpreter, "python3"))
        env = dict(os.environ, PATH=os.pathsep.join(
            [interpreter] + args.path + [os.environ.get("PATH", "")]))
        for start, _, text in runnable:
            result = subprocess.run(["bash", "-euo", "pipefail", "-c", text], cwd=folder, env=env,
                                    stdin=subprocess.DEVNULL, capture_output=True, text=True)
            if result.returncode != 0:
                print(f"README.md:{start}: the block failed with status {result.returncode}:\n"
                      f"{text}--- stdout:\n{result.stdout}--- stderr:\n{result.stderr}")
                return 1
        outputs = [b for b in blocks if b[1].startswith(OUTPUT_OF)]
        for start, info, text in outputs:
            command = info[len(OUTPUT_OF):].strip()
            result = subprocess.run(["bash", "-euo", "pipefail", "-c", command], cwd=folder,
                                    env=env, stdin=subprocess.DEVNULL, capture_output=True,
                                    text=True)
            if result.stdout != text:
                print(f"README.md:{start}: '{command}' prints\n{result.stdout}"
                      f"--- but the README shows\n{text}")
                return 1
    print(f"{len(runnable)} README blocks ran, {len(outputs)} outputs as shown")
    return 0


if __name__ == "__main__":
    sys.exit(main())
