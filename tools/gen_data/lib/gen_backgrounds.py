"""Full-screen pictures: level grounds with their walkable masks, the menu scene, the world map, the player's
park, the help, encyclopedia, awards, mini-game and loading screens.

Landscapes are layered flat shapes (sky, hills, tree silhouettes, ground patches, paths, grass strokes)
drawn with fixed seeds.
"""
import math
import random

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

import common
import icons
import paint as P
from gen_objects import FOAM_X, OPEN_WATER, SAND_WIDTH, WATER_AREA, fbm, foam_wave, river_shape
from render3d import render, yaw

W, H = 1024, 768
SS = 2

GRASS = {
    'green': [(118, 160, 70), (134, 176, 82), (152, 188, 94), (172, 190, 104)],
    'dry': [(176, 156, 86), (196, 178, 102), (212, 194, 120), (224, 206, 140)],
    'lush': [(92, 146, 64), (110, 164, 76), (128, 180, 88), (150, 190, 100)],
    'savanna': [(140, 160, 78), (158, 172, 88), (174, 182, 100), (188, 188, 114)],
}
SAND = (222, 196, 140)
SAND_EDGE = (196, 164, 110)


def quantised(noise, colours, thresholds):
    idx = np.digitize(noise, thresholds)
    pal = np.array(colours, dtype=np.float64)
    return pal[np.clip(idx, 0, len(colours) - 1)]


def ground(w, h, palette, seed):
    n = fbm(w, h, (256, 128, 64), seed)
    # Soft steps between the palette's greens: painted patches without hard contour lines.
    pal = np.array(palette, dtype=np.float64)
    x = np.clip((n - 0.34) / 0.36, 0, 1) * (len(pal) - 1)
    i0 = np.clip(np.floor(x).astype(int), 0, len(pal) - 2)
    f = x - i0
    f = np.clip((f - 0.3) / 0.4, 0, 1)
    f = (f * f * (3 - 2 * f))[..., None]
    base = pal[i0] * (1 - f) + pal[i0 + 1] * f
    # Lighter toward the horizon, for depth.
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    return base * (1.06 - 0.1 * t)


def soft_mask(n, threshold, width=0.05):
    k = np.clip((n - threshold) / width, 0, 1)
    return k * k * (3 - 2 * k)


def earth_patches(img, seed, colour, threshold, y_from):
    """Bare ground showing through the grass, with a darker rim and a few pebbles."""
    arr = np.array(img).astype(np.float64)
    h, w = arr.shape[:2]
    n = fbm(w, h, (220, 100, 40), seed)
    k = soft_mask(n, threshold, 0.05) * 0.9
    rim = soft_mask(n, threshold - 0.025, 0.025) - k
    k[:y_from * SS] = 0
    rim[:y_from * SS] = 0
    tex = fbm(w, h, (12, 5), seed + 1)[..., None]
    col = np.array(colour, dtype=np.float64)[None, None, :] * (0.9 + 0.2 * tex)
    arr[..., :3] = arr[..., :3] * (1 - 0.2 * rim[..., None])
    arr[..., :3] = arr[..., :3] * (1 - k[..., None]) + col * k[..., None]
    img = Image.fromarray(np.clip(arr, 0, 255).astype(np.uint8))
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    placed = 0
    for _ in range(4000):
        if placed >= 90:
            break
        x, y = rng.uniform(0, W), rng.uniform(y_from, H)
        if k[int(y * SS) % h, int(x * SS) % w] < 0.8:
            continue
        placed += 1
        r = rng.uniform(1.2, 3.0)
        d.ellipse([(x - r) * SS, (y - r * 0.7 + 1) * SS, (x + r) * SS, (y + r * 0.7 + 1) * SS],
                  fill=P.darker(colour, 0.7)[:3] + (255,))
        d.ellipse([(x - r) * SS, (y - r * 0.7) * SS, (x + r) * SS, (y + r * 0.7) * SS],
                  fill=P.lighter(colour, 1.12)[:3] + (255,))
    return img


def wind_sheen(img, seed, y_from, strength=0.07):
    """Long light bands where the wind lays the grass over."""
    arr = np.array(img).astype(np.float64)
    h, w = arr.shape[:2]
    n = fbm(w, h, (300, 120), seed)
    ys, xs = np.mgrid[0:h, 0:w] / SS
    band = np.sin((xs * 0.9 + ys * 0.35) / 46.0 + n * 7.0)
    k = np.clip(band, 0, 1)[..., None] * strength
    k[:y_from * SS] = 0
    arr[..., :3] = arr[..., :3] * (1 - k) + np.array([236, 240, 180])[None, None, :] * k
    return Image.fromarray(np.clip(arr, 0, 255).astype(np.uint8))


def stones(img, region, count, seed, colours=((168, 162, 150), (150, 144, 134), (186, 178, 164))):
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    x0, y0, x1, y1 = region
    for _ in range(count):
        x, y = rng.uniform(x0, x1), rng.uniform(y0, y1)
        k = 0.6 + 0.4 * (y - y0) / max(1, y1 - y0)
        r = rng.uniform(2.5, 6.0) * k
        c = colours[rng.randrange(len(colours))]
        d.ellipse([(x - r * 1.1) * SS, (y - r * 0.2) * SS, (x + r * 1.3) * SS, (y + r * 0.6) * SS], fill=(60, 70, 40, 255))
        d.ellipse([(x - r) * SS, (y - r * 0.6) * SS, (x + r) * SS, (y + r * 0.4) * SS], fill=c + (255,))
        d.ellipse([(x - r * 0.6) * SS, (y - r * 0.55) * SS, (x + r * 0.3) * SS, (y - r * 0.1) * SS],
                  fill=P.lighter(c, 1.12)[:3] + (255,))


def puddles(img, spots, seed, mud=False):
    """Shallow pools lying flat on the ground; with mud, wallows of wet earth instead (no water)."""
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    for x, y, r in spots:
        pts = []
        for k in range(18):
            a = 2 * math.pi * k / 18
            rr = r * rng.uniform(0.8, 1.15)
            pts.append(((x + math.cos(a) * rr) * SS, (y + math.sin(a) * rr * 0.45) * SS))
        d.polygon(pts, fill=(120, 118, 74, 255))
        inner = [(x * SS + (px - x * SS) * 0.82, y * SS + (py - y * SS) * 0.78) for px, py in pts]
        d.polygon(inner, fill=(104, 90, 58, 255) if mud else (92, 150, 160, 255))
        d.ellipse([(x - r * 0.4) * SS, (y - r * 0.18) * SS, (x + r * 0.1) * SS, (y - r * 0.05) * SS],
                  fill=(146, 132, 96, 255) if mud else (176, 214, 220, 255))


def stamp(img, prims, x, y, scale, box=(200, 180)):
    """Renders a 3D piece and lays it on the picture with its foot at (x, y)."""
    from render3d import render as render3
    bw, bh = box
    pic = render3(prims, bw * SS, bh * SS, scale * SS, (bw * SS / 2, bh * SS * 0.85))
    layer = Image.fromarray(pic, 'RGBA')
    img.alpha_composite(layer, (int(x * SS - bw * SS / 2), int(y * SS - bh * SS * 0.85)))


def edge_scenery(img, seed, kinds, y_range=(714, 772), count=9, x_range=(-20, W + 20)):
    """Bushes and rocks along the bottom edge, below the ground the animals walk on."""
    import gen_objects as O
    rng = random.Random(seed)
    spots = sorted((rng.uniform(*x_range), rng.uniform(*y_range)) for _ in range(count))
    for i, (x, y) in enumerate(sorted(spots, key=lambda p: p[1])):
        kind = kinds[rng.randrange(len(kinds))]
        if kind == 'bush':
            stamp(img, O.bush(seed * 7 + i, rng.uniform(1.0, 1.5), rng.random() < 0.3), x, y, 1.2)
        elif kind == 'rock':
            stamp(img, O.rock(seed * 7 + i, rng.uniform(1.0, 1.6)), x, y, 1.2)
        elif kind == 'tuft':
            stamp(img, O.grass_tuft(seed * 7 + i), x, y, 1.1)


def tufts(img, region, count, colour, seed, size=(6, 14)):
    """Clumps of taller grass: a fan of dark blades over a soft foot shadow."""
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    x0, y0, x1, y1 = region
    for _ in range(count):
        x = rng.uniform(x0, x1)
        y = rng.uniform(y0, y1)
        k = 0.6 + 0.4 * (y - y0) / max(1, y1 - y0)
        r = rng.uniform(*size) * k
        d.ellipse([(x - r * 0.7) * SS, (y - r * 0.18) * SS, (x + r * 0.7) * SS, (y + r * 0.18) * SS],
                  fill=P.darker(colour, 0.92)[:3] + (255,))
        for j in range(7):
            a = -0.9 + 1.8 * j / 6 + rng.uniform(-0.1, 0.1)
            ln = r * rng.uniform(0.8, 1.3)
            d.line([((x + a * r * 0.3) * SS, y * SS), ((x + math.sin(a) * ln) * SS, (y - math.cos(a) * ln) * SS)],
                   fill=colour, width=max(1, int(1.4 * SS * k)))


def flowers(img, region, count, seed):
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    x0, y0, x1, y1 = region
    cols = [(250, 240, 200), (250, 210, 90), (240, 150, 160), (200, 190, 250)]
    for _ in range(count):
        x = rng.uniform(x0, x1)
        y = rng.uniform(y0, y1)
        r = rng.uniform(1.4, 2.4)
        d.ellipse([(x - r) * SS, (y - r) * SS, (x + r) * SS, (y + r) * SS], fill=cols[rng.randrange(len(cols))])


def smooth(pts, steps=16):
    """Catmull-Rom curve through pts."""
    p = [pts[0]] + list(pts) + [pts[-1]]
    out = []
    for i in range(1, len(p) - 2):
        p0, p1, p2, p3 = p[i - 1], p[i], p[i + 1], p[i + 2]
        for k in range(steps):
            t = k / steps
            t2, t3 = t * t, t * t * t
            out.append(tuple(0.5 * ((2 * p1[j]) + (-p0[j] + p2[j]) * t + (2 * p0[j] - 5 * p1[j] + 4 * p2[j] - p3[j]) * t2
                                    + (-p0[j] + 3 * p1[j] - 3 * p2[j] + p3[j]) * t3) for j in (0, 1)))
    out.append(pts[-1])
    return out


def grass_strokes(img, region, count, colours, seed, length=(5, 11)):
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    x0, y0, x1, y1 = region
    for _ in range(count):
        x = rng.uniform(x0, x1)
        y = rng.uniform(y0, y1)
        k = 0.7 + 0.3 * (y - y0) / max(1, y1 - y0)
        ln = rng.uniform(*length) * k
        a = rng.uniform(-0.5, 0.5)
        c = colours[rng.randrange(len(colours))]
        d.line([(x * SS, y * SS), ((x + math.sin(a) * ln) * SS, (y - math.cos(a) * ln) * SS)], fill=c,
               width=max(1, int(1.6 * SS * k)))


def sky(img, top, bottom, y1):
    arr = np.array(img)
    t = np.linspace(0, 1, y1 * SS)[:, None, None]
    grad = np.array(top)[None, None, :3] * (1 - t) + np.array(bottom)[None, None, :3] * t
    arr[:y1 * SS, :, :3] = grad.astype(np.uint8)
    return Image.fromarray(arr)


def hills(img, base_y, amp, colour, seed, cells=(180, 60)):
    rng = np.random.RandomState(seed)
    xs = np.arange(W * SS) / SS
    hgt = np.zeros_like(xs)
    for i, c in enumerate(cells):
        ph = rng.uniform(0, 2 * math.pi, 3)
        hgt += (amp / (i + 1)) * (np.sin(xs / c + ph[0]) * 0.6 + np.sin(xs / (c * 0.47) + ph[1]) * 0.4)
    d = ImageDraw.Draw(img)
    pts = [(x * SS, (base_y - h) * SS) for x, h in zip(xs[::4], hgt[::4])]
    pts += [(W * SS, (base_y + 30) * SS), (0, (base_y + 30) * SS)]
    d.polygon(pts, fill=colour)


def acacia_silhouette(d, x, y, s, colour):
    d.line([(x * SS, y * SS), ((x + 2 * s) * SS, (y - 18 * s) * SS)], fill=colour, width=max(1, int(3 * s * SS)))
    d.line([((x + 1 * s) * SS, (y - 10 * s) * SS), ((x - 8 * s) * SS, (y - 20 * s) * SS)], fill=colour,
           width=max(1, int(2 * s * SS)))
    for dx, dy, rw, rh in ((0, -22, 22, 5), (-10, -21, 12, 4), (10, -21, 12, 4), (2, -25, 14, 4)):
        cx, cy = x + dx * s, y + dy * s
        d.ellipse([(cx - rw * s) * SS, (cy - rh * s) * SS, (cx + rw * s) * SS, (cy + rh * s) * SS], fill=colour)


def path(img, pts, width, seed):
    """A sandy path along a smooth curve through pts."""
    d = ImageDraw.Draw(img)
    sm = smooth(pts)
    d.line([(x * SS, y * SS) for x, y in sm], fill=SAND_EDGE, width=int((width + 6) * SS), joint='curve')
    d.line([(x * SS, y * SS) for x, y in sm], fill=SAND, width=int(width * SS), joint='curve')
    rng = random.Random(seed)
    for _ in range(len(sm) * 2):
        x, y = sm[rng.randrange(len(sm))]
        x += rng.uniform(-width / 2.5, width / 2.5)
        y += rng.uniform(-width / 3, width / 3)
        r = rng.uniform(1, 2.5)
        d.ellipse([(x - r) * SS, (y - r) * SS, (x + r) * SS, (y + r) * SS], fill=SAND_EDGE)


def fence(img, x_top, x_bottom, y_top, y_bottom, colour=(150, 104, 62), gate=None, spacing=26.0, gate_open=False):
    """A post-and-rail fence from (x_top, y_top) to (x_bottom, y_bottom), seen from the same raised front view
    whichever way it runs: upright posts that grow toward the viewer, two rails, a shadow on the ground.
    gate: where along the line (0..1) a closed gate sits."""
    d = ImageDraw.Draw(img)
    length = math.hypot(x_bottom - x_top, y_bottom - y_top)
    n = max(2, int(round(length / spacing)))
    dark = (84, 56, 36)
    posts = []
    for i in range(n + 1):
        t = i / n
        x = x_top + (x_bottom - x_top) * t
        y = y_top + (y_bottom - y_top) * t
        s = min(1.0, max(0.6, 0.6 + 0.4 * (y - 150) / 450))
        posts.append((x, y, 42 * s, s))

    def rail(pa, pb, frac, col, width):
        (xa, ya, ha, sa), (xb, yb, hb, sb) = pa, pb
        d.line([(xa * SS, (ya - ha * frac) * SS), (xb * SS, (yb - hb * frac) * SS)], fill=dark + (255,),
               width=max(2, int((width + 2) * (sa + sb) / 2 * SS)))
        d.line([(xa * SS, (ya - ha * frac - 0.8) * SS), (xb * SS, (yb - hb * frac - 0.8) * SS)], fill=col + (255,),
               width=max(1, int(width * (sa + sb) / 2 * SS)))

    gate_i = None if gate is None else int(round(gate * n))
    for x, y, h, s in posts:
        d.ellipse([(x - 7 * s) * SS, (y - 2.5 * s) * SS, (x + 9 * s) * SS, (y + 3 * s) * SS], fill=(60, 70, 40, 255))
    # Far to near: each nearer post overlaps the rails behind it.
    for i, (x, y, h, s) in enumerate(posts):
        if i > 0:
            if gate_i is not None and i == gate_i + 1 and gate_open:
                # The leaf stands swung back to the left of its hinge post, seen side-on.
                (xa, ya, ha, sa) = posts[i]
                ln = spacing * 1.3 * sa
                paint = (232, 222, 196)
                for frac in (0.25, 0.55, 0.85):
                    d.line([((xa - ln) * SS, (ya - ha * frac) * SS), (xa * SS, (ya - ha * frac) * SS)],
                           fill=dark + (255,), width=int(5 * sa * SS))
                    d.line([((xa - ln) * SS, (ya - ha * frac - 0.6) * SS), (xa * SS, (ya - ha * frac - 0.6) * SS)],
                           fill=paint + (255,), width=int(3 * sa * SS))
                d.line([((xa - ln) * SS, (ya - ha * 0.2) * SS), (xa * SS, (ya - ha * 0.9) * SS)], fill=dark + (255,),
                       width=int(2.5 * sa * SS))
                d.rectangle([(xa - ln - 2.5 * sa) * SS, (ya - ha * 0.95) * SS, (xa - ln + 0.5 * sa) * SS,
                             (ya - ha * 0.12) * SS], fill=paint + (255,), outline=dark + (255,))
            elif gate_i is not None and i == gate_i + 1:
                pa, pb = posts[i - 1], posts[i]
                # A painted gate, so that it reads against the plain rails.
                for frac in (0.25, 0.55, 0.85):
                    rail(pa, pb, frac, (232, 222, 196), 3.6)
                d.line([(pa[0] * SS, (pa[1] - pa[2] * 0.2) * SS), (pb[0] * SS, (pb[1] - pb[2] * 0.9) * SS)],
                       fill=dark + (255,), width=int(2.5 * s * SS))
            else:
                for frac in (0.45, 0.85):
                    rail(posts[i - 1], posts[i], frac, colour, 3.0)
        big = 1.35 if gate_i is not None and i in (gate_i, gate_i + 1) else 1.0
        w = 3.4 * s * big
        d.rectangle([(x - w) * SS, (y - h * big - 2) * SS, (x + w) * SS, y * SS], fill=dark + (255,))
        d.rectangle([(x - w + 1) * SS, (y - h * big - 1) * SS, (x + w * 0.35) * SS, (y - 1) * SS],
                    fill=colour + (255,))
        d.ellipse([(x - w) * SS, (y - h * big - 3.5) * SS, (x + w) * SS, (y - h * big - 0.5) * SS],
                  fill=P.lighter(colour, 1.2)[:3] + (255,), outline=dark + (255,))


def finish(img):
    return img.resize((W, H), Image.LANCZOS).convert('RGB')


def landscape(palette, seed, horizon=150, sky_top=(126, 192, 232), sky_bottom=(214, 232, 236),
              hill_colours=((150, 176, 150), (128, 160, 110)), trees=8):
    img = Image.new('RGBA', (W * SS, H * SS), (0, 0, 0, 255))
    g = ground(W * SS, H * SS, GRASS[palette], seed)
    img = Image.fromarray(np.dstack([g, np.full(g.shape[:2], 255)]).astype(np.uint8))
    img = sky(img, sky_top, sky_bottom, horizon)
    hills(img, horizon - 24, 22, hill_colours[0] + (255,), seed + 1)
    hills(img, horizon - 6, 12, hill_colours[1] + (255,), seed + 2, (120, 40))
    # The near ground fades in over the hills' foot, hazed toward their colour far away, so the horizon has no seam.
    arr = np.array(img).astype(np.float64)
    near = np.dstack([g, np.full(g.shape[:2], 255)])
    ys = np.arange(H * SS)[:, None, None] / SS
    haze = np.clip(np.exp(-(ys - horizon) / 70.0), 0, 1) * 0.45
    near[..., :3] = near[..., :3] * (1 - haze) + np.array(hill_colours[1])[None, None, :] * haze
    a = np.clip((ys - (horizon - 8)) / 26.0, 0, 1)
    a = a * a * (3 - 2 * a)
    arr = arr * (1 - a) + near * a
    img = Image.fromarray(np.clip(arr, 0, 255).astype(np.uint8))
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    # A far line of scrub along the seam between hills and plain.
    for _ in range(90):
        x = rng.uniform(-10, W + 10)
        y = horizon + rng.uniform(-6, 8)
        r = rng.uniform(4, 12)
        c = P.darker(hill_colours[1], rng.uniform(0.72, 0.88))[:3]
        d.ellipse([(x - r) * SS, (y - r * 0.45) * SS, (x + r) * SS, (y + r * 0.35) * SS], fill=c + (255,))
    for _ in range(trees):
        x = rng.uniform(20, W - 20)
        acacia_silhouette(d, x, horizon - rng.uniform(2, 10), rng.uniform(0.8, 1.5), (88, 112, 70))
    return img


def reeds(img, seed, count=420):
    """Reed strokes along the river's right bank."""
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    for _ in range(count):
        y = rng.uniform(WATER_AREA[1], H)
        bank = FOAM_X + float(foam_wave(y - WATER_AREA[1])) + SAND_WIDTH
        x = bank + rng.uniform(-6, 26)
        ln = rng.uniform(10, 22)
        a = rng.uniform(-0.35, 0.35)
        c = ((70, 104, 48), (96, 130, 60), (150, 150, 80))[rng.randrange(3)]
        d.line([(x * SS, y * SS), ((x + math.sin(a) * ln) * SS, (y - math.cos(a) * ln) * SS)], fill=c, width=int(2 * SS))


# What the play screen's HUD covers (gui:play.agui and the buttons the game adds to it), as x0, y0, x1, y1: the
# board, up to three animal buy buttons rising 30 pixels above it, the two ability buttons stacked on its left,
# and the two food upgrade buttons.
HUD = ((0, 672, 1024, 768), (580, 642, 838, 768), (24, 544, 88, 672), (432, 650, 464, 682), (536, 650, 568, 682))
# A coin an animal drops lands up to half its frame width from its feet, sideways and downwards: half the widest
# grown animal's frame (the rhino's 144 pixels, 10% larger at most). Its shadow, as long as that frame is wide and
# centred 0.15 of its length above the feet, turns with it: it reaches as far sideways and 1.3 times as far up.
COIN_REACH = 80
SHADOW_UP = 1.3
# The painted water's edge is soft (anti-aliased, then stored as JPEG): the ground keeps this much further away.
SHORE_GAP = 4


def hud_clear_limit(sx):
    """The lowest anchor y, for each screen x, at which an animal stands above the HUD with every coin it can
    drop: no HUD rectangle within the coin's reach sideways starts above the coin's lowest landing point."""
    limit = np.full(np.shape(sx), float(H))
    for x0, y0, x1, y1 in HUD:
        near = (sx + COIN_REACH >= x0) & (sx - COIN_REACH < x1)
        limit = np.where(near, np.minimum(limit, y0 - COIN_REACH), limit)
    return limit


def check_clear_of_water(name, walk, sx, sy, water):
    """Fails the run when an animal on a walkable cell (each cell the 4 x 4 screen pixels around (sx, sy)) could
    stand, cast its shadow or drop a coin on painted water."""
    if not water.any():
        return
    table = np.pad(water.astype(np.int64).cumsum(0).cumsum(1), ((1, 0), (1, 0)))
    x0 = np.clip(sx - 2 - COIN_REACH, 0, W).astype(int)
    x1 = np.clip(sx + 2 + COIN_REACH, 0, W).astype(int)
    y0 = np.clip(sy - 2 - COIN_REACH * SHADOW_UP, 0, H).astype(int)
    y1 = np.clip(sy + 2 + COIN_REACH, 0, H).astype(int)
    wet = table[y1, x1] - table[y0, x1] - table[y1, x0] + table[y0, x0]
    bad = walk & (wet > 0)
    if bad.any():
        cy, cx = np.argwhere(bad)[0]
        raise SystemExit(f'gen_backgrounds: {name}: {bad.sum()} walkable cells reach the water, '
                         f'the first at {sx[cy, cx]:.0f}, {sy[cy, cx]:.0f}')


def park_level(name, palette, seed, fence_line=True, river=False, paths=None, sky_colours=None, ground_tint=None,
               with_reeds=False, earth=None, sheen=0.0, stone_count=0, wallows=(), edge=('bush', 'rock'), gate=None):
    img = landscape(palette, seed, **(dict(zip(('sky_top', 'sky_bottom'), sky_colours)) if sky_colours else {}))
    if earth:
        img = earth_patches(img, seed + 20, earth[0], earth[1], 160)
    if sheen:
        img = wind_sheen(img, seed + 21, 160, sheen)
    if wallows:
        # Mud, not water: the only water a level shows is its water effect's river.
        puddles(img, wallows, seed + 22, mud=True)
    tufts(img, (0, 160, W, H), 460 if palette == 'lush' else 220, P.darker(GRASS[palette][0], 0.86)[:3] + (255,),
          seed + 4)
    if paths:
        for i, pts in enumerate(paths):
            path(img, pts, 26, seed + 10 + i)
    colours = [P.darker(GRASS[palette][0], 0.78)[:3], P.lighter(GRASS[palette][2], 1.1)[:3]]
    grass_strokes(img, (0, 150, W, H), 3400, colours, seed + 3)
    flowers(img, (0, 170, W, H), 160, seed + 5)
    depth = river_shape() if river else np.zeros((H, W))
    water = depth >= OPEN_WATER
    # Right of the river's farthest reach of open water: the ground, and the bushes and rocks along its edges.
    shore = float(np.nonzero(water.any(axis=0))[0].max() + 1) if river else 0.0
    if river:
        big = np.array(Image.fromarray((depth * 255).astype(np.uint8)).resize((W * SS, H * SS), Image.BILINEAR))
        arr = np.array(img).astype(np.float64)
        bank = (big > 0) & (big < 255 * OPEN_WATER)
        bed = big >= 255 * OPEN_WATER
        arr[bank, :3] = (168, 150, 104)
        deep = np.clip((big - 40) / 215.0, 0, 1)[..., None]
        bed_col = np.array([84, 140, 150]) * (1 - deep) + np.array([46, 96, 120]) * deep
        arr[..., :3] = np.where(bed[..., None], bed_col, arr[..., :3])
        img = Image.fromarray(arr.astype(np.uint8))
    if with_reeds:
        reeds(img, seed + 6)
    if ground_tint:
        # Evening light on the ground (the sky keeps its own colours).
        arr = np.array(img).astype(np.float64)
        arr[130 * SS:, :, :3] *= np.array(ground_tint)[None, None, :]
        img = Image.fromarray(np.clip(arr, 0, 255).astype(np.uint8))
    if stone_count:
        stones(img, (shore + 10 if river else 0, 176, W, 700), stone_count, seed + 23)
    if fence_line:
        fence(img, 612, 660, 176, 700, gate=gate)
    # Between the walkable ground and the HUD, and in the corner under the ability buttons: bushes and rocks
    # that show where the animals do not go (none in the river, which fills that corner of the river levels).
    edge_scenery(img, seed + 24, edge, y_range=(616, 676), count=11, x_range=(shore + 20 if river else -20, W + 20))
    if not river:
        edge_scenery(img, seed + 25, edge, y_range=(500, 560), count=2, x_range=(-10, 110))
    out = finish(img)
    common.save_jpg(common.out_path('Levels', name + '.jpg'), out)
    # Walkable mask, 256 x 192: 255 herbivore ground, 128 predator ground, 0 not walkable.
    mw, mh = 256, 192
    ys, xs = np.mgrid[0:mh, 0:mw]
    sx = xs * 4.0
    sy = ys * 4.0
    # A cell is the screen square of 4 x 4 pixels around (sx, sy): all of it keeps clear of the HUD.
    walk = (sy >= 172) & (sy + 2 <= np.minimum(hud_clear_limit(sx - 2), hud_clear_limit(sx + 2))) & (sx >= 8) & \
        (sx <= 1014)
    if river:
        # The ground ends on a straight line right of the river, the reach of the widest grown animal's shadow and
        # coins away from its farthest open water: no animal stands there, casts its shadow or drops a coin on the
        # water, and a straight walk between two points of the ground never crosses it.
        walk &= sx - 2 >= shore + COIN_REACH + SHORE_GAP
    mask = np.zeros((mh, mw), dtype=np.uint8)
    if fence_line:
        fx = 612 + (660 - 612) * np.clip((sy - 176) / (700 - 176), 0, 1)
        herb = walk & (sx < fx - 14)
        pred = walk & (sx > fx + 14)
        mask[herb] = 255
        mask[pred] = 128
    else:
        mask[walk] = 255
    check_clear_of_water(name, mask > 0, sx, sy, water)
    common.save_png(common.out_path('Levels', name + '_walk.png'), np.dstack([mask, mask, mask]))


def levels():
    # Each ground has its own character; every path runs off the picture, to a gate or to the water.
    park_level('park_01', 'green', 101, gate=0.49, paths=[[(-20, 420), (250, 380), (480, 460), (626, 438)],
                                                          [(690, 790), (700, 700), (760, 520), (900, 420), (1044, 400)]])
    park_level('park_02', 'lush', 202, earth=((140, 120, 84), 0.7), edge=('bush',),
               paths=[[(120, 790), (120, 768), (220, 560), (180, 380), (300, 200), (340, 150)]])
    park_level('park_03', 'dry', 303, gate=0.85, earth=((204, 174, 124), 0.62), stone_count=40, edge=('rock', 'tuft'),
               paths=[[(-20, 600), (300, 560), (460, 640), (638, 624)],
                      [(760, 150), (700, 240), (760, 310), (900, 330), (1044, 300)]])
    park_level('park_river', 'green', 404, river=True, gate=0.4, stone_count=25, edge=('bush', 'tuft'),
               paths=[[(290, 790), (300, 768), (380, 560), (520, 420), (626, 386)]])
    park_level('park_open', 'savanna', 505, fence_line=False, sheen=0.09, edge=('tuft', 'bush'),
               paths=[[(-20, 500), (400, 430), (700, 520), (1044, 460)]])
    # Unfenced grounds for the levels that keep grazers only: the whole park is theirs.
    park_level('park_dry', 'dry', 606, fence_line=False, earth=((196, 150, 106), 0.6), stone_count=30,
               edge=('rock', 'tuft'),
               paths=[[(-20, 330), (260, 300), (520, 380), (760, 340), (1044, 370)],
                      [(420, 790), (430, 768), (470, 600), (520, 380)]])
    park_level('park_marsh', 'lush', 707, fence_line=False, river=True, with_reeds=True, edge=('bush', 'tuft'),
               wallows=((560, 300, 40), (840, 420, 52), (420, 680, 36)),
               paths=[[(1044, 620), (800, 560), (560, 600), (330, 520), (250, 470)]])
    park_level('park_dusk', 'green', 808, fence_line=False, sky_colours=((92, 112, 176), (236, 170, 120)),
               ground_tint=(1.0, 0.86, 0.72), sheen=0.05, earth=((176, 150, 106), 0.7),
               paths=[[(-20, 640), (280, 560), (520, 600), (760, 500), (1044, 520)]])


# -- Menu -------------------------------------------------------------------------------------------------

def boulder(img, rw, rh):
    """The menu's boulder: lit flat top (the warthog stands on it), a shaded front and a dark right flank, weathered
    with grain, lichen and cracks."""
    outline = [(520, 212), (532, 176), (560, 132), (604, 106), (656, 95), (720, 92), (782, 95), (826, 112),
               (858, 144), (882, 192), (878, 236), (850, 266), (780, 288), (700, 296), (616, 288), (552, 266)]
    faces = [
        ([(560, 132), (604, 106), (656, 95), (720, 92), (782, 95), (826, 112), (800, 132), (730, 140), (650, 138),
          (592, 134)], (226, 212, 190)),
        ([(520, 212), (532, 176), (560, 132), (592, 134), (650, 138), (636, 204), (616, 288), (552, 266)],
         (186, 170, 150)),
        ([(650, 138), (730, 140), (800, 132), (792, 214), (700, 296), (616, 288), (636, 204)], (164, 148, 130)),
        ([(800, 132), (826, 112), (858, 144), (882, 192), (878, 236), (850, 266), (780, 288), (700, 296),
          (792, 214)], (116, 102, 92)),
    ]
    shade = Image.new('RGBA', (rw * SS, rh * SS), (0, 0, 0, 0))
    sd = ImageDraw.Draw(shade)
    for pts, col in faces:
        sd.polygon([(x * SS, y * SS) for x, y in pts], fill=col + (255,))
    shade = shade.filter(ImageFilter.GaussianBlur(2.5 * SS))
    mask = Image.new('L', (rw * SS, rh * SS), 0)
    ImageDraw.Draw(mask).polygon([(x * SS, y * SS) for x, y in outline], fill=255)
    mask = mask.filter(ImageFilter.GaussianBlur(0.6 * SS))
    arr = np.array(shade).astype(np.float64)
    grain = fbm(rw * SS, rh * SS, (48, 16, 5), 83)[..., None]
    arr[..., :3] *= 0.82 + 0.3 * grain
    lichen = soft_mask(fbm(rw * SS, rh * SS, (30, 10), 84), 0.66, 0.03)[..., None] * 0.55
    arr[..., :3] = arr[..., :3] * (1 - lichen) + np.array([170, 168, 104])[None, None, :] * lichen
    arr[..., 3] = np.array(mask)
    rock = Image.fromarray(np.clip(arr, 0, 255).astype(np.uint8))
    rd = ImageDraw.Draw(rock)
    cracks = [[(600, 150), (612, 190), (604, 232), (618, 268)], [(700, 160), (716, 204), (742, 232)],
              [(826, 150), (814, 196), (834, 240)], [(660, 110), (690, 124)], [(560, 200), (584, 214)]]
    rng = random.Random(85)
    for c in cracks:
        # Jagged, narrowing toward the end, with a lit lip on one side.
        pts = []
        for (ax, ay), (bx, by) in zip(c, c[1:]):
            for k in range(6):
                t = k / 6
                pts.append((ax + (bx - ax) * t + rng.uniform(-2.5, 2.5), ay + (by - ay) * t + rng.uniform(-1.5, 1.5)))
        pts.append(c[-1])
        for i, (a, b) in enumerate(zip(pts, pts[1:])):
            w = 2.4 * (1 - 0.7 * i / len(pts))
            rd.line([((a[0] + 1.2) * SS, (a[1] + 0.8) * SS), ((b[0] + 1.2) * SS, (b[1] + 0.8) * SS)],
                    fill=(238, 226, 206, 120), width=max(1, int(w * 0.6 * SS)))
            rd.line([(a[0] * SS, a[1] * SS), (b[0] * SS, b[1] * SS)], fill=(78, 62, 52, 235), width=max(1, int(w * SS)))
    rd.line([(x * SS, y * SS) for x, y in outline + [outline[0]]], fill=(88, 70, 58, 255), width=3 * SS,
            joint='curve')
    # The boulder's shadow on the hill behind it.
    d = ImageDraw.Draw(img)
    d.ellipse([560 * SS, 250 * SS, 930 * SS, 300 * SS], fill=(110, 86, 70, 255))
    img.alpha_composite(rock)
    return img


def menu():
    # Sky: small, drawn four times larger by the menu.
    w, h = 256, 192
    ys, xs = np.mgrid[0:h, 0:w]
    t = ys / h
    top = np.array([92, 132, 196])
    mid = np.array([236, 170, 120])
    bot = np.array([250, 214, 150])
    col = np.where(t[..., None] < 0.6, top * (1 - t[..., None] / 0.6) + mid * (t[..., None] / 0.6),
                   mid * (1 - (t[..., None] - 0.6) / 0.4) + bot * ((t[..., None] - 0.6) / 0.4))
    sun = np.exp(-((xs - 170) ** 2 + (ys - 120) ** 2) / (2 * 22.0 ** 2))[..., None]
    col = col * (1 - sun * 0.6) + np.array([255, 236, 190]) * sun * 0.6
    disc = ((xs - 170) ** 2 + (ys - 120) ** 2) < 11 ** 2
    col[disc] = (255, 240, 200)
    common.save_jpg(common.out_path('GUI/menu_sky.jpg'), col.astype(np.uint8))
    # Clouds: strips of 1024 x 85, 90, 43 (clouds01) and 127 (clouds02), shown at twice their size.
    def cloud_strip(hh, seed, density, tint):
        n = fbm(1024, hh, (128, 64, 32), seed)
        ys_ = np.arange(hh)[:, None] / hh
        shape = np.sin(np.pi * ys_) ** 0.8
        k = np.clip((n * shape - (1 - density)) / 0.12, 0, 1)
        img = np.zeros((hh, 1024, 4), dtype=np.uint8)
        img[..., :3] = tint
        shade = (ys_ * 40)
        img[..., :3] = np.clip(np.array(tint)[None, None, :] - shade[..., None], 0, 255)
        img[..., 3] = (k * 235).astype(np.uint8)
        return img
    c1 = np.concatenate([cloud_strip(85, 71, 0.5, (255, 236, 222)), cloud_strip(90, 72, 0.45, (250, 220, 206)),
                         cloud_strip(43, 73, 0.4, (244, 206, 190))], axis=0)
    common.save_png(common.out_path('GUI/menu_clouds01.png'), c1)
    common.save_png(common.out_path('GUI/menu_clouds02.png'), cloud_strip(127, 74, 0.42, (255, 244, 236)))
    # The rock and the foreground hill: 1024 x 440, drawn at the bottom of the screen.
    rw, rh = 1024, 440
    img = Image.new('RGBA', (rw * SS, rh * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    hill = [(0, 300), (140, 270), (300, 250), (460, 200), (560, 130), (640, 100), (760, 96), (860, 140),
            (960, 230), (1024, 250), (1024, rh), (0, rh)]
    d.polygon([(x * SS, y * SS) for x, y in hill], fill=(150, 118, 96, 255))
    img = boulder(img, rw, rh)
    d = ImageDraw.Draw(img)
    ground_pts = [(0, 320), (200, 300), (400, 300), (560, 270), (700, 290), (860, 260), (1024, 280), (1024, rh),
                  (0, rh)]
    d.polygon([(x * SS, y * SS) for x, y in ground_pts], fill=(120, 140, 70, 255))
    grass_strokes(img, (0, 300, rw, rh), 900, [(90, 110, 50), (150, 166, 90)], 81)
    acacia_silhouette(d, 120, 310, 4.5, (60, 56, 40, 255))
    arr = np.array(img.resize((rw, rh), Image.LANCZOS))
    common.save_png(common.out_path('GUI/menu_rock.png'), arr)
    # The title.
    title_w, title_h = 660, 190
    t_img = Image.new('RGBA', (title_w * SS, title_h * SS), (0, 0, 0, 0))
    td = ImageDraw.Draw(t_img)
    font = ImageFont.truetype(P.FONT_BOLD, 118 * SS)
    td.text((title_w * SS / 2 + 4 * SS, 96 * SS + 6 * SS), 'Kesterby', font=font, anchor='mm', fill=(60, 30, 14, 140))
    td.text((title_w * SS / 2, 96 * SS), 'Kesterby', font=font, anchor='mm', fill=(250, 200, 70, 255),
            stroke_width=7 * SS, stroke_fill=(96, 50, 20, 255))
    arr = np.array(t_img.resize((title_w, title_h), Image.LANCZOS))
    common.save_png(common.out_path('Localization/English/GUI/menu_title.png'), arr)
    # The warthog on the rock: a larger warthog looking about.
    from creatures import Quadruped, idle1_pose, idle2_pose
    from species import WARTHOG
    from render3d import DIRECTIONS
    q = Quadruped(WARTHOG)
    ang = dict(DIRECTIONS)['down_right']
    frames = []
    for i in range(24):
        t = i / 23
        pose = idle1_pose(t) if i < 16 else idle2_pose((i - 16) / 7)
        prims = [p.transformed(yaw(ang), np.zeros(3)) for p in q.build(pose)]
        frames.append(render(prims, 176, 160, 2.0, (88, 120), outline_width=1.5))
    # The warthog stays on the rock between its plays (the menu restarts it at random intervals).
    common.write_anim('Sprites', 'menu_warthog', 'idle', frames, 12, False, by_name=False, show_stopped=True)
    common.write_text(common.out_path('Sprites/main_menu.list'), 'menu_warthog.png 4444 8888\n')


# -- Screens ----------------------------------------------------------------------------------------------

def parchment(w, h, seed, base=(238, 222, 182)):
    n = fbm(w, h, (128, 48, 16), seed)
    col = np.array(base, dtype=np.float64)[None, None, :] * (0.92 + 0.12 * n[..., None])
    ys, xs = np.mgrid[0:h, 0:w]
    vign = ((xs / w - 0.5) ** 2 + (ys / h - 0.5) ** 2)
    col *= (1 - 0.35 * vign[..., None])
    return np.clip(col, 0, 255).astype(np.uint8)


def world_map():
    img = Image.fromarray(parchment(W * SS, H * SS, 91)).convert('RGBA')
    d = ImageDraw.Draw(img)
    # Land with a ragged coast on the right, a lake, a river and hills.
    n = fbm(W, H, (160, 60), 92)
    ys, xs = np.mgrid[0:H, 0:W]
    land = (xs + n * 160) < 880
    land_img = np.zeros((H, W, 4), dtype=np.uint8)
    land_img[land] = (196, 206, 140, 255)
    land_img[~land] = (140, 190, 206, 255)
    dry = land & (n > 0.62)
    land_img[dry] = (222, 204, 140, 255)
    lake = ((xs - 300) ** 2 / 90 ** 2 + (ys - 250) ** 2 / 55 ** 2) < 1
    land_img[lake] = (140, 190, 206, 255)
    big = Image.fromarray(land_img).resize((W * SS, H * SS), Image.NEAREST).filter(ImageFilter.GaussianBlur(SS))
    img = Image.blend(img, big, 0.75)
    d = ImageDraw.Draw(img)
    river = [(300, 300), (340, 380), (320, 460), (380, 540), (470, 600), (560, 700), (600, 768)]
    d.line([(x * SS, y * SS) for x, y in river], fill=(120, 176, 200, 255), width=10 * SS, joint='curve')
    rng = random.Random(93)
    for _ in range(60):
        x, y = rng.uniform(40, 820), rng.uniform(60, 730)
        if ((x - 300) / 110) ** 2 + ((y - 250) / 75) ** 2 < 1:
            continue
        acacia_silhouette(d, x, y, rng.uniform(0.9, 1.4), (98, 128, 74, 255))
    for x, y in ((640, 140), (690, 170), (740, 130), (160, 620), (110, 660)):
        d.polygon([((x - 40) * SS, y * SS), (x * SS, (y - 50) * SS), ((x + 40) * SS, y * SS)], fill=(160, 140, 116, 255))
        d.polygon([((x - 12) * SS, (y - 35) * SS), (x * SS, (y - 50) * SS), ((x + 12) * SS, (y - 35) * SS)],
                  fill=(240, 236, 230, 255))
    # A dotted trail that the level buttons can sit on.
    trail = [(120, 700), (200, 562), (170, 480), (250, 390), (420, 360), (520, 440), (610, 520), (720, 470),
             (780, 360), (700, 260), (560, 200), (430, 130), (300, 110), (170, 160), (80, 260), (90, 380),
             (190, 470), (320, 540), (460, 610), (600, 650), (700, 590), (800, 680)]
    for (ax, ay), (bx, by) in zip(trail, trail[1:]):
        for k in range(0, 10):
            t = k / 10
            x, y = ax + (bx - ax) * t, ay + (by - ay) * t
            d.ellipse([(x - 3) * SS, (y - 3) * SS, (x + 3) * SS, (y + 3) * SS], fill=(150, 96, 60, 255))
    # Compass rose.
    cx, cy = 930, 670
    d.ellipse([(cx - 50) * SS, (cy - 50) * SS, (cx + 50) * SS, (cy + 50) * SS], outline=(120, 86, 60, 255), width=3 * SS)
    for a in range(4):
        ang = a * math.pi / 2
        tip = (cx + math.sin(ang) * 46, cy - math.cos(ang) * 46)
        l = (cx + math.sin(ang + 2.6) * 12, cy - math.cos(ang + 2.6) * 12)
        r = (cx + math.sin(ang - 2.6) * 12, cy - math.cos(ang - 2.6) * 12)
        d.polygon([(p[0] * SS, p[1] * SS) for p in (tip, l, (cx, cy), r)], fill=(150, 60, 40, 255) if a == 0 else
                  (120, 86, 60, 255))
    common.save_jpg(common.out_path('GUI/map.jpg'), finish(img))


def framed_screen(name, seed, board=(238, 222, 182), frame=(128, 84, 50), inset=40, rel='GUI'):
    base = landscape('green', seed)
    img = base.copy()
    d = ImageDraw.Draw(img)
    box = [inset * SS, inset * SS, (W - inset) * SS, (H - inset) * SS]
    d.rounded_rectangle([box[0] + 8 * SS, box[1] + 10 * SS, box[2] + 8 * SS, box[3] + 10 * SS], 30 * SS,
                        fill=(40, 24, 12, 255))
    d.rounded_rectangle(box, 30 * SS, fill=frame + (255,))
    inner = [box[0] + 16 * SS, box[1] + 16 * SS, box[2] - 16 * SS, box[3] - 16 * SS]
    paper = Image.fromarray(parchment(inner[2] - inner[0], inner[3] - inner[1], seed + 1, board))
    mask = Image.new('L', paper.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, paper.size[0] - 1, paper.size[1] - 1], 20 * SS, fill=255)
    img.paste(paper, (inner[0], inner[1]), mask)
    for x, y in ((inset + 8, inset + 8), (W - inset - 8, inset + 8), (inset + 8, H - inset - 8),
                 (W - inset - 8, H - inset - 8)):
        d.ellipse([(x - 6) * SS, (y - 6) * SS, (x + 6) * SS, (y + 6) * SS], fill=(200, 170, 110, 255),
                  outline=(90, 60, 36, 255), width=2 * SS)
    common.save_jpg(common.out_path(rel, name + '.jpg'), finish(img))


def rusty(img, feet, scale):
    """Rusty the poacher (the hunter's figure, sneaking with his rifle) drawn into a picture at SS scale, his
    shadow under his feet: his page has no animation of its own."""
    import biped
    from render3d import DIRECTIONS
    turn = dict(DIRECTIONS)['down_right']
    prims = [q.transformed(yaw(turn), np.zeros(3)) for q in biped.build(biped.walk(0.25))]
    w, h = int(90 * scale * SS), int(90 * scale * SS)
    figure = Image.fromarray(render(prims, w, h, scale * SS, (w / 2, h * 0.9)))
    shadow = Image.new('RGBA', img.size, (0, 0, 0, 0))
    fx, fy = feet[0] * SS, feet[1] * SS
    ImageDraw.Draw(shadow).ellipse([fx - 22 * scale * SS, fy - 6 * scale * SS, fx + 26 * scale * SS,
                                    fy + 7 * scale * SS], fill=(50, 36, 20, 90))
    img.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(3 * SS)))
    img.alpha_composite(figure, (int(fx - w / 2), int(fy - h * 0.9)))


def pedia_pages():
    lines = []
    for idx, (palette, seed, extra) in {0: ('green', 611, None), 1: ('lush', 612, 'bush'), 3: ('green', 613, 'water'),
                                        4: ('dry', 614, 'rusty')}.items():
        w, h = 350, 290
        img = landscape(palette, seed, horizon=120, trees=4)
        img = img.resize((W, H), Image.LANCZOS).crop((0, 0, w * 2, h * 2)).resize((w * SS, h * SS))
        d = ImageDraw.Draw(img)
        if extra == 'water':
            d.ellipse([60 * SS, 200 * SS, 300 * SS, 270 * SS], fill=(96, 160, 190, 255))
        elif extra == 'rusty':
            rusty(img, (175, 252), 2.4)
        elif extra == 'bush':
            for x in (40, 90, 300):
                d.ellipse([(x - 30) * SS, 200 * SS, (x + 30) * SS, 250 * SS], fill=(86, 140, 62, 255))
        arr = np.array(img.resize((w, h), Image.LANCZOS))
        ys, xs = np.mgrid[0:h, 0:w]
        rr = np.minimum(np.minimum(xs, w - 1 - xs), np.minimum(ys, h - 1 - ys))
        arr[..., 3] = np.clip(rr * 16, 0, 255).astype(np.uint8)
        name = f'pedia_back{idx:02d}'
        common.save_png(common.out_path('GUI', name + '.png'), arr)
        lines.append(f'{name}.png 4444 8888')
    common.write_text(common.out_path('GUI/pedia.list'), '\n'.join(lines) + '\n')


def ground_look(img, look, seed, top):
    """A scene's own touches below `top`: bare earth, wind sheen on the grass, puddles."""
    if 'earth' in look:
        img = earth_patches(img, seed + 20, look['earth'][0], look['earth'][1], top)
    if 'sheen' in look:
        img = wind_sheen(img, seed + 21, top, look['sheen'])
    if 'pools' in look:
        puddles(img, look['pools'], seed + 22)
    return img


def loading_screens():
    looks = {1: dict(sheen=0.07), 2: dict(earth=((204, 174, 124), 0.62)), 3: dict(pools=((180, 600, 70),))}
    for i, (palette, seed) in enumerate((('green', 701), ('dry', 702), ('lush', 703)), start=1):
        img = landscape(palette, seed, horizon=330, trees=12,
                        sky_top=[(116, 186, 230), (220, 150, 110), (110, 170, 220)][i - 1],
                        sky_bottom=[(220, 236, 236), (250, 214, 160), (214, 236, 220)][i - 1])
        img = ground_look(img, looks[i], seed, 340)
        # A track from the viewer's feet to the horizon.
        rng = random.Random(seed + 30)
        x0 = rng.uniform(300, 720)
        path(img, [(x0, 790), (x0 + rng.uniform(-160, 160), 560), (x0 + rng.uniform(-120, 120), 420), (x0, 336)], 22,
             seed + 31)
        colours = [P.darker(GRASS[palette][0], 0.78)[:3], P.lighter(GRASS[palette][2], 1.1)[:3]]
        tufts(img, (0, 340, W, H), 160, P.darker(GRASS[palette][0], 0.86)[:3] + (255,), seed + 4, (8, 18))
        grass_strokes(img, (0, 330, W, H), 2200, colours, seed + 5)
        d = ImageDraw.Draw(img)
        for _ in range(3):
            acacia_silhouette(d, rng.uniform(60, 960), rng.uniform(390, 440), rng.uniform(3.0, 4.2), (70, 92, 56, 255))
        edge_scenery(img, seed + 24, ('bush', 'rock', 'tuft') if palette != 'dry' else ('rock', 'tuft'),
                     y_range=(560, 640), count=5)
        foreground_shade(img, GRASS[palette][0], seed + 40)
        common.save_jpg(common.out_path('GUI', f'load_screen{i}.jpg'), finish(img))


def foreground_shade(img, colour, seed, top=652):
    """Tall grass in deep shade along the bottom, nearest the viewer: the loading screen writes its light
    "Loading..." line (centred on y 679) and lays its bar over it, and the credits' button sits on it."""
    d = ImageDraw.Draw(img)
    rng = random.Random(seed)
    shades = [P.darker(colour, f)[:3] + (255,) for f in (0.2, 0.25, 0.3, 0.36)]
    d.rectangle([0, (top + 16) * SS, W * SS, H * SS], fill=shades[0])
    for _ in range(1400):
        x = rng.uniform(-20, W + 20)
        base = rng.uniform(top + 10, top + 40)
        ln = rng.uniform(16, 44)
        a = rng.uniform(-0.45, 0.45)
        half = rng.uniform(1.5, 3.2)
        tip = (x + math.sin(a) * ln, base - math.cos(a) * ln)
        d.polygon([((x - half) * SS, base * SS), (tip[0] * SS, tip[1] * SS), ((x + half) * SS, base * SS)],
                  fill=shades[rng.randrange(len(shades))])


def side_scenery(img, seed, spots):
    """Trees, bushes and rocks at the sides of a mini-game's board, nearest last."""
    import gen_objects as O
    build = {'acacia': lambda k: O.acacia(seed + k, 1.0), 'bush': lambda k: O.bush(seed + k, 1.3, k % 2 == 0),
             'rock': lambda k: O.rock(seed + k, 1.4), 'tuft': lambda k: O.grass_tuft(seed + k),
             'mound': lambda k: O.termite_mound(seed + k)}
    for k, (kind, x, y, scale) in enumerate(sorted(spots, key=lambda p: p[2])):
        stamp(img, build[kind](k), x, y, scale, (int(180 * scale) + 40, int(160 * scale) + 40))


def mini_games():
    looks = {
        # The board covers the middle; the sides and the top strip show the scene.
        'match_three': dict(pools=((96, 520, 80),), sides=[('acacia', 90, 330, 2.2), ('bush', 70, 670, 1.6),
                                                           ('rock', 960, 700, 1.5), ('acacia', 950, 440, 1.8),
                                                           ('bush', 975, 260, 1.3), ('tuft', 160, 430, 1.4)]),
        'find_pair': dict(sheen=0.06, sides=[('acacia', 110, 360, 2.3), ('rock', 80, 570, 1.5),
                                             ('tuft', 180, 470, 1.4), ('bush', 70, 720, 1.6),
                                             ('tuft', 990, 740, 1.4)]),
        # The animals run across all of it: flat ground marks only, and trees far back.
        'catch_animal': dict(earth=((204, 174, 124), 0.64), stones=30,
                             sides=[('acacia', 120, 196, 1.2), ('mound', 880, 204, 1.0), ('acacia', 700, 172, 0.9)]),
    }
    for name, palette, seed in (('match_three', 'lush', 801), ('find_pair', 'green', 802), ('catch_animal', 'dry', 803)):
        look = looks[name]
        img = ground_look(landscape(palette, seed, horizon=140), look, seed, 150)
        path(img, [(-20, 700), (200, 600), (120, 380), (300, 220), (420, 146)], 24, seed + 30)
        colours = [P.darker(GRASS[palette][0], 0.78)[:3], P.lighter(GRASS[palette][2], 1.1)[:3]]
        tufts(img, (0, 150, W, H), 200, P.darker(GRASS[palette][0], 0.86)[:3] + (255,), seed + 4)
        grass_strokes(img, (0, 140, W, H), 2400, colours, seed + 5)
        flowers(img, (0, 160, W, H), 140, seed + 6)
        if look.get('stones'):
            stones(img, (0, 170, W, H), look['stones'], seed + 23)
        side_scenery(img, seed + 40, look['sides'])
        common.save_jpg(common.out_path('Mini-games', name + '.jpg'), finish(img))


def park_screen():
    img = landscape('lush', 901, horizon=160)
    colours = [P.darker(GRASS['lush'][0], 0.78)[:3], P.lighter(GRASS['lush'][2], 1.1)[:3]]
    path(img, [(0, 520), (200, 470), (420, 500), (600, 420), (1024, 380)], 30, 902)
    grass_strokes(img, (0, 160, W, H), 2600, colours, 903)
    fence(img, 560, 900, 330, 330)
    # The track crosses the paddock fence through its gate.
    fence(img, 620, 620, 330, 680, gate=0.25, gate_open=True)
    common.save_jpg(common.out_path('Park', 'park_back.jpg'), finish(img))


def main():
    levels()
    menu()
    world_map()
    framed_screen('help_screen', 501)
    framed_screen('pedia_screen', 502, board=(244, 232, 200), frame=(70, 110, 60))
    framed_screen('awards_back', 503, board=(236, 220, 186), frame=(150, 100, 40), rel='Awards')
    pedia_pages()
    loading_screens()
    mini_games()
    park_screen()


if __name__ == '__main__':
    main()
