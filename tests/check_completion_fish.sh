#!/usr/bin/env bash
# Lets fish find the completion given as the argument, as it finds an
# installed one (by its name, in a folder of fish_complete_path, for a
# command on the PATH), and compares what it offers for a few command lines.
# The machine names are checked against the help of the tool given as the
# second argument. Exits 77 (skipped) when fish is not installed.
set -u
if ! command -v fish >/dev/null; then
    echo "fish is not installed (Debian: fish); the fish completion is not checked"
    exit 77
fi
completions=$(cd "$(dirname "$1")" && pwd)
machines=$("$2" --help | sed -n '/^Machines for --machine/,/^$/p' | tail -n +2 | awk 'NF > 1 { print $1 }' | LC_ALL=C sort | tr '\n' ' ')
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/bin" && printf '#!/bin/sh\n' >"$folder/bin/mog" && chmod +x "$folder/bin/mog"
export PATH="$folder/bin:$PATH"
mkdir "$folder/files" && cd "$folder/files" && touch -- game.PRG demo.d81 tape.t64 arc.LNX one.p07 notes.txt flux.p64x -x.prg c.Zip g.d64.gz "1!set" && mkdir disks
failed=0
offers() { # expected offer, then the command line to complete
    local got
    got=$(LC_ALL=C fish --no-config -c 'set fish_complete_path $argv[1]; complete -C $argv[2]' "$completions" "$2" |
        cut -f "${3:-1}" | LC_ALL=C sort -u | tr '\n' ' ')
    if [[ $got != "$1" ]]; then
        echo "$2: offered '$got', expected '$1'"
        failed=1
    fi
}
offers "1!set arc.LNX c.Zip demo.d81 disks/ g.d64.gz game.PRG one.p07 tape.t64 " "mog "
offers "demo.d81 disks/ " "mog d"
offers "-- --allow-no-start-line --batch --check --examples --help --in-place --json --machine --quiet --textconv --unicode --version " "mog --"
offers "-y " "mog -y"
offers "" "mog -n "
offers "-x.prg " "mog -- -"
offers "-examples " "mog -v -e"
offers "$machines" "mog --machine "
offers "c64,c128 " "mog --machine c64,c1"
offers "--machine=c64,c128 " "mog --machine=c64,c1"
offers "--quiet " "mog --qu"
# Each machine is described by its own name.
offers "C128 C64 MEGA65, C65 PET, CBM Plus/4, C16, C116 VIC-20 every machine " "mog --machine " 2
exit $failed
