"""Animal sheets: Animals/<kind>/animations/<age>_<state>_<direction>.png and .ini."""
import math
import sys
from multiprocessing import Pool

import numpy as np

import common
from creatures import (Quadruped, death_pose, eat_pose, idle1_pose, idle2_pose, produce_pose, walk_pose)
from render3d import DIRECTIONS, render, yaw
from species import CHILD_KINDS, KINDS

# Cell size (width, height) and the ground point under the body (x, y) in the cell, per kind and age.
# Measured over every frame of every state and direction with a few pixels to spare; the ground point
# sits on the vertical centre line so that mirrored frames keep it.
CELLS = {
    ('warthog', 'adult'): ((114, 104), (57, 78)),
    ('warthog', 'child'): ((80, 70), (40, 49)),
    ('zebra', 'adult'): ((120, 128), (60, 99)),
    ('zebra', 'child'): ((80, 88), (40, 67)),
    ('rhino', 'adult'): ((144, 120), (72, 91)),
    ('rhino', 'child'): ((96, 72), (48, 51)),
    ('hippo', 'adult'): ((136, 112), (68, 80)),
    ('hippo', 'child'): ((104, 80), (52, 55)),
    ('cheetah', 'adult'): ((112, 104), (56, 78)),
    ('cheetah', 'child'): ((72, 64), (36, 45)),
    ('lion', 'adult'): ((120, 104), (60, 75)),
    ('lion', 'child'): ((80, 64), (40, 45)),
}

# Output pixels per model unit. The warthog is the smallest kind: drawn at the others' scale it stood under
# 40 pixels tall side-on at the front of the park (a young one about 25), too small to read or to click;
# it is drawn larger, still the smallest of the grown animals.
RENDER_SCALE = {
    ('warthog', 'adult'): 1.3,
    ('warthog', 'child'): 1.25,
}

# state name, pose maker, frames, fps, loops
STATES = {
    'adult': (
        ('idle_01', 'idle1', 20, 12, False),
        ('idle_02', 'idle2', 20, 12, False),
        ('produce', 'produce', 12, 14, True),
        ('eat', 'eat', 12, 10, True),
        ('death', 'death', 16, 12, False),
        ('walk', 'walk', 12, 16, True),
    ),
    'child': (
        ('idle_01', 'idle1', 20, 12, False),
        ('eat', 'eat', 12, 10, True),
        ('death', 'death', 16, 12, False),
        ('walk', 'walk', 12, 16, True),
    ),
}


def make_pose(name, t, params):
    if name == 'walk':
        return walk_pose(t)
    if name == 'eat':
        return eat_pose(t, params['reach'])
    if name == 'idle1':
        return idle1_pose(t)
    if name == 'idle2':
        return idle2_pose(t, params.get('mouth', False))
    if name == 'produce':
        return produce_pose(t)
    if name == 'death':
        return death_pose(t)
    raise ValueError(name)


def frame_times(n, loop):
    if loop:
        return [i / n for i in range(n)]
    return [i / (n - 1) for i in range(n)]


def render_frames(kind, age, pose_name, count, loop, angle):
    params = (KINDS if age == 'adult' else CHILD_KINDS)[kind]
    q = Quadruped(params)
    (w, h), anchor = CELLS[(kind, age)]
    frames = []
    for t in frame_times(count, loop):
        pose = make_pose(pose_name, t, params)
        prims = [p.transformed(yaw(angle + death_turn(params, pose, angle)), np.zeros(3)) for p in q.build(pose)]
        frames.append(render(prims, w, h, RENDER_SCALE.get((kind, age), 1.0), anchor))
    return frames


def death_turn(params, pose, angle):
    """Seen head-on, a round short-legged body rolling onto its side only looks tipped over: such kinds turn
    toward the screen's right while they fall, so that they lie across the view as in the other directions."""
    turn = params.get('death_turn', 0.0)
    if not turn or pose.roll == 0.0 or abs(abs(angle) - math.pi / 2) > 1e-6:
        return 0.0
    return -math.copysign(turn, angle) * abs(pose.roll) / (math.pi / 2)


def job(args):
    kind, age, state, pose_name, count, fps, loop, dname, angle = args
    frames = render_frames(kind, age, pose_name, count, loop, angle)
    base = f'{age}_{state}_{dname}'
    # The states played once (idles, death) stay on their last frame: an animal stands between its idles,
    # and fades out lying once its death has played.
    common.write_anim(f'Animals/{kind}/animations', base, state, frames, fps, loop, show_stopped=not loop)
    clipped = [i for i, f in enumerate(frames) if common.touches_border(f)]
    return base, kind, clipped


def jobs(kinds=None):
    out = []
    for kind in (kinds or KINDS):
        for age in ('adult', 'child'):
            for state, pose_name, count, fps, loop in STATES[age]:
                for dname, angle in DIRECTIONS:
                    out.append((kind, age, state, pose_name, count, fps, loop, dname, angle))
    return out


def main(kinds=None, processes=None):
    work = jobs(kinds)
    with Pool(processes or common.workers()) as pool:
        for base, kind, clipped in pool.imap(job, work, chunksize=1):
            if clipped:
                print(f'gen_animals: {kind}/{base}: frames {clipped} touch the cell border', file=sys.stderr)


if __name__ == '__main__':
    main(sys.argv[1].split(',') if len(sys.argv) > 1 else None)
