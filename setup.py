"""pip install . : the Python package `vantrel`, whose module is built by CMake from the same
CMakeLists.txt as the programs, so that there is one build description. Offline, with Debian's
setuptools and pybind11: pip install --no-build-isolation ."""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import sysconfig

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).parent.resolve()
VERSION = re.search(r"project\(Vantrel VERSION ([0-9.]+)",
                    (ROOT / "CMakeLists.txt").read_text()).group(1)


def _exists(path):
    return lambda: os.path.exists(path)


# What building the module needs, as scripts/install-deps installs it on Debian: a command found
# on PATH, or a file the Debian package puts in place.
BUILD_NEEDS = [
    ("cmake", lambda: shutil.which("cmake")),
    ("make", lambda: shutil.which("make")),
    ("a C++ compiler", lambda: shutil.which("c++") or shutil.which("g++")),
    ("pkg-config", lambda: shutil.which("pkg-config")),
    ("Python's headers", _exists(os.path.join(sysconfig.get_paths()["include"], "Python.h"))),
    ("pybind11", lambda: any(os.path.exists(p) for p in (
        "/usr/lib/cmake/pybind11/pybind11Config.cmake",
        "/usr/share/cmake/pybind11/pybind11Config.cmake"))),
    ("GDAL's headers", _exists("/usr/include/gdal/gdal.h")),
    ("fast_float", _exists("/usr/include/fast_float/fast_float.h")),
    ("FFTW", _exists("/usr/include/fftw3.h")),
    ("cairo", _exists("/usr/include/cairo/cairo.h")),
]


def missing_build_needs():
    return [name for name, present in BUILD_NEEDS if not present()]


class CMakeExtension(Extension):
    """An extension module that CMake builds: setuptools only places it."""

    def __init__(self, name, target):
        super().__init__(name, sources=[])
        self.target = target


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        # One line instead of CMake's page of errors on a machine without the build packages.
        missing = missing_build_needs()
        if missing:
            sys.exit(f"vantrel: the build needs {', '.join(missing)}: run scripts/install-deps "
                     f"python (as root or through sudo), then pip install again")
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        configure = ["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                     f"-DPython_EXECUTABLE={sys.executable}", "-DVANTREL_BUILD_PYTHON=ON",
                     "-DVANTREL_BUILD_GUI=OFF", "-DVANTREL_BUILD_TESTS=OFF"]
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", ext.target,
                        "-j", str(os.cpu_count() or 1)], check=True)
        built = next((build / "python" / "vantrel").glob(f"{ext.target}*.so"))
        destination = pathlib.Path(self.get_ext_fullpath(ext.name))
        destination.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built, destination)


setup(
    name="vantrel",
    version=VERSION,
    description="Moving-average surfaces and residual sums of 2-D data over window areas",
    package_dir={"": "python"},
    packages=["vantrel"],
    # The inline types are the package's own (PEP 561): type checkers read them.
    package_data={"vantrel": ["py.typed"]},
    ext_modules=[CMakeExtension("vantrel._vantrel", "_vantrel")],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.9",
    install_requires=["numpy"],
    extras_require={"dask": ["dask[array]", "distributed"], "plot": ["matplotlib"],
                    "xarray": ["xarray"], "rasters": ["gdal"]},
    zip_safe=False,
    # Apart from the build folder of `make`, which is also called build.
    options={"build": {"build_base": "build-python"}},
)
