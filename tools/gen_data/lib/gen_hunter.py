"""Poacher sheets: Poachers/hunter/animations/<set>_<direction> and the loading-screen runner."""
import sys
from multiprocessing import Pool

import numpy as np

import biped
import common
from render3d import DIRECTIONS, render, yaw

# Drawn a quarter larger than the animals' model scale, so that he stands clear of 48 pixels at the front of the
# park. The game draws his frame with its bottom on his anchor and centres his shadow a quarter of the frame
# width above it: the feet stand there.
SCALE = 1.25
CELL = (100, 106)
ANCHOR = (50, 81)

# set name, frames, fps, loops
SETS = (
    ('walk', 12, 14, True),
    ('hit_01', 12, 14, False),
    ('hit_02', 12, 14, False),
    ('shoot', 48, 16, False),
)


# After the shot (and the rifle lowered) he stands still for a while before he goes: the animal he shot
# falls and vanishes while he is still there, so the player sees who took it. Frames, frame rate.
HOLD = {'shoot': (3, 2)}

# Aimed straight at the viewer the rifle hides behind his arms: facing down he turns his shoulders so that
# it shows beside him.
DOWN_AIM_TURN = 0.55


def poses(name, n, angle=0.0):
    if name == 'walk':
        return [biped.walk(i / n) for i in range(n)]
    if name == 'run':
        return [biped.walk(i / n, run=True) for i in range(n)]
    if name == 'hit_01':
        return [biped.hit1(i / (n - 1)) for i in range(n)]
    if name == 'hit_02':
        return [biped.hit2(i / (n - 1)) for i in range(n)]
    if name == 'shoot':
        turn = DOWN_AIM_TURN if abs(angle - dict(DIRECTIONS)['down']) < 1e-6 else 0.0
        return [biped.shoot(i, n, turn) for i in range(n)]
    raise ValueError(name)


def frames_for(name, n, angle):
    return [render([q.transformed(yaw(angle), np.zeros(3)) for q in biped.build(p)], CELL[0], CELL[1], SCALE, ANCHOR)
            for p in poses(name, n, angle)]


def job(args):
    folder, base, block, name, n, fps, loop, angle, hold = args
    frames = frames_for(name, n, angle)
    common.write_anim(folder, base, block, frames, fps, loop, hold=hold)
    return base, [i for i, f in enumerate(frames) if common.touches_border(f)]


def jobs():
    out = []
    for name, n, fps, loop in SETS:
        for dname, angle in DIRECTIONS:
            out.append(('Poachers/hunter/animations', f'{name}_{dname}', name, name, n, fps, loop, angle,
                        HOLD.get(name)))
    right = dict(DIRECTIONS)['right']
    out.append(('Sprites/LoadScreen', 'poacher_run', 'run', 'run', 12, 18, True, right, None))
    out.append(('Sprites/LoadScreen', 'poacher_shoot', 'shoot', 'shoot', 48, 24, False, right, None))
    return out


def main():
    with Pool(common.workers()) as pool:
        for base, clipped in pool.imap(job, jobs()):
            if clipped:
                print(f'gen_hunter: {base}: frames {clipped} touch the cell border', file=sys.stderr)


if __name__ == '__main__':
    main()
