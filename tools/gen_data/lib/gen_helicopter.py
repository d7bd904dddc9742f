"""The rescue helicopter: Sprites/Helo/helo_appear, helo_turn_start, helo_turn_end, helo_away (+ helo.list),
the small panel picture GUI/Helo_mini.png and the delivery panel's map GUI/delivery_map.png."""
import math

import numpy as np

import common
import delivery_map
from creatures import shade
from render3d import cone, ellipsoid, render, rot_x, rot_y, rot_z, segment, yaw

BODY = (240, 128, 40)
BODY_DARK = (214, 96, 30)
STRIPE = (250, 246, 236)
GLASS = (120, 196, 236)
GLASS_DARK = (70, 140, 190)
METAL = (90, 92, 100)
ROTOR = (50, 52, 58)

CELL = (208, 144)
ANCHOR = (104, 118)


def model(tail_angle):
    p = []
    p.append(ellipsoid((0, 22, 0), (26, 15, 14), colour=BODY, group=0))
    p.append(ellipsoid((12, 24, 0), (16, 12.5, 12.5), colour=GLASS, group=0))
    p.append(ellipsoid((19, 23, 0), (9, 9.5, 10), colour=GLASS_DARK, group=0))
    p.append(ellipsoid((-4, 18.5, 0), (22, 6, 14.3), colour=STRIPE, group=0))
    p.append(segment((-16, 26, 0), (-62, 30, 0), 4.2, BODY, group=0))
    p.append(ellipsoid((-50, 29.5, 0), (7, 2.2, 4.6), colour=STRIPE, group=0))
    p.append(cone((-58, 29, 0), (-68, 45, 0), 4.5, BODY_DARK, group=0))
    p.append(ellipsoid((-64, 32, 0), (6, 2, 5), colour=BODY_DARK, group=0))
    # Tail rotor on the right side.
    for k in range(2):
        a = tail_angle + k * math.pi / 2
        d = np.array([math.cos(a), math.sin(a), 0.0]) * 7.5
        c = np.array([-64, 38, 4.5])
        p.append(segment(c - d, c + d, 1.1, ROTOR, thick=0.5, group=9))
    # Skids and struts.
    for side in (-1, 1):
        p.append(segment((-16, 2, side * 11), (18, 2, side * 11), 1.5, METAL, group=2))
        p.append(ellipsoid((20, 3.4, side * 11), (3, 1.6, 1.5), rot=rot_z(0.5), colour=METAL, group=2))
        for x in (-8, 9):
            p.append(segment((x, 3, side * 11), (x, 12, side * 8), 1.1, METAL, group=2))
    # Mast and rotor hub; the blades are added in world space (see rotor).
    p.append(segment((0, 36, 0), (0, 44, 0), 2.2, METAL, group=0))
    p.append(ellipsoid((0, 45, 0), (3.4, 2.0, 3.4), colour=METAL, group=0))
    return p


HUB = (0.0, 45.5, 0.0)
BLADE = 58.0
# The blade disc seen from the camera's height would sweep down across the cabin and read as a wheel
# standing upright; flattened in depth it reads as the level disc it is.
DISC_DEPTH = 0.3


def rotor(m, angle):
    """The two main blades about the hub moved by m: thin, their chord level, sweeping a flattened disc."""
    hub = m @ np.array(HUB)
    out = []
    for k in range(2):
        a = angle + k * math.pi
        d = np.array([math.cos(a), 0.0, math.sin(a) * DISC_DEPTH])
        out.append(segment(hub + d * 2, hub + d * BLADE, 0.8, ROTOR, thick=2.6, group=10))
    return out


def frame(heading, pitch, rotor_angle, tail_angle):
    """heading: model yaw (pi = nose to screen left); pitch: nose down is negative."""
    m = yaw(heading) @ rot_z(pitch)
    prims = [q.transformed(m, np.zeros(3)) for q in model(tail_angle)] + rotor(m, rotor_angle)
    return render(prims, CELL[0], CELL[1], 1.0, ANCHOR)


LEFT = math.pi
FRONT = math.pi / 2 + 0.35


def anim(kind, n):
    frames = []
    for i in range(n):
        rotor = i * 2.1
        tail = i * 1.3
        t = i / max(1, n - 1)
        if kind == 'appear':
            frames.append(frame(LEFT, -0.16, rotor, tail))
        elif kind == 'turn_start':
            s = t * t * (3 - 2 * t)
            frames.append(frame(LEFT + (FRONT - LEFT) * s, -0.16 + 0.26 * s, rotor, tail))
        elif kind == 'turn_end':
            s = t * t * (3 - 2 * t)
            frames.append(frame(FRONT + (LEFT - FRONT) * s, 0.1 - 0.34 * s, rotor, tail))
        else:
            frames.append(frame(LEFT, -0.24, rotor, tail))
    return frames


ANIMS = (('appear', 8, 20, True), ('turn_start', 12, 12, False), ('turn_end', 12, 12, False),
         ('away', 8, 20, True))


def mini():
    """The small side view flying across the delivery panel (faces left, drawn mirrored on the way out)."""
    m = yaw(LEFT) @ rot_z(-0.1)
    prims = [q.transformed(m, np.zeros(3)) for q in model(0.0)] + rotor(m, 0.6)
    return render(prims, 60, 36, 0.42, (27, 30), outline_width=0.7)


def main():
    lines = []
    for kind, n, fps, loop in ANIMS:
        base = 'helo_' + kind
        common.write_anim('Sprites/Helo', base, kind, anim(kind, n), fps, loop, by_name=False)
        lines.append(f'{base}.png 4444 8888')
    common.write_text(common.out_path('Sprites/Helo/helo.list'), '\n'.join(lines) + '\n')
    common.save_png(common.out_path('GUI/Helo_mini.png'), mini())
    common.save_png(common.out_path('GUI/delivery_map.png'), delivery_map.picture())


if __name__ == '__main__':
    main()
