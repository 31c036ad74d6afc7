"""pip install . on a machine without the build packages: setup.py stops before CMake with one
line that names what is missing and scripts/install-deps."""

import os
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]


def test_a_missing_build_tool_stops_with_one_line_naming_install_deps(tmp_path):
    # A PATH that holds the interpreter and nothing else: no cmake, make, compiler or pkg-config.
    bare = tmp_path / "bin"
    bare.mkdir()
    (bare / "python3").symlink_to(sys.executable)
    result = subprocess.run(
        [sys.executable, str(ROOT / "setup.py"), "build_ext", "--build-temp", str(tmp_path / "t"),
         "--build-lib", str(tmp_path / "l")],
        cwd=ROOT, env={**os.environ, "PATH": str(bare)}, capture_output=True, text=True)
    assert result.returncode != 0
    lines = result.stderr.strip().splitlines()
    assert lines[-1] == ("vantrel: the build needs cmake, make, a C++ compiler, pkg-config: run "
                         "scripts/install-deps python (as root or through sudo), then pip install "
                         "again"), result.stderr
    assert "CMake Error" not in result.stdout + result.stderr
