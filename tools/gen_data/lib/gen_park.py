"""The player's park upgrades: one picture per upgrade type and stage, each complete in itself (a stage shows
everything of the stages below it), as Park/upgrade_<type>_<stage>.png + .ini, the park's image list
Park/upgrades.list, and the map tooltip's thumbnails (registry names "<type + 1>_<stage>") in
Sprites/park_thumbs.ini.

Each stage is rendered into a CELL-sized picture and cropped to its drawn pixels, so the map's thumbnail (the
picture scaled to a fixed width) shows the stage rather than an empty cell. The crop's top-left corner is the
stage's SpriteOffset in the park's hand-written Park/config.ini; the step keeps that key in line with the crop.

Types: 0 enclosure (brings the park animals), 1 water hole, 2 food store (food levels), 3 helipad (places in
the helicopter), 4 ranger post (driving poachers off).
"""
import math
import os
import random
import re
import sys

import numpy as np

import common
from gen_objects import LEAF, STONE, acacia, bush
from render3d import box, cone, ellipsoid, render, rot_y, rot_z, segment, yaw

WOOD = (150, 104, 62)
WOOD_DARK = (110, 74, 46)
PLANK = (196, 150, 96)
ROOF = (178, 70, 48)
THATCH = (214, 176, 96)
WALL = (236, 214, 170)
WATER = (96, 170, 206)
METAL = (150, 156, 164)
PAD = (120, 124, 126)
CANVAS = (110, 140, 80)
JEEP = (104, 128, 72)

CELL = (208, 168)
GROUND = (104, 124)
VIEW_ANGLE = 0.55


def fence_ring(cx, cz, rx, rz, posts=14, gap=None):
    p = []
    pts = []
    for i in range(posts):
        a = 2 * math.pi * i / posts
        if gap is not None and abs(((a - gap + math.pi) % (2 * math.pi)) - math.pi) < 0.3:
            pts.append(None)
            continue
        x, z = cx + math.cos(a) * rx, cz + math.sin(a) * rz
        pts.append((x, z))
        p.append(box((x, 5, z), (1.2, 5, 1.2), WOOD_DARK, group=2))
    for i in range(posts):
        a, b = pts[i], pts[(i + 1) % posts]
        if a is None or b is None:
            continue
        for y in (4.0, 8.0):
            p.append(segment((a[0], y, a[1]), (b[0], y, b[1]), 0.8, WOOD, group=2))
    return p


def trough(x, z):
    return [box((x, 2.5, z), (9, 2.5, 3.5), WOOD, group=3), box((x, 4.6, z), (8, 0.5, 2.6), WATER, shade=False,
                                                                 group=3)]


def shelter(x, z):
    p = []
    for dx in (-11, 11):
        for dz in (-8, 8):
            p.append(box((x + dx, 9, z + dz), (1.2, 9, 1.2), WOOD_DARK, group=4))
    p.append(box((x, 19, z), (15, 1.4, 12), THATCH, rot=rot_z(0.12), group=4))
    return p


def pond(x, z, rx, rz, reeds=0, seed=1):
    rng = random.Random(seed)
    p = [ellipsoid((x, 0.0, z), (rx + 3, 1.2, rz + 3), colour=(170, 150, 104), group=5),
         ellipsoid((x, 0.4, z), (rx, 1.0, rz), colour=WATER, shade=False, group=5)]
    for _ in range(reeds):
        a = rng.uniform(0, 2 * math.pi)
        bx, bz = x + math.cos(a) * (rx + 1), z + math.sin(a) * (rz + 1)
        for k in range(3):
            p.append(cone((bx + k * 1.5, 0, bz), (bx + k * 1.5 + rng.uniform(-2, 2), rng.uniform(10, 16), bz), 0.9,
                          (110, 150, 60), group=6))
    return p


def windmill(x, z, blade_angle=0.4):
    p = []
    for dx, dz in ((-4, -4), (4, -4), (-4, 4), (4, 4)):
        p.append(segment((x + dx, 0, z + dz), (x, 38, z), 0.8, METAL, group=7))
    hub = np.array([x + 2.5, 40.0, z])
    p.append(box(tuple(hub + np.array([-1.5, 0, 0])), (3, 1.8, 1.8), METAL, group=7))
    for k in range(8):
        a = blade_angle + k * math.pi / 4
        d = np.array([0.0, math.sin(a), math.cos(a)])
        p.append(segment(hub, hub + d * 11, 1.6, (236, 236, 230), thick=0.4, group=8))
    p.append(box((x - 6, 40, z), (5, 0.3, 2.5), (200, 60, 50), group=7))
    return p


def haystack(x, z, s=1.0):
    return [ellipsoid((x, 7 * s, z), (10 * s, 8 * s, 9 * s), colour=THATCH, group=3),
            cone((x, 8 * s, z), (x, 26 * s, z), 10 * s, (222, 184, 104), group=3)]


def bales(x, z):
    # Square bales with their straps: a food store even before the barn stands.
    p = []
    for dx, dy in ((-6, 3.5), (6, 3.5), (0, 10.5)):
        p.append(box((x + dx, dy, z), (5.5, 3.5, 4), (218, 186, 104), group=11))
        for sx in (-2.5, 2.5):
            p.append(box((x + dx + sx, dy, z), (0.5, 3.6, 4.1), (140, 96, 50), group=12))
    return p


def crates(x, z):
    return [box((x, 3, z), (4, 3, 4), PLANK, group=4), box((x + 8.5, 3, z + 1), (4, 3, 4), PLANK, group=4),
            box((x + 4, 9, z + 0.5), (4, 3, 4), PLANK, group=4)]


def barn(x, z, s=1.0):
    p = [box((x, 11 * s, z), (20 * s, 11 * s, 14 * s), ROOF, group=5),
         box((x + 20.2 * s, 7 * s, z), (0.4, 7 * s, 6 * s), WALL, group=5)]
    for side in (-1, 1):
        p.append(box((x, 25 * s, z + side * 7.5 * s), (21 * s, 0.8, 8.5 * s), (120, 110, 104),
                     rot=rot_y(0) @ np.array([[1, 0, 0], [0, math.cos(0.55), -math.sin(0.55) * side],
                                               [0, math.sin(0.55) * side, math.cos(0.55)]]), group=5))
    return p


def silo(x, z):
    return [ellipsoid((x, 18, z), (8, 18, 8), colour=METAL, group=6), ellipsoid((x, 36, z), (8, 5, 8),
                                                                                 colour=(190, 196, 204), group=6)]


def helipad(x, z, r=22):
    p = [ellipsoid((x, 0.3, z), (r, 0.6, r), colour=PAD, shade=False, group=1),
         ellipsoid((x, 0.8, z), (r - 3, 0.4, r - 3), colour=(236, 236, 230), shade=False, group=1),
         ellipsoid((x, 1.1, z), (r - 5, 0.4, r - 5), colour=PAD, shade=False, group=1)]
    for dz in (-6, 6):
        p.append(box((x, 1.5, z + dz), (1.4, 0.3, 1.4), (240, 200, 60), shade=False, group=1))
        p.append(box((x, 1.5, z + dz), (8, 0.3, 1.4), (240, 200, 60), rot=rot_y(math.pi / 2), shade=False, group=1))
    p.append(box((x, 1.5, z), (1.4, 0.3, 6), (240, 200, 60), rot=rot_y(math.pi / 2), shade=False, group=1))
    return p


def windsock(x, z):
    return [segment((x, 0, z), (x, 26, z), 0.7, METAL, group=2),
            cone((x, 25, z), (x + 12, 22, z), 2.6, (236, 110, 40), group=2)]


def hangar(x, z):
    return [ellipsoid((x, 0, z), (18, 18, 20), colour=(170, 176, 184), group=3),
            box((x + 17.5, 6, z), (1.0, 6, 9), (80, 86, 96), group=3)]


def tower(x, z, h=34, roof=ROOF):
    p = []
    for dx in (-5, 5):
        for dz in (-5, 5):
            p.append(segment((x + dx * 1.3, 0, z + dz * 1.3), (x + dx, h, z + dz), 0.9, WOOD_DARK, group=4))
    p.append(box((x, h + 3, z), (8, 3, 8), PLANK, group=4))
    p.append(cone((x, h + 6, z), (x, h + 15, z), 11, roof, group=4))
    return p


def tent(x, z):
    # Light canvas, a dark doorway and a flag: the ranger's camp reads at thumbnail size on green ground.
    return [cone((x, 0, z), (x, 20, z), 15, (204, 184, 122), group=3),
            box((x + 11, 4.5, z), (2.5, 4.5, 3.2), (64, 50, 36), group=3),
            segment((x - 4, 0, z + 17), (x - 4, 22, z + 17), 0.8, WOOD_DARK, group=9),
            box((x - 4, 19, z + 22.5), (0.4, 3, 5.5), (210, 56, 44), group=9)]


def hut(x, z):
    return [ellipsoid((x, 7, z), (12, 8, 12), colour=WALL, group=5), cone((x, 11, z), (x, 25, z), 15, THATCH, group=5),
            box((x + 11.5, 4, z), (1, 4, 3), WOOD_DARK, group=5)]


def jeep(x, z):
    p = [box((x, 6, z), (11, 3.5, 6), JEEP, group=6), box((x - 2, 11, z), (6, 2.5, 5.5), (80, 100, 56), group=6),
         box((x + 5, 11, z), (0.4, 2.5, 5.2), (170, 210, 230), group=6)]
    for dx in (-7, 7):
        for dz in (-6, 6):
            p.append(ellipsoid((x + dx, 3, z + dz), (3, 3, 1.3), colour=(40, 38, 36), group=6))
    return p


def stage_prims(kind, stage):
    p = []
    if kind == 0:
        p += fence_ring(0, 0, 40 + 4 * stage, 24 + 3 * stage, posts=12 + 2 * stage, gap=math.pi / 2)
        if stage >= 2:
            p += trough(-18, -6)
        if stage >= 3:
            p += shelter(20, -10)
        if stage >= 4:
            p += [q.transformed(np.eye(3), np.array([-24.0, 0.0, -20.0])) for q in acacia(5, 0.45)]
    elif kind == 1:
        p += pond(0, 0, 22 + 6 * stage, 14 + 3 * stage, reeds=0 if stage < 2 else 3 * stage, seed=stage)
        if stage >= 3:
            p += windmill(36 + 4 * stage, -16)
        if stage >= 4:
            p += [q.transformed(np.eye(3), np.array([-40.0, 0.0, -14.0])) for q in bush(3, 0.9)]
    elif kind == 2:
        p += haystack(-22, 6, 1.3)
        p += bales(-40, 24)
        if stage >= 2:
            p += crates(-6, 14)
        if stage >= 3:
            p += barn(18, -8)
        if stage >= 4:
            p += silo(48, -14)
    elif kind == 3:
        p += helipad(-10, 6)
        if stage >= 2:
            p += windsock(22, 18)
        if stage >= 3:
            p += hangar(38, -16)
        if stage >= 4:
            p += tower(-46, -16, 30, (200, 200, 206))
    else:
        p += tent(-20, 6)
        if stage >= 2:
            p += jeep(14, 16)
        if stage >= 3:
            p += tower(40, -14)
        if stage >= 4:
            p += hut(-44, -14)
    return [q.transformed(yaw(VIEW_ANGLE), np.zeros(3)) for q in p]


STAGES = 4
# Transparent pixels kept around the drawn ones, so that filtering never clips an edge.
CROP_MARGIN = 3


def crop_box(img, margin=CROP_MARGIN):
    """The drawn pixels' bounding box widened by margin and kept inside the picture: x0, y0, x1, y1."""
    ys, xs = np.nonzero(img[..., 3])
    h, w = img.shape[:2]
    if len(xs) == 0:
        return 0, 0, w, h
    return (max(0, int(xs.min()) - margin), max(0, int(ys.min()) - margin), min(w, int(xs.max()) + 1 + margin),
            min(h, int(ys.max()) + 1 + margin))


def set_sprite_offsets(path, offsets):
    """Writes each stage's crop corner as SpriteOffset of the UPGRADE section showing it (Sprite=<base>) in the
    hand-written park file; every other line stays as it is. Returns the pictures no section shows."""
    with open(path, encoding='utf-8', newline='') as f:
        lines = f.read().split('\n')
    sprite, offset_at = None, None

    def close():
        if sprite in offsets and offset_at is not None:
            x, y = offsets[sprite]
            lines[offset_at] = f'SpriteOffset={x}, {y}'
            placed.add(sprite)

    placed = set()
    for i, line in enumerate(lines):
        text = line.strip()
        if text.startswith('['):
            close()
            sprite, offset_at = None, None
        elif re.match(r'Sprite\s*=', text):
            sprite = text.split('=', 1)[1].strip()
        elif re.match(r'SpriteOffset\s*=', text):
            offset_at = i
    close()
    with open(path, 'w', encoding='utf-8', newline='') as f:
        f.write('\n'.join(lines))
    return sorted(set(offsets) - placed)


def main():
    lines = []
    thumbs = []
    offsets = {}
    for kind in range(5):
        for stage in range(1, STAGES + 1):
            img = render(stage_prims(kind, stage), CELL[0], CELL[1], 1.3, GROUND)
            if common.touches_border(img):
                print(f'gen_park: upgrade {kind} stage {stage} touches the picture border', file=sys.stderr)
            base = f'upgrade_{kind}_{stage}'
            x0, y0, x1, y1 = crop_box(img)
            offsets[base] = (x0, y0)
            print(f'gen_park: {base} crop {x0},{y0} .. {x1},{y1} ({x1 - x0} x {y1 - y0})')
            # A standing picture: never runs out.
            common.write_anim('Park', base, 'stand', [np.ascontiguousarray(img[y0:y1, x0:x1])], 1, True)
            lines.append(f'{base}.png 4444 8888')
            thumbs.append(f'[{kind + 1}_{stage}]\nImage=park:{base}.png\nName={kind + 1}_{stage}\n')
    common.write_text(common.out_path('Park/upgrades.list'), '\n'.join(lines) + '\n')
    common.write_text(common.out_path('Sprites/park_thumbs.ini'), '\n'.join(thumbs))
    config = os.path.join(common.out_root(), 'Park', 'config.ini')
    if os.path.exists(config):
        for base in set_sprite_offsets(config, offsets):
            print(f'gen_park: no UPGRADE section of Park/config.ini with a SpriteOffset shows {base}', file=sys.stderr)


if __name__ == '__main__':
    main()
