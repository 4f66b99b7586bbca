"""What the tests of the package mog share: the tool they compare it with,
the files both read, and the fields of the JSON records."""

import json
import os
import subprocess
from pathlib import Path

import mog
import pytest

REPO = Path(os.environ.get("MOG_SOURCE_DIR", Path(__file__).resolve().parents[2]))
TOOL = os.environ.get("MOG_BINARY", str(REPO / "build" / "release" / "mog"))

# Every sample and container fixture.
FILES = sorted(p for pattern in ("*.d64", "*.d81", "*.t64", "*.prg") for p in (REPO / "samples").glob(pattern))
FILES += sorted(p for p in (REPO / "tests" / "fixtures").iterdir() if p.is_file())

# The fields a program has both in Python and in the JSON records.
FIELDS = ("index", "name", "name_petscii", "type", "load_address", "start_line", "line", "text", "machines", "archive",
          "shares_with")


def pytest_report_header(config):
    return [f"mog package: {mog.__file__}", f"mog tool: {TOOL}"]


def pytest_sessionstart(session):
    # The package under test is the one asked for, not another one on the path.
    wanted = os.environ.get("MOG_PYTHON_MODULE_DIR")
    if wanted and Path(mog.__file__).resolve().parent != Path(wanted).resolve():
        raise pytest.UsageError(f"imported {mog.__file__}, not the package in {wanted}")
    if not os.access(TOOL, os.X_OK):
        raise pytest.UsageError(f"no tool to compare with at {TOOL} (MOG_BINARY)")


def run_tool(*arguments):
    """The tool's status, JSON records (with --json) and message."""
    done = subprocess.run([TOOL, *map(str, arguments)], capture_output=True, stdin=subprocess.DEVNULL)
    records = [json.loads(line) for line in done.stdout.decode().splitlines()] if "--json" in arguments else []
    message = done.stderr.decode("utf-8", "surrogateescape").split("\n")[0]
    for prefix in ("ERROR: ", "ERR: "):
        message = message.removeprefix(prefix)
    return done.returncode, records, message


def program_fields(program):
    """A program's fields as its JSON record has them."""
    fields = {name: getattr(program, name) for name in FIELDS}
    if fields["name_petscii"] is not None:
        fields["name_petscii"] = fields["name_petscii"].hex()
    return fields


def record_fields(record):
    return {name: record.get(name) for name in FIELDS}  # shares_with only where an entry shares


def sda_program(version=2):
    """An SDA-shaped PRG: the stub 9 SYS2061 at $0801, filler up to 3 x 254
    bytes, then the header of an archive entry (a stored file)."""
    stub = bytes([0x01, 0x08, 0x0B, 0x08, 9, 0, 0x9E]) + b"2061" + bytes(3)
    filler = bytes(0x20 + (i * 37) % 0xC0 for i in range(3 * 254 - len(stub)))
    name = b"FILE"
    header = bytes([version, 0, 0x34, 0x12, 5, 0, 0, 1, 0]) + b"P" + bytes([len(name)]) + name + bytes(3)
    return stub + filler + header + b"\x01\x08ABC"
