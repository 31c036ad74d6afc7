"""vantrel.residuals against the command line's results file, and the argument table."""

import math
import os
import subprocess

import numpy as np
import pytest

import vantrel
from conftest import rough


def cli_residuals(cli, tmp_path, data, areas, shift, options=()):
    """The residual sums of `vantrel-cli run`, printed with enough digits to give back the
    doubles exactly."""
    matrix = tmp_path / "matrix.txt"
    np.savetxt(matrix, data, fmt="%.17g")
    progression = tmp_path / "areas.txt"
    progression.write_text(f"{len(areas)}\n\n" + "\n".join(map(str, areas)) + "\n")
    subprocess.run(
        [cli, "run", "--input", str(matrix), "--progression-file", str(progression),
         "--shift", *map(str, shift), "--precision", "60", "--yes", "--quiet", *options],
        check=True)
    lines = (tmp_path / "matrix.txt.out.txt").read_text().split("\n")[:-1]
    return np.array([float(line.split("\t")[1]) for line in lines])


AREAS = [1, 4, 10, 16, 25, 99, 400, 841]

# (data, shift, keyword arguments, command-line options)
CLI_CASES = {
    "rough, sliding sums": (rough(61, 47, 1), (0.5, 0.5), {}, []),
    "rough, plain sums": (rough(33, 70, 2), (0.5, 0.5), {"optimise": False}, ["--no-optimise"]),
    "integers, corner shifts": (np.arange(40 * 30).reshape(40, 30) % 17, (0.0, 1.0), {}, []),
    "normalised": (rough(50, 50, 3) * 1e3 + 7, (0.3, 0.8), {"normalise": True}, ["--normalise"]),
    "one thread": (rough(64, 64, 4), (1.0, 0.0), {"threads": 1}, ["--threads", "1"]),
}


@pytest.mark.parametrize("case", CLI_CASES)
def test_exact_residuals_are_the_bits_of_the_cli(case, cli, tmp_path):
    data, shift, kwargs, options = CLI_CASES[case]
    expected = cli_residuals(cli, tmp_path, data, AREAS, shift, options)
    got = vantrel.residuals(data, AREAS, shift=shift, **kwargs)
    assert got.tobytes() == expected.tobytes()


def test_surface_matches_the_cli_surface_file(cli, tmp_path):
    data = rough(20, 25, 5)
    np.savetxt(tmp_path / "m.txt", data, fmt="%.17g")
    subprocess.run([cli, "run", "--input", str(tmp_path / "m.txt"), "--linear", "9", "9", "1",
                    "--shift", "0.5", "0.5", "--generate-surfaces", "--yes", "--quiet"],
                   check=True)
    expected = np.loadtxt(tmp_path / "m.txt.9.out.txt")
    # The file holds 20 digits after the point: equal to that, and 0 where Python says NaN.
    got = vantrel.surface(data, 9)
    assert np.isnan(got).sum() == 20 * 25 - 18 * 23
    np.testing.assert_allclose(np.nan_to_num(got, nan=0.0), expected, rtol=0, atol=1e-19)


def test_fast_method_stays_within_1e_12_of_exact():
    data = rough(200, 150, 6)
    exact = vantrel.residuals(data, AREAS[1:])
    fast = vantrel.residuals(data, AREAS[1:], method="fast")
    np.testing.assert_allclose(fast, exact, rtol=1e-12)


BASE = rough(30, 20, 7)


# Each conversion must give exactly the sums of the float64 C-contiguous array of its values.
@pytest.mark.parametrize("converted, values", [
    (np.asfortranarray(BASE), BASE),
    (np.repeat(BASE, 2, axis=1)[:, ::2], BASE),
    (np.pad(BASE, ((0, 0), (2, 3)))[:, 2:-3], BASE),
    (BASE.tolist(), BASE),
    (BASE.astype(np.float32), BASE.astype(np.float32).astype(np.float64)),
    ((BASE * 100).astype(np.int32), (BASE * 100).astype(np.int32).astype(np.float64)),
], ids=["fortran order", "strided columns", "slice of columns", "nested lists", "float32", "int32"])
def test_conversions_give_the_sums_of_the_values(converted, values):
    expected = vantrel.residuals(np.ascontiguousarray(values, dtype=np.float64), [4, 9, 36])
    assert vantrel.residuals(converted, [4, 9, 36]).tobytes() == expected.tobytes()


def write(path, text):
    path.write_text(text)
    return path


ERRORS = [
    # (call, exception, words in its message)
    (lambda t: vantrel.residuals(BASE, [4, 0]), ValueError,
     "Area 0 is below 1: every window area must be at least 1"),
    (lambda t: vantrel.residuals(BASE, [4], shift=(1.5, 0.5)), ValueError,
     "The n shift 1.5 must lie between 0 and 1"),
    (lambda t: vantrel.surface(BASE, 4, shift=(0.5, -0.25)), ValueError,
     "The m shift -0.25 must lie between 0 and 1"),
    (lambda t: vantrel.residuals(BASE, [4], method="slow"), ValueError, "neither exact nor fast"),
    (lambda t: vantrel.residuals(BASE, [4], threads=0), ValueError, "not between 1 and 1024"),
    (lambda t: vantrel.residuals(BASE[0], [4]), ValueError, "2-D array, not 1-D"),
    (lambda t: vantrel.residuals(BASE + 1j, [4]), TypeError, "real numbers"),
    (lambda t: vantrel.residuals([["a"]], [4]), TypeError, "real numbers"),
    (lambda t: vantrel.residuals(BASE, [4.5]), TypeError, "areas must be integers"),
    (lambda t: vantrel.residuals(BASE, [4], shift=0.5), TypeError, "shift must be a pair"),
    (lambda t: vantrel.residuals(BASE, [4], optimise="no"), TypeError, "optimise must be"),
    (lambda t: vantrel.residuals(BASE, [4], threads=2.0), TypeError, "threads must be"),
    (lambda t: vantrel.load(t / "missing.txt"), FileNotFoundError, "missing.txt"),
    (lambda t: vantrel.load(t), IsADirectoryError, "Is a directory"),
    (lambda t: vantrel.load(write(t / "ragged.txt", "1 2 3\n4 5\n")), ValueError,
     "The number of columns of row 2 is wrong (2 against 3)"),
    (lambda t: vantrel.load(write(t / "comma.txt", "1 2,5\n")), ValueError, '"2,5" in row 1'),
    (lambda t: vantrel.load(write(t / "m.txt", "1\n"), format="tiff"), ValueError,
     "'tiff' is none of text, csv, npy, gsf, gwy, x3p and gdal"),
    (lambda t: vantrel.load(write(t / "m.tif", "")), ValueError, "is not a raster that GDAL can read"),
    (lambda t: vantrel.analyse(BASE[:5]), ValueError, "The surface (5 x 20) is too small to analyse"),
    (lambda t: vantrel.analyse(BASE, sides=[40]), ValueError, "No window side fits the surface"),
    (lambda t: vantrel.analyse(BASE, shift=(2, 0)), ValueError, "The n shift 2 must lie between"),
    (lambda t: vantrel.analyse(BASE, side_range=(9, 3)), ValueError, "1 <= A <= B"),
]


@pytest.mark.parametrize("call, error, words", ERRORS)
def test_bad_arguments_raise_with_the_engines_words(call, error, words, tmp_path):
    with pytest.raises(error) as raised:
        call(tmp_path)
    assert words in str(raised.value)


def test_too_large_a_matrix_raises_memory_error(tmp_path):
    # A sparse file larger than this machine's memory, mapped without being read: the engine
    # refuses the surface before allocating it.
    path = tmp_path / "huge.bin"
    memory = os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE")
    side = math.isqrt(memory // 4) + 1  # a surface of side * side doubles: twice the memory
    with open(path, "wb") as file:
        file.truncate(side * side * 8)
    huge = np.memmap(path, dtype=np.float64, mode="r", shape=(side, side))
    with pytest.raises(MemoryError, match=f"Not enough memory for a matrix of {side} rows"):
        vantrel.residuals(huge, [4])


LOAD_DATA = rough(12, 9, 8)

# (file name, writer): each file holds LOAD_DATA, and the reader is chosen by its content.
WRITERS = {
    "text": ("m.txt", lambda path: np.savetxt(path, LOAD_DATA, fmt="%.17g")),
    "npy": ("m.npy", lambda path: np.save(path, LOAD_DATA)),
    "npy, Fortran order": ("f.dat", lambda path: np.save(open(path, "wb"),
                                                         np.asfortranarray(LOAD_DATA))),
    "csv": ("m.csv", lambda path: np.savetxt(path, LOAD_DATA, fmt="%.17g", delimiter=",")),
    # An instrument's export: numpy.loadtxt skips its comment lines, and so does load.
    "text with a header of comments": ("e.txt", lambda path: np.savetxt(
        path, LOAD_DATA, fmt="%.17g", comments="# ",
        header="Channel: Height\nWidth: 5.000 um\nHeight: 5.000 um\nValue units: m")),
    # Comments anywhere, as numpy.loadtxt reads them: lines of their own, after the values.
    "text with comments among and after the rows": ("c.txt", lambda path: path.write_text(
        "".join(f"{' '.join(f'{v:.17g}' for v in row)} # row {i}\n" + ("  #\n" if i % 4 else "")
                for i, row in enumerate(LOAD_DATA)))),
}


@pytest.mark.parametrize("case", WRITERS)
def test_load_reads_every_format_to_the_same_values(case, tmp_path):
    name, write_file = WRITERS[case]
    write_file(tmp_path / name)
    assert vantrel.load(tmp_path / name).tobytes() == LOAD_DATA.tobytes()
