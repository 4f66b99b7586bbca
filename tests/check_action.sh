#!/usr/bin/env bash
# Checks the CI action: action.yml parses as a composite action whose steps
# build mog and hand the inputs to action/run.sh, and action/run.sh, run with
# the environment the action gives it, checks and stamps a folder of images
# made with mog from the samples and passes mog's output and status
# through. Arguments: the source folder and the mog binary.
set -u
src=$(cd "$1" && pwd -P)
mog=$(cd "$(dirname "$2")" && pwd -P)/$(basename "$2")
script=$src/action/run.sh

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder" || exit 1

failed=0
fail() {
    printf 'FAIL: %s\n' "$1"
    printf '%s\n' "$out" | sed 's/^/    /'
    failed=1
}
action() { # runs the script with the INPUT_ variables given before the call; sets out, err and status
    out=$(MOG=${MOG-$mog} bash "$script" 2>"$folder/stderr")
    status=$?
    err=$(cat "$folder/stderr")
    out+=${err:+${out:+$'\n'}$err}
}
tree() { # every file below the fixtures with its bytes and modification time
    find fixtures -type f -printf '%p %T@ ' -exec cksum {} \; | LC_ALL=C sort
}

# action.yml: a composite action with the five inputs, built from its own
# checkout with the README's command, the inputs passed as INPUT_ variables.
python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3 || true)
if [ -n "$python" ] && "$python" -c 'import yaml' 2>/dev/null; then
    out=$("$python" - "$src/action.yml" 2>&1 <<'EOF'
import sys, yaml
action = yaml.safe_load(open(sys.argv[1], encoding="utf-8"))
problems = []
def need(condition, text):
    if not condition:
        problems.append(text)
need(isinstance(action.get("name"), str) and action["name"], "no name")
need(isinstance(action.get("description"), str) and action["description"], "no description")
inputs = action.get("inputs") or {}
need(sorted(inputs) == ["allow-no-start-line", "files", "line", "machine", "mode"], f"inputs are {sorted(inputs)}")
for name, value in inputs.items():
    need(isinstance(value, dict) and value.get("description"), f"input {name} has no description")
need(inputs.get("files", {}).get("required") is True, "files is not required")
need(inputs.get("mode", {}).get("default") == "check", "mode's default is not check")
need(inputs.get("line", {}).get("default") == "", "line's default is not empty")
need(inputs.get("machine", {}).get("default") == "c64", "machine's default is not c64")
runs = action.get("runs") or {}
need(runs.get("using") == "composite", "runs.using is not composite")
steps = runs.get("steps") or []
for step in steps:
    need(step.get("shell") == "bash" and step.get("run"), f"step {step.get('name')} has no run with shell bash")
build = [s for s in steps if s.get("run") == "cmake --preset release && cmake --build --preset release"]
need(len(build) == 1 and build[0].get("working-directory") == "${{ github.action_path }}",
     "no step builds mog in the action's checkout")
work = [s for s in steps if "action/run.sh" in str(s.get("run"))]
need(len(work) == 1 and steps.index(work[0]) > steps.index(build[0]) if build and work else False,
     "no step after the build runs action/run.sh")
if work:
    env = work[0].get("env") or {}
    for name in ("files", "mode", "line", "machine", "allow-no-start-line"):
        variable = "INPUT_" + name.upper().replace("-", "_")
        need(env.get(variable) == "${{ inputs.%s }}" % name, f"{variable} is not passed")
    need("${{ inputs" not in work[0]["run"], "inputs are put into the script's text")
for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
EOF
    ) || fail "action.yml: not the composite action expected"
else
    # Without PyYAML, a look at the lines that matter.
    out=""
    for pattern in '^name: ' '^description: ' '^inputs:' '^  files:' '^    required: true' '^  mode:' '^    default: check' \
        '^  line:' '^  machine:' '^    default: c64' '^runs:' '^  using: composite' \
        'run: cmake --preset release && cmake --build --preset release' 'working-directory: \${{ github.action_path }}' \
        'INPUT_FILES: \${{ inputs.files }}' 'INPUT_MODE: \${{ inputs.mode }}' 'INPUT_LINE: \${{ inputs.line }}' \
        'INPUT_MACHINE: \${{ inputs.machine }}' 'action/run.sh'; do
        grep -q -- "$pattern" "$src/action.yml" || out+="no line matches $pattern"$'\n'
    done
    [ -z "$out" ] || fail "action.yml: not the composite action expected (PyYAML missing, lines checked)"
fi

# Fixtures: stamped with 2026, lacking (the samples' line 800), a disk with a
# C64 program stamped and a C128 program not, a name that starts with -.
mkdir -p fixtures/pass fixtures/lack &&
    "$mog" -n 2026 "$src/samples/sample.d64" fixtures/pass/stamped.d64 >/dev/null &&
    "$mog" -n 2026 "$src/samples/sample.t64" fixtures/pass/stamped.t64 >/dev/null &&
    "$mog" -n 2026 "$src/samples/game.prg" fixtures/lack/stamped.prg >/dev/null &&
    cp "$src/samples/sample.d64" fixtures/lack/lacking.d64 &&
    "$mog" -n 2026 --machine c64 "$src/tests/fixtures/machines.d71" fixtures/machines.d71 >/dev/null &&
    "$mog" -n 2026 "$src/samples/sample.d81" fixtures/-odd.d81 >/dev/null &&
    "$mog" -n 1999 "$src/samples/sample.d81" fixtures/y1999.d81 >/dev/null || exit 1
export INPUT_FILES INPUT_MODE INPUT_LINE INPUT_MACHINE
INPUT_MODE=check INPUT_LINE=2026 INPUT_MACHINE=c64

# Check, passing: names separated by line breaks and spaces.
before=$(tree)
INPUT_FILES=$'fixtures/pass/stamped.d64\n  fixtures/pass/stamped.t64 \n'
action
if [ $status -ne 0 ] || [ "$out" != "2 files: 0 lacking, 0 without a start line, 0 damaged." ]; then
    fail "check of two stamped files: status $status"
fi
INPUT_FILES="pass -odd.d81"
cd fixtures || exit 1
action
cd .. || exit 1
if [ $status -ne 0 ] || [ "$out" != "3 files: 0 lacking, 0 without a start line, 0 damaged." ]; then
    fail "check of a stamped folder and a name that starts with -: status $status"
fi

# Patterns expand, a name that starts with - included; one that matches
# nothing reaches mog as given.
INPUT_FILES="-*.d81 none/*.d64"
cd fixtures || exit 1
action
cd .. || exit 1
if [ $status -ne 3 ] || ! grep -q '^none/\*\.d64: ERROR' <<<"$out" ||
    ! grep -qx "2 files: 0 lacking, 0 without a start line, 0 damaged, 1 failed." <<<"$out"; then
    fail "check of a pattern matching -odd.d81 and one matching nothing: status $status"
fi

# Check, failing: status 4, the lacking program named, nothing written.
INPUT_FILES="fixtures/pass fixtures/lack"
action
if [ $status -ne 4 ] || ! grep -qx "fixtures/lack/lacking.d64: 'HELLO           ' has line 800, not 2026." <<<"$out" ||
    ! grep -qx "4 files: 1 lacking, 0 without a start line, 0 damaged." <<<"$out" || grep -q stamped <<<"$out"; then
    fail "check of a folder with a lacking disk: status $status"
fi
if [ "$(tree)" != "$before" ]; then
    out=$(diff <(echo "$before") <(tree))
    fail "check changed files"
fi

# A data file fails a check, unless files without a start line may pass.
cp "$src/tests/fixtures/c128.prg" fixtures/data.prg || exit 1
INPUT_FILES="fixtures/pass fixtures/data.prg"
action
first=$status
INPUT_ALLOW_NO_START_LINE=true action
if [ $first -ne 4 ] || [ $status -ne 0 ]; then
    fail "a file without a start line: status $first, with allow-no-start-line $status"
fi
rm fixtures/data.prg

# The line number: empty is the current year.
INPUT_FILES=fixtures/y1999.d81 INPUT_LINE=""
action
if [ $status -ne 4 ] || ! grep -qx "fixtures/y1999.d81: 'HELLO           ' has line 1999, not $(date +%Y)." <<<"$out"; then
    fail "check with an empty line did not use the current year: status $status"
fi
INPUT_LINE=$' 1999\n'
action
if [ $status -ne 0 ]; then
    fail "check with line 1999 (as a YAML block gives it) of a disk stamped 1999: status $status"
fi
INPUT_LINE=2026

# Machines: the C128 program counts only with c128 in the list.
INPUT_FILES=fixtures/machines.d71
action
if [ $status -ne 0 ]; then
    fail "check of a disk whose C64 program is stamped, machine c64: status $status"
fi
INPUT_MACHINE=c64,c128
action
if [ $status -ne 4 ] || ! grep -qx "fixtures/machines.d71: 'C128            ' has line 800, not 2026." <<<"$out" ||
    grep -q "'C64 " <<<"$out"; then
    fail "check of a disk whose C128 program lacks the number, machine c64,c128: status $status"
fi

# Stamp, for the C64 and the C128 (the sample disk's LOADER starts where
# C128 BASIC does): the lacking files change in place, the others keep their bytes and
# modification time, no other file is written.
INPUT_MODE=stamp INPUT_FILES=$'fixtures/lack\nfixtures/machines.d71'
before=$(tree)
action
if [ $status -ne 0 ] || ! grep -qx "fixtures/lack/lacking.d64: 9 programs changed." <<<"$out" ||
    ! grep -qx "fixtures/machines.d71: 1 program changed." <<<"$out" ||
    ! grep -qx "3 files: 2 changed, 1 unchanged, 0 kept, 0 failed." <<<"$out"; then
    fail "stamp of a folder and a disk: status $status"
fi
after=$(tree)
changed=$(diff <(echo "$before") <(echo "$after") | sed -n 's/^> \([^ ]*\) .*/\1/p' | tr '\n' ' ')
if [ "$changed" != "fixtures/lack/lacking.d64 fixtures/machines.d71 " ]; then
    out="changed: $changed"
    fail "stamp did not change exactly the two lacking files"
fi
if ! out=$("$mog" --check --batch -n 2026 --machine c64,c128 fixtures/lack fixtures/machines.d71 2>&1); then
    fail "after stamp a start line still lacks 2026"
fi
action
if [ $status -ne 0 ] || ! grep -qx "3 files: 0 changed, 3 unchanged, 0 kept, 0 failed." <<<"$out" || [ "$(tree)" != "$after" ]; then
    fail "a second stamp changed something: status $status"
fi
INPUT_MODE=check INPUT_MACHINE=c64

# Bad inputs: status 1 and a message, mog not run; mog's own failures keep
# their status.
before=$(tree)
INPUT_MODE=fix INPUT_FILES=fixtures/lack
action
if [ $status -ne 1 ] || [ "$err" != "mog action: mode must be check or stamp, not 'fix'" ] || [ "$out" != "$err" ]; then
    fail "a bad mode: status $status"
fi
INPUT_MODE=stamp INPUT_FILES=$' \n '
action
if [ $status -ne 1 ] || ! grep -q 'names no file' <<<"$err"; then
    fail "no files: status $status"
fi
INPUT_MODE=stamp INPUT_FILES=fixtures/lack INPUT_LINE=65536
action
if [ $status -ne 1 ]; then
    fail "line 65536 did not end with mog's status 1: status $status"
fi
for INPUT_LINE in 2O26 "20 26"; do
    action
    if [ $status -ne 1 ] || [ "$err" != "ERROR: Bad argument -n '$INPUT_LINE' is not a number." ]; then
        fail "line '$INPUT_LINE' did not end with mog's message and status 1: status $status"
    fi
done
INPUT_MODE=check INPUT_FILES="fixtures/pass fixtures/missing.d64" INPUT_LINE=2026
action
if [ $status -ne 3 ] || ! grep -q '^fixtures/missing.d64: ERROR' <<<"$out"; then
    fail "a missing file did not end with mog's status 3: status $status"
fi
if [ "$(tree)" != "$before" ]; then
    out=$(diff <(echo "$before") <(tree))
    fail "a bad input changed files"
fi

# Without MOG the script takes build/release/mog of its own repository.
mkdir -p copy/action copy/build/release && cp "$script" copy/action/ && ln -s "$mog" copy/build/release/mog || exit 1
INPUT_FILES=fixtures/pass
out=$(unset MOG; bash copy/action/run.sh 2>&1)
status=$?
if [ $status -ne 0 ] || ! grep -qx "2 files: 0 lacking, 0 without a start line, 0 damaged." <<<"$out"; then
    fail "without MOG the script did not run build/release/mog beside it: status $status"
fi
rm copy/build/release/mog
out=$(unset MOG; bash copy/action/run.sh 2>&1)
status=$?
if [ $status -ne 1 ] || ! grep -q 'build/release/mog is not an executable mog' <<<"$out"; then
    fail "without a built mog the script did not say so: status $status"
fi

if [ $failed -eq 0 ]; then
    echo "CI action: all checks passed"
fi
exit $failed
