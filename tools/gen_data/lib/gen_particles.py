"""Particle textures (Particles/*.png) and their image list particle.list.

Plain shapes are white so that a particle definition's colours tint them; pictures keep their colours.
"""
import math

import numpy as np

import common
import icons
import paint as P
from paint import Canvas


def soft_disc(size, power=2.0):
    ys, xs = np.mgrid[0:size, 0:size]
    r = np.hypot(xs - (size - 1) / 2, ys - (size - 1) / 2) / (size / 2)
    a = np.clip(1 - r, 0, 1) ** power
    img = np.zeros((size, size, 4), dtype=np.uint8)
    img[..., :3] = 255
    img[..., 3] = (a * 255).astype(np.uint8)
    return img


def ring(size, radius=0.78, width=0.12):
    ys, xs = np.mgrid[0:size, 0:size]
    r = np.hypot(xs - (size - 1) / 2, ys - (size - 1) / 2) / (size / 2)
    a = np.clip(1 - np.abs(r - radius) / width, 0, 1)
    img = np.zeros((size, size, 4), dtype=np.uint8)
    img[..., :3] = 255
    img[..., 3] = (a * 255).astype(np.uint8)
    return img


def star(size, points=4, inner=0.22, soft=True):
    c = Canvas(size, size)
    cx = cy = size / 2
    pts = []
    for i in range(points * 2):
        a = math.pi * i / points - math.pi / 2
        r = (size / 2 - 1) if i % 2 == 0 else (size / 2) * inner
        pts.append((cx + math.cos(a) * r, cy + math.sin(a) * r))
    c.polygon(pts, (255, 255, 255, 255))
    img = c.finish()
    if soft:
        glow = soft_disc(size, 3.0)
        a = np.maximum(img[..., 3].astype(int), (glow[..., 3] * 0.5).astype(int))
        img[..., :3] = 255
        img[..., 3] = a.astype(np.uint8)
    return img


def puff(size, seed):
    rng = np.random.RandomState(seed)
    ys, xs = np.mgrid[0:size, 0:size]
    a = np.zeros((size, size))
    for _ in range(6):
        cx, cy = rng.uniform(0.3, 0.7, 2) * size
        r = rng.uniform(0.18, 0.3) * size
        a = np.maximum(a, np.clip(1 - np.hypot(xs - cx, ys - cy) / r, 0, 1) ** 0.7)
    img = np.zeros((size, size, 4), dtype=np.uint8)
    img[..., :3] = 255
    img[..., 3] = (a * 230).astype(np.uint8)
    return img


def arrow_down(size):
    c = Canvas(size, size)
    m = size / 2
    c.polygon([(m - 8, 4), (m + 8, 4), (m + 8, size * 0.5), (m + 16, size * 0.5), (m, size - 4), (m - 16, size * 0.5),
               (m - 8, size * 0.5)], (255, 255, 255, 255), (200, 200, 200, 255), 2)
    return c.finish()


def leaf(size):
    """A green leaf with a stalk and veins (the feeding burst draws it untinted)."""
    c = Canvas(size, size)
    m = size / 2
    # Blade: two arcs meeting in a point at the tip, leaning on the diagonal.
    def blade(k):
        pts = []
        for i in range(13):
            t = i / 12
            y = size * (0.06 + 0.8 * t)
            half = size * 0.34 * k * math.sin(math.pi * t) ** 0.8
            pts.append((t, y, half))
        left = [(m - h, y) for _, y, h in pts]
        right = [(m + h, y) for _, y, h in reversed(pts)]
        return left + right
    def turn(pts):
        a = math.radians(35)
        return [(m + (x - m) * math.cos(a) - (y - m) * math.sin(a), m + (x - m) * math.sin(a) + (y - m) * math.cos(a))
                for x, y in pts]
    c.polygon(turn(blade(1.0)), (56, 112, 34, 255))
    c.polygon(turn(blade(0.78)), (146, 206, 70, 255))
    c.line(turn([(m, size * 0.12), (m, size * 0.96)]), (56, 112, 34, 255), 1.4)
    for t in (0.35, 0.55):
        y = size * (0.1 + 0.72 * t)
        c.line(turn([(m, y + 2.5), (m - size * 0.16, y - 0.5)]), (70, 132, 42, 255), 0.9)
        c.line(turn([(m, y + 2.5), (m + size * 0.16, y - 0.5)]), (70, 132, 42, 255), 0.9)
    return c.finish()


def note(size):
    """A pale gold note with a dark rim: the set's note is near-black and vanishes on shade and dark coats."""
    return icons.outlined(icons.icon('musical-note', size - 4, {'#402a32': '#ffd966'}), width=1.5)


def plus(size):
    c = Canvas(size, size)
    t = size * 0.16
    m = size / 2
    c.rrect((m - t, 3, m + t, size - 3), t * 0.6, (255, 255, 255, 255))
    c.rrect((3, m - t, size - 3, m + t), t * 0.6, (255, 255, 255, 255))
    return c.finish()


TEXTURES = {
    'spark': lambda: soft_disc(32, 1.6),
    'glow': lambda: soft_disc(64, 2.5),
    'dot': lambda: soft_disc(16, 0.8),
    'ring': lambda: ring(64),
    'star': lambda: star(32),
    'star5': lambda: star(32, 5, 0.45, False),
    'smoke': lambda: puff(64, 3),
    'dust': lambda: puff(32, 4),
    'leaf': lambda: leaf(24),
    'plus': lambda: plus(24),
    'arrow': lambda: arrow_down(48),
    'sparkles': lambda: icons.icon('sparkles', 32),
    'heart': lambda: icons.icon('red-heart', 28),
    'coin': lambda: icons.icon('coin', 24),
    'droplet': lambda: icons.icon('droplet', 20),
    'bubble': lambda: ring(24, 0.75, 0.2),
    'sick': lambda: icons.outlined(icons.icon('nauseated-face', 26), width=1.0),   # green face: rimmed off the grass
    'skull': lambda: icons.outlined(icons.icon('skull', 26), width=1.0),
    'note': lambda: note(24),
    'medal_gold_particle': lambda: icons.icon('1st-place-medal', 40),
    'medal_silver_particle': lambda: icons.icon('2nd-place-medal', 40),
    'firefly': lambda: soft_disc(16, 2.2),
    'flash': lambda: star(64, 8, 0.35),
}


def main():
    lines = []
    for name, make in TEXTURES.items():
        common.save_png(common.out_path('Particles', name + '.png'), make())
        lines.append(f'{name}.png 4444 8888')
    common.write_text(common.out_path('Particles/particle.list'), '\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
