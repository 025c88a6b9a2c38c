#!/usr/bin/env python3
"""Mutation testing: applies each slip of a catalogue, alone, to a scratch copy of the tree,
rebuilds it incrementally, runs the tests that can notice it, and says whether they did.

    tools/mutation/mutate.py [--catalogue FILE] [--only REGEX] [--scratch DIR] [--list]

The catalogue (tools/mutation/catalogue.txt) holds one slip per block of lines:

    slip  walk-speed                       a name of its own
    file  app/FrameUpdate.cpp              the file it changes, from the tree's top
    find  constexpr float walkSpeed = 10.0f;
    into  constexpr float walkSpeed = 12.0f;
    tests -L cpu                           ctest arguments that select the tests to run
    note  why no test can notice it        only for a slip known to survive

`find` must occur exactly once in the file; `into` replaces it (an empty `into` deletes
it; spaces around either are not part of it). Several find/into pairs
may follow one another for a slip that changes more than one line of the file. A slip is
killed when the build fails with it or a selected test fails; it survives when all pass.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(os.path.dirname(HERE))


class Slip:
    def __init__(self, name, line):
        self.name = name
        self.line = line
        self.file = None
        self.edits = []
        self.tests = None
        self.note = None


def read_catalogue(path):
    slips = []
    current = None
    pending_find = None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            key, _, value = line.partition(" ")
            value = value.strip()
            where = f"{path}:{number}"
            if key == "slip":
                current = Slip(value, where)
                slips.append(current)
                continue
            if current is None:
                sys.exit(f"{where}: '{key}' before the first 'slip'")
            if key == "file":
                current.file = value
            elif key == "find":
                if pending_find is not None:
                    sys.exit(f"{where}: 'find' without its 'into'")
                pending_find = value
            elif key == "into":
                if pending_find is None:
                    sys.exit(f"{where}: 'into' without a 'find'")
                current.edits.append((pending_find, value))
                pending_find = None
            elif key == "tests":
                current.tests = value
            elif key == "note":
                current.note = value
            else:
                sys.exit(f"{where}: unknown key '{key}'")
    names = set()
    for slip in slips:
        if not slip.file or not slip.edits or not slip.tests:
            sys.exit(f"{slip.line}: slip '{slip.name}' needs file, find/into and tests")
        if slip.name in names:
            sys.exit(f"{slip.line}: a second slip named '{slip.name}'")
        names.add(slip.name)
    return slips


def run(command, cwd, log, timeout=None):
    with open(log, "a", encoding="utf-8") as out:
        out.write(f"\n$ {' '.join(command)}\n")
        out.flush()
        try:
            return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            out.write("timed out\n")
            return 124


def copy_tree(scratch):
    """The tracked files and what is not ignored, as git sees them; build folders stay out."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=TOP, check=True,
                           capture_output=True).stdout.decode().split("\0")
    source = os.path.join(scratch, "src")
    for name in filter(None, files):
        if name.startswith("build"):
            continue
        target = os.path.join(source, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if os.path.islink(os.path.join(TOP, name)) or not os.path.exists(os.path.join(TOP, name)):
            continue
        if not os.path.exists(target) or open(os.path.join(TOP, name), "rb").read() != open(target, "rb").read():
            shutil.copy2(os.path.join(TOP, name), target)
    return source


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--catalogue", default=os.path.join(HERE, "catalogue.txt"))
    parser.add_argument("--only", help="keep only the slips whose names match this regular expression")
    parser.add_argument("--scratch", default="/tmp/gorbeck-mutation", help="where the copy is built")
    parser.add_argument("--list", action="store_true", help="list the slips and check that each applies")
    parser.add_argument("--timeout", type=int, default=900, help="seconds for one slip's tests")
    args = parser.parse_args()

    slips = read_catalogue(args.catalogue)
    if args.only:
        slips = [s for s in slips if re.search(args.only, s.name)]

    # Every slip must still find its text in today's tree: a stale entry is an error, not a kill.
    stale = []
    for slip in slips:
        path = os.path.join(TOP, slip.file)
        if not os.path.exists(path):
            stale.append(f"{slip.line}: '{slip.name}': no file {slip.file}")
            continue
        text = open(path, encoding="utf-8").read()
        for find, _ in slip.edits:
            if text.count(find) != 1:
                stale.append(f"{slip.line}: '{slip.name}': {slip.file} holds {text.count(find)} copies of: {find}")
    if stale:
        print("\n".join(stale))
        sys.exit(2)
    if args.list:
        for slip in slips:
            print(f"{slip.name:40} {slip.file:36} {slip.tests}" + ("   (known survivor)" if slip.note else ""))
        print(f"{len(slips)} slips, each applies")
        return

    os.makedirs(args.scratch, exist_ok=True)
    log = os.path.join(args.scratch, "log.txt")
    open(log, "w").close()
    source = copy_tree(args.scratch)
    build = os.path.join(args.scratch, "build")
    print(f"scratch copy {source}, build {build}, log {log}")
    started = time.time()
    if run(["cmake", "-S", source, "-B", build, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], args.scratch, log) != 0 \
            or run(["cmake", "--build", build, f"-j{os.cpu_count()}"], args.scratch, log) != 0:
        sys.exit(f"the unchanged tree does not build; see {log}")
    # The unchanged tree must pass the tests every slip uses, or no verdict means anything.
    for selection in sorted({s.tests for s in slips}):
        if run(["ctest", "--timeout", str(args.timeout)] + selection.split(), build, log) != 0:
            sys.exit(f"the unchanged tree fails 'ctest {selection}'; see {log}")
    print(f"baseline built and green in {time.time() - started:.0f} s")

    killed = survived = 0
    survivors = []
    for number, slip in enumerate(slips, 1):
        path = os.path.join(source, slip.file)
        original = open(path, encoding="utf-8").read()
        changed = original
        for find, into in slip.edits:
            changed = changed.replace(find, into)
        open(path, "w", encoding="utf-8").write(changed)
        began = time.time()
        try:
            if run(["cmake", "--build", build, f"-j{os.cpu_count()}"], args.scratch, log) != 0:
                verdict, how = "killed", "the build fails"
            elif run(["ctest", "--timeout", str(args.timeout)] + slip.tests.split(), build, log,
                     timeout=args.timeout * 2) != 0:
                verdict, how = "killed", f"ctest {slip.tests}"
            else:
                verdict, how = "survived", f"ctest {slip.tests} passes"
        finally:
            open(path, "w", encoding="utf-8").write(original)
        if verdict == "killed":
            killed += 1
        else:
            survived += 1
            survivors.append(slip)
        note = f"  [{slip.note}]" if slip.note and verdict == "survived" else ""
        print(f"{number:3}/{len(slips)} {verdict:8} {slip.name:40} {how} ({time.time() - began:.0f} s){note}", flush=True)

    # Put the tree back as it was before the next run builds on it.
    run(["cmake", "--build", build, f"-j{os.cpu_count()}"], args.scratch, log)
    total = killed + survived
    print(f"\nscore: {killed} of {total} slips killed ({100.0 * killed / max(total, 1):.0f} %), "
          f"{time.time() - started:.0f} s")
    unexplained = [s.name for s in survivors if not s.note]
    if unexplained:
        print("survivors without a note in the catalogue: " + ", ".join(unexplained))
        sys.exit(1)


if __name__ == "__main__":
    main()
