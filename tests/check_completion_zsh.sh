#!/usr/bin/env bash
# Loads the zsh completion given as the argument into zsh and compares what
# it offers for a few command lines. Completion proper needs a terminal, so
# compadd and _files are stood in for: compadd keeps the words that match
# what is typed, and _files hands it the folders and the names its -g
# pattern matches; compset takes the list before the last comma. The machine
# names are checked against the help of the tool given as the second
# argument. Exits 77 (skipped) when zsh is not installed.
set -u
if ! command -v zsh >/dev/null; then
    echo "zsh is not installed (Debian: zsh); the zsh completion is not checked"
    exit 77
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
machines=$("$2" --help | sed -n '/^Machines for --machine/,/^$/p' | tail -n +2 | awk 'NF > 1 { print $1 }' | LC_ALL=C sort | tr '\n' ' ')
cd "$folder" && touch -- game.PRG demo.d81 tape.t64 arc.LNX one.p07 notes.txt flux.p64x -x.prg c.Zip g.d64.gz "1!set" && mkdir disks
LC_ALL=C zsh -f -c '
fpath=("${1:h}") && autoload -Uz _mog || exit 1
offered=()
compadd() {
    local arrays=0 word
    local -a given
    while (( $# )); do
        case $1 in
        -[PSpsiIWdJVXxrRMFoEDOA]) shift 2 ;;
        -a) arrays=1; shift ;;
        --) shift; break ;;
        -*) shift ;;
        *) break ;;
        esac
    done
    if (( arrays )); then
        for word; do given+=("${(@P)word}"); done
    else
        given=("$@")
    fi
    offered+=("${(@M)given:#${(b)PREFIX}*}")
}
compset() { # -P pattern: what matches it moves from PREFIX to IPREFIX
    [[ $1 == -P && $PREFIX == ${~2}* ]] || return 1
    local rest=${PREFIX##${~2}}
    IPREFIX=$IPREFIX${PREFIX%$rest} PREFIX=$rest
}
_files() {
    setopt localoptions extendedglob nullglob
    [[ $1 == -g ]] && compadd -- ${~2} *(-/)
}
failed=0
offers() { # expected offer, then the words; the last word is completed
    local expected=$1
    shift
    words=(mog "$@") CURRENT=$(( $# + 1 )) PREFIX=${@[-1]} IPREFIX= offered=()
    _mog
    local got="$(print -rl -- ${IPREFIX}${^offered} | sort -u | tr "\n" " ")"
    if [[ $got != "$expected" ]]; then
        print -r -- "mog $*: offered '\''$got'\'', expected '\''$expected'\''"
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
offers "$2" "--machine" ""
offers "c64,c128 " "--machine" "c64,c1"
offers "--machine=c64,c128 " "--machine=c64,c1"
offers " " "-vn" ""
offers "-q " "-q"
exit $failed
' check_completion_zsh "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" "$machines"
