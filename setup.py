"""Builds the package mog: the library's C++ sources and python/mog_module.cpp.

The sources, the version and the generated files come from the CMake build's
own definitions, so that both builds compile the same library:
- the sources are the lists MOG_LIBRARY_SOURCES and
  MOG_LIBRARY_PLATFORM_SOURCES (posix) of CMakeLists.txt;
- the version is project(mog VERSION ...) there, put into
  cmake/version.h.in as configure_file does;
- the PETSCII to Unicode table is written from data/petscii-unicode.tsv as
  cmake/petscii_unicode.cmake writes it.
"""

import os
import re
from pathlib import Path

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

ROOT = Path(__file__).resolve().parent

# At most two compilers at once; MOG_BUILD_JOBS sets another number.
ParallelCompile("MOG_BUILD_JOBS", default=2, max=2).install()


def cmake_list(text, name):
    """The items of set(NAME ...) in CMakeLists.txt, ${MOG_PLATFORM} as posix."""
    found = re.search(r"^set\(" + name + r"\s+(.*?)\)", text, re.M | re.S)
    if not found:
        raise SystemExit(f"CMakeLists.txt has no set({name} ...)")
    items = [line.split("#")[0].strip() for line in found.group(1).splitlines()]
    return [item.replace("${MOG_PLATFORM}", "posix") for item in items if item]


def project_version(text):
    found = re.search(r"^project\(mog VERSION (\d+)\.(\d+)\.(\d+)", text, re.M)
    if not found:
        raise SystemExit("CMakeLists.txt has no project(mog VERSION x.y.z ...)")
    return found.groups()


def petscii_table(tsv):
    """The C++ table, byte for byte as cmake/petscii_unicode.cmake writes it."""
    rows = [line for line in tsv.read_text(encoding="utf-8").splitlines() if re.match(r"0x[0-9A-Fa-f]{2}\t", line)]
    if len(rows) != 256:
        raise SystemExit(f"{tsv} has {len(rows)} rows, not one for each of the 256 bytes")
    entries = ""
    for expected, row in enumerate(rows):
        matched = re.match(r"0x([0-9A-Fa-f]{2})\tU\+([0-9A-Fa-f]+)\t", row)
        if not matched:
            raise SystemExit(f"{tsv}: cannot read the row '{row}'")
        if int(matched.group(1), 16) != expected:
            raise SystemExit(f"{tsv}: the row for byte {expected} is missing or out of order")
        entries += f"    0x{matched.group(2)},\n"
    return (
        "// Written by cmake/petscii_unicode.cmake from data/petscii-unicode.tsv; do not edit.\n"
        '#include "petscii/unicode_table.h"\n\nnamespace mog {\n\n'
        f"const char32_t PETSCII_UNICODE[256] = {{\n{entries}}};\n\n}} // namespace mog\n"
    )


def write_if_different(path, text):
    path.parent.mkdir(parents=True, exist_ok=True)
    if not path.exists() or path.read_text(encoding="utf-8") != text:
        path.write_text(text, encoding="utf-8")


# setuptools wants paths relative to this folder.
os.chdir(ROOT)

CMAKE_LISTS = (ROOT / "CMakeLists.txt").read_text(encoding="utf-8")
MAJOR, MINOR, PATCH = project_version(CMAKE_LISTS)
VERSION = f"{MAJOR}.{MINOR}.{PATCH}"
SOURCES = cmake_list(CMAKE_LISTS, "MOG_LIBRARY_SOURCES") + cmake_list(CMAKE_LISTS, "MOG_LIBRARY_PLATFORM_SOURCES")

# Generated files go below build/, which git ignores, as the CMake build's do.
GENERATED = Path("build") / "python-setup" / "generated"


class build_generated_ext(build_ext):
    """Writes the version header and the PETSCII table before compiling."""

    def run(self):
        version_header = (ROOT / "cmake" / "version.h.in").read_text(encoding="utf-8")
        for name, value in (
            ("PROJECT_VERSION_MAJOR", MAJOR),
            ("PROJECT_VERSION_MINOR", MINOR),
            ("PROJECT_VERSION_PATCH", PATCH),
            ("PROJECT_VERSION", VERSION),
        ):
            version_header = version_header.replace(f"@{name}@", value)
        write_if_different(ROOT / GENERATED / "include" / "mog" / "version.h", version_header)
        write_if_different(
            ROOT / GENERATED / "petscii_unicode_table.cpp", petscii_table(ROOT / "data" / "petscii-unicode.tsv")
        )
        super().run()


extension = Pybind11Extension(
    "mog._mog",
    ["python/mog_module.cpp", *SOURCES, str(GENERATED / "petscii_unicode_table.cpp")],
    include_dirs=["include", str(GENERATED / "include"), "src"],
    cxx_std=20,
)

setup(
    version=VERSION,
    packages=["mog"],
    package_dir={"mog": "python/mog"},
    package_data={"mog": ["py.typed", "__init__.pyi"]},
    ext_modules=[extension],
    cmdclass={"build_ext": build_generated_ext},
    zip_safe=False,
)
