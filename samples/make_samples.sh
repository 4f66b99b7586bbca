#!/bin/sh
# Builds the sample PRG and D64 files with cc65 and cc1541 (Debian packages
# cc65 and cc1541). The results are committed; run this again after changing
# a source here.
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# cl65 leaves object files beside its sources, so it compiles copies.
cp hello.c counter.c loader.s "$work/"
(cd "$work" && cl65 -t c64 -O -o game.prg hello.c && cl65 -t c64 -O -o counter.prg counter.c &&
    cl65 -t none -o loader.prg loader.s)
cp "$work/game.prg" game.prg

rm -f sample.d64
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
