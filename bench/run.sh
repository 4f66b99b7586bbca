#!/usr/bin/env bash
# Measures mog against copying the same file: whole-process wall time for a
# rewrite of a D64 and of a D81, a listing, a loop over 1,000 images, a batch
# over them to .out files and in place, and peak memory; and an in-place rewrite against bench/durable_copy.c, which
# replaces a file as durably as mog does. Prints one summary line per
# figure; writes nothing into the repository.
# Needs hyperfine, /usr/bin/time and a C compiler (Debian: hyperfine, time, gcc).
# Usage: bench/run.sh            (MOG=path/to/mog to measure another build)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
mog="${MOG:-$repo/build/release/mog}"
if [ -z "${MOG:-}" ]; then
    (cd "$repo" && cmake --preset release >/dev/null && cmake --build --preset release >/dev/null)
fi

work=$(mktemp -d /tmp/mog-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
# The samples are sparse (the D81 holds 8 KiB of real blocks), and cp copies
# a sparse file by writing its few real blocks. The inputs are written in
# full, as images from a download or an emulator are.
dense() {
    if [ $(($(stat -c %b "$1") * $(stat -c %B "$1"))) -lt "$(stat -c %s "$1")" ]; then
        echo "$1 is sparse: the figures would not be fair" >&2
        exit 1
    fi
}
image="$work/game.d64"
cp --sparse=never "$repo/samples/sample.d64" "$image"
big="$work/game.d81"
cp --sparse=never "$repo/samples/sample.d81" "$big"
dense "$image"
dense "$big"
cc -O2 -o "$work/durable_copy" "$repo/bench/durable_copy.c"

# A collection of 1,000 different images: each differs in one data byte.
mkdir "$work/collection"
for i in $(seq 0 999); do
    file=$(printf '%s/collection/disk%04d.d64' "$work" "$i")
    cp "$image" "$file"
    printf '%04d' "$i" | dd of="$file" bs=1 seek=4096 conv=notrunc status=none
done

# hyperfine's warnings about outliers are kept in a log, shown only on failure.
quietly() {
    "$@" >/dev/null 2>"$work/hyperfine.log" || { cat "$work/hyperfine.log" >&2; return 1; }
}

# Mean seconds of each command in a hyperfine export.
means() {
    python3 -c 'import json,sys; print(" ".join(str(r["mean"]) for r in json.load(open(sys.argv[1]))["results"]))' "$1"
}

# Prints "label: mog X ms, reference Y ms, ratio Z".
compare() {
    local label="$1" reference="$2" json="$3"
    read -r mine theirs < <(means "$json")
    python3 -c 'import sys; m,t=float(sys.argv[2]),float(sys.argv[3]); print(f"{sys.argv[1]}: mog {m*1000:.2f} ms, {sys.argv[4]} {t*1000:.2f} ms, ratio {m/t:.2f}")' \
        "$label" "$mine" "$theirs" "$reference"
}

quietly hyperfine -N --style none --warmup 50 --runs 500 --prepare "rm -f $work/out.d64" \
    --export-json "$work/rewrite.json" "$mog -n 2024 $image $work/out.d64" "cp $image $work/out.d64"
compare "rewrite one image (mog -n 2024 game.d64 out.d64 vs cp)" cp "$work/rewrite.json"

quietly hyperfine -N --style none --warmup 50 --runs 500 --prepare "rm -f $work/out.d81" \
    --export-json "$work/d81.json" "$mog -n 2024 $big $work/out.d81" "cp $big $work/out.d81"
compare "rewrite one D81 image (mog -n 2024 game.d81 out.d81 vs cp)" cp "$work/d81.json"
dense "$work/out.d81" # cp wrote every block, as mog does

# In place: mog writes a temporary file, flushes it to the device, renames
# it over the file and flushes the folder; durable_copy does the same work.
cp "$image" "$work/inplace.d64"
cp "$image" "$work/existing.d64"
quietly hyperfine -N --style none --warmup 20 --runs 200 --export-json "$work/inplace.json" \
    "$mog -y -n 2024 $work/inplace.d64 $work/inplace.d64" "$work/durable_copy $work/existing.d64"
compare "rewrite one image in place (mog -y -n 2024 game.d64 game.d64 vs durable_copy game.d64)" durable_copy \
    "$work/inplace.json"

quietly hyperfine -N --style none --warmup 50 --runs 500 --export-json "$work/view.json" \
    "$mog -v $image" "cat $image"
compare "list one image (mog -v game.d64 >/dev/null vs cat >/dev/null)" cat "$work/view.json"

cd "$work"
quietly hyperfine --style none --warmup 1 --runs 10 --prepare "rm -rf out && mkdir out" \
    --export-json "$work/loop.json" \
    "for f in collection/*.d64; do $mog -n 2024 \"\$f\" \"out/\${f##*/}\"; done" \
    "for f in collection/*.d64; do cp \"\$f\" \"out/\${f##*/}\"; done"
compare "loop over 1,000 images (mog vs cp)" cp "$work/loop.json"

# The same collection in one process: each image to its .out file, against
# a loop of cp doing the same copies.
quietly hyperfine --style none --warmup 1 --runs 10 --prepare "rm -f collection/*.out.d64" \
    --export-json "$work/batch.json" \
    "$mog --batch -n 2024 collection >/dev/null" \
    "for f in collection/*.d64; do cp \"\$f\" \"\${f%.d64}.out.d64\"; done"
compare "batch over 1,000 images to .out files (mog --batch vs a loop of cp; goal at most 0.30)" cp "$work/batch.json"

# In place, from the same images each time: one process against one mog per file.
rm -f collection/*.out.d64
cp -r collection pristine
quietly hyperfine --style none --warmup 1 --runs 10 --prepare "rm -rf collection && cp -r pristine collection" \
    --export-json "$work/in_place.json" \
    "$mog --in-place -n 2024 collection >/dev/null" \
    "for f in collection/*.d64; do $mog -y -n 2024 \"\$f\" \"\$f\" >/dev/null; done"
compare "batch over 1,000 images in place (mog --in-place vs a loop of mog -y -n 2024 f f; goal at most 0.50)" \
    "mog per file" "$work/in_place.json"
dense collection/disk0000.d64

# Peak resident memory, the largest of several runs, in KiB.
peak() {
    local most=0 kib
    for _ in 1 2 3 4 5; do
        rm -f "$work/out.d64"
        /usr/bin/time -f '%M' -o "$work/peak" "$@" >/dev/null 2>&1
        kib=$(tail -n 1 "$work/peak")
        [ "$kib" -gt "$most" ] && most=$kib
    done
    echo "$most"
}
mine=$(peak "$mog" -n 2024 "$image" "$work/out.d64")
theirs=$(peak cp "$image" "$work/out.d64")
size_kib=$(( $(stat -c %s "$image") / 1024 ))
echo "peak memory: mog ${mine} KiB, cp ${theirs} KiB, difference $((mine - theirs)) KiB (goal: at most image ${size_kib} KiB + 1024 KiB)"
