#!/usr/bin/env bash
# Completes command lines with the bash completion given as the first
# argument and compares what it offers; the machine names are checked
# against the help of the tool given as the second.
set -u
source "$1"
machines=$("$2" --help | sed -n '/^Machines for --machine/,/^$/p' | tail -n +2 | awk 'NF > 1 { print $1 }' | LC_ALL=C sort | tr '\n' ' ')
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" && touch -- game.PRG demo.d81 tape.t64 arc.LNX one.p07 notes.txt flux.p64x -x.prg c.Zip g.d64.gz "1!set" && mkdir disks
failed=0
offers() { # expected offer, then the words; the last word is completed
    local expected=$1
    shift
    COMP_WORDS=(mog "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _mog
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' ')
    if [[ $got != "$expected" ]]; then
        echo "mog $*: offered '$got', expected '$expected'"
        failed=1
    fi
}
offers "1!set arc.LNX c.Zip demo.d81 disks g.d64.gz game.PRG one.p07 tape.t64 " ""
offers "demo.d81 disks " "d"
offers "-- --allow-no-start-line --batch --check --examples --help --in-place --json --machine --quiet --textconv --unicode --version " "--"
offers "-y " "-y"
offers " " "-n" ""
offers "-x.prg " "--" "-"
offers "-examples " "-v" "-e"
offers "--machine " "--m"
offers "$machines" "--machine" ""
offers "c64,c128 " "--machine" "c64,c1"
offers "pet,pet pet,plus4 " "--machine" "pet,p"
offers "--machine=c64,c128 " "--machine=c64,c1"
offers "c128 " "--machine" "=" "c1"
offers " " "-vn" ""
offers "-q " "-q"
exit $failed
