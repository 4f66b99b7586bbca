#!/usr/bin/python3
"""Writes web/font/petscii-unifont.woff2: GNU Unifont cut down to the code
points of data/petscii-unicode.tsv (control codes left out), printable
ASCII and the middle dot that stands for a control code, the planes above 0 taken from Unifont Upper and merged into one font.

Needs Debian's fonts-unifont, python3-fonttools and python3-brotli. Run it
with the system's Python, from any folder:

    /usr/bin/python3 web/font/make_font.py

The same inputs give the same bytes: the font keeps Unifont's own dates.
"""
import logging
import os
import re
import sys
import tempfile

from fontTools import subset
from fontTools.merge import Merger
from fontTools.pens.cu2quPen import Cu2QuPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable

UNIFONT = "/usr/share/fonts/opentype/unifont/unifont.otf"
UNIFONT_UPPER = "/usr/share/fonts/opentype/unifont/unifont_upper.otf"
HERE = os.path.dirname(os.path.abspath(__file__))
TABLE = os.path.join(HERE, "..", "..", "data", "petscii-unicode.tsv")
OUTPUT = os.path.join(HERE, "petscii-unifont.woff2")
# What the page shows for a control code, as mog --unicode does.
CONTROL_MARK = 0x00B7


def is_control(code_point):
    return code_point < 0x20 or 0x7F <= code_point < 0xA0


def table_code_points(path):
    """The code points the table maps PETSCII bytes to, control codes left out."""
    points = set()
    with open(path, encoding="utf-8") as table:
        for line in table:
            match = re.match(r"0x[0-9A-Fa-f]{2}\tU\+([0-9A-Fa-f]+)\t", line)
            if match:
                points.add(int(match.group(1), 16))
    return {point for point in points if not is_control(point)}


def cut(source, code_points, destination):
    options = subset.Options()
    options.name_IDs = ["*"]       # keep the copyright and licence records
    options.name_languages = ["*"]
    options.notdef_outline = True
    options.layout_features = []   # no substitutions or positioning needed
    options.hinting = False
    options.desubroutinize = True
    options.prune_unicode_ranges = False  # Unifont sets a bit fontTools 4.38 rejects
    font = subset.load_font(source, options, dontLoadGlyphNames=False)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=code_points)
    subsetter.subset(font)
    to_truetype(font)
    font.recalcTimestamp = False
    font.save(destination)


def to_truetype(font):
    """Unifont's OpenType files are CID-keyed CFF, which fontTools cannot
    merge; its glyphs are squares of pixels, so TrueType outlines hold them
    exactly."""
    order = font.getGlyphOrder()
    glyph_set = font.getGlyphSet()
    glyf = newTable("glyf")
    glyf.glyphOrder = order
    glyf.glyphs = {}
    for name in order:
        pen = TTGlyphPen(glyph_set)
        # TrueType runs outer contours clockwise, CFF counter-clockwise.
        glyph_set[name].draw(Cu2QuPen(pen, 1.0, reverse_direction=True))
        glyph = pen.glyph()
        glyph.recalcBounds(glyf)
        glyf.glyphs[name] = glyph
    font["loca"] = newTable("loca")
    font["glyf"] = glyf
    del font["CFF "]
    glyf.compile(font)
    hmtx = font["hmtx"]
    for name in order:
        width, _ = hmtx.metrics[name]
        hmtx.metrics[name] = (width, getattr(glyf.glyphs[name], "xMin", 0))
    maxp = newTable("maxp")
    maxp.tableVersion = 0x00010000
    maxp.maxZones = 1
    for field in ("maxTwilightPoints", "maxStorage", "maxFunctionDefs", "maxInstructionDefs",
                  "maxStackElements", "maxSizeOfInstructions"):
        setattr(maxp, field, 0)
    font["maxp"] = maxp
    maxp.recalc(font)  # glyph, point, contour and component counts
    post = font["post"]
    post.formatType = 2.0
    post.extraNames = []
    post.mapping = {}
    post.glyphOrder = order
    font.sfntVersion = "\x00\x01\x00\x00"


def main():
    # Unifont's head table carries dates near 1970, which fontTools remarks on.
    logging.getLogger("fontTools.ttLib.tables._h_e_a_d").setLevel(logging.ERROR)
    wanted = table_code_points(TABLE) | set(range(0x20, 0x7F)) | {CONTROL_MARK}
    lower = sorted(point for point in wanted if point <= 0xFFFF)
    upper = sorted(point for point in wanted if point > 0xFFFF)
    with tempfile.TemporaryDirectory() as folder:
        parts = [os.path.join(folder, "lower.ttf"), os.path.join(folder, "upper.ttf")]
        cut(UNIFONT, lower, parts[0])
        cut(UNIFONT_UPPER, upper, parts[1])
        font = Merger().merge(parts)
    # The merge stamps the current time; keep Unifont's own dates instead.
    original = TTFont(UNIFONT, lazy=True)["head"]
    font["head"].created = original.created
    font["head"].modified = original.modified
    font.recalcTimestamp = False
    font.flavor = "woff2"
    font.save(OUTPUT)
    covered = set(TTFont(OUTPUT).getBestCmap())
    missing = sorted(wanted - covered)
    if missing:
        sys.exit("make_font: not in Unifont: " + " ".join("U+%04X" % point for point in missing))
    print("%s: %d code points, %d bytes" % (os.path.relpath(OUTPUT), len(covered), os.path.getsize(OUTPUT)))


if __name__ == "__main__":
    main()
