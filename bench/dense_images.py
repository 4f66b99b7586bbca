#!/usr/bin/env python3
"""Writes D64 images as dense as real collections: 40 to 48 directory
entries each, most of them PRG files whose first sector holds a
`10 SYS2061` line, names varied, a few entries of other types and a
machine-code PRG without a start line. The images differ from each other in
one data byte, and in the number of entries (the count follows the index).

Usage: bench/dense_images.py FOLDER [COUNT]   (COUNT 1,000 by default)
"""

import sys
from pathlib import Path

SECTORS = [21] * 17 + [19] * 7 + [18] * 6 + [17] * 5  # tracks 1 to 35
DIRECTORY_TRACK = 18
SHIFTED_BLANK = 0xA0
# A C64 BASIC line `10 SYS2061` at $0801, the end of the program and a
# machine-code RTS at 2061.
START_LINE = bytes([0x01, 0x08, 0x0B, 0x08, 0x0A, 0x00, 0x9E]) + b"2061" + bytes([0, 0, 0, 0x60])
MACHINE_CODE = bytes([0x00, 0xC0, 0xA9, 0x00, 0x8D, 0x20, 0xD0, 0x60])
WORDS = [b"GAME", b"DEMO", b"INTRO", b"PART", b"LOADER", b"MUSIC", b"EDITOR", b"TOOL",
         b"LEVEL", b"CRACK", b"PICTURE", b"NOTES", b"BOOT", b"SPRITES", b"CHARSET", b"TUNE"]


def offset(track, sector):
    return (sum(SECTORS[: track - 1]) + sector) * 256


def data_sectors():
    """Every sector outside the directory track, track by track."""
    for track in range(1, len(SECTORS) + 1):
        if track != DIRECTORY_TRACK:
            for sector in range(SECTORS[track - 1]):
                yield track, sector


def name_of(image, entry):
    word = WORDS[(image + entry * 7) % len(WORDS)]
    if entry % 11 == 5:  # PETSCII graphics and a pound sign, as real names have
        return bytes([0x5C, 0x20]) + word + bytes([0x20, 0xA3, 0x60])
    return word + b" " + str(entry + 1).encode()


def entries_of(image, count):
    """(type byte, name, first sector's bytes, sectors) for each entry."""
    entries = []
    for entry in range(count):
        if entry % 13 == 12:
            entries.append((0x81, name_of(image, entry), b"\x0dSOME TEXT\x0d", 1))  # SEQ
        elif entry % 17 == 16:
            entries.append((0x83, name_of(image, entry), b"USR DATA", 1))
        elif entry % 19 == 9:
            entries.append((0x82, name_of(image, entry), MACHINE_CODE, 2))
        else:
            entries.append((0x82, name_of(image, entry), START_LINE, 1 + entry % 4))
    return entries


def image_bytes(image):
    disk = bytearray(offset(len(SECTORS) + 1, 0))
    used = set()
    free = data_sectors()
    entries = entries_of(image, 40 + image % 9)
    slots = []
    for file_type, name, first, length in entries:
        chain = [next(free) for _ in range(length)]
        used.update(chain)
        for k, (track, sector) in enumerate(chain):
            at = offset(track, sector)
            payload = first if k == 0 else bytes((image + k + i) & 0xFF for i in range(254))
            if k + 1 < length:
                disk[at : at + 2] = bytes(chain[k + 1])
                payload = payload.ljust(254, b"\xea")
            else:
                disk[at : at + 2] = bytes([0, len(payload) + 1])
            disk[at + 2 : at + 2 + len(payload)] = payload
        slots.append(bytes([file_type, *chain[0]]) + name.ljust(16, bytes([SHIFTED_BLANK]))[:16]
                     + bytes(9) + length.to_bytes(2, "little"))
    # The directory: eight entries a sector from 18/1 on, each sector linked to the next.
    directory = [(DIRECTORY_TRACK, s) for s in range(1, (len(slots) + 7) // 8 + 1)]
    for k, (track, sector) in enumerate(directory):
        at = offset(track, sector)
        for slot, entry in enumerate(slots[k * 8 : k * 8 + 8]):
            disk[at + slot * 32 + 2 : at + slot * 32 + 32] = entry
        disk[at : at + 2] = bytes(directory[k + 1]) if k + 1 < len(directory) else bytes([0, 0xFF])
    used.update(directory)
    used.add((DIRECTORY_TRACK, 0))
    # The BAM: free sectors of each track as a count and a bitmap.
    bam = offset(DIRECTORY_TRACK, 0)
    disk[bam : bam + 4] = bytes([DIRECTORY_TRACK, 1, 0x41, 0])
    for track in range(1, len(SECTORS) + 1):
        bits = [(track, s) not in used for s in range(SECTORS[track - 1])]
        value = sum(1 << s for s, is_free in enumerate(bits) if is_free)
        disk[bam + 4 * track : bam + 4 * track + 4] = bytes([sum(bits)]) + value.to_bytes(3, "little")
    disk[bam + 0x90 : bam + 0xAB] = b"DENSE COLLECTION".ljust(16, b"\xa0") + b"\xa0\xa0" + b"DC\xa02A\xa0\xa0\xa0\xa0"
    # One data byte of the last sector tells the images apart.
    last = offset(len(SECTORS), SECTORS[-1] - 1)
    disk[last + 2 : last + 6] = b"%04d" % image
    return bytes(disk)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    folder = Path(sys.argv[1])
    count = int(sys.argv[2]) if len(sys.argv) == 3 else 1000
    folder.mkdir(parents=True, exist_ok=True)
    for image in range(count):
        (folder / f"dense{image:04d}.d64").write_bytes(image_bytes(image))


if __name__ == "__main__":
    main()
