#!/usr/bin/env bash
# Uses mog as the real git's text conversion for diffs, set up as the README
# says: a .gitattributes with `*.d64 diff=mog` and the other kinds, and
# `git config diff.mog.textconv "mog --textconv"`. In a temporary
# repository a committed disk gets one program's line changed, and
# `git diff` must show that listing line before and after, the other
# programs as context, and nothing that depends on the day ("Current year",
# "Done."). Arguments: the source folder and the mog binary, which is put
# first on PATH as `mog`. Exits 77 (skipped) when git is not installed.
set -u
src=$(cd "$1" && pwd -P)
mog=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
if ! command -v git >/dev/null; then
    echo "git is not installed (Debian: git); the diff driver is not checked"
    exit 77
fi

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/bin" "$folder/home" "$folder/work"
ln -s "$mog" "$folder/bin/mog"
export PATH="$folder/bin:$PATH" HOME="$folder/home" GIT_CONFIG_NOSYSTEM=1 GIT_PAGER=cat
unset GIT_DIR GIT_WORK_TREE GIT_INDEX_FILE GIT_EXTERNAL_DIFF
cd "$folder/work" || exit 1
git init -q . && git config user.name "mog test" && git config user.email "mog-test@example.org" || exit 1
printf '%s diff=mog\n' '*.d64' '*.d71' '*.d81' '*.t64' '*.prg' '*.p00' >.gitattributes
git config diff.mog.textconv "mog --textconv" || exit 1

# The names' padding, shifted spaces, shows as U+00A0; here as _.
diff_text() { # the arguments of git diff
    git diff "$@" 2>&1 | LC_ALL=C sed 's/\xc2\xa0/_/g'
    return "${PIPESTATUS[0]}"
}

failed=0
fail() {
    printf 'FAIL: %s\n' "$1"
    printf '%s\n' "$out" | sed 's/^/    /'
    failed=1
}

mog -n 2026 "$src/samples/sample.d64" x.d64 >/dev/null &&
    mog -n 2026 "$src/tests/fixtures/cc1541.d71" y.d71 >/dev/null &&
    mog -n 2026 "$src/samples/sample.d81" z.d81 >/dev/null &&
    mog -n 2026 "$src/samples/sample.t64" t.t64 >/dev/null &&
    mog -n 2026 "$src/samples/game.prg" g.prg >/dev/null &&
    mog -n 2026 "$src/tests/fixtures/one.p00" o.p00 >/dev/null || exit 1
git add . && git commit -q -m "stamped 2026" || exit 1

if ! out=$(diff_text) || [ -n "$out" ]; then
    fail "git diff on an unchanged work tree is not empty"
fi

# One program, HELLO, gets 1999; the other programs keep 2026.
printf '1999\n' | mog -i -y x.d64 x.d64 >/dev/null || exit 1
if ! out=$(diff_text); then
    fail "git diff failed (does mog know -q?)"
else
    changed=$(grep -E '^[-+]' <<<"$out" | grep -v -E '^(---|\+\+\+) ')
    expected=$'-HELLO___________ [2026 SYS2061]\n+HELLO___________ [1999 SYS2061]'
    if [ "$changed" != "$expected" ]; then
        fail "git diff does not show exactly HELLO's listing line going from 2026 to 1999"
    fi
    if ! grep -qx ' COUNTER_________ \[2026 SYS2061\]' <<<"$out"; then
        fail "git diff does not show COUNTER's unchanged listing line as context"
    fi
    if grep -E 'Current year|Done\.|Destination file|^Binary files' <<<"$out" >/dev/null; then
        fail "git diff shows a line that depends on the day, or the disk as binary"
    fi
fi

# Every kind, between two commits: both sides come from git's objects. The
# sample disk's PETSCII shows as the C64's characters in UTF-8.
mog --in-place -n 1999 . >/dev/null || exit 1
git commit -q -a -m "stamped 1999" || exit 1
if ! out=$(diff_text HEAD~1 HEAD); then
    fail "git diff between two commits failed (does mog know -q?)"
else
    for file in x.d64 y.d71 z.d81 t.t64 g.prg o.p00; do
        section=$(awk -v header="diff --git a/$file b/$file" '/^diff --git / { on = ($0 == header) } on' <<<"$out")
        if ! grep -q '^+.*1999 SYS' <<<"$section" || ! grep -q '^-.*2026 SYS' <<<"$section"; then
            fail "git diff between two commits does not show $file's listing from 2026 to 1999"
        fi
    done
    if ! grep -qx '+£ PRICE ↑ ARROW_ \[1999 SYS2061\]' <<<"$out"; then
        fail "git diff between two commits does not show the PETSCII name as the C64's characters"
    fi
    if grep -E 'Current year|Done\.|Destination file|^Binary files' <<<"$out" >/dev/null; then
        fail "git diff between two commits shows a line that depends on the day, or a file as binary"
    fi
fi

# Files mog cannot list, and a name like an option: git log -p goes on and
# names what keeps each one from being listed.
printf '\x00\x10\x01\x02' >music.prg && : >empty.prg && cp "$src/tests/fixtures/c128.prg" c128.prg &&
    cp "$src/samples/game.prg" ./-x.prg && printf 'x' >bad.p00 || exit 1
git add . && git commit -q -m "unlistable files" || exit 1
if ! out=$(git log -p 2>&1 | LC_ALL=C sed 's/\xc2\xa0/_/g'); then
    fail "git log -p stopped at a file mog cannot list"
else
    for line in '+no start line (No SYS command where expected!)' '+no start line (Unexpected startadress 1c01!)' \
        '+ERR: Not a P00 file!' '+800 SYS2061'; do
        grep -qxF -- "$line" <<<"$out" || fail "git log -p does not show '$line'"
    done
fi

if [ $failed -eq 0 ]; then
    echo "git diff with mog: all checks passed"
fi
exit $failed
