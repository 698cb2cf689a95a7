#!/usr/bin/env python3
"""Plays the whole game from launch in one run: the title, the opening read
to its end, the four stages in order (each stage's bot playing on from where
the last left off, with the game's state and random numbers as the run made
them), the ending, the credits and the title again. Prints the input script;
`orvelune-sim --input SCRIPT --write-replay tests/data/full_game.replay` adds
the state hashes the test checks.

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/full_bot.py ../orvelune-sim > full.txt
"""
import sys

import stage1_bot
import stage2_bot
import stage3_bot
import stage4_bot
from botlib import Bot, until


def title_and_opening(bot):
    bot.wait(10)
    until(bot, lambda s: s['seq_state'] == 2, 10, 600, 'the title')
    bot.wait(90)
    bot.press('RETURN', 1, 1)  # the first item: start
    until(bot, lambda s: s['seq_state'] == 10, 10, 600, 'the opening')
    # Read page by page to its end.
    for _ in range(300):
        if bot.state()['seq_state'] != 10:
            break
        bot.press('RETURN', 1, 9)
    until(bot, lambda s: s['seq_state'] == 14, 5, 600, 'the game')


def main(sim):
    bot = Bot(sim)
    bot.phase('title and opening', title_and_opening)
    stage1_bot.play(bot)
    stage2_bot.play(bot)
    stage3_bot.play(bot)
    stage4_bot.play(bot)
    return bot


if __name__ == '__main__':
    b = main(sys.argv[1] if len(sys.argv) > 1 else '../orvelune-sim')
    s = b.state()
    print('frame', b.frame, 'runs', b.runs, 'seq', s['seq_state'], file=sys.stderr)
    b.write(sys.stdout, ['The whole game from launch: the title, the opening, the four stages, the',
                         'ending, the credits and the title again. Written by tools/replay_bot/full_bot.py.'])
