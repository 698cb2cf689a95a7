#!/usr/bin/env python3
"""Rewrites the state hashes of a replay kept in the repository, keeping its
input and its comment header: for a change that alters the game (or what the
hashes cover) on purpose.

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/rewrite_replay.py ../orvelune-sim ../../tests/data/stage2.replay 1
The last argument is the stage (--stage) the replay starts on; leave it out
for a replay that starts at launch.
"""
import os
import subprocess
import sys
import tempfile


def main():
    sim, replay = sys.argv[1], sys.argv[2]
    stage = sys.argv[3] if len(sys.argv) > 3 else None
    with open(replay) as f:
        lines = f.read().split('\n')
    header = []
    for line in lines:
        if not line.startswith('#'):
            break
        header.append(line)
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, 'replay.txt')
        args = [sim, '--input', replay, '--write-replay', out]
        if stage is not None:
            args[1:1] = ['--stage', stage]
        subprocess.run(args, check=True)
        with open(out) as f:
            body = [l for l in f.read().split('\n') if not l.startswith('#')]
    with open(replay + '.new', 'w') as f:
        f.write('\n'.join(header + body))
    os.replace(replay + '.new', replay)


if __name__ == '__main__':
    main()
