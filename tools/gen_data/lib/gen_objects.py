"""Park objects: trees, bushes, rocks and grass (Sprites/Objects), foods and medicine (Foods), coins (GUI),
butterflies, drifting cloud shadows (Sprites/Clouds) and the water of the river levels (Sprites/Water).

Scenery uses the creatures' ray caster so that it shares their light, shading and outline; small items
come from the icon set.
"""
import math
import random
import sys

import numpy as np
from PIL import Image

import common
import icons
from creatures import shade
from render3d import cone, ellipsoid, render, rot_y, segment

# -- Registry sprites made here: name -> (image path under data/, hframes, vframes, total, frame time) --------
REGISTRY = {}


def register(name, rel, hframes=1, vframes=1, total=1, frame_time=0.1):
    REGISTRY[name] = (rel, hframes, vframes, total, frame_time)


def save_sprite(name, rel, frames, cols=None, frame_time=0.1):
    sheet = common.make_sheet(frames, cols or len(frames))
    common.save_png(common.out_path(rel), sheet)
    h, w = frames[0].shape[:2]
    c = cols or len(frames)
    register(name, rel, c, math.ceil(len(frames) / c), len(frames), frame_time)


# -- Scenery ----------------------------------------------------------------------------------------------

BARK = (122, 88, 62)
BARK_DARK = (96, 68, 50)
LEAF = [(104, 150, 58), (92, 138, 52), (118, 162, 66), (84, 124, 48)]
BUSH = [(86, 140, 62), (74, 126, 56), (100, 156, 70)]
STONE = [(168, 162, 150), (150, 144, 134), (182, 176, 164)]
EARTH = (186, 120, 82)


def acacia(seed, size=1.0):
    rng = random.Random(seed)
    p = []
    top = np.array([0.0, 62.0 * size, 0.0])
    p.append(segment((0, 0, 0), top * 0.55, 5.0 * size, BARK, group=0))
    for k in range(3):
        a = rng.uniform(0, 2 * math.pi)
        end = top + np.array([math.cos(a) * 26, rng.uniform(-4, 6), math.sin(a) * 20]) * size
        p.append(segment(top * 0.5, end, 2.8 * size, BARK_DARK, group=0))
    for k in range(9):
        a = 2 * math.pi * k / 9 + rng.uniform(-0.2, 0.2)
        r = rng.uniform(18, 34) * size
        c = top + np.array([math.cos(a) * r, rng.uniform(2, 10) * size, math.sin(a) * r * 0.8])
        p.append(ellipsoid(c, (rng.uniform(18, 26) * size, rng.uniform(6, 9) * size, rng.uniform(14, 20) * size),
                           colour=LEAF[k % len(LEAF)], group=1))
    p.append(ellipsoid(top + np.array([0, 10 * size, 0]), (30 * size, 8 * size, 24 * size), colour=LEAF[2], group=1))
    return p


def baobab(seed):
    rng = random.Random(seed)
    p = [ellipsoid((0, 30, 0), (15, 32, 15), colour=(150, 126, 104), group=0),
         ellipsoid((0, 8, 0), (18, 10, 18), colour=(150, 126, 104), group=0)]
    top = np.array([0.0, 58.0, 0.0])
    for k in range(6):
        a = 2 * math.pi * k / 6 + rng.uniform(-0.3, 0.3)
        end = top + np.array([math.cos(a) * 22, rng.uniform(6, 16), math.sin(a) * 18])
        p.append(segment(top, end, 3.2, (136, 112, 92), group=0))
        p.append(ellipsoid(end + np.array([0, 4, 0]), (10, 6, 9), colour=LEAF[k % len(LEAF)], group=1))
    return p


def palm(seed):
    rng = random.Random(seed)
    p = []
    pts = [np.array([0.0, 0.0, 0.0])]
    for i in range(6):
        pts.append(pts[-1] + np.array([1.8 + i * 0.3, 12.0, 0.0]))
    for a, b in zip(pts, pts[1:]):
        p.append(segment(a, b, 3.4, (150, 110, 74), group=0))
    crown = pts[-1]
    for k in range(8):
        a = 2 * math.pi * k / 8 + rng.uniform(-0.2, 0.2)
        d = np.array([math.cos(a), -0.25, math.sin(a)])
        p.append(segment(crown, crown + d * 30, 4.5, LEAF[k % len(LEAF)], thick=1.6, group=1))
    p.append(ellipsoid(crown + np.array([0, -2, 0]), (4, 4, 4), colour=(120, 80, 50), group=1))
    return p


def bush(seed, size=1.0, flowers=False):
    rng = random.Random(seed)
    p = []
    for k in range(8):
        a = rng.uniform(0, 2 * math.pi)
        r = rng.uniform(0, 14) * size
        rad = rng.uniform(10, 14) * size
        c = np.array([math.cos(a) * r * 1.3, max(rng.uniform(8, 18) * size, rad * 0.75), math.sin(a) * r])
        p.append(ellipsoid(c, (rad,) * 3, colour=BUSH[k % len(BUSH)], group=0))
    if flowers:
        for k in range(7):
            a = rng.uniform(0, 2 * math.pi)
            c = np.array([math.cos(a) * 12 * size, rng.uniform(16, 26) * size, math.sin(a) * 10 * size])
            p.append(ellipsoid(c, (2.2, 2.2, 2.2), colour=(250, 214, 90), group=1))
    return p


def rock(seed, size=1.0):
    rng = random.Random(seed)
    p = []
    n = rng.randint(2, 4)
    for k in range(n):
        a = rng.uniform(0, 2 * math.pi)
        r = rng.uniform(0, 10) * size if k else 0
        c = np.array([math.cos(a) * r * 1.4, 0, math.sin(a) * r])
        s = (rng.uniform(12, 18) * size, rng.uniform(8, 13) * size, rng.uniform(10, 15) * size) if k == 0 else \
            (rng.uniform(6, 11) * size, rng.uniform(5, 8) * size, rng.uniform(6, 10) * size)
        c[1] = s[1] * 0.6
        p.append(ellipsoid(c, s, rot=rot_y(rng.uniform(0, math.pi)), colour=STONE[k % len(STONE)], group=k))
    return p


def termite_mound(seed):
    rng = random.Random(seed)
    p = [cone((0, 0, 0), (0, 58, 0), 14, EARTH, group=0),
         ellipsoid((0, 6, 0), (17, 9, 15), colour=shade(EARTH, 0.92), group=0)]
    for k in range(3):
        a = rng.uniform(0, 2 * math.pi)
        b = np.array([math.cos(a) * 9, 0, math.sin(a) * 7])
        p.append(cone(b, b + np.array([0, rng.uniform(24, 36), 0]), 7, shade(EARTH, 1.05), group=0))
    return p


def grass_tuft(seed):
    rng = random.Random(seed)
    p = []
    for k in range(11):
        a = rng.uniform(0, 2 * math.pi)
        base = np.array([math.cos(a) * 5, 0, math.sin(a) * 4])
        tip = base + np.array([math.cos(a) * rng.uniform(4, 12), rng.uniform(20, 32), math.sin(a) * 6])
        p.append(cone(base, tip, 2.2, [(150, 176, 70), (128, 160, 60), (176, 186, 84)][k % 3], group=k % 3))
    return p


def render_obj(prims, w, h, ground_y, scale=1.0):
    return render(prims, w, h, scale, (w / 2, ground_y))


SCENERY = {
    # name: (builder, width, height, ground y)
    'acacia_01': (lambda: acacia(3), 176, 158, 138),
    'acacia_02': (lambda: acacia(8, 0.85), 152, 138, 120),
    'baobab': (lambda: baobab(5), 96, 128, 110),
    'palm': (lambda: palm(7), 104, 128, 112),
    'bush_01': (lambda: bush(11), 72, 64, 48),
    'bush_02': (lambda: bush(12, 0.8, True), 60, 56, 40),
    'bush_03': (lambda: bush(13, 1.2), 84, 72, 56),
    'rock_01': (lambda: rock(21), 64, 52, 36),
    'rock_02': (lambda: rock(22, 1.4), 88, 64, 46),
    'rock_03': (lambda: rock(23, 0.7), 48, 40, 26),
    'termite_mound': (lambda: termite_mound(31), 64, 88, 72),
    'grass_tuft': (lambda: grass_tuft(41), 56, 56, 42),
}


def scenery():
    for name, (build, w, h, gy) in SCENERY.items():
        img = render_obj(build(), w, h, gy)
        if common.touches_border(img):
            print(f'gen_objects: {name} touches the picture border', file=sys.stderr)
        rel = f'Sprites/Objects/{name}.png'
        common.save_png(common.out_path(rel), img)
        register(name, rel)
    # The find-pair board's bush: a big round bush, seen a little from above.
    img = render_obj(bush(17, 1.9, True), 128, 112, 96)
    if common.touches_border(img):
        print('gen_objects: bush touches the picture border', file=sys.stderr)
    common.save_png(common.out_path('Sprites/Objects/bush.png'), img)
    register('bush', 'Sprites/Objects/bush.png')


# -- Coins ------------------------------------------------------------------------------------------------

COIN_COLOURS = {
    1: {'#f9c23c': '#d9935a', '#d3883e': '#a8643a'},      # copper
    2: {'#f9c23c': '#dfe4ea', '#d3883e': '#9aa4b0'},      # silver
    3: {'#f9c23c': '#f9c23c', '#d3883e': '#d3883e'},      # gold
}


def spin_frames(img, n, min_width=0.12):
    """A coin turning about its vertical axis: the face squashed by |cos|, its rim shown when thin."""
    h, w = img.shape[:2]
    frames = []
    base = Image.fromarray(img)
    for i in range(n):
        a = 2 * math.pi * i / n
        k = max(min_width, abs(math.cos(a)))
        nw = max(2, int(round(w * k)))
        face = np.array(base.resize((nw, h), Image.LANCZOS))
        out = np.zeros_like(img)
        x0 = (w - nw) // 2
        out[:, x0:x0 + nw] = face
        if math.cos(a) < 0:
            out[:, x0:x0 + nw, :3] = (out[:, x0:x0 + nw, :3].astype(float) * 0.85).astype(np.uint8)
        frames.append(out)
    return frames


def wobble_frames(img, n, amp=8.0):
    base = Image.fromarray(img)
    frames = []
    for i in range(n):
        ang = amp * math.sin(2 * math.pi * i / n)
        frames.append(np.array(base.rotate(ang, resample=Image.BICUBIC, center=(img.shape[1] / 2, img.shape[0] * 0.9))))
    return frames


def coins():
    for n, rec in COIN_COLOURS.items():
        img = icons.icon('coin', 40, rec)
        save_sprite(f'coin_{n}', f'GUI/coin_{n}.png', spin_frames(img, 8), frame_time=0.07)
    bag = icons.icon('money-bag', 44)
    save_sprite('coin_4', 'GUI/coin_4.png', wobble_frames(bag, 8), frame_time=0.08)


# -- Foods ------------------------------------------------------------------------------------------------

FOODS = {
    # name: list of (icon, recolour) pieces piled up as the portion fills, icon size
    'grass_1': (['herb'], 34),
    'grass_2': (['herb', 'sheaf-of-rice'], 36),
    'grass_3': (['sheaf-of-rice', 'four-leaf-clover', 'herb'], 38),
    'meat_1': (['cut-of-meat'], 34),
    'meat_2': (['meat-on-bone', 'cut-of-meat'], 36),
    'meat_3': (['meat-on-bone', 'poultry-leg', 'cut-of-meat'], 38),
    'medicine': (['pill', 'syringe'], 32),
}

PILE = [(0, 0), (-13, -2), (13, -2), (-6, -12), (7, -12)]


def pile(pieces, n, size, seed):
    """n items of a pile (1..5) on a W x H canvas, the bottom centre being the ground point."""
    w, h = size * 2 + 16, size * 2 + 4
    canvas = Image.new('RGBA', (w, h), (0, 0, 0, 0))
    rng = random.Random(seed)
    for i in range(n):
        name = pieces[i % len(pieces)]
        ic = Image.fromarray(icons.icon(name, size))
        ic = ic.rotate(rng.uniform(-20, 20), resample=Image.BICUBIC)
        dx, dy = PILE[i]
        canvas.alpha_composite(ic, (w // 2 - size // 2 + dx, h - size + dy - 2))
    return np.array(canvas)


def foods():
    for name, (pieces, size) in FOODS.items():
        stay = [pile(pieces, k, size, hash_seed(name)) for k in range(1, 6)]
        save_sprite(f'{name}_stay', f'Foods/{name}_stay.png', stay, frame_time=0.1)
        full = Image.fromarray(stay[-1])
        appear = []
        for i in range(8):
            t = (i + 1) / 8
            s = min(1.15, 1.6 * t) if t < 0.75 else 1.15 - 0.6 * (t - 0.75)
            w, h = full.size
            nw, nh = max(1, int(w * s)), max(1, int(h * s))
            frame = Image.new('RGBA', full.size, (0, 0, 0, 0))
            scaled = full.resize((nw, nh), Image.LANCZOS)
            frame.alpha_composite(scaled.crop((max(0, (nw - w) // 2), max(0, nh - h), max(0, (nw - w) // 2) + min(w, nw),
                                                max(0, nh - h) + min(h, nh))),
                                  (max(0, (w - nw) // 2), max(0, h - nh)))
            appear.append(np.array(frame))
        save_sprite(f'{name}_appear', f'Foods/{name}_appear.png', appear, frame_time=0.05)


def hash_seed(text):
    return common.crc(text.encode('utf-8'))


# -- Butterflies ------------------------------------------------------------------------------------------

BUTTERFLY_COLOURS = {
    'butterfly01': None,
    'butterfly02': {'#ff6723': '#3fa9f5', '#ff822d': '#7cd0ff', '#533566': '#1e4f7a', '#321b41': '#17324d'},
}


def butterflies():
    for name, rec in BUTTERFLY_COLOURS.items():
        img = Image.fromarray(icons.icon('butterfly', 28, rec))
        frames = []
        for i in range(8):
            k = 0.25 + 0.75 * abs(math.cos(math.pi * i / 8))
            nw = max(2, int(round(28 * k)))
            f = Image.new('RGBA', (28, 28), (0, 0, 0, 0))
            # Seen from above and a little behind, flying to the right: the wings fold toward the body.
            f.alpha_composite(img.resize((nw, 28), Image.LANCZOS).rotate(-90, expand=False), ((28 - nw) // 2, 0))
            frames.append(np.array(f))
        save_sprite(name, f'Sprites/{name}.png', frames, frame_time=0.04)


def park_beetle():
    """The park's little beetle: it wiggles (ee_idle) and hops with its wings open (ee_jump)."""
    img = icons.icon('lady-beetle', 24)
    base = Image.fromarray(np.pad(img, ((2, 2), (2, 2), (0, 0))))
    idle = [np.array(base.rotate(6 * math.sin(2 * math.pi * i / 8), resample=Image.BICUBIC)) for i in range(8)]
    save_sprite('ee_idle', 'Park/ee_idle.png', idle, frame_time=0.12)
    jump = []
    for i in range(8):
        k = math.sin(math.pi * i / 7)
        w, h = 28, int(round(28 * (1 + 0.15 * k)))
        f = Image.new('RGBA', (28, 28), (0, 0, 0, 0))
        sq = base.resize((int(round(28 * (1 - 0.1 * k))), min(28, h)), Image.LANCZOS)
        f.alpha_composite(sq, ((28 - sq.width) // 2, 28 - sq.height))
        jump.append(np.array(f))
    save_sprite('ee_jump', 'Park/ee_jump.png', jump, frame_time=0.06)


# -- Clouds -----------------------------------------------------------------------------------------------

def smooth_noise(w, h, cell, seed, tile_x=True):
    rng = np.random.RandomState(seed)
    gw, gh = w // cell + (0 if tile_x else 1), h // cell + 2
    grid = rng.rand(gh, gw)
    ys = np.arange(h) / cell
    xs = np.arange(w) / cell
    x0 = np.floor(xs).astype(int)
    y0 = np.floor(ys).astype(int)
    fx = xs - x0
    fy = ys - y0
    fx = fx * fx * (3 - 2 * fx)
    fy = fy * fy * (3 - 2 * fy)
    x1 = (x0 + 1) % gw if tile_x else np.minimum(x0 + 1, gw - 1)
    x0 = x0 % gw
    a = grid[y0][:, x0]
    b = grid[y0][:, x1]
    c = grid[y0 + 1][:, x0]
    d = grid[y0 + 1][:, x1]
    top = a + (b - a) * fx[None, :]
    bot = c + (d - c) * fx[None, :]
    return top + (bot - top) * fy[:, None]


def fbm(w, h, cells, seed):
    total = np.zeros((h, w))
    amp = 1.0
    norm = 0.0
    for i, cell in enumerate(cells):
        total += amp * smooth_noise(w, h, cell, seed + i)
        norm += amp
        amp *= 0.5
    return total / norm


def cloud_shadows(seed, density, strength):
    """Broad soft patches of shade that the level draws over the ground and drifts sideways: large shapes with
    long soft edges and a light touch, so that they read as the shade of clouds passing over and not as smoke;
    clear over the sky (the top of every ground) and fading in below the horizon."""
    w, h = 1024, 768
    n = fbm(w, h, (256, 128), seed)
    k = np.clip((n - (1 - density)) / 0.25, 0, 1)
    k = k * k * (3 - 2 * k)
    ys = np.arange(h)[:, None]
    horizon = np.clip((ys - 160) / 120.0, 0, 1)
    k = k * (horizon * horizon * (3 - 2 * horizon))
    img = np.zeros((h, w, 4), dtype=np.uint8)
    img[..., :3] = (26, 44, 30)
    # Few alpha levels keep the picture small without visible banding at this softness.
    img[..., 3] = (np.round(k * strength * 255 / 2) * 2).astype(np.uint8)
    return img


def clouds():
    common.save_png(common.out_path('Sprites/Clouds/clouds_near.png'), cloud_shadows(51, 0.5, 0.16))
    common.save_png(common.out_path('Sprites/Clouds/clouds_middle.png'), cloud_shadows(61, 0.45, 0.11))


# -- Water ------------------------------------------------------------------------------------------------

# The river of the water levels runs down the left side of the park, inside the levels' water AreaRect. The water
# effect draws the foam picture as a band from x 194, the height of the area, its texture rows running down from the
# area's top; the river's open water ends under the foam's middle line, so the foam lies on the shore.
WATER_AREA = (0, 300, 240, 468)
FOAM_X = 194
FOAM_W, FOAM_H = 40, 128
# The game's depth grid: a node every 20 pixels of the area (w / 20 + 1 columns, h / 20 + 1 rows).
NODE_SPACING = 20
# Depth (0..1) from which the pictures show open water; nearer the edge, a strip of sand.
OPEN_WATER = 40 / 255
SAND_WIDTH = 40.0 * OPEN_WATER


def foam_wave(rows):
    """Where the foam picture's middle line lies across it, for picture rows (5 pixels each way, twice a picture)."""
    return FOAM_W / 2 + 5 * np.sin(2 * np.pi * 2 * rows / FOAM_H)


def river_shape():
    """Depth 0..1 of the river over the whole 1024 x 768 screen. Its open water starts a few pixels below the top of
    the water's area and ends on the right under the foam band's middle line."""
    h, w = 768, 1024
    ys, xs = np.mgrid[0:h, 0:w]
    x, y = WATER_AREA[:2]
    bank = FOAM_X + foam_wave(ys - y) + SAND_WIDTH
    top = y + 3 - SAND_WIDTH + 30 * np.sin(np.pi * np.clip((xs - x) / (FOAM_X + FOAM_W / 2 - x), 0, 1))
    inside = (xs < bank) & (ys > top)
    dist = np.minimum(bank - xs, ys - top)
    return np.clip(dist / 40.0, 0, 1) * inside


def water_nodes(wet):
    """The level's water mask, one pixel a node of the game's depth grid (the game reads the mask stretched over the
    area, node c of n columns from pixel c / n of the width): deep (255) where the whole square that the node stands
    for, to the next node right and down, is open water; else the open share of that square, at most 200 (dry)."""
    x, y, w, h = WATER_AREA
    cols, rows = w // NODE_SPACING + 1, h // NODE_SPACING + 1
    step_x, step_y = w // (cols - 1), h // (rows - 1)
    mask = np.zeros((rows, cols, 4), dtype=np.uint8)
    mask[..., :3] = 255
    for r in range(rows):
        # The last row and column also take what is left of the area.
        y0, y1 = y + r * step_y, y + (h if r == rows - 1 else (r + 1) * step_y)
        for c in range(cols):
            x0, x1 = x + c * step_x, x + (w if c == cols - 1 else (c + 1) * step_x)
            square = wet[y0:y1, x0:x1]
            if square.size == 0:
                continue
            mask[r, c, 3] = 255 if square.all() else int(200 * square.mean())
    return mask


def water():
    depth = river_shape()
    x, y, w, h = WATER_AREA
    common.save_png(common.out_path('Sprites/Water/river.png'), water_nodes(depth >= OPEN_WATER))
    # Deep water hides the legs of wading animals: a screen-sized mask.
    deep = np.zeros((768, 1024, 4), dtype=np.uint8)
    deep[..., :3] = 255
    deep[..., 3] = np.where(depth > 0.55, 255, 0).astype(np.uint8)
    common.save_png(common.out_path('Sprites/Water/DeepWaterMask.png'), deep)
    # Surface frames: soft ripples over the open water, transparent elsewhere.
    sub = depth[y:y + h, x:x + w]
    d = np.array(Image.fromarray((sub * 255).astype(np.uint8)).resize((w // 2, h // 2), Image.BILINEAR))
    names = []
    for i in range(8):
        ph = 2 * math.pi * i / 8
        ys, xs = np.mgrid[0:h // 2, 0:w // 2]
        rip = (np.sin(xs / 5.0 + ys / 9.0 + ph) * np.sin(ys / 6.0 - xs / 13.0 + ph * 2) + 1) / 2
        frame = np.zeros((h // 2, w // 2, 4), dtype=np.uint8)
        base = np.array([70, 150, 190])
        light = np.array([170, 220, 240])
        col = base[None, None, :] * (1 - rip[..., None] * 0.5) + light[None, None, :] * rip[..., None] * 0.5
        frame[..., :3] = col.astype(np.uint8)
        alpha = np.clip(d / 255.0 * 1.6, 0, 1) * 150 + (rip > 0.85) * 40
        frame[..., 3] = np.where(d >= 255 * OPEN_WATER, alpha, 0).clip(0, 255).astype(np.uint8)
        name = f'frame{i:02d}.png'
        common.save_png(common.out_path('Sprites/Water/river', name), frame)
        names.append(name)
    common.write_text(common.out_path('Sprites/Water/river/frames.list'), '\n'.join(names) + '\n')
    # Foam: a vertical band along the bank, tiling from top to bottom.
    ys, xs = np.mgrid[0:FOAM_H, 0:FOAM_W]
    edge = foam_wave(ys)
    foam_a = np.clip(1 - np.abs(xs - edge) / 8.0, 0, 1) ** 1.5
    dots = (np.sin(xs * 1.7 + ys * 0.9) * np.sin(ys * 2.3 * 2 * np.pi / FOAM_H * 8 / 2.3) > 0.6) & \
        (np.abs(xs - edge) < 12)
    foam = np.zeros((FOAM_H, FOAM_W, 4), dtype=np.uint8)
    foam[..., :3] = 250
    foam[..., 3] = np.clip(foam_a * 200 + dots * 90, 0, 255).astype(np.uint8)
    common.save_png(common.out_path('Sprites/Water/Foam.png'), foam)


def main():
    scenery()
    coins()
    foods()
    butterflies()
    park_beetle()
    clouds()
    water()
    common.save_registry('objects', REGISTRY)


if __name__ == '__main__':
    main()
