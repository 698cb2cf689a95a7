#!/usr/bin/env python3
"""Plays stage 4 (the emperor's hall) through the headless runner, then the
ending and the credits back to the title, and prints the input script of the
run; `orvelune-sim --stage 3 --input SCRIPT --write-replay
tests/data/stage4.replay` adds the state hashes the test checks.

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/stage4_bot.py ../orvelune-sim > stage4.txt
"""
import sys

from botlib import (Bot, confirm_event, face, find, flip, lift, player, read_scene_to_title, turn_camera,
                    until, wait_for_life, walk_to, walk_until_mode)


def row(r):
    """The z of a row of the stage source (its grid starts 23 rows back)."""
    return -(23 + r)


def crossing(bot):
    bot.wait(60)  # the fade-in
    # A star breaks the cracked wall.
    walk_to(bot, 11.8, row(12.5))
    face(bot, 1, 0)
    lift(bot)
    bot.press('SPACE', 2, 90)
    walk_to(bot, 11.8, row(11))
    walk_to(bot, 17, row(11))
    walk_to(bot, 17, row(12.5))
    # Under the field across the gap and back.
    face(bot, 1, 0)
    flip(bot, True)
    walk_to(bot, 29, row(12.5))
    face(bot, 1, 0)
    flip(bot, False)
    walk_to(bot, 33, row(10))
    wait_for_life(bot, 7)
    # A star fells the wall across the next gap.
    walk_to(bot, 38.8, row(12))
    face(bot, 1, 0)
    lift(bot)
    bot.press('SPACE', 2, 60)
    walk_to(bot, 38.8, row(11))
    walk_to(bot, 48, row(11))
    walk_to(bot, 51, row(12))
    wait_for_life(bot, 9)


def step_aside_when(bot, attacker, test, keys, frames):
    """Waits for the attack to start, then walks out of its way."""
    until(bot, lambda s: find(s, attacker) is None or test(find(s, attacker)), 2, 1200, attacker + ' to attack')
    bot.hold(keys, frames)
    bot.wait(1)


def hands(bot):
    walk_to(bot, 64, row(12))
    walk_until_mode(bot, 2)
    confirm_event(bot, 2)
    # The left hand punches at the player waiting two rows from the south
    # edge; stepped aside, a star knocks it over the edge while it hovers.
    walk_to(bot, 80, row(19))
    step_aside_when(bot, 'LeftHand', lambda h: h['subPhase'] == 1, {'LEFT'}, 40)
    walk_to(bot, 80, row(16))
    until(bot, lambda s: find(s, 'LeftHand')['action'] == 4, 5, 600, 'the left hand to hover')
    face(bot, 0, -1)
    lift(bot)
    bot.press('SPACE', 2, 1)
    until(bot, lambda s: find(s, 'LeftHand') is None or find(s, 'LeftHand')['state'] != 0, 5, 300,
          'the left hand to fall')
    # The right hand only circles while the player stays near it: from its
    # south, a star knocks it over the north edge.
    walk_to(bot, 90, row(10))
    r = find(bot.state(), 'RightHand')
    walk_to(bot, r['pos'][0], r['pos'][2] - 3)
    face(bot, 0, 1)
    lift(bot)
    bot.press('SPACE', 2, 1)
    until(bot, lambda s: find(s, 'RightHand') is None or find(s, 'RightHand')['state'] not in (0, 5), 5, 600,
          'the right hand to fall')


def head(bot):
    # While the head comes home (three seconds, ten cells west of where it
    # floated), the player goes west past where it lands, onto the rock three
    # rows from the north edge at x 76: the head lands in front of the
    # camera, and with the player that far it charges rather than quakes.
    # Stepped aside when the charge starts, the camera turned to look north,
    # a level-2 star from its south knocks it over the north edge while it
    # tilts back.
    walk_to(bot, 86, row(8))
    walk_to(bot, 76, row(8))
    step_aside_when(bot, 'Providence', lambda h: h['action'] == 2 and h['subPhase'] == 1, {'RIGHT'}, 48)
    until(bot, lambda s: find(s, 'Providence')['action'] == 3, 2, 600, 'the charge to end')
    turn_camera(bot, 0)
    h = find(bot.state(), 'Providence')
    walk_to(bot, h['pos'][0], h['pos'][2] - 4)
    face(bot, 0, 1)
    lift(bot)
    bot.press('SPACE', 70, 1)
    until(bot, lambda s: s['bosses_left'] == 0, 10, 900, 'the head to fall')


def play(bot, stop=None):
    """Plays the stage from its fade-in (see the module's text for where it ends)."""
    bot.phase('crossing', crossing)
    if stop == 'crossing':
        return bot
    bot.phase('hands', hands)
    if stop == 'hands':
        return bot
    bot.phase('head', head)
    if stop == 'head':
        return bot
    bot.phase('ending', read_scene_to_title)
    return bot


def main(sim, stop=None):
    return play(Bot(sim, stage=3), stop)


if __name__ == '__main__':
    b = main(sys.argv[1] if len(sys.argv) > 1 else '../orvelune-sim', sys.argv[2] if len(sys.argv) > 2 else None)
    s = b.state()
    print('frame', b.frame, 'runs', b.runs, 'seq', s['seq_state'], 'mode', s.get('game_mode'), 'life', s.get('life'),
          'player', s.get('player'), file=sys.stderr)
    b.write(sys.stdout, ['Stage 4 played from its fade-in to the title after the ending and the credits.',
                         'Written by tools/replay_bot/stage4_bot.py.'])
