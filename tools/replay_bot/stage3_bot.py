#!/usr/bin/env python3
"""Plays stage 3 (the river of fish) through the headless runner and prints
the input script of the run; `orvelune-sim --stage 2 --input SCRIPT
--write-replay tests/data/stage3.replay` adds the state hashes the test checks.

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/stage3_bot.py ../orvelune-sim > stage3.txt
"""
import sys

from botlib import (Bot, confirm_event, face, find, finish_stage, lift, player, until, wait_for_life,
                    walk_to, walk_until_mode)


def row(r):
    """The z of a row of the stage source (its grid starts 23 rows back)."""
    return -(23 + r)


def shore(bot):
    bot.wait(60)  # the fade-in
    # Along the middle of the shore: a fish that hits throws the player far,
    # and from the middle it lands on the shore.
    walk_to(bot, 12.5, row(3))
    walk_to(bot, 12.5, row(10.5))
    bot.hold({'UP'}, 540)
    walk_to(bot, 53.5, row(7))
    # Wait for the fish over the ferry to settle, then onto the stone.
    bot.wait(120)
    bot.hold({'UP'}, 33)
    bot.wait(1)
    until(bot, lambda s: player(s)['pos'][0] > 65.9, 10, 400, 'the stone to arrive')
    # A star at the wall: it falls across the next gap.
    walk_to(bot, 69.8, row(7))
    face(bot, 1, 0)
    lift(bot)
    bot.press('SPACE', 2, 60)
    walk_to(bot, 69.8, row(6))
    walk_to(bot, 78, row(6))
    walk_to(bot, 78, row(11))
    wait_for_life(bot, 9)


def aquarius(bot):
    walk_to(bot, 81, row(14))
    walk_to(bot, 90, row(14))
    walk_until_mode(bot, 2)
    confirm_event(bot, 2)
    # Wait on the rock by the encounter floor (out of the fish's reach) for
    # the jar's ring to pass, then to the rock three rows north of the jar
    # and a star south at it before the next ring. Fish that hit on the way
    # throw the player north, into the open arena; then the bot tries again.
    for attempt in range(8):
        walk_to(bot, 95, row(7))
        until(bot, lambda s: find(s, 'Aquarius')['enemyFlag'] == 16, 5, 900, 'the ring')
        until(bot, lambda s: find(s, 'Aquarius')['enemyFlag'] == 4, 5, 900, 'the ring to pass')
        walk_to(bot, 106, row(15))
        face(bot, 0, -1)
        bot.press('SPACE', 3, 34)
        if player(bot.state())['action'] != 16:
            continue
        bot.press('SPACE', 2, 1)
        try:
            until(bot, lambda s: s['bosses_left'] == 0, 10, 600, 'Aquarius to fall')
            return
        except SystemExit:
            pass
    raise SystemExit('Aquarius never fell')


def play(bot, stop=None):
    """Plays the stage from its fade-in (see the module's text for where it ends)."""
    bot.phase('shore', shore)
    if stop == 'shore':
        return bot
    bot.phase('aquarius', aquarius)
    if stop == 'aquarius':
        return bot
    bot.phase('finish', lambda b: finish_stage(b, 124, row(14), 3))
    return bot


def main(sim, stop=None):
    return play(Bot(sim, stage=2), stop)


if __name__ == '__main__':
    b = main(sys.argv[1] if len(sys.argv) > 1 else '../orvelune-sim', sys.argv[2] if len(sys.argv) > 2 else None)
    s = b.state()
    print('frame', b.frame, 'runs', b.runs, 'mode', s['game_mode'], 'life', s['life'], 'bosses', s['bosses_left'],
          'player', player(s), file=sys.stderr)
    b.write(sys.stdout, ['Stage 3 played from its fade-in to the fade-in of stage 4.',
                         'Written by tools/replay_bot/stage3_bot.py.'])
