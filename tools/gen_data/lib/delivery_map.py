"""The helicopter's delivery panel as a map (GUI/delivery_map.png, the panel's size): a small savanna on
parchment in a wooden frame, the player's park at the left end, a market town at the right end and the dashed
route between them along the line the small helicopter flies, above a paper ribbon for the panel's "Click"
line. The game draws the small helicopter at the panel's y + 15 (60 x 36, its body in rows 11 to 32), out
from the left end and back."""
import random

import numpy as np

import paint as P
from gen_backgrounds import parchment
from gen_objects import fbm

W, H = 216, 96
# The middle of the small helicopter's body as the panel draws it.
ROUTE_Y = 15 + 22
PARK = (8, 22, 46, 52)
TOWN_X = 172
# The ribbon under the panel's "Click" line (play.agui: Click_text at 14 62 188 24).
RIBBON = (14, 62, 202, 86)

TREE = (104, 126, 70, 255)
INK = (88, 58, 34, 255)
ROUTE = (170, 50, 34, 255)
ROOF = (192, 86, 54, 255)
WALL = (240, 228, 198, 255)


def land(w, h, seed):
    """Parchment with light savanna patches (grass green and dry khaki) washed over it."""
    paper = parchment(w, h, seed).astype(np.float64)
    n = fbm(w, h, (48, 16), seed + 1)
    green = np.clip((n - 0.5) / 0.12, 0, 1)[..., None] * 0.4
    dry = np.clip((0.42 - n) / 0.1, 0, 1)[..., None] * 0.3
    col = paper * (1 - green - dry) + np.array((186, 200, 130)) * green + np.array((226, 204, 142)) * dry
    arr = np.zeros((h, w, 4), dtype=np.uint8)
    arr[..., :3] = np.clip(col, 0, 255).astype(np.uint8)
    arr[..., 3] = 255
    return arr


def tree(c, x, y, s=1.0):
    """A flat-topped acacia standing on (x, y)."""
    c.line([(x, y), (x + 0.6 * s, y - 6 * s)], TREE, 1.2 * s)
    c.ellipse((x - 5 * s, y - 9 * s, x + 6 * s, y - 5.5 * s), TREE)


def hills(c):
    for x, w in ((58, 22), (76, 16), (132, 20), (148, 26)):
        c.polygon([(x - w / 2, 20), (x, 12), (x + w / 2, 20)], (206, 184, 140, 255), INK, 0.8)


def river(c):
    pts = [(124, 4), (116, 16), (122, 30), (114, 44), (120, 56), (112, 66)]
    c.line(pts, (120, 170, 196, 255), 3.4)
    c.line(pts, (166, 204, 222, 255), 1.2)


def park(c):
    """The player's park: fenced grass with a tree and a hut, its gate toward the route."""
    x0, y0, x1, y1 = PARK
    c.ellipse((x0, y0, x1, y1), (150, 188, 96, 255), (96, 130, 60, 255), 1.0)
    cx, cy, rx, ry = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
    for k in range(18):
        a = k / 18 * 2 * np.pi
        if abs(np.sin(a)) < 0.2 and np.cos(a) > 0:
            continue  # the gate, where the route leaves
        px, py = cx + rx * np.cos(a), cy + ry * np.sin(a)
        c.ellipse((px - 1.2, py - 1.2, px + 1.2, py + 1.2), P.WOOD_DARK)
    tree(c, 18, 36, 1.1)
    c.rrect((26, 38, 34, 45), 1, WALL, INK, 0.7)
    c.polygon([(25, 38.5), (30, 33.5), (35, 38.5)], (150, 104, 62, 255), INK, 0.7)


def town(c):
    """A market town: houses with red roofs and a striped market awning."""
    for x, y, w in ((176, 26, 12), (190, 22, 14), (184, 40, 12), (198, 38, 10)):
        c.rrect((x, y, x + w, y + 9), 1, WALL, INK, 0.7)
        c.polygon([(x - 1.5, y + 0.5), (x + w / 2, y - 5), (x + w + 1.5, y + 0.5)], ROOF, INK, 0.7)
        c.rrect((x + w / 2 - 1.5, y + 4, x + w / 2 + 1.5, y + 9), 0, (120, 78, 44, 255))
    # A market stall below the houses: a striped awning on two posts over a counter.
    x, y = 176, 50
    for px in (x + 1, x + 14):
        c.line([(px, y + 3), (px, y + 9)], INK, 0.9)
    c.rrect((x - 1, y + 6, x + 16, y + 9), 0, (176, 126, 76, 255), INK, 0.6)
    for k in range(5):
        c.polygon([(x - 2 + 4 * k, y), (x + 2 + 4 * k, y), (x + 2 + 4 * k, y + 4), (x - 2 + 4 * k, y + 4)],
                  ROUTE if k % 2 == 0 else WALL)
    c.rrect((x - 2, y, x + 18, y + 4), 0, None, INK, 0.6)


def route(c):
    """Dashes from the park's gate to the town, a dot at the start and a cross at the end."""
    x, end = PARK[2] - 1, TOWN_X
    while x < end:
        c.line([(x, ROUTE_Y), (min(x + 6, end), ROUTE_Y)], ROUTE, 2.0)
        x += 10
    sx = PARK[2] - 3
    c.ellipse((sx - 2.5, ROUTE_Y - 2.5, sx + 2.5, ROUTE_Y + 2.5), ROUTE, INK, 0.6)
    for d in (-1, 1):
        c.line([(TOWN_X + 1, ROUTE_Y - 3 * d), (TOWN_X + 7, ROUTE_Y + 3 * d)], ROUTE, 1.8)


def ribbon(c):
    """A paper label with folded ends, light under the panel's dark text."""
    x0, y0, x1, y1 = RIBBON
    for sx, tip in ((x0, x0 - 8), (x1, x1 + 8)):
        c.polygon([(sx, y0 + 4), (tip, y0 + 4), (tip + (3 if tip < sx else -3), (y0 + y1) / 2 + 2), (tip, y1 + 2),
                   (sx, y1 + 2)], (222, 198, 150, 255), INK, 0.8)
    c.rrect((x0, y0, x1, y1), 2, (252, 244, 222, 255), INK, 0.9)


def picture(seed=71):
    c = P.Canvas(W, H)
    c.rrect((0, 0, W, H), 10, (112, 72, 40, 255))
    c.rrect((1.5, 1.5, W - 1.5, H - 1.5), 9, P.WOOD)
    c.rrect((4, 4, W - 4, H - 4), 7, P.WOOD_DARK)
    paper = land(W - 10, H - 10, seed)
    mask = np.zeros(paper.shape[:2], dtype=bool)
    ys, xs = np.mgrid[0:H - 10, 0:W - 10]
    r = 6
    for cx, cy in ((r, r), (W - 11 - r, r), (r, H - 11 - r), (W - 11 - r, H - 11 - r)):
        corner = ((xs < r) if cx == r else (xs > cx)) & ((ys < r) if cy == r else (ys > cy))
        mask |= corner & ((xs - cx) ** 2 + (ys - cy) ** 2 > r * r)
    paper[mask, 3] = 0
    c.paste(paper, (5, 5))
    hills(c)
    river(c)
    rng = random.Random(seed)
    placed = 0
    while placed < 9:
        x, y = rng.uniform(52, 166), rng.choice((rng.uniform(22, 29), rng.uniform(50, 58)))
        if abs(x - 118) < 7:
            continue  # not on the river
        tree(c, x, y, rng.uniform(0.7, 0.95))
        placed += 1
    park(c)
    town(c)
    route(c)
    ribbon(c)
    return c.finish()
