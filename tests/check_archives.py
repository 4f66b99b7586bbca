#!/usr/bin/env python3
"""Zips, gzips and Zip-Code sets through the tool, made and checked with
Python's zipfile, gzip and zlib, `unzip -t` and zip2disk where installed.

Usage: check_archives.py SOURCE_DIR MOG [FAULT_PRELOAD]. Prints FAIL lines
and ends with status 1 on any, 0 when all hold."""
import gzip, hashlib, json, os, shutil, signal, subprocess, sys, tempfile, zipfile, zlib

src, mog = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
preload = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
failed = []


def check(ok, what):
    if not ok:
        failed.append(what)
        print("FAIL:", what)


def run(*arguments, env=None):
    # A runner may start us with SIGINT ignored; the tool would inherit that.
    return subprocess.run([mog, *arguments], capture_output=True, env=env,
                          preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))


def records(*arguments):
    return [json.loads(line) for line in run("--json", *arguments).stdout.splitlines()]


def stamped(name, content):
    """What mog -n 1999 makes of a container file's content."""
    with open(name, "wb") as file:
        file.write(content)
    run("-y", "-n", "1999", name, name)
    with open(name, "rb") as file:
        return file.read()


def raw_members(path):
    """Each member's local header and data, as stored."""
    with open(path, "rb") as file:
        data = file.read()
    with zipfile.ZipFile(path) as archive:
        infos = sorted(archive.infolist(), key=lambda i: i.header_offset)
    directory = int.from_bytes(data[data.rfind(b"PK\x05\x06") + 16:][:4], "little")
    ends = [i.header_offset for i in infos[1:]] + [directory]
    return {i.filename: data[i.header_offset:end] for i, end in zip(infos, ends)}


os.chdir(tempfile.mkdtemp())
disk = open(os.path.join(src, "samples/sample.d64"), "rb").read()
game = open(os.path.join(src, "samples/game.prg"), "rb").read()
with zipfile.ZipFile("a.zip", "w") as archive:
    info = zipfile.ZipInfo("disks/game.d64", (1999, 12, 31, 23, 59, 58))
    info.comment, info.extra = b"the disk", b"\xfe\xca\x02\x00hi"
    archive.writestr(info, disk, zipfile.ZIP_DEFLATED)
    archive.writestr("readme.txt", b"not a container")
    archive.writestr("done.prg", stamped("done.prg", game), zipfile.ZIP_STORED)
    archive.comment = b"a collection"

# Listings and records name members; each record carries the member's hashes.
listed = records("-v", "a.zip")
files = [r for r in listed if r["record"] == "file"]
check([r["file"] for r in files] == ["a.zip!disks/game.d64", "a.zip!done.prg"], "members named by their path")
check(files[0]["member"] == "disks/game.d64" and files[0]["crc32"] == "%08x" % zlib.crc32(disk) and
      files[0]["sha1"] == hashlib.sha1(disk).hexdigest(), "a member's record and hashes")

# A stamp changes the changed member alone; everything else keeps its bytes.
result = run("-n", "1999", "a.zip")
check(result.returncode == 0 and subprocess.run(["unzip", "-tq", "a.out.zip"], capture_output=True).returncode == 0,
      "the stamped zip is whole")
with zipfile.ZipFile("a.zip") as old, zipfile.ZipFile("a.out.zip") as new:
    check(new.read("disks/game.d64") == stamped("x.d64", disk), "the stamped member is what mog -n makes of it")
    check([(i.filename, i.date_time, i.comment, i.extra) for i in old.infolist()] ==
          [(i.filename, i.date_time, i.comment, i.extra) for i in new.infolist()] and new.comment == old.comment,
          "names, times, comments and extra fields are kept")
before, after = raw_members("a.zip"), raw_members("a.out.zip")
check(before["readme.txt"] == after["readme.txt"] and before["done.prg"] == after["done.prg"],
      "unchanged members are copied byte for byte")
written = [r for r in records("-y", "-n", "1999", "a.zip") if r["record"] == "file"]
stamped_disk = stamped("y.d64", disk)
check(written[0]["new_sha1"] == hashlib.sha1(stamped_disk).hexdigest(), "new hashes of the written member")

# A gzip keeps its header; in place, an interruption at the rename leaves it whole.
with gzip.GzipFile("g.d64.gz", "wb", mtime=123456789) as file:
    file.write(disk)
header = open("g.d64.gz", "rb").read()[:10]
check(run("-n", "800", "g.d64.gz", "same.d64.gz").returncode == 0 and open("same.d64.gz", "rb").read() ==
      open("g.d64.gz", "rb").read(), "a gzip whose lines carry the number is written as it was")
os.mkdir("folder")
shutil.copy("g.d64.gz", "folder/g.d64.gz")
env = dict(os.environ, LD_PRELOAD=preload, MOG_RAISE_AT_RENAME=str(int(signal.SIGINT)),
           ASAN_OPTIONS="verify_asan_link_order=0") if preload else None
result = run("--in-place", "-n", "1999", "folder", env=env)
check(result.returncode == (-signal.SIGINT if preload else 0), "an interrupted batch ends as interrupted")
content = open("folder/g.d64.gz", "rb").read()
check(content[:10] == header and gzip.decompress(content) == stamped_disk, "the gzip is whole, its header kept")

# Hostile archives: each member kept as it is with a warning that fails a check.
with zipfile.ZipFile("hostile.zip", "w") as archive:
    archive.writestr("bomb.d64", bytes(17 << 20), zipfile.ZIP_DEFLATED)
    archive.writestr("../../up.prg", game)
    archive.writestr("bzip2.prg", game, zipfile.ZIP_BZIP2)
    archive.writestr("crc.prg", game, zipfile.ZIP_STORED)
hostile = bytearray(open("hostile.zip", "rb").read())
at = hostile.rfind(game[:64])
hostile[at + 8] ^= 0xFF
open("hostile.zip", "wb").write(hostile)
found = {r["member"]: r for r in records("--check", "-n", "800", "hostile.zip") if r["record"] == "file"}
check(len(found["bomb.d64"]["warnings"]) == 1 and found["bomb.d64"]["status"] == 4, "a bomb is kept as it is")
check(found["bzip2.prg"]["warnings"] == ["Compressed with method 12, which mog does not read: kept as it is."],
      "bzip2 is kept as it is")
check(found["crc.prg"]["status"] == 4 and found["../../up.prg"]["status"] == 0, "a CRC mismatch fails the check")
run("--in-place", "-n", "7", "hostile.zip")
check(not os.path.exists("../up.prg") and not os.path.exists("../../up.prg"), "a name with .. is no path")
with zipfile.ZipFile("many.zip", "w") as archive:
    archive.writestr("first.prg", game)
    for k in range(70000):
        archive.writestr("%d.txt" % k, b"")
many = [r for r in records("-v", "many.zip") if r["record"] == "file"]
check(many[0]["warnings"] == ["More than 65535 files in the archive: the others are not read."], "70,000 members")
open("cut.zip", "wb").write(open("a.zip", "rb").read()[:300])
check(run("-v", "cut.zip").returncode == 3, "a cut archive cannot be read")
if shutil.which("zip"):
    subprocess.run(["zip", "-q", "-P", "secret", "locked.zip", "done.prg"], check=True)
    locked = [r for r in records("--check", "-n", "1999", "locked.zip") if r["record"] == "file"]
    check(locked[0]["warnings"] == ["Encrypted: kept as it is."], "an encrypted member is kept as it is")

# A Zip-Code set: the named part leads to the set; a stamp recodes only what changed.
for part in "1234":
    shutil.copy(os.path.join(src, "tests/fixtures/zipcode/%s!sample" % part), ".")
check(run("-n", "1999", "3!sample").returncode == 0, "a set is stamped")
if shutil.which("zip2disk"):
    subprocess.run(["zip2disk", "sample.out", "set.d64"], capture_output=True)
    check(open("set.d64", "rb").read() == stamped_disk, "the stamped set holds what mog -n makes of its disk")
os.remove("2!sample")
result = run("-v", "1!sample")
check(result.returncode == 1 and b"2!sample" in result.stderr, "a missing part is named")

sys.exit(1 if failed else 0)
