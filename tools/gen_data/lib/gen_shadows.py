"""Ground shadows: Sprites/Shadows/shadow_<kind>.png and the image list shadows.list.

The game scales a shadow so that its height matches the creature's frame width (0.8 of it for a young
animal), turns it with the creature's direction about the picture's centre and puts that centre a little
above the anchor, where the kind files' vertical offsets put the feet. So the picture is mostly clear: the
shadow is a small ellipse in its middle, lying along the height (a creature facing up) about as long and as
wide as the body's footprint, dark in the middle and soft only at its rim, so that it reads as the ground
under the feet and not as a haze around the body.
"""
import numpy as np

import common

SIZE = 96

# name: (length, width) of the ellipse as parts of the picture's height, that is of the frame width the
# game scales it to: the body's footprint with its head, a little wider than the body.
SHADOWS = {
    'warthog': (0.48, 0.26),
    'zebra': (0.46, 0.22),
    'rhino': (0.50, 0.27),
    'hippo': (0.52, 0.30),
    'cheetah': (0.42, 0.19),
    'lion': (0.44, 0.22),
    # A person's footprint is wider across the shoulders than along his way.
    'poacher': (0.24, 0.32),
}

PEAK = 0.5      # alpha of the middle
RIM = 0.35      # part of the radius over which the rim fades out


def shadow(length, width):
    w = max(8, int(np.ceil(width * SIZE / 2)) * 2 + 4)
    ys, xs = np.mgrid[0:SIZE, 0:w]
    nx = (xs + 0.5 - w / 2) / (width * SIZE / 2)
    ny = (ys + 0.5 - SIZE / 2) / (length * SIZE / 2)
    r = np.sqrt(nx * nx + ny * ny)
    k = np.clip((1.0 - r) / RIM, 0.0, 1.0)
    k = k * k * (3 - 2 * k)
    img = np.zeros((SIZE, w, 4), dtype=np.uint8)
    img[..., :3] = (24, 30, 16)
    img[..., 3] = np.round(k * PEAK * 255).astype(np.uint8)
    return img


def main():
    lines = []
    for name, (length, width) in SHADOWS.items():
        common.save_png(common.out_path('Sprites/Shadows', f'shadow_{name}.png'), shadow(length, width))
        lines.append(f'shadow_{name}.png 4444 8888')
    common.write_text(common.out_path('Sprites/Shadows/shadows.list'), '\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
