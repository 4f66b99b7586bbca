"""Commodore programs' BASIC start lines, as the tool mog sees and sets them.

Many machine-code programs for Commodore's 8-bit machines begin with a
one-line BASIC program such as ``10 SYS2061``. This package reads PRG and P00
files, D64, D71 and D81 disk images, T64 tapes and Lynx archives, zips and
gzips of them and Zip-Code sets, lists their programs with the same fields
as ``mog -v --json`` and sets the start lines' numbers under the same rules
as the tool, by default to the current year::

    import mog

    disk = mog.read("game.d64")
    for program in disk.programs:
        if program.start_line:
            print(program.index, program.name, program.line, program.text)
    print([p.name for p in disk.lacking(2026)])      # what mog --check -n 2026 names
    print(disk.check(2026).status)                   # and its exit status: 0 or 4
    mog.write("game.out.d64", disk.stamp(2026))      # what mog -n 2026 writes

    archive = mog.read("demo.zip")                   # a mog.Archive
    for member in archive.members:                   # each a mog.Container
        print(member.member, len(member.programs), member.warnings)
    mog.write("demo.out.zip", archive.stamp(2026))   # what mog -n 2026 writes
    print(mog.read("demo.zip!disks/demo.d64").kind)  # one member, named as the tool names it

    zipcode = mog.read("3!GAME")                     # a mog.DiskSet: the D64 in 1!GAME to 4!GAME
    for path, data in zipcode.stamp(2026).items():   # the parts that change
        mog.write(path, data, replace=True)

Failures raise mog.Error, with ``status`` (the tool's exit status) and
``message`` (the tool's text); those of files are also the matching built-in
exceptions (FileNotFoundError, PermissionError, IsADirectoryError,
FileExistsError), and a line number out of range is also a ValueError.
"""


class Error(Exception):
    """A failure, as the tool reports it.

    status: the status the tool would end with (1 command line or missing
    file, 2 a PRG or P00 without its start line or header, 3 a file that
    cannot be read or written). message: the tool's text, without its
    "ERROR: " or "ERR: ".
    """

    status: int = 1
    message: str = ""

    def __str__(self) -> str:
        return self.message or super().__str__()


class NotFoundError(Error, FileNotFoundError):
    """Nothing readable at the name (status 1), or a folder of the name missing on a write (status 3)."""


class NoPermissionError(Error, PermissionError):
    """The system refused access (status 3)."""


class IsAFolderError(Error, IsADirectoryError):
    """A folder where a file was expected (status 3)."""


class ExistsError(Error, FileExistsError):
    """Something is at the name and replacing it was not asked for (status 3)."""


class LineNumberError(Error, ValueError):
    """A line number below 0 or above 65535 (status 1)."""


from mog._mog import Archive, CheckResult, Container, DiskSet, Program, __version__, read, write  # noqa: E402

__all__ = [
    "read",
    "write",
    "Container",
    "Archive",
    "DiskSet",
    "Program",
    "CheckResult",
    "Error",
    "NotFoundError",
    "NoPermissionError",
    "IsAFolderError",
    "ExistsError",
    "LineNumberError",
    "__version__",
]
