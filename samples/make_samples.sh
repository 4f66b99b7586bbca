#!/bin/sh
# Builds the sample files and the tests' fixtures with real Commodore tools:
# cc65, cc1541 and cbmconvert (Debian packages cc65, cc1541, cbmconvert).
# The results are committed; run this again after changing a source here.
set -eu
cd "$(dirname "$0")"
mkdir -p ../tests/fixtures
samples=$(pwd)
fixtures=$(cd ../tests/fixtures && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# cl65 leaves object files beside its sources, so it compiles copies.
cp hello.c counter.c loader.s "$work/"
(cd "$work" && cl65 -t c64 -O -o game.prg hello.c && cl65 -t c64 -O -o counter.prg counter.c &&
    cl65 -t none -o loader.prg loader.s)
cp "$work/game.prg" game.prg

rm -f sample.d64 sample.d81
cc1541 -q -n "mog sample" -i "24" \
    -f "hello" -w game.prg \
    -f "counter" -w "$work/counter.prg" \
    -f "loader" -w "$work/loader.prg" \
    -f "notes" -T SEQ -w notes.txt \
    -f "part 1" -w game.prg \
    -f "part 2" -w "$work/counter.prg" \
    -f "part 3" -w game.prg \
    -f "part 4" -w "$work/counter.prg" \
    -f "#5c price #5e arrow" -w game.prg \
    -f "#60#61#62 lines #a3#a4" -w "$work/counter.prg" \
    sample.d64
cc1541 -q -n "mog sample" -i "81" \
    -f "hello" -w game.prg \
    -f "loader" -w "$work/loader.prg" \
    -f "notes" -T SEQ -w notes.txt \
    sample.d81

# A T64 tape: its 64-byte header, a directory of two entries, then each
# program without its two-byte load address. Neither cc1541 nor cbmconvert
# writes T64, so it is laid out here; cbmconvert -t reads it back.
byte() { printf "\\$(printf %o "$1")"; }
word() { byte $(($1 & 255)); byte $(($1 >> 8)); }
long() { word $(($1 & 65535)); word $(($1 >> 16)); }
padded() { printf '%s' "$1"; i=${#1}; while [ "$i" -lt "$2" ]; do byte "$3"; i=$((i + 1)); done; }
tape_entry() { # name, host file, data offset
    size=$(($(wc -c <"$2") - 2))
    byte 1; byte 0x82; word 0x0801; word $((0x0801 + size)); word 0; long "$3"; long 0
    padded "$1" 16 32
}
game_size=$(($(wc -c <game.prg) - 2))
{
    padded "C64 tape image file" 32 0
    word 0x0100; word 2; word 2; word 0; padded "MOG SAMPLE" 24 32
    tape_entry HELLO game.prg 128
    tape_entry COUNTER "$work/counter.prg" $((128 + game_size))
    tail -c +3 game.prg
    tail -c +3 "$work/counter.prg"
} >sample.t64

# A Zip-Code set of the sample disk by disk2zip: 1!sample to 4!sample, with
# its default disk ID "64".
mkdir -p ../tests/fixtures/zipcode
disk2zip sample.d64 ../tests/fixtures/zipcode/sample

# Test fixtures: D71 and D81 images with ten entries (two directory
# sectors), among them a program that loads at $1C01 and a SEQ file, written
# by cc1541 and by cbmconvert, and P00 files extracted by cbmconvert.
cd "$work"
cp game.prg one.prg && cp counter.prg two.prg && cp "$samples/notes.txt" notes.seq
for n in 5 7 9; do cp game.prg "p$n.prg"; cp counter.prg "p$((n + 1)).prg"; done
set -- one.prg two.prg loader.prg notes.seq p5.prg p6.prg p7.prg p8.prg p9.prg p10.prg
for format in d71 d81; do
    rm -f "$fixtures/cc1541.$format" "$fixtures/cbmconvert.$format"
    cc1541 -q -n "mog fixture" \
        -f one -w one.prg -f two -w two.prg -f loader -w loader.prg -f notes -T SEQ -w notes.seq \
        -f p5 -w p5.prg -f p6 -w p6.prg -f p7 -w p7.prg -f p8 -w p8.prg -f p9 -w p9.prg -f p10 -w p10.prg \
        "$fixtures/cc1541.$format"
    cbmconvert "-D$(echo "$format" | cut -c2)" "$fixtures/cbmconvert.$format" -n "$@" >/dev/null 2>&1
done
mkdir extracted && (cd extracted && cbmconvert -P -d "$fixtures/cbmconvert.d81" >/dev/null 2>&1)
cp extracted/one.p00 extracted/loader.p00 "$fixtures/"

# The same program for each Commodore machine cc65 targets, each with its
# SYS start line where that machine's BASIC starts, and one for the MEGA65
# ($2001), which cc65 does not target, laid out here: line 2026 SYS8205.
for target in c128 vic20 plus4 pet; do
    cl65 -t "$target" -O -o "$target.prg" hello.c
done
{
    printf '\001\040\013\040\352\007\236'; printf '8205'; printf '\000\000\000'; printf '\251\000\140'
} >mega65.prg
cp c128.prg "$fixtures/c128.prg"
for format in d71 d81; do
    rm -f "$fixtures/machines.$format"
    cc1541 -q -n "mog machines" \
        -f c64 -w game.prg -f c128 -w c128.prg -f vic20 -w vic20.prg -f plus4 -w plus4.prg \
        -f pet -w pet.prg -f mega65 -w mega65.prg "$fixtures/machines.$format"
done
mkdir machines && (cd machines && cbmconvert -P -d "$fixtures/machines.d81" >/dev/null 2>&1)
cp machines/c128.p00 "$fixtures/c128.p00"
