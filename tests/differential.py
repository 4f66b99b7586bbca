#!/usr/bin/python3
"""The three front ends give one answer: every sample, fixture (a Lynx
archive and a Zip-Code set among them) and damaged file made here goes
through the tool (mog -v --json, mog --check --json -n 1999), the page's
answers built for this machine (mog_page_api) and the Python package; their
verdicts, statuses, lacking start lines, warnings and program records must
agree field by field. A zip and a gzip go through the tool and the package
member by member, and the page must say that it does not read them. Prints
each disagreement; exits 77 (skipped) without the package or the page's
driver.

    differential.py --mog build/python/mog --page-api build/python/web/mog_page_api
"""
import argparse
import gzip
import json
import random
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
DIRECTORY = 91648  # track 18 sector 1 of a D64 or D71
FIELDS = ("index", "name", "type", "load_address", "start_line", "line", "text", "machines", "archive", "shares_with")
PAGE_FIELDS = ("index", "name", "type", "load_address", "line", "text", "settable", "shares_with")
NOT_IN_PAGE = "Zip and gzip files are not supported in the page; the mog tool reads them."


def entry(slot):
    """Where a directory entry's file type byte lies."""
    return DIRECTORY + 2 + 32 * slot


def made_files(folder):
    """Damaged and odd files, each one the front ends once answered apart."""
    disk = (REPO / "samples/sample.d64").read_bytes()
    lynx = (REPO / "tests/fixtures/cbmconvert.lnx").read_bytes()
    blank = bytearray(174848)
    blank[91392:91395] = bytes([18, 1, 0x41])  # the anchor leads to an empty directory
    blank[DIRECTORY:DIRECTORY + 2] = bytes([0, 0xFF])
    text = bytearray(blank)  # one SEQ file of plain text
    text[entry(0):entry(0) + 19] = bytes([0x81, 17, 0]) + b"NOTES" + b"\xa0" * 11
    text[336 * 256:336 * 256 + 12] = bytes([0, 11]) + b"PLAIN TEXT"  # track 17 sector 0
    c128 = bytearray((REPO / "tests/fixtures/machines.d71").read_bytes())
    for slot in (0, 2, 3, 4, 5):
        c128[entry(slot)] = 0  # scratched, the C128 program left
    # An SDA: the stub 9 SYS2061, filler to 3 x 254 bytes, an archive entry.
    stub = bytes([1, 8, 11, 8, 9, 0, 0x9E]) + b"2061" + bytes(3)
    sda = stub + bytes(0x20 + i % 0xC0 for i in range(762 - len(stub))) + bytes(
        [2, 0, 0x34, 0x12, 5, 0, 0, 1, 0]) + b"P\x04FILE" + bytes(3) + b"\x01\x08ABC"
    files = {"empty.d64": b"", "blank.d64": blank, "cut.d64": disk[:len(disk) // 2], "errors.d64": disk + bytes(683),
             "zeros.d81": bytes(819200), "broken.d64": disk[:DIRECTORY] + bytes([99, 0]) + disk[DIRECTORY + 2:],
             "text.d64": text, "c128only.d71": c128, "random.p64": random.Random(64).randbytes(4096),
             "headless.p00": (REPO / "samples/game.prg").read_bytes(), "archive.prg": sda,
             "shared.d64": disk[:entry(1) + 1] + disk[entry(0) + 1:entry(0) + 3] + disk[entry(1) + 3:],
             "cut.lnx": lynx[:1000], "unsigned.lnx": lynx.replace(b"LYNX", b"LINX"),
             "sample.d81.gz": gzip.compress((REPO / "samples/sample.d81").read_bytes(), mtime=0)}
    for name, content in files.items():
        (folder / name).write_bytes(content)
    # Members of each kind, one kept as it is (bzip2), others passed over.
    with zipfile.ZipFile(folder / "games.zip", "w") as archive:
        archive.writestr("disks/sample.d64", disk, zipfile.ZIP_DEFLATED)
        archive.writestr("c128only.d71", bytes(c128), zipfile.ZIP_DEFLATED)
        archive.writestr("game.prg", (REPO / "samples/game.prg").read_bytes())
        archive.writestr("tape.t64", (REPO / "samples/sample.t64").read_bytes(), zipfile.ZIP_BZIP2)
        archive.writestr("headless.p00", (REPO / "samples/game.prg").read_bytes())
        archive.writestr("notes.txt", b"not a container")
    return [folder / name for name in files] + [folder / "games.zip"]


def run(*command, folder):
    done = subprocess.run([str(part) for part in command], capture_output=True, cwd=folder)
    return done.returncode, done.stdout.decode("utf-8")


def marked(text):
    """Text as the page shows it: each control code a middle dot."""
    return "".join("\u00b7" if ord(c) < 0x20 or 0x7F <= ord(c) < 0xA0 else c for c in text)


def page_row(record):
    """The page's row for a program, as the tool's record calls for it."""
    start = record["start_line"]
    return {"index": record["index"], "name": record["name"] and marked(record["name"]), "type": record["type"],
            "load_address": None if record["load_address"] is None else "$%04X" % record["load_address"],
            "line": record["line"], "text": "SYS" + marked(record["text"]) if start else None,
            "settable": start and record["archive"] is None, "shares_with": record.get("shares_with")}


def compare(path, machines, tool, page_api, same):
    """Notes through same(what, **answers) where the front ends differ on the file."""
    import mog
    # The tool gets the bare name, as the page knows the file.
    status, out = run(tool, "-v", "--json", "--machine", machines, path.name, folder=path.parent)
    check_status, check_out = run(tool, "--check", "--json", "-n", 1999, "--machine", machines, path.name,
                                  folder=path.parent)
    listed, checked = ([json.loads(line) for line in text.splitlines()] for text in (out, check_out))
    page = json.loads(run(page_api, path, 1999, machines, folder=None)[1])
    container = mog.read(path, machines=machines)  # a Zip-Code set lists and checks as its disk
    check = container.check(1999, machines)
    same("listing status", tool=status, page=page["list"]["status"])
    same("listing records", tool=out.splitlines(), page=page["list"]["records"].splitlines())
    same("kind", tool=listed[-1]["kind"], page=page["list"]["kind"], python=getattr(container, "disk", container).kind)
    same("warnings", tool=listed[-1]["warnings"], page=page["list"]["warnings"], python=container.warnings,
         check_page=page["check"]["warnings"], check_python=check.warnings)
    same("programs", tool=[page_row(r) for r in listed[:-1]],
         page=[{key: row[key] for key in PAGE_FIELDS} for row in page["list"]["programs"]])
    same("programs in Python", tool=[[r.get(key) for key in FIELDS] + [r["name_petscii"]] for r in listed[:-1]],
         python=[[getattr(p, key) for key in FIELDS] + [p.name_petscii and p.name_petscii.hex()]
                 for p in container.programs])
    same("why not settable", page=[row["reason"] for row in page["list"]["programs"]],
         python=[p.not_settable for p in container.programs])
    answer = page["check"]
    same("check status", tool=check_status, page=answer["status"], python=check.status)
    same("check error", tool=checked[-1]["error"], page=answer["error"], python=check.why)
    same("check records", tool=check_out.splitlines(), page=answer["records"].splitlines())
    same("lacking", tool=[r["index"] for r in checked[:-1]], python=[p.index for p in check.lacking],
         page=[row["index"] for row in answer["programs"] if row["check"]],
         python_lacking=[p.index for p in container.lacking(1999, machines)])
    same("check passed", tool=check_status == 0, page=answer["passed"], python=check.passed)
    same("no start line", page=answer["no_start_line"], python=check.no_start_line)
    same("failing warnings", page=answer["failing_warnings"], python=check.failing_warnings)


def compare_archive(path, machines, tool, page_api, same):
    """A zip's or gzip's members through the tool and the package; the page
    names the archive as one it does not read."""
    import mog
    _, out = run(tool, "-v", "--json", "--machine", machines, path.name, folder=path.parent)
    _, check_out = run(tool, "--check", "--json", "-n", 1999, "--machine", machines, path.name, folder=path.parent)
    listed, checked = ([json.loads(line) for line in text.splitlines()] for text in (out, check_out))
    members = mog.read(path, machines=machines).members
    checks = [member.check(1999, machines) for member in members]

    def by_member(records, fields):
        return [[[r.get(key) for key in fields] for r in records if r["file"] == file["file"]]
                for file in records if file["record"] == "file"]
    same("members", tool=[rows[-1] for rows in by_member(listed, ("member", "kind", "warnings"))],
         python=[[m.member, m.kind, m.warnings] for m in members])
    same("members' programs", tool=[rows[:-1] for rows in by_member(listed, FIELDS)],
         python=[[[getattr(p, key) for key in FIELDS] for p in m.programs] for m in members])
    same("members' checks", tool=by_member(checked, ("status", "error", "index")),
         python=[[[None, None, p.index] for p in c.lacking] + [[c.status, c.why, None]] for c in checks])
    answer = json.loads(run(page_api, path, 1999, machines, folder=None)[1])["admit"]
    same("the page's refusal", page=[answer["admitted"], answer["error"], answer["records"]],
         expected=[False, NOT_IN_PAGE, None])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--mog", required=True, type=Path)
    parser.add_argument("--page-api", required=True, type=Path)
    arguments = parser.parse_args()
    try:
        import mog  # noqa: F401
    except ImportError as error:
        print("skipped: no Python package mog (%s)" % error)
        return 77
    if not arguments.page_api.is_file():
        print("skipped: no %s" % arguments.page_api)
        return 77
    found = []
    with tempfile.TemporaryDirectory(prefix="mog-differential-") as folder:
        paths = [REPO / "samples" / name for name in ("sample.d64", "sample.d81", "sample.t64", "game.prg")]
        paths += sorted(p for p in (REPO / "tests/fixtures").iterdir() if p.is_file()) + made_files(Path(folder))
        paths.append(REPO / "tests/fixtures/zipcode/2!sample")
        for path in paths:
            for machines in ("c64", "all"):
                def same(what, **answers):
                    if any(value != list(answers.values())[0] for value in answers.values()):
                        found.append(what)
                        print("DIFFERS: %s --machine %s: %s: %s" % (path.name, machines, what, ", ".join(
                            "%s=%.400r" % item for item in answers.items())))
                archived = path.suffix.lower() in (".zip", ".gz")
                (compare_archive if archived else compare)(path, machines, arguments.mog.resolve(),
                                                           arguments.page_api.resolve(), same)
    print("%d files, 2 machine choices each: %d disagreements" % (len(paths), len(found)))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
