#!/usr/bin/env bash
# Measures mog over 1,000 zips in memory (tmpfs), each holding one dense D64
# image (bench/dense_images.py) deflated, against bench/zip_floor.c, a C
# program that reads each zip and inflates its members with zlib: the
# listing at most 1.3 times that floor, and an in-place batch that rewrites
# one image in each zip at most 1.5 times the floor plus a copy of the
# files. Prints one line per figure with its goal; not a timed test.
# Needs hyperfine, python3, zlib and a C compiler (Debian: hyperfine,
# zlib1g-dev, gcc).
# Usage: bench/archives.sh              (MOG=path/to/mog to measure another build)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
mog=$(realpath "${MOG:-$repo/build/release/mog}")
if [ -z "${MOG:-}" ]; then
    (cd "$repo" && cmake --preset release >/dev/null && cmake --build --preset release --target mog >/dev/null)
fi
memory=/dev/shm
[ -d "$memory" ] && [ -w "$memory" ] || memory=${TMPDIR:-/tmp}
work=$(mktemp -d "$memory/mog-archives-XXXXXX")
trap 'rm -rf "$work"' EXIT
cc -O2 -o "$work/zip_floor" "$repo/bench/zip_floor.c" -lz
python3 "$repo/bench/dense_images.py" "$work/images" 1000
python3 - "$work/images" "$work/zips" <<'PY'
import os, sys, zipfile
images, zips = sys.argv[1:3]
os.mkdir(zips)
for name in sorted(os.listdir(images)):
    with zipfile.ZipFile(os.path.join(zips, name[:-4] + ".zip"), "w", zipfile.ZIP_DEFLATED) as archive:
        archive.write(os.path.join(images, name), "disk/" + name)
PY
cp -r "$work/zips" "$work/pristine"

# Medians of five rounds, each timing the command and its reference one
# after the other (as bench/collection.sh does).
ratio() { # label, goal, command, reference command, [prepare command]
    local label=$1 goal=$2 round
    for round in 1 2 3 4 5; do
        hyperfine -N --style none --warmup 1 --runs 5 ${5:+--prepare "$5"} --export-json "$work/round$round.json" \
            "$3" "$4" >/dev/null 2>&1
    done
    python3 - "$label" "$goal" "$work"/round[1-5].json <<'PY'
import json, statistics, sys
label, goal, rounds = sys.argv[1], sys.argv[2], sys.argv[3:]
pairs = [[result["median"] for result in json.load(open(name))["results"]] for name in rounds]
ratio = statistics.median(pair[0] / pair[1] for pair in pairs)
print(f"{label}: {statistics.median(p[0] for p in pairs) * 1000:.1f} ms against "
      f"{statistics.median(p[1] for p in pairs) * 1000:.1f} ms, ratio {ratio:.2f} (goal at most {goal})")
PY
}

cd "$work"
ratio "mog --batch -v over 1,000 zipped dense images against inflating them" 1.30 \
    "$mog --batch -v zips" "./zip_floor zips"
# In place, each zip's image changes: the reference inflates them and
# copies every file, in one shell for both.
ratio "mog --in-place over them against inflating them plus copying the files" 1.50 \
    "$mog --in-place -n 2026 zips" "sh -c './zip_floor zips && cp -r pristine copy && rm -rf copy'" \
    "sh -c 'rm -rf zips && cp -r pristine zips'"
