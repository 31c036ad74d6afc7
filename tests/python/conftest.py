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


def write_x3p(path, data: np.ndarray, dx: float, dy: float) -> None:
    """An X3P surface file of float64 values whose points are dx and dy metres apart."""
    import zipfile

    axes = "".join(f"<{name}><AxisType>I</AxisType><DataType>D</DataType><Increment>{step!r}"
                   f"</Increment></{name}>" for name, step in (("CX", dx), ("CY", dy)))
    rows, columns = data.shape
    document = ("<p:ISO5436_2 xmlns:p=\"http://www.opengps.eu/2008/ISO5436_2\"><Record1>"
                f"<FeatureType>SUR</FeatureType><Axes>{axes}<CZ><AxisType>A</AxisType>"
                "<DataType>D</DataType></CZ></Axes></Record1><Record3><MatrixDimension>"
                f"<SizeX>{columns}</SizeX><SizeY>{rows}</SizeY><SizeZ>1</SizeZ></MatrixDimension>"
                "<DataLink><PointDataLink>bindata/data.bin</PointDataLink></DataLink></Record3>"
                "</p:ISO5436_2>")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("main.xml", document)
        archive.writestr("bindata/data.bin", data.astype("<f8").tobytes())
