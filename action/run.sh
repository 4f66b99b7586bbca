#!/usr/bin/env bash
# The work of the CI action (action.yml): runs mog on the files named in
# INPUT_FILES (names, folders or bash glob patterns, separated by spaces or
# line breaks), in the mode INPUT_MODE (check: mog --check --batch, nothing
# written, status 4 when a start line lacks the number; stamp: mog
# --in-place), with the line number INPUT_LINE (empty: the current year;
# anything else mog refuses, status 1) and the machines INPUT_MACHINE
# (default c64); INPUT_ALLOW_NO_START_LINE=true lets a check pass files
# without a start line. MOG names the binary, by default build/release/mog of the
# repository this script is in. mog's output and status are passed through;
# a bad input ends with a message on standard error and status 1.
set -u
fail() {
    echo "mog action: $1" >&2
    exit 1
}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mog=${MOG:-$here/../build/release/mog}
mode=${INPUT_MODE:-check}
line=${INPUT_LINE:-}
machine=${INPUT_MACHINE:-}
# Inputs written as YAML blocks may carry spaces or a line break; the line
# number loses them only around it, so that mog judges what is left.
line=${line#"${line%%[![:space:]]*}"}
line=${line%"${line##*[![:space:]]}"}
machine=${machine//[[:space:]]/}
case $mode in
check) options=(--check --batch) ;;
stamp) options=(--in-place) ;;
*) fail "mode must be check or stamp, not '$mode'" ;;
esac
if [ -n "$line" ]; then
    options+=(-n "$line")
fi
options+=(--machine "${machine:-c64}")
case ${INPUT_ALLOW_NO_START_LINE:-false} in
true) options+=(--allow-no-start-line) ;;
false | "") ;;
*) fail "allow-no-start-line must be true or false, not '$INPUT_ALLOW_NO_START_LINE'" ;;
esac
read -r -d '' -a items <<<"${INPUT_FILES:-}"
# Each item is a name or a pattern; a pattern that matches nothing stays as
# given, so that mog names it missing.
files=()
for item in "${items[@]}"; do
    # shellcheck disable=SC2206 # the item is split already; only its glob expands
    files+=($item)
done
if [ ${#files[@]} -eq 0 ]; then
    fail "files names no file or folder"
fi
if [ ! -x "$mog" ]; then
    fail "$mog is not an executable mog; build it first or set MOG"
fi
exec "$mog" "${options[@]}" -- "${files[@]}"
