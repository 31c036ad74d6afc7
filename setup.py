"""pip install . : the Python package `vantrel`, whose module is built by CMake from the same
CMakeLists.txt as the programs, so that there is one build description. Offline, with Debian's
setuptools and pybind11: pip install --no-build-isolation ."""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).parent.resolve()
VERSION = re.search(r"project\(Vantrel VERSION ([0-9.]+)",
                    (ROOT / "CMakeLists.txt").read_text()).group(1)


class CMakeExtension(Extension):
    """An extension module that CMake builds: setuptools only places it."""

    def __init__(self, name, target):
        super().__init__(name, sources=[])
        self.target = target


class CMakeBuild(build_ext):
    def build_extension(self, ext):
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
    ext_modules=[CMakeExtension("vantrel._vantrel", "_vantrel")],
    cmdclass={"build_ext": CMakeBuild},
    python_requires=">=3.9",
    install_requires=["numpy"],
    extras_require={"dask": ["dask[array]", "distributed"], "plot": ["matplotlib"]},
    zip_safe=False,
    # Apart from the build folder of `make`, which is also called build.
    options={"build": {"build_base": "build-python"}},
)
