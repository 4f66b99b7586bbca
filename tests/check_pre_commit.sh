#!/usr/bin/env bash
# Runs the hooks of .pre-commit-hooks.yaml with the real pre-commit, offline,
# in a temporary git repository: `pre-commit try-repo` on the project's
# repository for mog-check and mog-stamp with their default arguments (the
# current year), then a .pre-commit-config.yaml with args and `git commit`
# through the installed hook. Arguments: the source folder and the mog
# binary, which is put first on PATH as `mog`. The images are made with mog
# from the samples. Exits 77 (skipped) when pre-commit is not installed or
# the source folder is not a git repository (try-repo reads the hooks from
# one).
set -u
src=$(cd "$1" && pwd -P)
mog=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
if [ -x /usr/bin/pre-commit ]; then
    pre_commit=/usr/bin/pre-commit
elif ! pre_commit=$(command -v pre-commit); then
    echo "pre-commit is not installed (Debian: pre-commit); the hooks are not checked"
    exit 77
fi
if ! command -v git >/dev/null; then
    echo "git is not installed (Debian: git); the hooks are not checked"
    exit 77
fi
top=$(git -C "$src" rev-parse --show-toplevel 2>/dev/null) && top=$(cd "$top" && pwd -P)
if [ "${top:-}" != "$src" ]; then
    echo "$src is not a git repository (a source tarball?); pre-commit try-repo needs one, the hooks are not checked"
    exit 77
fi
if ! git -C "$src" ls-files --error-unmatch .pre-commit-hooks.yaml >/dev/null 2>&1; then
    echo "FAIL: .pre-commit-hooks.yaml is not tracked by git; try-repo reads tracked files only (git add it)"
    exit 1
fi

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/bin" "$folder/home" "$folder/work"
ln -s "$mog" "$folder/bin/mog"
export PATH="$folder/bin:$PATH" HOME="$folder/home" PRE_COMMIT_HOME="$folder/cache" GIT_CONFIG_NOSYSTEM=1
unset GIT_DIR GIT_WORK_TREE GIT_INDEX_FILE
work=$folder/work
cd "$work" || exit 1
git init -q . && git config user.name "mog test" && git config user.email "mog-test@example.org" || exit 1

failed=0
fail() {
    printf 'FAIL: %s\n' "$1"
    printf '%s\n' "$out" | sed 's/^/    /'
    failed=1
}
try_hook() { # hook id, then the files; sets out and status
    out=$("$pre_commit" try-repo "$src" "$1" --color never --files "${@:2}" 2>&1)
    status=$?
}
stamp() { # the file's bytes and modification time
    printf '%s %s\n' "$(cksum <"$1")" "$(stat -c %y "$1")"
}

# Lacking: the samples as they are (line 800). Stamped: rewritten by mog
# with its default, the current year, which is what the hooks use without
# args.
mog -n 800 "$src/samples/sample.d64" lacking.d64 >/dev/null &&
    mog "$src/samples/sample.d64" stamped.d64 >/dev/null &&
    cp "$src/samples/game.prg" A.PRG && cp "$src/tests/fixtures/one.p00" b.p00 &&
    cp "$src/tests/fixtures/one.p00" C.P99 && cp "$src/samples/sample.d64" d.D64 &&
    cp "$src/tests/fixtures/cc1541.d71" e.d71 && cp "$src/samples/sample.d81" f.D81 &&
    cp "$src/samples/sample.t64" g.t64 && cp "$src/tests/fixtures/one.p00" flux.p64 &&
    cp "$src/samples/sample.d64" x.d64.txt && echo notes >notes.txt || exit 1
git add . && git commit -q -m fixtures || exit 1

try_hook mog-check lacking.d64
if [ $status -eq 0 ] || ! grep -q -- '- exit code: 4$' <<<"$out" ||
    ! grep -q "^lacking.d64: 'HELLO           ' has line 800, not " <<<"$out"; then
    fail "mog-check on a disk whose line lacks the number did not fail with mog's status 4 naming HELLO"
fi

try_hook mog-check stamped.d64
if [ $status -ne 0 ] || ! grep -q '^mog check BASIC start lines\.*Passed$' <<<"$out"; then
    fail "mog-check on a stamped disk did not pass"
fi

# Every kind mog reads, in either letter case, reaches mog.
try_hook mog-check A.PRG b.p00 C.P99 d.D64 e.d71 f.D81 g.t64
for file in A.PRG b.p00 C.P99 d.D64 e.d71 f.D81 g.t64; do
    if [ $status -eq 0 ] || ! grep -q "^$file: .*has line 800, not " <<<"$out"; then
        fail "mog-check did not take $file"
    fi
done

# A .p64 file (a flux-level disk image) and other names are passed over.
try_hook mog-check flux.p64 x.d64.txt notes.txt
if [ $status -ne 0 ] || ! grep -q '^mog check BASIC start lines\.*(no files to check)Skipped$' <<<"$out"; then
    fail "mog-check did not pass over flux.p64, x.d64.txt and notes.txt"
fi

# mog-stamp: the first run changes the lacking disk and fails, the second
# passes and writes nothing; a stamped disk is left alone.
before_stamped=$(stamp stamped.d64)
try_hook mog-stamp lacking.d64 stamped.d64
if [ $status -eq 0 ] || ! grep -q -- '- files were modified by this hook$' <<<"$out" ||
    ! grep -q '^2 files: 1 changed, 1 unchanged, 0 kept, 0 failed\.$' <<<"$out"; then
    fail "mog-stamp on a lacking disk did not change it and fail"
fi
if ! out=$(mog --check lacking.d64 2>&1); then
    fail "mog-stamp did not set the lines of lacking.d64 to the year"
fi
sleep 0.01
before=$(stamp lacking.d64)
try_hook mog-stamp lacking.d64 stamped.d64
if [ $status -ne 0 ] || ! grep -q '^mog stamp BASIC start lines\.*Passed$' <<<"$out"; then
    fail "mog-stamp did not pass on its second run"
fi
if [ "$(stamp lacking.d64)" != "$before" ] || [ "$(stamp stamped.d64)" != "$before_stamped" ]; then
    out="lacking.d64 $before -> $(stamp lacking.d64)"$'\n'"stamped.d64 $before_stamped -> $(stamp stamped.d64)"
    fail "mog-stamp changed the bytes or the modification time of a stamped file"
fi

# A configuration with args, as in the README, and the hook that
# `pre-commit install` puts in place: the commit fails while a line lacks
# the number. The hooks come from a repository that holds this working
# tree's .pre-commit-hooks.yaml.
hooks=$folder/hooks
mkdir "$hooks" && cp "$src/.pre-commit-hooks.yaml" "$hooks/" &&
    git -C "$hooks" init -q && git -C "$hooks" add . &&
    git -C "$hooks" -c user.name=mog -c user.email=mog@example.org commit -q -m hooks || exit 1
cat >.pre-commit-config.yaml <<EOF
repos:
  - repo: $hooks
    rev: $(git -C "$hooks" rev-parse HEAD)
    hooks:
      - id: mog-check
        args: ["-n", "1999"]
EOF
git add . && git commit -q -m config --no-verify || exit 1
out=$("$pre_commit" install 2>&1) || fail "pre-commit install failed"
mog -n 1999 "$src/samples/sample.d64" y1999.d64 >/dev/null && mog -n 1999 -- "$src/samples/game.prg" -v.prg >/dev/null ||
    exit 1
git add -- y1999.d64 -v.prg
out=$(git commit -m "a disk stamped 1999" 2>&1)
if [ $? -ne 0 ] || [ -n "$(git status --porcelain)" ] || [ "$(git log -1 --format=%s)" != "a disk stamped 1999" ]; then
    fail "the commit of a disk and a program named -v.prg stamped 1999 failed with args -n 1999"
fi
commits=$(git rev-list --count HEAD)
mog -y -n 800 y1999.d64 y1999.d64 >/dev/null || exit 1
git add y1999.d64
out=$(git commit -m "a disk with line 800" 2>&1)
if [ $? -eq 0 ] || [ "$(git rev-list --count HEAD)" != "$commits" ] ||
    ! grep -q "^y1999.d64: 'HELLO           ' has line 800, not 1999\.$" <<<"$out"; then
    fail "the commit of a disk with line 800 did not fail with args -n 1999"
fi

if [ $failed -eq 0 ]; then
    echo "pre-commit hooks: all checks passed"
fi
exit $failed
