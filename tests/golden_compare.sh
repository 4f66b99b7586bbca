#!/usr/bin/env bash
# Compares two builds of mog, byte for byte, while the front end is
# restructured: the new build must behave exactly like the old one.
#
#   cp build/release/mog /tmp/mog.old          # before the change
#   ... change the code, cmake --build --preset release ...
#   tests/golden_compare.sh /tmp/mog.old build/release/mog
#
# Both builds run over the same inputs in every mode of the table below: the
# samples, the test fixtures and damaged images made here. Each run gets a
# fresh folder holding a copy of its input (batch, error and other modes
# without @IN@ run once, over a copy of all inputs in disks/); the old and the
# new build run in two such folders with the same content and names. Standard
# input is /dev/null unless the mode gives answers, no terminal is involved,
# CI=true and LC_ALL=C, and both builds are called as `mog`, since the usage
# text shows that name.
#
# For each case the exit status, standard output, standard error (the run's
# folder replaced by @DIR@) and every file left in the folder are compared;
# each difference prints `DIFF <mode> <input>: stdout|stderr|status|file
# <name>` with a short diff, and the last line is `N cases, M differ`.
# Exit status: 0 when nothing differs, 1 when something does, 2 for bad use.
# The folders of differing cases are kept and named at the end; KEEP=1 keeps
# all of them. They lie in $TMPDIR, or /dev/shm when TMPDIR is not set.
# Not part of CTest or CI.
set -u
export LC_ALL=C

if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
    echo "usage: $0 OLD_BINARY NEW_BINARY (two executable builds of mog)" >&2
    exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
# In memory when it can be: every written file is flushed to the disk.
scratch=${TMPDIR:-/tmp}
[ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] && scratch=/dev/shm
work=$(mktemp -d "$scratch/golden_compare.XXXXXX")
trap 'rm -rf "$work"; exit 130' INT
trap 'rm -rf "$work"; exit 143' TERM
mkdir -p "$work/old/bin" "$work/new/bin" "$work/inputs"
ln -s "$(realpath "$1")" "$work/old/bin/mog"
ln -s "$(realpath "$2")" "$work/new/bin/mog"

# ---- Inputs ---------------------------------------------------------------
in=$work/inputs
cp "$root"/samples/sample.d64 "$root"/samples/sample.d81 "$root"/samples/sample.t64 \
    "$root"/samples/game.prg "$root"/tests/fixtures/* "$in"/
d64=$root/samples/sample.d64
dir_track=$((17 * 21 * 256)) # offset of track 18 sector 0 in a D64
patch() { printf '%b' "$2" | dd of="$1" bs=1 seek="$3" conv=notrunc status=none; }
random_bytes() { /usr/bin/python3 -c "import random,sys; random.seed($2); sys.stdout.buffer.write(random.randbytes($1))"; }

head -c 87424 "$d64" >"$in/half.d64"                               # cut in half
head -c $((dir_track + 1)) "$d64" >"$in/cut-in-link-18-0.d64"      # cut inside the link of 18/0
head -c $((dir_track + 144)) "$d64" >"$in/cut-in-18-0.d64"         # cut inside 18/0, after its link
: >"$in/empty.d64"
head -c 819200 /dev/zero >"$in/zero.d81"
random_bytes 174848 1 >"$in/random.d64"
{ cat "$d64"; head -c 683 /dev/zero | tr '\0' '\1'; } >"$in/error-bytes.d64" # 175,531 bytes
{ cat "$d64"; head -c $((5 * 17 * 256)) /dev/zero; } >"$in/40-tracks.d64"     # 196,608 bytes
cp "$d64" "$in/broken-chain.d64"
patch "$in/broken-chain.d64" '\x63\x01' $((dir_track + 256)) # 18/1 links to 99/1
cp "$d64" "$in/loop.d64"
patch "$in/loop.d64" '\x12\x01' $((dir_track + 4 * 256)) # 18/4, the last, links back to 18/1
entries=$(od -An -tu2 -j34 -N2 "$root/samples/sample.t64" | tr -d ' ')
head -c $((64 + 32 * entries)) "$root/samples/sample.t64" >"$in/cut-tape.t64"
cp "$root/samples/game.prg" "$in/no-header.p00"
random_bytes 1000 2 >"$in/random.p64"
head -c 100 "$root/samples/notes.txt" >"$in/no-sys.prg"
# tests/fixtures/c128.prg is the PRG with SYS at $1C01.
inputs=()
for file in "$in"/*; do inputs+=("${file##*/}"); done

# ---- Modes ----------------------------------------------------------------
# name | answers on standard input (printf %b) | before the run | arguments
# In the arguments @IN@ is the input and @COPY@ another name with its
# extension; a mode without @IN@ runs once, beside a folder disks/ holding all
# inputs. "dst" before the run makes the input's default destination exist.
modes=(
    "view             |                              |     | -v @IN@"
    "view-a           |                              |     | -v -a @IN@"
    "view-o           |                              |     | -v -o @IN@"
    "view-unicode     |                              |     | -v --unicode @IN@"
    "view-json        |                              |     | -v --json @IN@"
    "rewrite          |                              |     | -n 1999 @IN@"
    "rewrite-to       |                              |     | -n 1999 @IN@ @COPY@"
    "rewrite-year     |                              |     | @IN@"
    "in-place         |                              |     | -y -n 1999 @IN@ @IN@"
    "check            |                              |     | --check -n 1999 @IN@"
    "check-json       |                              |     | --check -n 1999 --json @IN@"
    "machine-all      |                              |     | --machine all -v @IN@"
    "machine-c128     |                              |     | --machine c128 -n 1999 @IN@"
    "interactive      | 1984\n\nabc\n-1\n70000\n42\n |     | -i @IN@"
    "overwrite-yes    | y\n                          | dst | -n 1999 @IN@"
    "overwrite-no     | n\n                          | dst | -n 1999 @IN@"
    "json-existing    |                              | dst | --json -n 1999 @IN@"
    "interactive-chain| y\n1\n\n3\n65535\n           |     | -i disks/broken-chain.d64 disks/broken-chain.d64"
    "batch            |                              |     | --batch -n 1999 disks"
    "batch-view       |                              |     | --batch -v disks"
    "batch-json-view  |                              |     | --batch --json -v disks"
    "batch-in-place   |                              |     | --in-place -n 1999 disks"
    "batch-check      |                              |     | --check --batch -n 1999 disks"
    "no-args          |                              |     | "
    "unknown-option   |                              |     | -x disks/game.prg"
    "n-last           |                              |     | disks/game.prg -n"
    "n-too-big        |                              |     | -n 70000 disks/game.prg"
    "view-interactive |                              |     | -v -i disks/sample.d64"
    "view-n           |                              |     | -v -n 5 disks/sample.d64"
    "three-names      |                              |     | disks/game.prg a.prg b.prg"
    "bad-extension    |                              |     | a.txt"
    "missing-file     |                              |     | missing.d64"
    "ext-mismatch     |                              |     | disks/game.prg out.d64"
    "interactive-prg  |                              |     | -i disks/game.prg"
    "machine-foo      |                              |     | --machine foo disks/game.prg"
    "examples         |                              |     | -examples"
    "help             |                              |     | --help"
    "version          |                              |     | --version"
)

# ---- Running and comparing ------------------------------------------------
# Each case lives in old/<n> and new/<n>: the folder f the build runs in, and
# its stdout, stderr and status beside f, so that one `diff -r` of the two
# finds any difference and only a differing case is looked at in detail.
cases=0
differ=0
kept=()
# The builds see an environment of CI, LC_ALL and a PATH that leads to them.
keep=${KEEP:-0}
while IFS= read -r variable; do
    case $variable in PATH | CI | LC_ALL) ;; *) unset "$variable" 2>/dev/null ;; esac
done < <(compgen -e)
export CI=true LC_ALL=C

# run SIDE N ANSWERS ARGS...: runs one build in SIDE/N/f.
run() {
    local dir=$work/$1/$2 answers=$3 bin=$work/$1/bin
    shift 3
    (
        cd "$dir/f" || exit 99
        ulimit -t 30 # a build caught in a loop ends
        export PATH=$bin:/usr/bin:/bin
        if [ -n "$answers" ]; then
            printf '%b' "$answers" | mog "$@" >"$dir/stdout" 2>"$dir/stderr"
        else
            exec mog "$@" </dev/null >"$dir/stdout" 2>"$dir/stderr"
        fi
    )
    echo $? >"$dir/status"
}

# without_dir DIR FILE: prints the file's bytes with the path DIR as @DIR@.
without_dir() { DIR=$1 perl -pe 's/\Q$ENV{DIR}\E/\@DIR\@/g' "$2"; }

kind() {
    if [ -L "$1" ]; then echo link; elif [ -d "$1" ]; then echo folder; elif [ -f "$1" ]; then echo file; else echo other; fi
}

# compare MODE INPUT N: prints a line per difference, returns 1 if any.
compare() {
    local mode=$1 input=$2 old=$work/old/$3 new=$work/new/$3 found=0 stream name old_status new_status
    read -r old_status <"$old/status"
    read -r new_status <"$new/status"
    if [ "$old_status" != "$new_status" ]; then
        echo "DIFF $mode $input: status $old_status -> $new_status"
        found=1
    fi
    diff -rq --no-dereference "$old" "$new" >/dev/null 2>&1 && return $found
    for stream in stdout stderr; do
        cmp -s "$old/$stream" "$new/$stream" && continue
        without_dir "$old/f" "$old/$stream" >"$old/$stream.dir"
        without_dir "$new/f" "$new/$stream" >"$new/$stream.dir"
        cmp -s "$old/$stream.dir" "$new/$stream.dir" && continue
        echo "DIFF $mode $input: $stream"
        mapfile -t -n 12 lines < <(diff -a "$old/$stream.dir" "$new/$stream.dir")
        printf '    %s\n' "${lines[@]}"
        found=1
    done
    diff -rq --no-dereference "$old/f" "$new/f" >/dev/null 2>&1 && return $found
    while IFS= read -r name; do
        local a=$old/f/$name b=$new/f/$name
        if [ ! -e "$a" ] && [ ! -L "$a" ]; then
            echo "DIFF $mode $input: file $name (only after the new build)"
        elif [ ! -e "$b" ] && [ ! -L "$b" ]; then
            echo "DIFF $mode $input: file $name (only after the old build)"
        elif [ "$(kind "$a")" != "$(kind "$b")" ]; then
            echo "DIFF $mode $input: file $name ($(kind "$a") -> $(kind "$b"))"
        elif [ -f "$a" ] && ! cmp -s "$a" "$b"; then
            echo "DIFF $mode $input: file $name"
            echo "    $(cmp "$a" "$b" 2>&1); sizes $(stat -c %s "$a") -> $(stat -c %s "$b")"
        else
            continue
        fi
        found=1
    done < <(find "$old/f" "$new/f" -mindepth 1 -printf '%P\n' | sort -u)
    return $found
}

for entry in "${modes[@]}"; do
    IFS='|' read -r mode answers setup template <<<"$entry"
    mode=${mode//[[:space:]]/}
    answers=${answers//[[:space:]]/}
    setup=${setup//[[:space:]]/}
    if [[ $template == *@IN@* ]]; then targets=("${inputs[@]}"); else targets=(disks/); fi
    same=()
    for input in "${targets[@]}"; do
        cases=$((cases + 1))
        n=$cases
        ext=${input##*.}
        expanded=${template//@IN@/$input}
        expanded=${expanded//@COPY@/copy.$ext}
        read -ra args <<<"$expanded"
        # The folder a case starts with, made once and copied for each run.
        start=$work/start/${input%/}$setup
        if [ ! -d "$start" ]; then
            mkdir -p "$start/f"
            if [ "$input" = disks/ ]; then cp -r "$in" "$start/f/disks"; else cp "$in/$input" "$start/f/"; fi
            [ "$setup" = dst ] && printf 'an existing destination\n' >"$start/f/${input%.*}.out.${ext,,}"
        fi
        for side in old new; do
            cp -r "$start" "$work/$side/$n"
            run "$side" "$n" "$answers" "${args[@]}"
        done
        if compare "$mode" "$input" "$n"; then
            same+=("$work/old/$n" "$work/new/$n")
        else
            differ=$((differ + 1))
            kept+=("$n")
        fi
    done
    [ "$keep" = 1 ] || rm -rf "${same[@]}"
done

if [ "$differ" -gt 0 ]; then
    echo "Differing cases kept in $work/old/<n> and $work/new/<n>, n: ${kept[*]}"
elif [ "$keep" = 1 ]; then
    echo "All cases kept in $work"
else
    rm -rf "$work"
fi
echo "$cases cases, $differ differ"
[ "$differ" -eq 0 ]
