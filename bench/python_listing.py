#!/usr/bin/python3
"""Reading and listing 1,000 D64 images from Python: through the package mog
against running `mog --batch -v --json` on them and parsing its output with
the json module. Both give every program's fields as a dict, and they are
checked to be the same. Prints the best and the median of several rounds.

Usage: bench/python_listing.py [--mog build/release/mog] [--images 1000] [--rounds 7]
The package is the one `import mog` finds: a venv's, or the CMake build's
(PYTHONPATH=build/python/python).
"""

import argparse
import json
import shutil
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

import mog

REPO = Path(__file__).resolve().parent.parent
FIELDS = ("index", "name", "name_petscii", "type", "load_address", "start_line", "line", "text", "machines", "archive")


def through_the_package(paths):
    listing = []
    for path in paths:
        for program in mog.read(path).programs:
            fields = {name: getattr(program, name) for name in FIELDS}
            fields["file"] = path
            listing.append(fields)
    return listing


def through_the_tool(tool, folder):
    output = subprocess.run([tool, "--batch", "-v", "--json", folder], capture_output=True, check=True).stdout
    return [record for record in map(json.loads, output.splitlines()) if record["record"] == "program"]


def rounds(count, work):
    times = []
    for _ in range(count):
        start = time.perf_counter()
        result = work()
        times.append(time.perf_counter() - start)
    return min(times), statistics.median(times), result


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--mog", default=str(REPO / "build" / "release" / "mog"))
    parser.add_argument("--images", type=int, default=1000)
    parser.add_argument("--rounds", type=int, default=7)
    arguments = parser.parse_args()

    folder = Path(tempfile.mkdtemp(prefix="mog-python-bench-"))
    try:
        # Different images, written in full: each differs in one data byte.
        image = (REPO / "samples" / "sample.d64").read_bytes()
        paths = []
        for number in range(arguments.images):
            path = folder / f"disk{number:04d}.d64"
            path.write_bytes(image[:4096] + b"%04d" % number + image[4100:])
            paths.append(str(path))

        package_best, package_median, listed = rounds(arguments.rounds, lambda: through_the_package(paths))
        tool_best, tool_median, records = rounds(arguments.rounds, lambda: through_the_tool(arguments.mog, folder))

        # The same programs with the same fields, both ways.
        for fields in listed:
            if fields["name_petscii"] is not None:
                fields["name_petscii"] = fields["name_petscii"].hex()
        assert listed == [{name: record[name] for name in (*FIELDS, "file")} for record in records]

        print(f"package: {mog.__file__}, tool: {arguments.mog}, {len(listed)} programs on {len(paths)} images")
        print(f"mog.read and listing, {len(paths)} images: best {package_best * 1000:.0f} ms, "
              f"median {package_median * 1000:.0f} ms")
        print(f"mog --batch -v --json and json.loads, {len(paths)} images: best {tool_best * 1000:.0f} ms, "
              f"median {tool_median * 1000:.0f} ms")
        print(f"ratio (package / tool), medians: {package_median / tool_median:.2f}")
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
