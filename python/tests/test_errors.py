"""Failures raise what the tool says, with its status, as mog.Error and the
matching built-in exception."""

import os
import zipfile

import mog
import pytest
from conftest import FILES, REPO, run_tool

SAMPLE = FILES[1]  # a D64


def missing(folder):
    return folder / "missing.d64"


def a_folder(folder):
    (folder / "folder.d64").mkdir()
    return folder / "folder.d64"


def too_large(folder):
    with open(folder / "large.d64", "wb") as file:
        file.truncate(16 * 1024 * 1024 + 1)
    return folder / "large.d64"


def unknown_extension(folder):
    (folder / "game.lha").write_bytes(SAMPLE.read_bytes())
    return folder / "game.lha"


def no_such_member(folder):
    with zipfile.ZipFile(folder / "games.zip", "w") as archive:
        archive.writestr("game.prg", SAMPLE.read_bytes())
    return folder / "games.zip!other.prg"


def not_a_zip(folder):
    (folder / "games.zip").write_bytes(b"PK junk")
    return folder / "games.zip"


def set_of(folder, cut):
    """The sample Zip-Code set, its fourth part missing or its third cut."""
    for part in (REPO / "tests/fixtures/zipcode").iterdir():
        if cut is not None or part.name[0] != "4":
            (folder / part.name).write_bytes(part.read_bytes()[:cut] if part.name[0] == "3" else part.read_bytes())
    return folder / "2!sample"


def below_a_file(folder):
    (folder / "game.prg").write_bytes(b"")
    return folder / "game.prg" / "inner.d64"


@pytest.mark.parametrize(
    "make, status, builtin",
    [
        (missing, 1, FileNotFoundError),
        (below_a_file, 1, FileNotFoundError),
        (a_folder, 3, IsADirectoryError),
        (too_large, 3, mog.Error),
        (unknown_extension, 1, mog.Error),
        (no_such_member, 1, FileNotFoundError),
        (not_a_zip, 3, mog.Error),
        (lambda folder: set_of(folder, None), 1, mog.Error),  # names the part that is missing
        (lambda folder: set_of(folder, 500), 3, mog.Error),
    ],
)
@pytest.mark.parametrize("as_path", [str, os.fsencode, lambda p: p], ids=["str", "bytes", "Path"])
def test_read_fails_as_the_tool_does(make, status, builtin, as_path, tmp_path):
    path = make(tmp_path)
    tool_status, _, message = run_tool("-v", path)
    with pytest.raises(builtin) as raised:
        mog.read(as_path(path))
    assert isinstance(raised.value, mog.Error)
    assert (raised.value.status, raised.value.message, str(raised.value)) == (tool_status, message, message)
    assert tool_status == status
    if builtin is not mog.Error:
        assert raised.value.filename == str(path)


@pytest.mark.parametrize("data, kind, status, message", [
    (SAMPLE.read_bytes(), "zip", 1, "Unknown extension of source file."),
    (b"\x01\x08", "", 1, "Unknown extension of source file."),
])
def test_from_bytes_fails_as_read_does(data, kind, status, message):
    with pytest.raises(mog.Error) as raised:
        mog.Container.from_bytes(data, kind)
    assert (raised.value.status, raised.value.message) == (status, message)


@pytest.mark.parametrize("machines", ["x", "c64,,c128", ("c64", "vic-20"), "c64,bogus", ""])
def test_unknown_machines_fail_as_on_the_command_line(machines, tmp_path):
    listed = machines if isinstance(machines, str) else ",".join(machines)
    status, _, message = run_tool("--machine", listed, "-v", SAMPLE)
    container = mog.read(SAMPLE)
    # Before a missing file too, as the command line checks them first.
    for call in (lambda: mog.read(SAMPLE, machines=machines), lambda: mog.read(missing(tmp_path), machines=machines),
                 lambda: container.stamp(1999, machines),
                 lambda: container.lacking(1999, machines), lambda: container.check(1999, machines),
                 lambda: mog.Container.from_bytes(container.data, "d64", machines=machines)):
        with pytest.raises(mog.Error) as raised:
            call()
        assert (raised.value.status, raised.value.message) == (status, message) == (1, message)


def test_a_path_holding_nul_is_refused_as_open_refuses_it(tmp_path):
    victim = tmp_path / "victim.txt"
    victim.write_bytes(b"kept")
    for call in (lambda: mog.read(str(victim) + "\0.d64", machines="bogus"),
                 lambda: mog.write(os.fsencode(victim) + b"\0.d64", b"new", replace=True)):
        with pytest.raises(ValueError, match="embedded null byte"):
            call()
    assert victim.read_bytes() == b"kept"


@pytest.mark.parametrize("line", [-1, 65536, 10**30])
def test_line_numbers_out_of_range_fail(line):
    container = mog.read(SAMPLE)
    for call in (container.stamp, container.lacking, container.check):
        with pytest.raises(ValueError) as raised:
            call(line)
        assert isinstance(raised.value, mog.Error) and raised.value.status == 1


def test_a_line_number_is_an_integer():
    with pytest.raises(TypeError):
        mog.read(SAMPLE).stamp(1999.0)


def test_write_creates_replaces_and_refuses_as_the_tool(tmp_path):
    data = mog.read(SAMPLE).stamp(1999)
    target = tmp_path / "out.d64"
    mog.write(target, data)
    assert target.read_bytes() == data
    # Something at the name stays, unless replacing is asked for.
    with pytest.raises(FileExistsError) as raised:
        mog.write(str(target), b"other")
    assert (raised.value.status, raised.value.message) == (3, f"Cannot write file '{target}': File exists.")
    assert target.read_bytes() == data
    os.chmod(target, 0o640)
    mog.write(os.fsencode(target), bytearray(b"new"), replace=True)
    assert target.read_bytes() == b"new" and os.stat(target).st_mode & 0o777 == 0o640


@pytest.mark.parametrize("make, builtin", [
    (lambda folder: folder / "missing" / "out.d64", FileNotFoundError),
    (lambda folder: "/sys/out.d64", PermissionError),
])
def test_write_fails_as_the_tool_does(make, builtin, tmp_path):
    path = make(tmp_path)
    status, _, message = run_tool("-y", "-n", 1999, SAMPLE, path)
    with pytest.raises(builtin) as raised:
        mog.write(path, b"x", replace=True)
    assert isinstance(raised.value, mog.Error)
    assert (raised.value.status, raised.value.message) == (status, message) == (3, message)


def test_write_refuses_a_folder(tmp_path):
    # The tool refuses it before writing, as no regular file; the library
    # when it comes to replace it.
    path = a_folder(tmp_path)
    for replace in (False, True):
        with pytest.raises(IsADirectoryError if replace else FileExistsError) as raised:
            mog.write(path, b"x", replace=replace)
        reason = "Is a directory" if replace else "File exists"
        assert (raised.value.status, raised.value.message) == (3, f"Cannot write file '{path}': {reason}.")
    assert path.is_dir()


def test_bytes_come_from_any_buffer_in_one_piece():
    data = SAMPLE.read_bytes()
    for buffer in (bytearray(data), memoryview(data)):
        assert mog.Container.from_bytes(buffer, "d64").data == data
    with pytest.raises(ValueError):
        mog.Container.from_bytes(memoryview(data)[::2], "d64")
    with pytest.raises(ValueError):
        mog.write("/nonexistent/x.prg", memoryview(data)[::2])
