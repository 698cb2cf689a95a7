#!/usr/bin/env python3
"""Writes tests/data/inputs/contrast_tour.txt: a short walk through stage 1
that shows every screen piece with words, for the contrast test. It stops
by the first board (its panel open), flips to the underside, pauses, and
walks off the field's edge into the game over. Each "# shot NAME FRAME"
line names a frame the test takes a picture of.

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/contrast_tour.py ../orvelune-sim > ../../tests/data/inputs/contrast_tour.txt
"""
import sys

from botlib import Bot, face, flip, player, until, walk_to

SIM = sys.argv[1] if len(sys.argv) > 1 else '../orvelune-sim'


def main():
    bot = Bot(SIM, stage=0)
    shots = {}
    bot.wait(90)  # faded in: the HUD on the upper side, the stage gauge
    shots['top'] = bot.frame - 1
    # Onto the second board (lifting and throwing): its panel slides in.
    walk_to(bot, 5.5, -38.6)
    bot.wait(40)
    shots['board'] = bot.frame - 1
    # Under the field: the HUD on the underside.
    walk_to(bot, 25, -40)
    face(bot, 1, 0)
    flip(bot, True)
    bot.wait(30)
    shots['below'] = bot.frame - 1
    # The pause menu, faded in with its cursor on retry; then resume.
    bot.press('P', 1, 100)
    shots['pause'] = bot.frame - 1
    bot.press('P', 1, 60)
    # Off the edge of the field into the river: the game over.
    bot.hold({'LEFT'}, 400)
    until(bot, lambda s: s['game_mode'] == 7, 10, 900, 'the game over')
    bot.wait(120)
    shots['over'] = bot.frame - 1
    comments = ['Stage 1: the pieces of the screen with words, for tests/contrast_test.cpp.',
                'Written by tools/replay_bot/contrast_tour.py.']
    comments += ['shot %s %d' % (name, frame) for name, frame in shots.items()]
    bot.write(sys.stdout, comments)


if __name__ == '__main__':
    main()
