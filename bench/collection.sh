#!/usr/bin/env bash
# Measures mog over two collections of 1,000 D64 images in memory (tmpfs)
# against the floor of reading them (bench/read_floor.c: open, read, close
# each file), and counts the system calls it makes for each file with
# strace. The sample set holds copies of samples/sample.d64 (10 entries);
# the dense set, written by bench/dense_images.py, 40 to 48 entries an image
# as real collections have. Prints one line per figure and set with its
# goal; not a timed test.
# Needs hyperfine, strace and a C compiler (Debian: hyperfine, strace, gcc).
# Usage: bench/collection.sh            (MOG=path/to/mog to measure another build)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
mog="${MOG:-$repo/build/release/mog}"
if [ -z "${MOG:-}" ]; then
    (cd "$repo" && cmake --preset release >/dev/null && cmake --build --preset release >/dev/null)
fi
memory=/dev/shm
[ -d "$memory" ] && [ -w "$memory" ] || memory=${TMPDIR:-/tmp}
work=$(mktemp -d "$memory/mog-collection-XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/read_floor" "$repo/bench/read_floor.c"

# 1,000 different images of each set, written in full: each differs in one
# data byte.
mkdir "$work/sample" "$work/empty"
cp --sparse=never "$repo/samples/sample.d64" "$work/image.d64"
for i in $(seq 0 999); do
    file=$(printf '%s/sample/disk%04d.d64' "$work" "$i")
    cp "$work/image.d64" "$file"
    printf '%04d' "$i" | dd of="$file" bs=1 seek=4096 conv=notrunc status=none
done
python3 "$repo/bench/dense_images.py" "$work/dense" 1000
cp -r "$work/sample" "$work/sample.pristine"
cp -r "$work/dense" "$work/dense.pristine"

# A command against its reference in five short rounds, each timing both
# one after the other: on a machine that other work shares, the load moves
# less within a round than over a long run. Prints the medians of the
# rounds' median times and of their ratios.
ratio() { # label, goal, command, reference command
    local label=$1 goal=$2 round
    for round in 1 2 3 4 5; do
        hyperfine -N --style none --warmup 2 --runs 10 --export-json "$work/round$round.json" "$3" "$4" >/dev/null 2>&1
    done
    python3 - "$label" "$goal" "$work"/round[1-5].json <<'EOF'
import json, statistics, sys
label, goal, rounds = sys.argv[1], sys.argv[2], sys.argv[3:]
pairs = [[result["median"] for result in json.load(open(name))["results"]] for name in rounds]
mine = statistics.median(pair[0] for pair in pairs)
theirs = statistics.median(pair[1] for pair in pairs)
ratio = statistics.median(pair[0] / pair[1] for pair in pairs)
print(f"{label}: {mine * 1000:.1f} ms against {theirs * 1000:.1f} ms, ratio {ratio:.2f} (goal at most {goal})")
EOF
}

cd "$work"
for set in sample dense; do
    ratio "$set: mog --batch -v over 1,000 images against reading them" 1.25 \
        "$mog --batch -v $set" "./read_floor $set"
done
# Each set carries one line number (a check that passes).
for set in sample:800 dense:10; do
    ratio "${set%:*}: mog --check --batch over 1,000 images against reading them" 1.25 \
        "$mog --check --batch -n ${set#*:} ${set%:*}" "./read_floor ${set%:*}"
done
for set in sample dense; do
    ratio "$set: mog --batch --json -v against mog --batch -v" 1.30 \
        "$mog --batch --json -v $set" "$mog --batch -v $set"
done

# System calls for each file: a run over the collection less a run over an
# empty folder, each from a fresh copy of the images, over 1,000.
calls() {
    strace -f -c -o "$work/strace" "$@" >/dev/null 2>&1 || true
    awk '/ total$/ { print $(NF - 2) }' "$work/strace"
}
per_file() { # set, label, goal, options
    local set=$1 label=$2 goal=$3
    shift 3
    rm -rf "$set" && cp -r "$set.pristine" "$set"
    local full empty
    full=$(calls "$mog" "$@" "$set")
    empty=$(calls "$mog" "$@" empty)
    python3 -c 'import sys; print(f"{sys.argv[1]}: {(int(sys.argv[2]) - int(sys.argv[3])) / 1000:.1f} system calls a file (goal at most {sys.argv[4]})")' \
        "$set: $label" "$full" "$empty" "$goal"
}
for set in sample dense; do
    per_file "$set" "mog --batch -v" 5 --batch -v
    per_file "$set" "mog --batch to .out files" 12 --batch -n 2024
    per_file "$set" "mog --in-place, every file changing" 16 --in-place -n 2024
done
