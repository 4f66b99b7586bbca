"""Builds the package mog: the library's C++ sources and python/mog_module.cpp
as the extension mog._mog, beside the package's Python files.

The sources, the version and the generated files come from the CMake
build's definitions (python/build_sources.py), so that both builds compile
the same library.
"""

import os
import sys
from pathlib import Path

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

ROOT = Path(__file__).resolve().parent
# setuptools wants paths relative to this folder.
os.chdir(ROOT)
sys.path.insert(0, str(ROOT / "python"))
import build_sources  # noqa: E402

# At most two compilers at once (MOG_BUILD_JOBS=1 for one).
ParallelCompile("MOG_BUILD_JOBS", default=2, max=2).install()

# Generated files and the build's notes go below build/, which git ignores,
# as the CMake build's do.
GENERATED = Path("build") / "python-setup" / "generated"
GENERATED.mkdir(parents=True, exist_ok=True)


class build_generated_ext(build_ext):
    """Writes the version header and the PETSCII table before compiling."""

    def run(self):
        build_sources.write_if_different(GENERATED / "include" / "mog" / "version.h", build_sources.version_header(ROOT))
        build_sources.write_if_different(GENERATED / "petscii_unicode_table.cpp", build_sources.petscii_table(ROOT))
        super().run()


setup(
    version=".".join(build_sources.project_version(ROOT)),
    packages=["mog"],
    package_dir={"mog": "python/mog"},
    package_data={"mog": ["py.typed", "__init__.pyi"]},
    ext_modules=[
        Pybind11Extension(
            "mog._mog",
            ["python/mog_module.cpp", *build_sources.library_sources(ROOT), str(GENERATED / "petscii_unicode_table.cpp")],
            include_dirs=["include", str(GENERATED / "include"), "src"],
            cxx_std=20,
            libraries=["z"],  # zlib, for zip and gzip members
        )
    ],
    cmdclass={"build_ext": build_generated_ext},
    zip_safe=False,
    options={"egg_info": {"egg_base": str(GENERATED.parent)}},
)
