"""Soft ground shadows: Sprites/Shadows/shadow_<kind>.png and the image list shadows.list.

A shadow lies along its height (the creature's length when it faces up); the game scales it so that its
height matches the creature's frame width and turns it with the creature's direction.
"""
import numpy as np

import common

# name: (width, height) of the ellipse image; the ratio is the creature's body width to its length.
SHADOWS = {
    'warthog': (36, 72),
    'zebra': (32, 72),
    'rhino': (44, 76),
    'hippo': (46, 76),
    'cheetah': (28, 72),
    'lion': (32, 72),
    'poacher': (56, 64),
}


def shadow(w, h, peak=0.5):
    ys, xs = np.mgrid[0:h, 0:w]
    nx = (xs + 0.5 - w / 2) / (w / 2)
    ny = (ys + 0.5 - h / 2) / (h / 2)
    r = np.sqrt(nx * nx + ny * ny)
    k = np.clip((1.0 - r) / 0.45, 0.0, 1.0)
    k = k * k * (3 - 2 * k)
    img = np.zeros((h, w, 4), dtype=np.uint8)
    img[..., :3] = (24, 30, 16)
    img[..., 3] = np.round(k * peak * 255).astype(np.uint8)
    return img


def main():
    lines = []
    for name, (w, h) in SHADOWS.items():
        common.save_png(common.out_path('Sprites/Shadows', f'shadow_{name}.png'), shadow(w, h))
        lines.append(f'shadow_{name}.png 4444 8888')
    common.write_text(common.out_path('Sprites/Shadows/shadows.list'), '\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
