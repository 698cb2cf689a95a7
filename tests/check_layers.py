#!/usr/bin/env python3
"""Checks the layers against what the compiler actually included.

    tests/check_layers.py BUILD_DIR            the tree: no object breaks a rule
    tests/check_layers.py BUILD_DIR --planted  the planted fixtures: each breaks one

Reads every object's dependencies from the build (Ninja's log through
`ninja -t deps`, or the compiler's .d files with other generators), resolves
each header to its file in the repository (through the layer views' links
and any "../"), and judges it by the library the object is built into:

- a layer's library (orvelune_base, _platform, _render, _world, _scenes,
  _app) includes only headers of its own layer and the layers below;
- a header of a backend folder (platform/sdl_gl, platform/win32,
  platform/headless) is included only by that backend's library, the game's
  entry (the orvelune program), the runner and the tests;
- SDL, OpenGL and OpenAL headers are included only by the SDL/OpenGL backend
  (and the runner's and tests' files that set it up).

Fixture libraries (layering_fixture_LAYER) are judged as LAYER; they hold
planted includes that must be caught, and are left out of the tree's check.
"""
import argparse
import os
import re
import subprocess
import sys

RANK = {"base": 0, "platform": 1, "render": 2, "world": 3, "scenes": 4, "app": 5}
BACKENDS = {"orvelune_sdl_gl": "platform/sdl_gl", "orvelune_win32": "platform/win32",
            "orvelune_headless": "platform/headless"}
# Targets that may include anything of the game: the entry, the runner, the
# tools, the tests and the fuzz targets.
FREE = re.compile(r"^(orvelune|orvelune-sim|orvelune_runner|orvelune-assetgen|orvelune_tests"
                  r"|orvelune_win32_tests|fuzz_\w+|\w*bench\w*)$")
SYSTEM_LIBRARY = re.compile(r"/include/(SDL2|AL|GL|EGL|KHR)/")
OBJECT = re.compile(r"CMakeFiles/([^/]+)\.dir/(.+)\.o(bj)?$")


def ninja_deps(build):
    """(object, [dependencies]) for every object Ninja's log knows."""
    out = subprocess.run(["ninja", "-C", build, "-t", "deps"], capture_output=True,
                         text=True, check=True).stdout
    deps, current = [], None
    for line in out.splitlines():
        if not line.strip():
            continue
        if not line.startswith(" "):
            current = (line.split(":")[0], [])
            deps.append(current)
        elif current is not None:
            current[1].append(line.strip())
    return deps


def makefile_deps(build):
    """The same from the compiler's .d files (generators other than Ninja)."""
    deps = []
    for folder, _, files in os.walk(build):
        for name in files:
            if not name.endswith(".o.d"):
                continue
            with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
                text = f.read().replace("\\\n", " ")
            _, _, rest = text.partition(": ")
            obj = os.path.relpath(os.path.join(folder, name[:-2]), build)
            deps.append((obj, rest.split()))
    return deps


def repository_path(path, source):
    """The repository path of a header ('' when outside the repository)."""
    real = os.path.realpath(path)
    if not real.startswith(source + os.sep):
        return ""
    return os.path.relpath(real, source).replace(os.sep, "/")


def judge(target, header, raw):
    """Why an object of target may not include header (None when it may)."""
    fixture = re.match(r"^layering_fixture_(\w+)$", target)
    layer = fixture.group(1) if fixture else (target[len("orvelune_"):]
                                              if target.startswith("orvelune_") else "")
    if SYSTEM_LIBRARY.search(raw) and target != "orvelune_sdl_gl" and not FREE.match(target):
        return "includes the system library header " + raw
    if not header:
        return None
    top = header.split("/")[0]
    for backend, folder in BACKENDS.items():
        if header.startswith(folder + "/") and target != backend and not FREE.match(target):
            return "includes the backend's " + header
    if layer in RANK and top in RANK and RANK[top] > RANK[layer]:
        return "includes " + header + " of the higher layer " + top
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--planted", action="store_true",
                        help="check that every fixture's planted include is caught")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    source = os.path.realpath(os.path.join(os.path.dirname(__file__), ".."))
    deps = ninja_deps(build) if os.path.exists(os.path.join(build, ".ninja_deps")) \
        else makefile_deps(build)

    broken, caught, fixtures, checked = [], set(), set(), 0
    for obj, files in deps:
        m = OBJECT.search(obj.replace(os.sep, "/"))
        if not m:
            continue
        target, src = m.group(1), m.group(2)
        is_fixture = target.startswith("layering_fixture_")
        if is_fixture:
            fixtures.add(obj)
        if is_fixture != args.planted:
            continue
        checked += 1
        for raw in files:
            path = raw if os.path.isabs(raw) else os.path.join(build, raw)
            why = judge(target, repository_path(path, source), raw)
            if why:
                broken.append(f"{src} (in {target}) {why}")
                caught.add(obj)

    if args.planted:
        missed = sorted(fixtures - caught)
        for line in broken:
            print("caught: " + line)
        for obj in missed:
            print("NOT caught: " + obj, file=sys.stderr)
        if not fixtures:
            print("no fixture objects in the build's dependencies", file=sys.stderr)
        return 1 if missed or not fixtures else 0
    for line in broken:
        print(line, file=sys.stderr)
    # The dependencies must cover the tree, or the check proves nothing.
    if checked < 100:
        print(f"only {checked} objects' dependencies found in {build}", file=sys.stderr)
        return 1
    print(f"{checked} objects checked, {len(broken)} includes break the layers")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
