#!/usr/bin/env python3
"""Measures how many one-token slips in src/, web/ and python/ the test suite catches.

Each line of tests/mutations.txt names a file, a piece of its code that
occurs exactly once, and the same piece with one slip a developer could make
(a bound, a constant, a byte order, a dropped check, a status):

    src/basic/sys_line.cpp :: line.available > SYS_LINE_TOKEN :: line.available >= SYS_LINE_TOKEN

("\\n" in a line stands for a line break.) The script copies the working tree into a scratch folder, builds it and runs
the suite once as it is (which must pass), then for each slip: applies it,
rebuilds, runs the suite until the first failing test, and puts the code
back. A slip is killed when some test fails; one that does not build is left
out of the share. Slips in python/ build the Python package too
(-DMOG_BUILD_PYTHON=ON), whose tests then run under CTest with the rest;
--tests runs only the tests whose CTest names match (ctest -R). It prints each slip's fate, the survivors, and the share
killed. Not part of CI: a developer runs it before resolving a change.

Usage: tests/mutation_check.py [--list FILE] [--only WORD] [--tests REGEX] [--jobs N]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_mutations(path):
    mutations = []
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            parts = line.split(" :: ")
            if len(parts) != 3:
                sys.exit(f"{path}:{number}: expected 'file :: code :: slip'")
            # "\n" stands for a line break within the code.
            mutations.append((number, *(part.replace("\\n", "\n") for part in parts)))
    return mutations


def run(command, cwd, timeout=1800):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout,
                          text=True, errors="replace")


def copy_tree(scratch):
    files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                           stdout=subprocess.PIPE, check=True).stdout.split(b"\0")
    for name in files:
        if not name:
            continue
        name = name.decode()
        source = os.path.join(ROOT, name)
        if not os.path.isfile(source):
            continue
        target = os.path.join(scratch, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(source, target)


def build(source, build_dir, jobs):
    return run(["cmake", "--build", build_dir, "--", f"-j{jobs}"], source).returncode == 0


def suite_passes(build_dir, tests):
    chosen = ["-R", tests] if tests else []
    result = run(["ctest", "--test-dir", build_dir, "--stop-on-failure", "--timeout", "300", *chosen], build_dir)
    return result.returncode == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--list", default=os.path.join(ROOT, "tests", "mutations.txt"))
    parser.add_argument("--only", help="only the slips whose line holds this text")
    parser.add_argument("--tests", help="only the CTest tests whose names match this regular expression")
    parser.add_argument("--jobs", type=int, default=2)
    arguments = parser.parse_args()

    mutations = read_mutations(arguments.list)
    if arguments.only:
        mutations = [m for m in mutations if arguments.only in " ".join(m[1:])]
    for number, path, original, mutated in mutations:
        with open(os.path.join(ROOT, path), encoding="utf-8") as code:
            found = code.read().count(original)
        if found != 1:
            sys.exit(f"line {number}: '{original}' occurs {found} times in {path}, not once")

    scratch = tempfile.mkdtemp(prefix="mog-mutation-")
    try:
        source = os.path.join(scratch, "source")
        build_dir = os.path.join(scratch, "build")
        copy_tree(source)
        python = any(path.startswith("python/") for _, path, _, _ in mutations)
        configured = run(["cmake", "-S", source, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                          "-DMOG_BUILD_PYTHON=" + ("ON" if python else "OFF")], scratch)
        if configured.returncode != 0:
            sys.exit(configured.stdout)
        if not build(source, build_dir, arguments.jobs) or not suite_passes(build_dir, arguments.tests):
            sys.exit("the suite does not pass without slips: nothing to measure")

        killed, survived, unbuilt = [], [], []
        started = time.time()
        for number, path, original, mutated in mutations:
            file = os.path.join(source, path)
            with open(file, encoding="utf-8") as code:
                text = code.read()
            with open(file, "w", encoding="utf-8") as code:
                code.write(text.replace(original, mutated, 1))
            try:
                if not build(source, build_dir, arguments.jobs):
                    fate, bucket = "does not build", unbuilt
                elif suite_passes(build_dir, arguments.tests):
                    fate, bucket = "SURVIVED", survived
                else:
                    fate, bucket = "killed", killed
            finally:
                with open(file, "w", encoding="utf-8") as code:
                    code.write(text)
            bucket.append((number, path, original, mutated))
            print(f"{fate:15} line {number}: {path}: {original} -> {mutated}", flush=True)

        measured = len(killed) + len(survived)
        print()
        for number, path, original, mutated in survived:
            print(f"survivor, line {number}: {path}: {original} -> {mutated}")
        share = 100.0 * len(killed) / measured if measured else 0.0
        print(f"{len(killed)} of {measured} slips killed: {share:.1f} %"
              f" ({len(unbuilt)} did not build; {time.time() - started:.0f} s)")
        return 0 if share >= 95.0 else 1
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
