#!/usr/bin/env python3
"""The mutable file-level objects of the game's upper layers, read from the
built libraries: every object the render, world, scenes and app libraries
keep in a writable data section (globals, file-level statics and
function-level statics alike). Each must be listed, with why it is there, in
file_state_survivors.txt beside this script; a new one, or a listed one that
is gone, fails the check, so the list stays the truth; so do more than
MOST of them, listed or not (a new one belongs to an owner, not the list).

Usage: check_file_state.py BUILD_DIR [--list]
"""
import os
import re
import subprocess
import sys

LAYERS = ["render", "world", "scenes", "app"]
MOST = 3
SURVIVORS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "file_state_survivors.txt")
# A writable section: .bss or .data and their per-symbol forms, not the
# read-only-after-relocation data (constant tables of pointers) nor the
# personality routine's reference the compiler adds to every object.
WRITABLE = re.compile(r"^\.(t?bss|t?data)(\..*)?$")


def mutable_objects(library):
    out = subprocess.run(["objdump", "-t", "-C", library], capture_output=True, text=True,
                         check=True).stdout
    found = set()
    for line in out.splitlines():
        # address flags section size name
        m = re.match(r"^[0-9a-f]+ (.{7}) (\S+)\s+[0-9a-f]+\s+(.*)$", line)
        if not m or "O" not in m.group(1):
            continue
        section, name = m.group(2), m.group(3).strip()
        if name.startswith(".hidden "):
            name = name[len(".hidden "):]
        if not WRITABLE.match(section) or section.startswith(".data.rel.ro"):
            continue
        if "DW.ref.__gxx_personality_v0" in name or name.startswith("guard variable for"):
            continue
        # What a sanitizer's instrumentation adds (its own descriptors and
        # the compiler's unnamed constants it moves to writable data).
        if name.startswith(("__unnamed_", "__asan", "___asan", "__odr_asan", "__sancov")):
            continue
        # Names compare without their ABI tags, which differ by compiler.
        found.add(re.sub(r"\[abi:\w+\]", "", name))
    return found


def read_survivors():
    listed = {}
    with open(SURVIVORS, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            name, sep, why = line.partition("\t")
            if not sep or not why.strip():
                sys.exit(f"{SURVIVORS}:{number}: a survivor needs a tab and a reason: {line!r}")
            listed[name.strip()] = why.strip()
    return listed


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    build = sys.argv[1]
    found = {}
    for layer in LAYERS:
        library = os.path.join(build, f"liborvelune_{layer}.a")
        if not os.path.exists(library):
            sys.exit(f"check_file_state: {library} is missing (build first)")
        for name in mutable_objects(library):
            found[name] = layer
    if "--list" in sys.argv:
        for name in sorted(found):
            print(f"{found[name]}\t{name}")
        return 0
    listed = read_survivors()
    new = sorted(set(found) - set(listed))
    gone = sorted(set(listed) - set(found))
    for name in new:
        print(f"new mutable file-level object in {found[name]}: {name}")
    for name in gone:
        print(f"listed survivor no longer exists (take it off the list): {name}")
    crowded = len(found) > MOST
    if crowded:
        print(f"{len(found)} mutable file-level objects, more than {MOST}: give the new one an owner")
    if new or gone:
        print(f"{len(new)} new, {len(gone)} gone")
    elif not crowded:
        print(f"{len(found)} mutable file-level objects in {', '.join(LAYERS)}, all listed")
    return 1 if new or gone or crowded else 0


if __name__ == "__main__":
    sys.exit(main())
