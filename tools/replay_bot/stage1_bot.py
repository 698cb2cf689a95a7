#!/usr/bin/env python3
"""Writes the input script of a stage-1 run by playing it through the headless
runner: it walks, lifts, throws and flips by keyboard, checks each step in the
runner's state dump, and searches the timing of throws that knock the guards
and the boss into the river. The script it prints is what the replay test
verifies (after `orvelune-sim --write-replay` adds the state hashes).

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/stage1_bot.py ../orvelune-sim > stage1.txt
"""
import json
import math
import subprocess
import sys

SIM = sys.argv[1] if len(sys.argv) > 1 else '../orvelune-sim'

# The stage lies 34 rows back from the river's far side (its first row is at
# z = -35); the arena lies four cells beyond the old layout's.
Z = -34


class Bot:
    def __init__(self):
        self.lines = []      # (frame, command)
        self.frame = 0       # the next frame to give input for
        self.held = set()

    # ---- running ------------------------------------------------------
    def script(self, extra=()):
        events = sorted(self.lines + list(extra), key=lambda e: e[0])
        return ''.join('@%d %s\n' % e for e in events)

    def state(self, extra=(), at=None):
        """The state after frame `at` (default: the last frame given input)."""
        at = self.frame - 1 if at is None else at
        with open('/tmp/bot_script.txt', 'w') as f:
            f.write(self.script(extra))
        subprocess.run([SIM, '--stage', '0', '--input', '/tmp/bot_script.txt', '--frames', str(at + 1),
                        '--dump', '/tmp/bot_dump.jsonl', '--dump-at', str(at)], check=True)
        with open('/tmp/bot_dump.jsonl') as f:
            lines = f.read().strip().split('\n')
        return json.loads(lines[-1])

    # ---- input ------------------------------------------------------------
    def hold(self, keys, frames):
        keys = set(keys)
        for k in sorted(self.held - keys):
            self.lines.append((self.frame, 'key %s up' % k))
        for k in sorted(keys - self.held):
            self.lines.append((self.frame, 'key %s down' % k))
        self.held = keys
        self.frame += frames

    def wait(self, frames):
        self.hold((), frames)

    def press(self, key, frames=1, then=1):
        self.hold({key}, frames)
        self.wait(then)


def walk_keys(dx, dz, upside_down):
    """Arrow keys for a world direction with the camera looking along +x."""
    keys = set()
    if dx > 0.04: keys.add('UP')
    if dx < -0.04: keys.add('DOWN')
    plus_z = 'RIGHT' if upside_down else 'LEFT'
    minus_z = 'LEFT' if upside_down else 'RIGHT'
    if dz > 0.04: keys.add(plus_z)
    if dz < -0.04: keys.add(minus_z)
    return keys


def walk_to(bot, x, z, tolerance=0.08, limit=2000):
    for _ in range(limit // 4):
        s = bot.state()
        p = s['player']
        dx, dz = x - p['pos'][0], z - p['pos'][2]
        if abs(dx) <= tolerance and abs(dz) <= tolerance:
            bot.wait(1)
            return s
        keys = walk_keys(dx if abs(dx) > tolerance else 0, dz if abs(dz) > tolerance else 0, p['upside_down'])
        steps = max(1, min(8, int(min([abs(v) for v in (dx, dz) if abs(v) > tolerance]) / 0.075)))
        bot.hold(keys, steps)
    raise SystemExit('could not reach (%g, %g)' % (x, z))


def face(bot, dx, dz):
    s = bot.state()
    bot.hold(walk_keys(dx, dz, s['player']['upside_down']), 1)
    bot.wait(1)


def lift(bot):
    bot.press('SPACE', 3, 34)
    s = bot.state()
    if s['player']['action'] != 16:
        raise SystemExit('lift failed at frame %d: %s' % (bot.frame, s['player']))
    return s


def until(bot, test, step=10, limit=3000, what='condition'):
    for _ in range(limit // step):
        s = bot.state()
        if test(s):
            return s
        bot.wait(step)
    raise SystemExit('timed out waiting for %s at frame %d' % (what, bot.frame))


def throw_when(bot, count_key, hold=2, settle=200, first=0, last=150, step=2):
    """Searches the wait before a throw that lowers the count `count_key`."""
    before = bot.state()[count_key]
    for delay in range(first, last, step):
        trial = Bot()
        trial.lines, trial.frame, trial.held = list(bot.lines), bot.frame, set(bot.held)
        trial.wait(delay)
        trial.press('SPACE', hold, settle)
        s = trial.state()
        if s[count_key] < before and s['player']['state'] == 0:
            bot.wait(delay)
            bot.press('SPACE', hold, 1)
            return delay
    raise SystemExit('no throw worked for %s at frame %d' % (count_key, bot.frame))


def walk_until_mode(bot, mode):
    """Walks along +x until the game mode changes to `mode` (a trigger floor)."""
    for _ in range(200):
        if bot.state()['game_mode'] == mode:
            bot.wait(1)
            return
        bot.hold({'UP'}, 4)
    raise SystemExit('never reached mode %d' % mode)


def confirm_event(bot, mode):
    until(bot, lambda s: s['game_mode'] == mode, 5, 600, 'mode %d' % mode)
    for _ in range(60):
        s = bot.state()
        if s['game_mode'] != mode:
            return s
        bot.press('RETURN', 1, 7)
    raise SystemExit('event of mode %d never ended' % mode)


def main():
    bot = Bot()
    bot.wait(60)  # the stage fades in
    # The first guard, on the pier at x 12: it chases in a straight line, so
    # standing off to the side of its pier makes it hop into the river. A
    # star is lifted and thrown on the way, as a player would.
    walk_to(bot, 12, Z - 7.2)
    face(bot, 0, 1)
    lift(bot)
    bot.press('SPACE', 8, 4)
    walk_to(bot, 9, Z - 7.5)
    until(bot, lambda s: s['enemies_left'] <= 2, 10, 900, 'the first guard to fall')
    # The second guard, on the pier at x 21 going the other way: charge a
    # throw to the second level on the way.
    # (A strong throw pushes the thrower back: face along the path for it.
    # The first star left a hole at (12, -6): go round it.)
    walk_to(bot, 18, Z - 7.5)
    walk_to(bot, 18, Z - 6)
    face(bot, 1, 0)
    lift(bot)
    bot.press('SPACE', 70, 40)
    walk_to(bot, 19, Z - 4.5)
    until(bot, lambda s: s['enemies_left'] <= 1, 10, 900, 'the second guard to fall')
    # Wait on the recovery spot for life.
    walk_to(bot, 23, Z - 4)
    until(bot, lambda s: s['life'] >= 7, 10, 1200, 'life')
    # Flip under the wall at x 28.
    walk_to(bot, 25, Z - 6)
    face(bot, 1, 0)
    bot.hold({'M'}, 36)
    bot.wait(1)
    until(bot, lambda s: s['player']['upside_down'] == 1 and s['player']['action'] == 1
          and s['fade_alpha'] == 0 and s['player']['state'] == 0, 10, 600, 'the flip')
    # The guard under the field comes for the player: lure it across the
    # path's edge from under the second pier.
    walk_to(bot, 21, Z - 7.5)
    walk_to(bot, 21, Z - 10.6)
    until(bot, lambda s: s['enemies_left'] == 0, 10, 1500, 'the third guard to fall')
    # Back to the upper side beyond the wall.
    walk_to(bot, 21, Z - 7)
    walk_to(bot, 33, Z - 6)
    face(bot, 1, 0)
    bot.hold({'M'}, 36)
    bot.wait(1)
    until(bot, lambda s: s['player']['upside_down'] == 0 and s['player']['action'] == 1
          and s['fade_alpha'] == 0 and s['player']['state'] == 0, 10, 600, 'the flip back')
    # The gate opens once every guard is gone; into the arena.
    until(bot, lambda s: s['game_mode'] == 1, 10, 600, 'the boss to be armed')
    walk_to(bot, 37, Z - 6)
    until(bot, lambda s: s['life'] >= 6, 10, 1200, 'life')
    bot.wait(60)
    # Through the open gate until the encounter floor starts the event.
    walk_until_mode(bot, 2)
    confirm_event(bot, 2)
    # The battle: lure the scorpion's charge into the wall across the arena's
    # south end. Each time its stun ends it charges on into the wall and is
    # stunned again, so there is time to take a star and knock it south into
    # the river.
    walk_to(bot, 49.5, Z - 10)
    s = until(bot, lambda s: any(c['class'] == 'Scorpion' and c.get('enemyFlag') == 8 for c in s['characters']),
              5, 900, 'the scorpion to crash into the wall')
    scorpion = [c for c in s['characters'] if c['class'] == 'Scorpion'][0]
    walk_to(bot, 49.5, Z - 5)
    walk_to(bot, scorpion['pos'][0], Z - 5)
    face(bot, 0, -1)
    lift(bot)
    bot.press('SPACE', 5, 1)
    until(bot, lambda s: s['bosses_left'] == 0, 10, 1500, 'the scorpion to fall')
    confirm_event(bot, 4)
    # The bridge builds itself; walk across to the goal.
    until(bot, lambda s: s['game_mode'] == 8, 5, 300, 'the bridge')
    bot.wait(120)
    walk_to(bot, 60, Z - 6)
    walk_until_mode(bot, 9)
    confirm_event(bot, 9)
    until(bot, lambda s: s['game_mode'] == 5, 5, 300, 'the clear screen')
    until(bot, lambda s: s['stage'] == 1, 10, 600, 'the next stage')
    bot.wait(10)
    sys.stdout.write('# Stage 1 played from its fade-in to the fade-in of stage 2.\n')
    sys.stdout.write('# Written by tools/replay_bot/stage1_bot.py.\n')
    sys.stdout.write(bot.script())
    sys.stdout.write('@%d quit\n' % bot.frame)


if __name__ == '__main__':
    main()
