#!/usr/bin/env python3
"""A long run of the real game in one process, watching its memory.

The input repeats one cycle that starts and ends on a fresh title:
  1. the whole game as the full-game replay plays it (the title, the
     opening, the four stages, the ending, the credits, back to the title);
  2. a rough session on stage 1: pause and resume, pause and retry, walk into
     the river to a game over, retry, the river again, and back to the title.
Each stage start seeds the game's randomness the same way, so every cycle
plays the same; the run checks that each cycle reached the same places as
the first (stage 4, the ending, both game overs, the title), and samples the
runner's resident memory. It fails when memory grows by more than the limit
between the second and the last quarter of the run (medians of samples).

The rough session's frame numbers fit stage 1 as it is laid out now; when the
stage changes, the place checks say so and the frames here need a new look.
"""

import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
FULL_GAME = os.path.join(HERE, "data", "full_game.replay")
FULL_GAME_LENGTH = 18710  # the frame on which the replay's game is back on a new title


def at(line):
    return int(line[1:].split()[0])


def full_game_events():
    events = []
    with open(FULL_GAME) as f:
        for line in f:
            line = line.strip()
            if line.startswith("@") and " hash " not in line and not line.endswith(" quit"):
                if at(line) < FULL_GAME_LENGTH:
                    events.append((at(line), line.split(" ", 1)[1]))
    return events


def rough_session(game):
    """Events of the rough session on stage 1, and its length in frames."""
    out = [(f, c) for f, c in game if f < 1500]  # the title, the opening, stage 1's start

    def press(f, key):
        out.extend([(f, "key %s down" % key), (f + 1, "key %s up" % key)])

    def hold(f, key, frames):
        out.extend([(f, "key %s down" % key), (f + frames, "key %s up" % key)])

    press(1500, "P"), press(1600, "P")  # pause, resume
    press(1700, "P"), press(1800, "RETURN")  # pause, retry
    for i in range(20):
        press(1900 + 10 * i, "RETURN")  # through the start's event
    hold(2200, "UP", 300), hold(2510, "LEFT", 300)  # into the river: game over
    press(3100, "RETURN")  # retry
    for i in range(20):
        press(3400 + 10 * i, "RETURN")
    hold(3700, "UP", 300), hold(4010, "LEFT", 300)  # game over again
    press(4600, "RIGHT"), press(4700, "RETURN")  # back to the title
    return out, 4752


# (offset in the cycle, what the dump must show there, what it means)
def checkpoints(rough_start):
    return [
        (13300, {"seq_state": 14, "stage": 3}, "stage 4 is being played"),
        (18000, {"seq_state": 18}, "the ending is shown"),
        (18500, {"seq_state": 6}, "the credits roll"),
        (rough_start + 1550, {"game_mode": 11}, "the pause menu is open"),
        (rough_start + 3000, {"game_mode": 7}, "the first game over"),
        (rough_start + 4500, {"game_mode": 7}, "the second game over"),
        (rough_start + 4752 + 2, {"seq_state": 2}, "the title runs again"),
    ]


def rss_kib(pid):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        return None
    return None


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--sim", required=True)
    ap.add_argument("--content", required=True, help="the folder holding Resource_Orvelune")
    ap.add_argument("--frames", type=int, default=216000)
    ap.add_argument("--limit-kib", type=int, default=1024, help="allowed memory growth")
    args = ap.parse_args()

    game = full_game_events()
    rough, rough_length = rough_session(game)
    cycle = FULL_GAME_LENGTH + rough_length
    cycles = (args.frames + cycle - 1) // cycle
    lines = ["seed 1"]
    checks = []
    for n in range(cycles):
        base = n * cycle
        for f, c in game:
            lines.append("@%d %s" % (base + f, c))
        for f, c in sorted(rough, key=lambda e: e[0]):
            lines.append("@%d %s" % (base + FULL_GAME_LENGTH + f, c))
        for offset, want, what in checkpoints(FULL_GAME_LENGTH):
            if base + offset < args.frames:
                checks.append((base + offset, want, "cycle %d: %s" % (n + 1, what)))

    with tempfile.TemporaryDirectory() as tmp:
        script = os.path.join(tmp, "soak.txt")
        with open(script, "w") as f:
            f.write("\n".join(lines) + "\n")
        dump = os.path.join(tmp, "dump.jsonl")
        cmd = [os.path.abspath(args.sim), "--chdir", os.path.abspath(args.content), "--input", script,
               "--frames", str(args.frames), "--dump", dump,
               "--dump-at", ",".join(str(f) for f, _, _ in checks)]
        started = time.time()
        p = subprocess.Popen(cmd, stdout=subprocess.DEVNULL)
        samples = []
        while p.poll() is None:
            kib = rss_kib(p.pid)
            if kib:
                samples.append((time.time() - started, kib))
            time.sleep(0.25)
        seconds = time.time() - started
        if p.returncode != 0:
            print("soak: the runner failed with status %d" % p.returncode)
            return 1
        with open(dump) as f:
            seen = {d["frame"]: d for d in map(json.loads, f)}

    failures = []
    for frame, want, what in checks:
        got = seen.get(frame, {})
        if any(got.get(k) != v for k, v in want.items()):
            failures.append("frame %d, %s: expected %s, dump has %s" % (
                frame, what, want, {k: got.get(k) for k in want}))
    if len(samples) < 8:
        failures.append("too few memory samples (%d); the run was too short to judge" % len(samples))
        growth = 0
    else:
        # Loading a stage briefly holds decoded pictures and models, so single
        # samples jump; the median of a quarter is the steady size. The first
        # quarter is left out: it holds the start-up and the first loading of
        # each stage and scene.
        quarter = len(samples) // 4
        first = statistics.median(k for _, k in samples[quarter:2 * quarter])
        last = statistics.median(k for _, k in samples[-quarter:])
        growth = int(last - first)
        if growth > args.limit_kib:
            failures.append("memory grew by %d KiB (second quarter %d KiB, last %d KiB)" % (growth, first, last))
    if os.environ.get("SOAK_SAMPLES"):
        print([k for _, k in samples])
    peak = max((k for _, k in samples), default=0)
    print("soak: %d frames (%.1f cycles) in %.0f s, %d checkpoints, %d memory samples, "
          "peak %.1f MiB, growth %d KiB" % (args.frames, args.frames / cycle, seconds, len(checks),
                                            len(samples), peak / 1024.0, growth))
    for failure in failures:
        print("FAIL " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
