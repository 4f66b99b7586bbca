"""What setup.py takes from the CMake build's definitions, so that both
builds compile the same library from the same generated files.

- library_sources: the lists MOG_LIBRARY_SOURCES and
  MOG_LIBRARY_PLATFORM_SOURCES (posix) of CMakeLists.txt;
- project_version: project(mog VERSION ...) there;
- version_header: cmake/version.h.in as configure_file fills it;
- petscii_table: the C++ table that cmake/petscii_unicode.cmake writes
  from data/petscii-unicode.tsv, byte for byte.
"""

import re
from pathlib import Path


def cmake_list(cmake_lists, name, platform="posix"):
    """The items of set(NAME ...), ${MOG_PLATFORM} as the platform."""
    found = re.search(r"^set\(" + name + r"\s+(.*?)\)", cmake_lists, re.M | re.S)
    if not found:
        raise SystemExit(f"CMakeLists.txt has no set({name} ...)")
    items = [line.split("#")[0].strip() for line in found.group(1).splitlines()]
    return [item.replace("${MOG_PLATFORM}", platform) for item in items if item]


def library_sources(root):
    cmake_lists = (Path(root) / "CMakeLists.txt").read_text(encoding="utf-8")
    return cmake_list(cmake_lists, "MOG_LIBRARY_SOURCES") + cmake_list(cmake_lists, "MOG_LIBRARY_PLATFORM_SOURCES")


def project_version(root):
    """(major, minor, patch) as strings."""
    cmake_lists = (Path(root) / "CMakeLists.txt").read_text(encoding="utf-8")
    found = re.search(r"^project\(mog VERSION (\d+)\.(\d+)\.(\d+)", cmake_lists, re.M)
    if not found:
        raise SystemExit("CMakeLists.txt has no project(mog VERSION x.y.z ...)")
    return found.groups()


def version_header(root):
    major, minor, patch = project_version(root)
    text = (Path(root) / "cmake" / "version.h.in").read_text(encoding="utf-8")
    for name, value in (
        ("PROJECT_VERSION_MAJOR", major),
        ("PROJECT_VERSION_MINOR", minor),
        ("PROJECT_VERSION_PATCH", patch),
        ("PROJECT_VERSION", f"{major}.{minor}.{patch}"),
    ):
        text = text.replace(f"@{name}@", value)
    return text


def petscii_table(root):
    tsv = Path(root) / "data" / "petscii-unicode.tsv"
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
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    if not path.exists() or path.read_text(encoding="utf-8") != text:
        path.write_text(text, encoding="utf-8")
