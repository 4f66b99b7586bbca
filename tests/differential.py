#!/usr/bin/python3
"""The three front ends give one answer: every sample, every fixture and
damaged files made here go through the tool (mog -v --json, mog --check
--json -n 1999, mog -n 1999), the page's answers built for this machine
(mog_page_api) and the Python package, and their verdicts, statuses, lacking
start lines, warnings and program records are held against each other field
by field. Prints each disagreement and fails on any; exits 77 (skipped) when
the package or the page's driver is not there.

    differential.py --mog build/python/mog --page-api build/python/web/mog_page_api
"""
import argparse
import json
import random
import subprocess
import sys
import tempfile
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
LINE = 1999
MACHINES = ("c64", "all")
SKIPPED = 77
DIRECTORY = 91648  # track 18 sector 1 of a D64 or D71: the first directory sector


def entry(slot):
    """Where a directory entry's file type byte lies in the first directory sector."""
    return DIRECTORY + 2 + 32 * slot


def sda_program():
    """An SDA-shaped PRG: the stub 9 SYS2061 at $0801, filler up to 3 x 254
    bytes, then the header of an archive entry (a stored file)."""
    stub = bytes([0x01, 0x08, 0x0B, 0x08, 9, 0, 0x9E]) + b"2061" + bytes(3)
    filler = bytes(0x20 + (i * 37) % 0xC0 for i in range(3 * 254 - len(stub)))
    header = bytes([2, 0, 0x34, 0x12, 5, 0, 0, 1, 0]) + b"P" + bytes([4]) + b"FILE" + bytes(3)
    return stub + filler + header + b"\x01\x08ABC"


def made_files(folder):
    """Damaged and odd files, each a case the front ends once answered apart."""
    disk = (REPO / "samples/sample.d64").read_bytes()
    blank = bytearray(174848)
    blank[91392:91395] = bytes([18, 1, 0x41])  # the anchor at 18/0 leads to an empty directory at 18/1
    blank[DIRECTORY:DIRECTORY + 2] = bytes([0, 0xFF])
    text_only = bytearray(blank)  # one SEQ file of plain text
    text_only[entry(0):entry(0) + 8] = bytes([0x81, 17, 0]) + b"NOTES"
    at = 357 * 256  # track 17 sector 0
    text_only[at:at + 14] = bytes([0, 13]) + b"PLAIN TEXT\x0d\x0d"
    c128_only = bytearray((REPO / "tests/fixtures/machines.d71").read_bytes())
    for slot in (0, 2, 3, 4, 5):
        c128_only[entry(slot)] = 0  # scratched: only the C128 program is left
    broken = bytearray(disk)
    broken[DIRECTORY:DIRECTORY + 2] = bytes([99, 0])
    shared = bytearray(disk)
    shared[entry(1) + 1:entry(1) + 3] = disk[entry(0) + 1:entry(0) + 3]
    files = {
        "empty.d64": b"",
        "blank.d64": bytes(blank),
        "cut.d64": disk[:len(disk) // 2],
        "errors.d64": disk + bytes(683),  # with its error bytes: warned about, yet whole
        "zeros.d81": bytes(819200),
        "broken.d64": bytes(broken),
        "text.d64": bytes(text_only),
        "c128only.d71": bytes(c128_only),
        "random.p64": random.Random(64).randbytes(4096),
        "headless.p00": (REPO / "samples/game.prg").read_bytes(),
        "archive.prg": sda_program(),
        "shared.d64": bytes(shared),
    }
    for name, content in files.items():
        (folder / name).write_bytes(content)
    return [folder / name for name in files]


def run(*command, folder=None):
    done = subprocess.run([str(part) for part in command], capture_output=True, stdin=subprocess.DEVNULL, cwd=folder)
    return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def marked(text):
    """Text as the page shows it: each control code a middle dot."""
    return None if text is None else "".join("\u00b7" if ord(c) < 0x20 or 0x7F <= ord(c) < 0xA0 else c for c in text)


def page_row(record):
    """The page's row for a program, as the tool's record calls for it."""
    start = record["start_line"]
    return {"index": record["index"], "name": marked(record["name"]), "type": record["type"],
            "load_address": None if record["load_address"] is None else "$%04X" % record["load_address"],
            "line": record["line"], "text": "SYS" + marked(record["text"]) if start else None,
            "settable": start and record["archive"] is None, "shares_with": record.get("shares_with")}


def python_fields(program):
    fields = {name: getattr(program, name) for name in ("index", "name", "type", "load_address", "start_line", "line",
                                                        "text", "machines", "archive", "shares_with")}
    fields["name_petscii"] = program.name_petscii.hex() if program.name_petscii is not None else None
    return fields


def record_fields(record):
    return {name: record.get(name) for name in ("index", "name", "type", "load_address", "start_line", "line",
                                                "text", "machines", "archive", "shares_with", "name_petscii")}


class Differences:
    def __init__(self):
        self.found = 0

    def same(self, where, what, **answers):
        """Notes a disagreement among the answers given."""
        values = list(answers.values())
        if any(value != values[0] for value in values[1:]):
            self.found += 1
            print("DIFFERS: %s: %s: %s" % (where, what, ", ".join("%s=%.300r" % item for item in answers.items())))

    def same_lines(self, where, what, tool, page):
        """Notes each line of the records that differs."""
        tool, page = tool.splitlines(), (page or "").splitlines()
        self.same(where, what + " count", tool=len(tool), page=len(page))
        for number, (expected, shown) in enumerate(zip(tool, page)):
            self.same(where, "%s line %d" % (what, number + 1), tool=expected, page=shown)


def compare(path, machines, tool, page_api, differ, scratch):
    import mog
    where = "%s --machine %s" % (path.name, machines)
    # The tool gets the bare name, as the page knows the file.
    status, out, _ = run(tool, "-v", "--json", "--machine", machines, path.name, folder=path.parent)
    listed = [json.loads(line) for line in out.splitlines()]
    check_status, check_out, _ = run(tool, "--check", "--json", "-n", LINE, "--machine", machines, path.name,
                                     folder=path.parent)
    checked = [json.loads(line) for line in check_out.splitlines()]
    out_path = scratch / ("out" + path.suffix)
    out_path.unlink(missing_ok=True)
    stamp_status, _, stamp_err = run(tool, "-n", LINE, "--machine", machines, path.name, out_path, folder=path.parent)
    _, driver_out, driver_err = run(page_api, path, LINE, machines)
    try:
        page = json.loads(driver_out)
    except ValueError:
        differ.same(where, "the page's driver answers", page=driver_err, expected="JSON")
        return
    container = mog.read(path, machines=machines)
    check = container.check(LINE, machines)
    file = listed[-1]

    # Listing: mog -v --json.
    differ.same(where, "listing status", tool=status, page=page["list"]["status"])
    differ.same(where, "listing error", tool=file["error"], page=page["list"]["error"])
    differ.same_lines(where, "listing records", tool=out, page=page["list"]["records"])
    differ.same(where, "kind", tool=file["kind"], page=page["list"]["kind"], python=container.kind)
    differ.same(where, "warnings", tool=file["warnings"], page=page["list"]["warnings"], python=container.warnings,
                check_page=page["check"]["warnings"], check_python=check.warnings)
    records = listed[:-1]
    differ.same(where, "program count", tool=len(records), page=len(page["list"]["programs"]),
                python=len(container.programs))
    for record, row, program in zip(records, page["list"]["programs"], container.programs):
        shown = {key: row[key] for key in page_row(record)}
        differ.same(where, "program %d on the page" % record["index"], tool=page_row(record), page=shown)
        differ.same(where, "program %d in Python" % record["index"], tool=record_fields(record),
                    python=python_fields(program))
        differ.same(where, "program %d: why it cannot be set" % record["index"], page=row["reason"],
                    python=program.not_settable)
        differ.same(where, "program %d settable" % record["index"], page=row["settable"], python=program.settable)

    # Check: mog --check --json -n 1999.
    answer = page["check"]
    differ.same(where, "check status", tool=check_status, page=answer["status"], python=check.status)
    differ.same(where, "check error", tool=checked[-1]["error"], page=answer["error"], python=check.why)
    differ.same_lines(where, "check records", tool=check_out, page=answer["records"])
    differ.same(where, "lacking start lines", tool=[r["index"] for r in checked[:-1]],
                page=[row["index"] for row in answer["programs"] if row["check"] is not None],
                python=[p.index for p in check.lacking],
                python_lacking=[p.index for p in container.lacking(LINE, machines)])
    differ.same(where, "check passed", tool=check_status == 0, page=answer["passed"], python=check.passed)
    differ.same(where, "no start line", page=answer["no_start_line"], python=check.no_start_line)
    differ.same(where, "failing warnings", page=answer["failing_warnings"], python=check.failing_warnings)

    # Stamp: mog -n 1999.
    message = stamp_err.split("\n")[0].split(": ", 1)[-1] if stamp_status else None
    differ.same(where, "stamp status", tool=stamp_status, page=page["stamp"]["status"])
    differ.same(where, "stamp error", tool=message, page=page["stamp"]["error"])
    try:
        stamped = container.stamp(LINE, machines)
    except mog.Error as error:
        differ.same(where, "Python's stamp refused", tool=(stamp_status, message), python=(error.status, error.message))
    else:
        differ.same(where, "stamped bytes", tool=out_path.read_bytes() if out_path.exists() else None,
                    python=stamped)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--mog", required=True)
    parser.add_argument("--page-api", required=True)
    arguments = parser.parse_args()
    try:
        import mog  # noqa: F401
    except ImportError as error:
        print("skipped: no Python package mog (%s)" % error)
        return SKIPPED
    for program in (arguments.mog, arguments.page_api):
        if not Path(program).is_file():
            print("skipped: no %s" % program)
            return SKIPPED
    differ = Differences()
    with tempfile.TemporaryDirectory(prefix="mog-differential-") as folder:
        folder = Path(folder)
        (folder / "made").mkdir()
        (folder / "out").mkdir()
        paths = [REPO / "samples" / name for name in ("sample.d64", "sample.d81", "sample.t64", "game.prg")]
        paths += sorted((REPO / "tests" / "fixtures").iterdir()) + made_files(folder / "made")
        for path in paths:
            for machines in MACHINES:
                compare(path, machines, Path(arguments.mog).resolve(), Path(arguments.page_api).resolve(), differ,
                        folder / "out")
    print("%d files, %d machine choices each: %d disagreements" % (len(paths), len(MACHINES), differ.found))
    return 1 if differ.found else 0


if __name__ == "__main__":
    sys.exit(main())
