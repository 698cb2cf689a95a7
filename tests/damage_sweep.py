#!/usr/bin/env python3
"""Damages the game's content one file at a time and checks how the game takes it.

Every file under Resource_Orvelune is, in turn, removed, cut to half, cut to
a few bytes, replaced by random bytes of the same length, and (text files
only) given an absurdly long line or absurd numbers. For each damaged copy
the runner plays the scene or stage that reads the file. The game passes
when it either
  - exits 1 and names the damaged file on stderr (it refused the file), or
  - exits 0 (the scene started: the reader took the damage in its stride),
and fails on a crash, a sanitizer report, a hang, an exit 1 that does not
name the file, or an exit 0 with the file removed (a missing file nobody
noticed).

Each scene is played in Japanese and in English (the English files are read
only then); the stage view reads the title's stage; the game itself, started
with a window nobody sees, reads its window icon. The icons of the other
sizes are only installed, and the install test checks them.

Which scenes read which file is learnt first, by tracing the runner's file
opens with strace on the undamaged content; a file that nothing reads and
nothing else checks fails the sweep, so a new file cannot be left out.
Without strace every damaged file is tried on every scene.

By default a sample is swept (a few minutes under the sanitizers); --full
sweeps everything.
"""

import argparse
import concurrent.futures
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile

RUNNER_SCENES = [
    ("title", ["--scene", "title"]),
    ("credits", ["--scene", "credits"]),
    ("opening", ["--scene", "opening"]),
    ("ending", ["--scene", "ending"]),
    ("stage 1", ["--stage", "0"]),
    ("stage 2", ["--stage", "1"]),
    ("stage 3", ["--stage", "2"]),
    ("stage 4", ["--stage", "3"]),
]
# Every scene in both languages, then the title's stage seen on its own, then
# the game's own start with a window (its icon). {work} is the run's folder.
SCENES = (RUNNER_SCENES + [(name + " en", args + ["--lang", "en"]) for name, args in RUNNER_SCENES]
          + [("title stage", ["--stage-view", "4:{work}/view.png"]), ("window", None)])
# Files the game never opens but installs; tests/install_test.sh checks them.
INSTALLED_ONLY = ["Icon/orvelune_%d.png" % size for size in (16, 24, 32, 48, 128, 256)]
WINDOW_SECONDS = 8
TEXT_SUFFIXES = (".csv", ".txt", ".x")
KINDS = ["removed", "half", "few-bytes", "random", "long-line", "big-numbers"]
SANITIZER_MARKS = ("AddressSanitizer", "LeakSanitizer", "runtime error:", "UndefinedBehaviorSanitizer")


def damage(path, kind, rng):
    """Damages the file in place; False when the kind does not apply."""
    if kind == "removed":
        os.remove(path)
        return True
    with open(path, "rb") as f:
        data = f.read()
    if kind == "half":
        data = data[: len(data) // 2]
    elif kind == "few-bytes":
        data = data[:5]
    elif kind == "random":
        data = bytes(rng.getrandbits(8) for _ in range(len(data)))
    elif kind == "long-line":
        if not path.endswith(TEXT_SUFFIXES):
            return False
        lines = data.split(b"\n")
        at = len(lines) // 2
        lines.insert(at, b"7," * 150000)
        data = b"\n".join(lines)
    elif kind == "big-numbers":
        if not path.endswith(TEXT_SUFFIXES):
            return False
        numbers = [b"99999999999999999999999", b"-2147483649", b"1e308", b"-1e39", b"nan"]
        data = re.sub(rb"-?\d+(\.\d+)?", lambda m: rng.choice(numbers), data)
    with open(path, "wb") as f:
        f.write(data)
    return True


def scene_command(sim, game, workdir, scene_args, frames):
    if scene_args is None:
        # The game with a window nobody sees, asked to close after a while
        # (SIGTERM, which it takes as the window's close); killed if it will not.
        return ["timeout", "-k", "30", "-s", "TERM", str(WINDOW_SECONDS), game, "--data", workdir]
    return ([sim, "--chdir", workdir, "--frames", str(frames)]
            + [a.replace("{work}", workdir) for a in scene_args])


def window_environment(workdir):
    env = dict(os.environ)
    env.update(SDL_VIDEODRIVER="offscreen", ALSOFT_DRIVERS="null", HOME=os.path.join(workdir, "home"),
               XDG_CONFIG_HOME="", XDG_DATA_HOME="", XDG_RUNTIME_DIR=workdir)
    return env


def run_command(cmd, env, timeout, window):
    """The exit status and stderr, or None on a hang. A window that was asked
    to close counts as a run that played on (status 0)."""
    # A session of its own, so a hang is ended with everything it started
    # (nothing is left holding the pipe).
    p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env,
                         start_new_session=True)
    try:
        _, err = p.communicate(timeout=timeout + (WINDOW_SECONDS if window else 0))
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        p.communicate()
        return None, ""
    rc = p.returncode
    if window and rc == 124:
        rc = 0
    return rc, err.decode("utf-8", "replace")


def run_scene(sim, game, workdir, scene_args, frames, timeout):
    window = scene_args is None
    env = window_environment(workdir) if window else dict(os.environ)
    if window or "--stage-view" in scene_args:
        # These draw through the OpenGL driver, whose leaks LeakSanitizer shows
        # from unknown modules once it is unloaded (no suppression can name
        # them); the runner's other scenes check the game's own memory.
        env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
    return run_command(scene_command(sim, game, workdir, scene_args, frames), env, timeout, window)


def learn_readers(sim, game, content_root, frames, timeout):
    """Maps each content file (relative path) to the scenes that open it."""
    if not shutil.which("strace"):
        return None
    readers = {}
    with tempfile.TemporaryDirectory() as tmp:
        work = os.path.join(tmp, "work")
        os.mkdir(work)
        os.symlink(os.path.join(content_root, "Resource_Orvelune"), os.path.join(work, "Resource_Orvelune"))
        for name, args in SCENES:
            trace = os.path.join(tmp, "trace")
            cmd = ["strace", "-f", "-qq", "-e", "trace=open,openat", "-o", trace] + scene_command(
                sim, game, work, args, frames)
            env = window_environment(work) if args is None else dict(os.environ)
            # LeakSanitizer cannot run under ptrace; the leak check is for the sweep itself.
            env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":detect_leaks=0"
            rc, _ = run_command(cmd, env, timeout * 4, args is None)
            if rc != 0 or not os.path.exists(trace):
                return None  # strace refused (no ptrace here) or the clean run failed
            with open(trace, errors="replace") as f:
                for line in f:
                    m = re.search(r'"([^"]*Resource_Orvelune/[^"]*)"', line)
                    if m and "ENOENT" not in line:
                        rel = m.group(1).split("Resource_Orvelune/", 1)[1]
                        readers.setdefault(os.path.normpath(rel), []).append(name)
    return readers


def judge(kind, rel, rc, err):
    base = os.path.basename(rel)
    if rc is None:
        return "hang"
    if any(mark in err for mark in SANITIZER_MARKS):
        return "sanitizer report"
    if rc not in (0, 1):
        return "crash (status %d)" % rc
    if rc == 1 and base not in err:
        return "failed without naming the file"
    if rc == 0 and kind == "removed" and base not in err:
        return "a missing file went unnoticed"
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--sim", required=True, help="the runner (orvelune-sim)")
    ap.add_argument("--game", help="the game (orvelune; by default the one beside the runner)")
    ap.add_argument("--content", required=True, help="the folder holding Resource_Orvelune")
    ap.add_argument("--full", action="store_true", help="every file with every kind of damage")
    ap.add_argument("--sample", type=int, default=120, help="damaged files to try without --full")
    ap.add_argument("--seed", type=int, default=1, help="chooses the sample and the random bytes")
    ap.add_argument("--files", help="only the files whose path matches this regular expression")
    ap.add_argument("--frames", type=int, default=90)
    ap.add_argument("--timeout", type=float, default=60.0, help="seconds before a run counts as hung")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    args = ap.parse_args()

    sim = os.path.abspath(args.sim)
    game = os.path.abspath(args.game or os.path.join(os.path.dirname(sim), "orvelune"))
    root = os.path.abspath(args.content)
    res = os.path.join(root, "Resource_Orvelune")
    files = sorted(
        os.path.relpath(os.path.join(d, f), res)
        for d, _, fs in os.walk(res) for f in fs if not f.startswith(".")
    )
    if not files:
        print("damage sweep: no content under %s" % res, file=sys.stderr)
        return 2

    readers = learn_readers(sim, game, root, args.frames, args.timeout)
    if readers is None:
        print("damage sweep: strace unavailable; every file is tried on every scene")
    all_scenes = [n for n, _ in SCENES]
    scene_args = dict(SCENES)

    cases = []
    for rel in files:
        scenes = all_scenes if readers is None else sorted(set(readers.get(rel, [])), key=all_scenes.index)
        if not scenes:
            continue  # read by nothing: reported below
        for kind in KINDS:
            if kind in ("long-line", "big-numbers") and not rel.endswith(TEXT_SUFFIXES):
                continue
            # The first scene that reads the file is the one it can stop;
            # without the map, every scene in turn until one stops.
            cases.append((rel, kind, tuple(scenes[:1] if readers is not None else scenes)))
    if args.files:
        cases = [c for c in cases if re.search(args.files, c[0])]
    unread = [rel for rel in files
              if readers is not None and rel not in readers and rel not in INSTALLED_ONLY]
    if not args.full:
        random.Random(args.seed).shuffle(cases)
        # Every kind of damage in the sample, then as many more as asked.
        by_kind = {}
        for c in cases:
            by_kind.setdefault(c[1], []).append(c)
        chosen = [v[0] for v in by_kind.values()]
        rest = [c for c in cases if c not in chosen]
        cases = chosen + rest[: max(0, args.sample - len(chosen))]

    def sweep_one(case):
        rel, kind, scenes = case
        rng = random.Random("%d:%s:%s" % (args.seed, rel, kind))
        with tempfile.TemporaryDirectory() as tmp:
            shutil.copytree(res, os.path.join(tmp, "Resource_Orvelune"), symlinks=True)
            damage(os.path.join(tmp, "Resource_Orvelune", rel), kind, rng)
            for scene in scenes:
                rc, err = run_scene(sim, game, tmp, scene_args[scene], args.frames, args.timeout)
                if rc != 0:
                    break
        return (rel, kind, scene), rc, err

    failures = []
    outcome = {"refused": 0, "accepted": 0}
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        for (rel, kind, scene), rc, err in pool.map(sweep_one, cases):
            fault = judge(kind, rel, rc, err)
            if fault:
                failures.append((rel, kind, scene, fault, err))
            else:
                outcome["refused" if rc == 1 else "accepted"] += 1

    print("damage sweep: %d runs (%s), %d refused naming the file, %d accepted, %d failed"
          % (len(cases), "full" if args.full else "sample, seed %d" % args.seed,
             outcome["refused"], outcome["accepted"], len(failures)))
    if unread:
        print("FAIL damage sweep: %d files nothing opened, so never damaged: %s"
              % (len(unread), ", ".join(unread)))
    for rel, kind, scene, fault, err in failures:
        print("FAIL %s (%s) on %s: %s" % (rel, kind, scene, fault))
        tail = err.strip().splitlines()[-12:]
        for line in tail:
            print("    " + line)
    return 1 if failures or unread else 0


if __name__ == "__main__":
    sys.exit(main())
