"""The package gives what the tool gives: the same fields as mog -v --json,
the same bytes as mog -n, the same programs as mog --check."""

import datetime
import gzip
import hashlib
import shutil
import subprocess
import zipfile
import zlib

import mog
import pytest
from conftest import FILES, REPO, TOOL, program_fields, record_fields, run_tool, sda_program

MACHINES = ["c64", "all", "c64,c128"]


def as_argument(machines):
    return machines if isinstance(machines, str) else ",".join(machines)


def assert_listing_is_the_json_records(path, machines):
    status, records, _ = run_tool("-v", "--json", "--machine", machines, path)
    file = records[-1]
    programs = [r for r in records if r["record"] == "program"]
    container = mog.read(path, machines=machines)
    assert container.kind == file["kind"]
    assert container.warnings == file["warnings"]
    assert [program_fields(p) for p in container.programs] == [record_fields(r) for r in programs]
    assert container.data == path.read_bytes()
    again = mog.Container.from_bytes(container.data, container.kind, machines=machines)
    assert [program_fields(p) for p in again.programs] == [record_fields(r) for r in programs]


@pytest.mark.parametrize("machines", MACHINES)
@pytest.mark.parametrize("path", FILES, ids=lambda p: p.name)
def test_listing_is_the_json_records(path, machines):
    assert_listing_is_the_json_records(path, machines)


# Damaged containers, which the tool warns about.
DAMAGED = {
    "short.d64": lambda data: data[:120000],
    "error-bytes.d64": lambda data: data + bytes(683),
    "long.d64": lambda data: data + bytes(1000),
    "loop.d64": lambda data: data[:91648] + bytes([18, 1]) + data[91650:],  # track 18 sector 1 links to itself
    "unsigned.t64": lambda data: b"XYZ" + data[3:],
    "short.t64": lambda data: data[:100],
    "headless.p00": lambda data: data[26:],  # read as a file of no programs
    "unsigned.lnx": lambda data: data.replace(b"LYNX", b"LINX"),  # likewise
    "cut.lnx": lambda data: data[:1000],
}


@pytest.mark.parametrize("name", DAMAGED)
def test_warnings_are_the_tool_s(name, tmp_path):
    source = next(p for p in FILES if p.suffix == name[-4:])
    path = tmp_path / name
    path.write_bytes(DAMAGED[name](source.read_bytes()))
    assert_listing_is_the_json_records(path, "c64")
    # A check fails for each reason it gives, and only for one.
    status, records, _ = run_tool("--check", "--json", "-n", 800, path)
    check = mog.read(path).check(800)
    assert (check.status, check.why) == (status, records[-1]["error"])
    assert (status == 4) == bool(check.lacking or check.no_start_line or check.failing_warnings)


@pytest.mark.parametrize("line, machines", [(1999, "c64"), (0, "all"), (65535, ("c64", "c128"))])
@pytest.mark.parametrize("path", FILES, ids=lambda p: p.name)
def test_stamp_writes_what_the_tool_writes(path, line, machines, tmp_path):
    out = tmp_path / ("out" + path.suffix)
    status, _, message = run_tool("-n", line, "--machine", as_argument(machines), path, out)
    try:
        container = mog.read(path)
    except mog.Error as error:
        assert (error.status, error.message) == (status, message)
        return
    if status != 0:
        with pytest.raises(mog.Error) as raised:
            container.stamp(line, machines)
        assert (raised.value.status, raised.value.message) == (status, message)
    else:
        assert container.stamp(line, machines) == out.read_bytes()
        assert container.data == path.read_bytes()  # the container stays as it was


def test_stamp_without_a_line_sets_the_year(tmp_path):
    path = FILES[0]
    out = tmp_path / ("out" + path.suffix)
    assert run_tool(path, out)[0] == 0
    stamped = mog.read(path).stamp()
    assert stamped == out.read_bytes()
    lines = {p.line for p in mog.Container.from_bytes(stamped, path.suffix[1:]).programs if p.start_line}
    assert lines == {datetime.date.today().year}


def settable_programs(path):
    try:
        return [p.index for p in mog.read(path).programs if p.start_line and not p.archive]
    except mog.Error:
        return []


DISKS = [p for p in FILES if len(settable_programs(p)) >= 2]


@pytest.mark.parametrize("choose", [lambda s: s[:1], lambda s: s[-1:], lambda s: s[::2], lambda s: []],
                         ids=["first", "last", "every-other", "none"])
@pytest.mark.parametrize("path", DISKS, ids=lambda p: p.name)
def test_stamp_sets_only_the_programs_chosen(path, choose, tmp_path):
    container = mog.read(path)
    settable = settable_programs(path)
    chosen = choose(settable)
    stamped = container.stamp(1999, programs=chosen)
    # mog -i asks for each settable start line in turn; Enter keeps it.
    answers = "".join("1999\n" if index in chosen else "\n" for index in settable)
    out = tmp_path / ("out" + path.suffix)
    done = subprocess.run([TOOL, "-i", path, out], input=answers.encode(), capture_output=True)
    assert done.returncode == 0, done.stderr
    assert stamped == out.read_bytes()
    after = mog.Container.from_bytes(stamped, container.kind).programs
    for before, now in zip(container.programs, after):
        expected = dict(program_fields(before), line=1999) if before.index in chosen else program_fields(before)
        assert program_fields(now) == expected
    differing = [i for i, (a, b) in enumerate(zip(container.data, stamped)) if a != b]
    assert len(stamped) == len(container.data) and len(differing) <= 2 * len(chosen)


@pytest.mark.parametrize("programs", [[99], [-1], [len(mog.read(DISKS[0]).programs)]])
def test_stamp_refuses_indexes_of_no_program(programs):
    with pytest.raises(IndexError):
        mog.read(DISKS[0]).stamp(1999, programs=programs)


@pytest.mark.parametrize("line, machines", [(800, "c64"), (1999, "all"), (2061, "c128")])
@pytest.mark.parametrize("path", FILES, ids=lambda p: p.name)
def test_check_is_the_tool_s(path, line, machines):
    status, records, _ = run_tool("--check", "-n", line, "--machine", machines, "--json", path)
    container = mog.read(path, machines=machines)
    check = container.check(line, machines)
    assert (check.status, check.passed, check.why) == (status, status == 0, records[-1]["error"])
    assert check.warnings == records[-1]["warnings"]
    assert [program_fields(p) for p in check.lacking] == [record_fields(r) for r in records[:-1]]
    assert [program_fields(p) for p in container.lacking(line, machines)] == [record_fields(r) for r in records[:-1]]


@pytest.mark.parametrize("version, archive", [(2, "sda"), (9, None)])
def test_an_archive_stub_is_never_set(version, archive, tmp_path):
    path = tmp_path / "archive.prg"
    path.write_bytes(sda_program(version))
    _, records, _ = run_tool("-v", "--json", path)
    assert records[0]["archive"] == archive
    container = mog.read(path)
    assert [program_fields(p) for p in container.programs] == [record_fields(records[0])]
    stamped = container.stamp(1999)
    assert (stamped == path.read_bytes()) == (archive == "sda")
    assert [p.index for p in container.lacking(1999)] == ([] if archive else [0])
    run_tool("-n", 1999, path, tmp_path / "out.prg")
    assert stamped == (tmp_path / "out.prg").read_bytes()


def zip_of(folder):
    """A disk in a folder, a program stored, one whose CRC-32 is wrong and one
    compressed with bzip2 (both kept as they are), and files the tool passes
    over."""
    path = folder / "games.zip"
    game = (REPO / "samples/game.prg").read_bytes()
    with zipfile.ZipFile(path, "w") as archive:
        archive.writestr("disks/sample.d64", (REPO / "samples/sample.d64").read_bytes(), zipfile.ZIP_DEFLATED)
        archive.writestr("readme.txt", b"not a container")
        archive.writestr("game.prg", game)
        archive.writestr("crc.prg", game + b"\0")
        archive.writestr("plain.p00", b"x" * 100)
        archive.writestr("bzip2.prg", game, zipfile.ZIP_BZIP2)
    crc = zlib.crc32(game + b"\0").to_bytes(4, "little")
    path.write_bytes(path.read_bytes().replace(crc, bytes(4)))
    return path


def gzip_of(folder):
    path = folder / "sample.t64.gz"
    path.write_bytes(gzip.compress((REPO / "samples/sample.t64").read_bytes(), mtime=0))
    return path


@pytest.mark.parametrize("make", [zip_of, gzip_of])
def test_an_archive_is_the_tool_s(make, tmp_path):
    path = make(tmp_path)
    _, records, _ = run_tool("-v", "--json", path)
    _, checked, _ = run_tool("--check", "--json", "-n", 1999, path)
    files = [r for r in records if r["record"] == "file"]
    archive = mog.read(path)
    assert [(m.member, m.kind, m.warnings) for m in archive.members] == [
        (r["member"], r["kind"], r["warnings"]) for r in files]
    assert [(m.check(1999).status, m.check(1999).why) for m in archive.members] == [
        (r["status"], r["error"]) for r in checked if r["record"] == "file"]
    for member, file in zip(archive.members, files):
        programs = [r for r in records if r["record"] == "program" and r["file"] == file["file"]]
        assert [program_fields(p) for p in member.programs] == [record_fields(r) for r in programs]
        assert file["sha1"] == (hashlib.sha1(member.data).hexdigest() if member.data else None)
    out = tmp_path / ("out-" + path.name)
    run_tool("-n", 1999, path, out)
    assert archive.stamp(1999) == out.read_bytes()
    named = mog.read(f"{path}!{archive.members[-1].member}")
    assert (named.member, named.data) == (archive.members[-1].member, archive.members[-1].data)
    if archive.kind == "zip":  # one member chosen: only its content changes
        mog.write(tmp_path / "one.zip", archive.stamp(1999, members=["game.prg"]))
        changed = [a.data != b.data for a, b in zip(archive.members, mog.read(tmp_path / "one.zip").members)]
        assert changed == [False, True, False, False]


def test_a_zipcode_set_is_the_tool_s(tmp_path):
    for part in (REPO / "tests/fixtures/zipcode").iterdir():
        shutil.copy(part, tmp_path)
    _, records, _ = run_tool("-v", "--json", tmp_path / "3!sample")
    disk_set = mog.read(tmp_path / "3!sample")
    assert (disk_set.kind, disk_set.disk.kind, disk_set.warnings) == ("zipcode", records[-1]["kind"], [])
    assert [program_fields(p) for p in disk_set.programs] == [record_fields(r) for r in records[:-1]]
    assert run_tool("-n", 1999, tmp_path / "1!sample")[0] == 0  # writes 1!sample.out to 4!sample.out
    stamped = disk_set.stamp(1999)
    parts = [tmp_path / f"{k}!sample" for k in range(1, 5)]
    assert list(stamped) == [str(parts[0])] and stamped[str(parts[0])] != parts[0].read_bytes()
    for part in parts:
        assert stamped.get(str(part), part.read_bytes()) == part.with_name(part.name + ".out").read_bytes()
