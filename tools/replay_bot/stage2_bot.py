#!/usr/bin/env python3
"""Plays stage 2 (the twins' crossing) through the headless runner and prints
the input script of the run; `orvelune-sim --stage 1 --input SCRIPT
--write-replay tests/data/stage2.replay` adds the state hashes the test checks.

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/stage2_bot.py ../orvelune-sim > stage2.txt
"""
import sys

from botlib import (Bot, confirm_event, face, find, finish_stage, flip, lift, player, until,
                    wait_for_life, walk_to, walk_until_mode)


def row(r):
    """The z of a row of the stage source (its grid starts 35 rows back)."""
    return -(35 + r)


def guards_and_gap(bot):
    bot.wait(60)  # the fade-in
    # The first guard sees the player waiting at the gap's edge and hops
    # straight into the gap.
    walk_to(bot, 10.5, row(5))
    face(bot, 1, 0)
    until(bot, lambda s: s['enemies_left'] <= 2, 10, 1500, 'the first guard to fall')
    # Under the field across the gap, on the stones that show from below
    # (the flip is made back from the gap: its stones would stop the square).
    walk_to(bot, 7, row(5))
    face(bot, 1, 0)
    flip(bot, True)
    walk_to(bot, 20, row(5))
    face(bot, 1, 0)
    flip(bot, False)
    # Life back on the recovery spot.
    walk_to(bot, 24, row(2))
    wait_for_life(bot, 7)
    # The second guard sees the player waiting before the standing wall and
    # hops into the gap beyond it; with two guards gone the boss is armed.
    walk_to(bot, 28.5, row(5))
    face(bot, 1, 0)
    until(bot, lambda s: s['enemies_left'] <= 1 and s['game_mode'] == 1, 10, 1500, 'the second guard to fall')


def wall_and_ferry(bot):
    # A star at the wall: it falls across the gap.
    walk_to(bot, 28.8, row(5))
    face(bot, 1, 0)
    lift(bot)
    bot.press('SPACE', 2, 60)
    walk_to(bot, 28.5, row(4))
    walk_to(bot, 36, row(4))
    # The moving stones have appeared: one carries the player to the gate.
    walk_to(bot, 44, row(2))
    wait_for_life(bot, 8)
    walk_to(bot, 48, row(5))
    bot.wait(30)
    bot.hold({'UP'}, 13)  # onto the stone, then stand still on it
    bot.wait(1)
    until(bot, lambda s: player(s)['pos'][0] > 58.9, 10, 400, 'the stone to arrive')
    walk_to(bot, 61, row(5))


def pollux(bot):
    walk_to(bot, 64, row(5))
    walk_to(bot, 66, row(1))
    wait_for_life(bot, 9)
    walk_to(bot, 68, row(5))
    walk_until_mode(bot, 2)
    confirm_event(bot, 2)
    # Pollux charges across the pond at the player waiting beyond it.
    walk_to(bot, 73.5, row(5))
    until(bot, lambda s: find(s, 'Pollux') is None or find(s, 'Pollux')['attacking'] == 1, 5, 900,
          'the charge')
    walk_to(bot, 73.5, row(2))
    until(bot, lambda s: s['bosses_left'] <= 1, 10, 900, 'Pollux to fall')


def castor(bot):
    # Round the pond to the north of Castor, and a star south at it: it is
    # knocked over the arena's south edge.
    walk_to(bot, 74, row(2))
    walk_to(bot, 87, row(2))
    walk_to(bot, 87, row(4.8))  # the chip lifted must not be one Castor stands on
    face(bot, 0, -1)
    lift(bot)
    bot.press('SPACE', 2, 1)
    until(bot, lambda s: s['bosses_left'] == 0, 10, 900, 'Castor to fall')


def play(bot, stop=None):
    """Plays the stage from its fade-in (see the module's text for where it ends)."""
    bot.phase('guards and gap', guards_and_gap)
    bot.phase('wall and ferry', wall_and_ferry)
    if stop == 'ferry':
        return bot
    bot.phase('pollux', pollux)
    if stop == 'pollux':
        return bot
    bot.phase('castor', castor)
    if stop == 'castor':
        return bot
    bot.phase('finish', lambda b: finish_stage(b, 101, row(5), 2))
    return bot


def main(sim, stop=None):
    return play(Bot(sim, stage=1), stop)


if __name__ == '__main__':
    b = main(sys.argv[1] if len(sys.argv) > 1 else '../orvelune-sim', sys.argv[2] if len(sys.argv) > 2 else None)
    s = b.state()
    print('frame', b.frame, 'runs', b.runs, 'mode', s['game_mode'], 'life', s['life'], 'enemies', s['enemies_left'],
          'player', player(s), file=sys.stderr)
    b.write(sys.stdout, ['Stage 2 played from its fade-in to the fade-in of stage 3.',
                         'Written by tools/replay_bot/stage2_bot.py.'])
