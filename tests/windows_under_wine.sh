#!/usr/bin/env bash
# Cross-compiles mog.exe and runs the whole-process tests against it under
# Wine. Needs the release build's test binary and Debian's
# g++-mingw-w64-x86-64 and wine64.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset windows && cmake --build --preset windows

wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/wine"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
# Makes the prefix once and waits until it is ready, before any test runs.
"$wine" wineboot --init >/dev/null 2>&1 || true
wineserver -w || true

MOG_RUNNER="$wine" MOG_BINARY="$PWD/build/windows/mog.exe" \
    build/release/tests/mog_tests --gtest_filter='*Process*:SampleDisk*:ExistingFiles*'
