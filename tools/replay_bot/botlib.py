"""What the stage bots share: a script of held keys built frame by frame, the
runner asked for the state at any frame (it replays the script from the
start, so every answer is exactly what the recorded replay will do), and the
moves a player makes: walking to a point, facing, lifting, flipping, waiting
for a condition, confirming an event.

Walking follows the camera's yaw, which the runner's dump gives: a stage
starts with the camera looking along +x, and turn_camera turns it.
"""
import hashlib
import json
import math
import os
import subprocess
import tempfile

WORK = tempfile.mkdtemp(prefix='orvelune_bot_')
# Finished phases are kept here, keyed by the script that led to them, so a
# bot run again after a change replays what it already found.
CACHE = os.environ.get('ORVELUNE_BOT_CACHE', os.path.join(tempfile.gettempdir(), 'orvelune_bot_cache'))


class Bot:
    def __init__(self, sim, stage=None, prefix=()):
        self.sim = sim
        self.stage = stage       # None: from the launch (title and all)
        self.lines = list(prefix)  # (frame, command)
        self.frame = 0           # the next frame to give input for
        self.held = set()
        self.runs = 0

    def phase(self, name, play):
        """Plays one phase of the stage, or takes it from the cache when the
        same script was already played this far with the same game."""
        key = hashlib.sha1((name + '\n' + self.script() + '%d' % self.frame + self._game_id()).encode()).hexdigest()
        path = os.path.join(CACHE, key + '.json')
        if os.path.exists(path):
            with open(path) as f:
                saved = json.load(f)
            self.lines = [tuple(l) for l in saved['lines']]
            self.frame = saved['frame']
            self.held = set(saved['held'])
            return
        play(self)
        os.makedirs(CACHE, exist_ok=True)
        with open(path + '.tmp', 'w') as f:
            json.dump({'lines': self.lines, 'frame': self.frame, 'held': sorted(self.held)}, f)
        os.replace(path + '.tmp', path)

    def _game_id(self):
        # The runner and the content it plays: a rebuilt game plays afresh.
        stamps = [os.stat(self.sim).st_mtime_ns]
        for name in sorted(os.listdir('Resource_Orvelune/Field')):
            stamps.append(os.stat(os.path.join('Resource_Orvelune/Field', name)).st_mtime_ns)
        return ':'.join(str(s) for s in stamps)

    def copy(self):
        other = Bot(self.sim, self.stage)
        other.runs = self.runs
        other.lines, other.frame, other.held = list(self.lines), self.frame, set(self.held)
        return other

    # ---- running ------------------------------------------------------
    def script(self, extra=()):
        events = sorted(self.lines + list(extra), key=lambda e: e[0])
        return ''.join('@%d %s\n' % e for e in events)

    def states(self, frames, extra=()):
        """The states after each of the given frames."""
        script = os.path.join(WORK, 'script.txt')
        dump = os.path.join(WORK, 'dump.jsonl')
        with open(script, 'w') as f:
            f.write(self.script(extra))
        args = [self.sim, '--input', script, '--frames', str(max(frames) + 1), '--dump', dump,
                '--dump-at', ','.join(str(f) for f in frames)]
        if self.stage is not None:
            args[1:1] = ['--stage', str(self.stage)]
        subprocess.run(args, check=True, stderr=subprocess.DEVNULL)
        self.runs += 1
        with open(dump) as f:
            return [json.loads(line) for line in f.read().strip().split('\n')]

    def state(self, extra=(), at=None):
        """The state after frame `at` (default: the last frame given input)."""
        at = self.frame - 1 if at is None else at
        return self.states([at], extra)[-1]

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

    def write(self, out, comments):
        for c in comments:
            out.write('# %s\n' % c)
        out.write(self.script())
        out.write('@%d quit\n' % self.frame)


def player(s):
    return s['player']


def find(s, cls, nth=0):
    found = [c for c in s['characters'] if c['class'] == cls]
    return found[nth] if len(found) > nth else None


def walk_keys(dx, dz, upside_down, yaw=90.0):
    """Arrow keys for a world direction, the camera turned to yaw (degrees;
    90 looks along +x, as a stage starts)."""
    keys = set()
    if abs(yaw - 90.0) < 0.01:
        # Looking along +x: up and down walk along x, left and right along z.
        if dx > 0.04: keys.add('UP')
        if dx < -0.04: keys.add('DOWN')
        plus_z = 'RIGHT' if upside_down else 'LEFT'
        minus_z = 'LEFT' if upside_down else 'RIGHT'
        if dz > 0.04: keys.add(plus_z)
        if dz < -0.04: keys.add(minus_z)
        return keys
    # The stick the player turns into a step, undone: the step is the stick
    # turned by the yaw (on the underside with left and right swapped).
    c, s = math.cos(math.radians(yaw)), math.sin(math.radians(yaw))
    if upside_down:
        sx, sy = -dx * c + dz * s, dx * s + dz * c
    else:
        sx, sy = dx * c - dz * s, dx * s + dz * c
    big = max(abs(sx), abs(sy))
    if big < 0.04:
        return keys
    # Eight directions: a second key only where the step is nearer a diagonal.
    if sy > 0.41 * big: keys.add('UP')
    if sy < -0.41 * big: keys.add('DOWN')
    if sx > 0.41 * big: keys.add('RIGHT')
    if sx < -0.41 * big: keys.add('LEFT')
    return keys


def camera_yaw(s):
    return s.get('camera', {}).get('yaw', 90.0)


def walk_to(bot, x, z, tolerance=0.08, limit=2000):
    for _ in range(limit // 4):
        s = bot.state()
        p = player(s)
        dx, dz = x - p['pos'][0], z - p['pos'][2]
        if abs(dx) <= tolerance and abs(dz) <= tolerance:
            bot.wait(1)
            return s
        keys = walk_keys(dx if abs(dx) > tolerance else 0, dz if abs(dz) > tolerance else 0, p['upside_down'],
                         camera_yaw(s))
        steps = max(1, min(8, int(min([abs(v) for v in (dx, dz) if abs(v) > tolerance]) / 0.075)))
        bot.hold(keys, steps)
    raise SystemExit('could not reach (%g, %g) at frame %d' % (x, z, bot.frame))


def face(bot, dx, dz):
    s = bot.state()
    bot.hold(walk_keys(dx, dz, player(s)['upside_down'], camera_yaw(s)), 1)
    bot.wait(1)


def turn_camera(bot, yaw, tolerance=12):
    """Turns the camera with A or S until its yaw is within tolerance of the
    one asked for (the turn eases out after the key is let go)."""
    for _ in range(40):
        now = camera_yaw(bot.state())
        diff = (yaw - now + 540) % 360 - 180
        if abs(diff) <= tolerance:
            bot.wait(20)  # the last of the turn
            return
        # A turns the yaw down, S up; the turn carries on about 15 degrees.
        frames = max(1, int((abs(diff) - 15) / 2.0))
        bot.hold({'S' if diff > 0 else 'A'}, min(frames, 30))
        bot.wait(16)
    raise SystemExit('could not turn the camera to %g at frame %d' % (yaw, bot.frame))


def lift(bot):
    bot.press('SPACE', 3, 34)
    s = bot.state()
    if player(s)['action'] != 16:
        raise SystemExit('lift failed at frame %d: %s' % (bot.frame, player(s)))
    return s


def flip(bot, to_underside):
    """Flips the area in front of the player (which stands in it) over."""
    bot.hold({'M'}, 36)
    bot.wait(1)
    return until(bot, lambda s: player(s)['upside_down'] == (1 if to_underside else 0) and
                 player(s)['action'] == 1 and s['fade_alpha'] == 0 and player(s)['state'] == 0,
                 10, 600, 'the flip')


def until(bot, test, step=10, limit=3000, what='condition', batch=24):
    """Waits in steps of `step` frames until the state passes the test.
    Waiting gives no input, so the runner is asked for a batch of the coming
    checks at once; the result is the same as checking step by step."""
    checks = limit // step
    done = 0
    while done < checks:
        count = min(batch, checks - done)
        trial = bot.copy()
        trial.wait(step * (count - 1))
        frames = [bot.frame - 1 + step * k for k in range(count)]
        for k, s in enumerate(trial.states(frames)):
            if test(s):
                if k:
                    bot.wait(step * k)
                return s
        bot.wait(step * count)
        done += count
    raise SystemExit('timed out waiting for %s at frame %d' % (what, bot.frame))


def wait_for_life(bot, life, limit=1500):
    return until(bot, lambda s: s['life'] >= life, 10, limit, 'life %d' % life)


def walk_until_mode(bot, mode, keys=('UP',)):
    """Walks until the game mode changes to `mode` (a trigger floor)."""
    for _ in range(200):
        if bot.state()['game_mode'] == mode:
            bot.wait(1)
            return
        bot.hold(set(keys), 4)
    raise SystemExit('never reached mode %d' % mode)


def confirm_event(bot, mode):
    until(bot, lambda s: s['game_mode'] == mode, 5, 600, 'mode %d' % mode)
    for _ in range(60):
        s = bot.state()
        if s['game_mode'] != mode:
            return s
        bot.press('RETURN', 1, 7)
    raise SystemExit('event of mode %d never ended' % mode)


def finish_stage(bot, goal_x, z, next_stage, bridge_wait=150):
    """From the defeat event: the bridge, the goal event, the clear screen
    and the next stage's fade-in."""
    confirm_event(bot, 4)
    until(bot, lambda s: s['game_mode'] == 8, 5, 300, 'the bridge')
    bot.wait(bridge_wait)
    walk_to(bot, goal_x, z)
    walk_until_mode(bot, 9)
    confirm_event(bot, 9)
    until(bot, lambda s: s['game_mode'] == 5, 5, 300, 'the clear screen')
    until(bot, lambda s: s['stage'] == next_stage, 10, 600, 'the next stage')
    bot.wait(10)


def read_scene_to_title(bot, fast_credits=True):
    """From the last stage's defeat event: the goal that follows at once, the
    clear screen, the ending read page by page, the credits, and the title
    again (sequencer state 2)."""
    confirm_event(bot, 4)
    until(bot, lambda s: s['seq_state'] == 18, 10, 1200, 'the ending')
    for _ in range(200):
        if bot.state()['seq_state'] != 18:
            break
        bot.press('RETURN', 1, 9)
    until(bot, lambda s: s['seq_state'] == 6, 5, 600, 'the credits')
    bot.wait(120)
    if fast_credits:
        bot.press('RETURN', 1, 1)  # the credits run ten times as fast
    until(bot, lambda s: s['seq_state'] == 2, 30, 20000, 'the title')
    bot.wait(120)
