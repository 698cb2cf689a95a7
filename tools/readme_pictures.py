#!/usr/bin/env python3
"""Draws the pictures the README and the AppStream metadata show, with the
runner, into docs/pictures/: each boss at three moments of its fight (from
the stage replays), the HUD on both sides of the field and the pause menu
(from the contrast tour), two pages of the ending (played on its own) and
the options screen. Each picture is kept at half size.

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/readme_pictures.py ../orvelune-sim ../../docs/pictures
"""
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TESTS = os.path.join(HERE, '..', 'tests')
sys.path.insert(0, TESTS)
from pictures import read_png, write_png  # noqa: E402


def write_half_png(rgb, width, height, path):
    """Writes the picture at half its size (each pixel the mean of four)."""
    w, h = width // 2, height // 2
    half = bytearray(w * h * 3)
    for y in range(h):
        top, bottom = (2 * y) * width * 3, (2 * y + 1) * width * 3
        for x in range(w):
            for c in range(3):
                i = 2 * x * 3 + c
                half[(y * w + x) * 3 + c] = (rgb[top + i] + rgb[top + i + 3] + rgb[bottom + i] +
                                             rgb[bottom + i + 3] + 2) // 4
    write_png(path + '.tmp', w, h, half)
    os.replace(path + '.tmp', path)


def run(sim, args):
    subprocess.run([sim] + args, check=True, stdout=subprocess.DEVNULL)


def frames_where(sim, args, test, work):
    """The frames of a run whose dumped state passes the test."""
    dump = os.path.join(work, 'dump.jsonl')
    run(sim, args + ['--dump', dump])
    found = []
    with open(dump) as f:
        for line in f:
            state = json.loads(line)
            if test(state):
                found.append(state['frame'])
    return found


def shoot(sim, args, shots, out, work):
    """shots: {name: frame}; writes out/name.png at half size."""
    paths = {name: os.path.join(work, name + '.png') for name in shots}
    extra = []
    for name, frame in shots.items():
        extra += ['--screenshot', '%d:%s' % (frame, paths[name])]
    run(sim, args + extra)
    for name, path in paths.items():
        width, height, rgb = read_png(path)
        write_half_png(rgb, width, height, os.path.join(out, name + '.png'))


def main():
    sim, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    work = tempfile.mkdtemp(prefix='orvelune_pictures_')
    data = os.path.join(TESTS, 'data')
    for stage in range(4):
        replay = ['--stage', str(stage), '--verify', os.path.join(data, 'stage%d.replay' % (stage + 1))]
        fight = frames_where(sim, replay, lambda s: s.get('game_mode') == 3, work)
        first, last = fight[0], fight[-1]
        shots = {'stage%d_fight_%d' % (stage + 1, k + 1): first + (last - first) * share // 100
                 for k, share in enumerate((10, 50, 85))}
        shoot(sim, replay, shots, out, work)
    # The ending on its own, a page every 200 frames so each is read whole:
    # the meeting (the third page) and the walk over the bridge (the tenth).
    paced = os.path.join(work, 'ending.txt')
    with open(paced, 'w') as f:
        for page in range(1, 14):
            f.write('@%d key RETURN down\n@%d key RETURN up\n' % (page * 200, page * 200 + 2))
    shoot(sim, ['--scene', 'ending', '--input', paced, '--frames', '2000'],
          {'ending_meeting': 580, 'ending_bridge': 1980}, out, work)
    tour = os.path.join(data, 'inputs', 'contrast_tour.txt')
    marks = {}
    with open(tour) as f:
        for line in f:
            if line.startswith('# shot '):
                _, _, name, frame = line.split()
                marks[name] = int(frame)
    for lang in ('ja', 'en'):
        shoot(sim, ['--stage', '0', '--lang', lang, '--input', tour],
              {'hud_top_' + lang: marks['top'], 'hud_below_' + lang: marks['below'],
               'pause_' + lang: marks['pause']}, out, work)
    # The options screen, opened from the title with Tab, in English.
    options = os.path.join(work, 'options.txt')
    with open(options, 'w') as f:
        f.write('@120 press TAB\n@+10 press DOWN\n')
    shoot(sim, ['--scene', 'title', '--lang', 'en', '--input', options, '--frames', '200'],
          {'options': 190}, out, work)
    print('pictures written to', out)


if __name__ == '__main__':
    main()
