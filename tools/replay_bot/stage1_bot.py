#!/usr/bin/env python3
"""Writes the input script of a stage-1 run by playing it through the headless
runner: it walks, lifts, throws and flips by keyboard and checks each step in
the runner's state dump. The script it prints is what the replay test
verifies (after `orvelune-sim --write-replay` adds the state hashes).

Run from the run directory (the one holding Resource_Orvelune):
    python3 ../../tools/replay_bot/stage1_bot.py ../orvelune-sim > stage1.txt
"""
import sys

from botlib import Bot, confirm_event, face, finish_stage, flip, lift, until, walk_to, walk_until_mode

SIM = sys.argv[1] if len(sys.argv) > 1 else '../orvelune-sim'

# The stage lies 34 rows back from the river's far side (its first row is at
# z = -35); the arena lies four cells beyond the old layout's.
Z = -34


def stage(bot):
    bot.wait(60)  # the stage fades in
    # The two guards on their piers at x 20 and 21 see the player come along
    # the path and hop at it, over their piers' edges into the river. A star
    # is lifted and thrown on the way, as a player would, and a throw is
    # charged to the second level.
    walk_to(bot, 8, Z - 6)
    until(bot, lambda s: s['enemies_left'] <= 1, 10, 900, 'the two guards to fall')
    walk_to(bot, 12, Z - 7.2)
    face(bot, 0, 1)
    lift(bot)
    bot.press('SPACE', 8, 4)
    walk_to(bot, 18, Z - 7.5)
    walk_to(bot, 18, Z - 6)
    face(bot, 1, 0)
    lift(bot)
    bot.press('SPACE', 70, 40)
    # Wait on the recovery spot for life.
    walk_to(bot, 23, Z - 4)
    until(bot, lambda s: s['life'] >= 7, 10, 1200, 'life')
    # Flip under the wall at x 28.
    walk_to(bot, 25, Z - 6)
    face(bot, 1, 0)
    flip(bot, True)
    # The guard under the field comes for the player: lure it across the
    # path's edge from under the second pier.
    walk_to(bot, 21, Z - 7.5)
    walk_to(bot, 21, Z - 10.6)
    until(bot, lambda s: s['enemies_left'] == 0, 10, 1500, 'the third guard to fall')
    # Back to the upper side beyond the wall.
    walk_to(bot, 21, Z - 7)
    walk_to(bot, 33, Z - 6)
    face(bot, 1, 0)
    flip(bot, False)
    # The gate opens once every guard is gone; into the arena.
    until(bot, lambda s: s['game_mode'] == 1, 10, 600, 'the boss to be armed')
    walk_to(bot, 37, Z - 6)
    until(bot, lambda s: s['life'] >= 6, 10, 1200, 'life')
    bot.wait(60)
    # Through the open gate until the encounter floor starts the event.
    walk_until_mode(bot, 2)
    confirm_event(bot, 2)
    # The battle: the scorpion waits beyond the wall that lies along the
    # arena's south part. Its charge at the player north of the wall ends
    # against it, stunned; round the wall's west end, a level-2 star thrown
    # east along the south edge knocks it over the arena's east edge.
    s = until(bot, lambda s: any(c['class'] == 'Scorpion' and c.get('enemyFlag') == 8 for c in s['characters']),
              5, 900, 'the scorpion to crash into the wall')
    scorpion = [c for c in s['characters'] if c['class'] == 'Scorpion'][0]
    walk_to(bot, 52.4, Z - 6)
    walk_to(bot, 52.4, scorpion['pos'][2])
    face(bot, 1, 0)
    lift(bot)
    bot.press('SPACE', 70, 1)
    until(bot, lambda s: s['bosses_left'] == 0, 10, 1500, 'the scorpion to fall')
    finish_stage(bot, 60, Z - 6, 1, bridge_wait=120)


def play(bot):
    """Plays stage 1 from its fade-in to the fade-in of stage 2."""
    bot.phase('stage 1', stage)


def main():
    bot = Bot(SIM, stage=0)
    play(bot)
    bot.write(sys.stdout, ['Stage 1 played from its fade-in to the fade-in of stage 2.',
                           'Written by tools/replay_bot/stage1_bot.py.'])


if __name__ == '__main__':
    main()
