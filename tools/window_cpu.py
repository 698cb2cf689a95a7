#!/usr/bin/env python3
"""The CPU a frame of the real window costs against the benchmark's frame.

Plays each scene in the runner's --record window (the game's own backend and
window on a virtual display) for a short and a long run and takes the CPU of
the difference (start-up and loading cancel out), and runs the benchmark on
the same scene, in turn, PAIRS times. Prints the medians per scene.

Usage: window_cpu.py SIM RUN_DIR [PAIRS]   (with DISPLAY set to a 1280x720-or-larger X display)
"""
import os
import re
import resource
import statistics
import subprocess
import sys
import tempfile

SHORT, LONG = 240, 840
SCENES = [("title", []), ("stage 1", ["--stage", "0"]), ("stage 2", ["--stage", "1"]),
          ("stage 3", ["--stage", "2"]), ("stage 4", ["--stage", "3"])]


def child_cpu(cmd, cwd):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    out = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if out.returncode != 0:
        sys.exit(f"{' '.join(cmd)} failed ({out.returncode}):\n{out.stdout}{out.stderr}")
    return (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000, out.stdout


def window_ms(sim, run_dir, args, work):
    cpu = {}
    for frames in (SHORT, LONG):
        cpu[frames], _ = child_cpu([sim, "--record", os.path.join(work, "w.replay"), "--frames",
                                    str(frames)] + args, run_dir)
    return (cpu[LONG] - cpu[SHORT]) / (LONG - SHORT)


def bench_ms(sim, run_dir, args):
    scene_args = args if args else ["--scene", "title"]
    _, out = child_cpu([sim, "--bench", "300"] + scene_args, run_dir)
    for line in out.splitlines():
        m = re.match(r"^(title|stage \d)\s+([\d.]+)\s+([\d.]+)", line)
        if m:
            return float(m.group(3))  # the median CPU per frame
    sys.exit("no benchmark line in:\n" + out)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    sim, run_dir = os.path.realpath(sys.argv[1]), sys.argv[2]
    pairs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    with tempfile.TemporaryDirectory() as work:
        for name, args in SCENES:
            windows, benches = [], []
            for _ in range(pairs):
                windows.append(window_ms(sim, run_dir, args, work))
                benches.append(bench_ms(sim, run_dir, args))
            w, b = statistics.median(windows), statistics.median(benches)
            print(f"{name:8} window {w:6.2f} ms  bench {b:6.2f} ms  difference {w - b:+6.2f} ms"
                  f"  (window {min(windows):.2f}-{max(windows):.2f}, bench {min(benches):.2f}-{max(benches):.2f})",
                  flush=True)


if __name__ == "__main__":
    main()
