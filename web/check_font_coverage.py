#!/usr/bin/python3
"""Checks that the web page's font has a glyph for every character of the
PETSCII to Unicode table (its control codes left out), for printable ASCII
and for the middle dot that the page, as mog --unicode, shows for a control
code, and for nothing else; names each code point that is missing or extra.

Usage: check_font_coverage.py [data/petscii-unicode.tsv] [web/font/petscii-unifont.woff2]

Exit status: 0 covered, 1 missing or extra code points or a broken table,
77 when Python's fontTools (Debian: python3-fonttools) or brotli
(python3-brotli), which reads WOFF2, is not installed.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
# What the page shows in place of a control code.
CONTROL_MARK = 0x00B7
ROW = re.compile(r"0x([0-9A-Fa-f]{2})\tU\+([0-9A-Fa-f]{4,6})\t")


def is_control(code_point):
    return code_point < 0x20 or 0x7F <= code_point < 0xA0


def table_code_points(path):
    """The code points of the table's 256 rows; exits if a row is missing."""
    mapped = {}
    with open(path, encoding="utf-8") as table:
        for line in table:
            match = ROW.match(line)
            if match:
                mapped[int(match.group(1), 16)] = int(match.group(2), 16)
    if sorted(mapped) != list(range(256)):
        sys.exit("%s: expected one row for each of the 256 bytes, found %d" % (path, len(mapped)))
    return set(mapped.values())


def names(code_points):
    return " ".join("U+%04X" % point for point in sorted(code_points))


def main():
    table = sys.argv[1] if len(sys.argv) > 1 else ROOT / "data/petscii-unicode.tsv"
    font_path = sys.argv[2] if len(sys.argv) > 2 else ROOT / "web/font/petscii-unifont.woff2"
    try:
        from fontTools.ttLib import TTFont
        import brotli  # noqa: F401 (fontTools needs it for WOFF2)
    except ImportError as missing:
        print("skipped: %s (Debian: python3-fonttools python3-brotli)" % missing)
        return 77

    wanted = {point for point in table_code_points(table) if not is_control(point)}
    ascii_printable = set(range(0x20, 0x7F))
    covered = set(TTFont(font_path).getBestCmap())

    missing = wanted - covered
    if missing:
        print("%s lacks %d character(s) of %s: %s" % (font_path, len(missing), table, names(missing)))
    missing_ascii = ascii_printable - covered
    if missing_ascii:
        print("%s lacks printable ASCII: %s" % (font_path, names(missing_ascii)))
    missing_mark = CONTROL_MARK not in covered
    if missing_mark:
        print("%s lacks the control code mark %s" % (font_path, names({CONTROL_MARK})))
    extra = covered - wanted - ascii_printable - {CONTROL_MARK}
    if extra:
        print("%s holds characters the table does not map to: %s" % (font_path, names(extra)))
    if missing or missing_ascii or missing_mark or extra:
        return 1
    print("%s: all %d characters of the table, printable ASCII and the control code mark, nothing else"
          % (font_path, len(wanted)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
