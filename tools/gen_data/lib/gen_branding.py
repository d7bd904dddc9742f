"""The splash sequence beside the program (branding/, not data/): the maker's picture, a short Theora clip made by
tools/theoragen (the build makes it, or THEORAGEN names it) and settings.ini naming both."""
import glob
import os
import subprocess

import numpy as np
from PIL import Image, ImageDraw, ImageFont

import common
import paint as P

SS = 2

SETTINGS = """; The splash sequence shown before the first loading screen.
[splash]
image=maker.png
centered=1
fadeincolor=FF000000
fadeoutcolor=FF000000
fadeintime=0.5
showtime=1.5
fadeouttime=0.5
skip=1

[splash]
image=savanna.ogv
video=1
centered=0
fadeincolor=FF000000
fadeoutcolor=FF000000
fadeintime=0.4
showtime=1.2
fadeouttime=0.4
skip=2
"""

# Sunrise colours of the clip (Y, U, V), 8 frames each at 12 fps.
CLIP = ['40,150,120', '70,140,140', '110,120,160', '150,100,170', '190,90,160', '215,100,140', '235,110,132',
        '235,110,132']


def branding_root():
    if 'GEN_DATA_OUT' in os.environ:
        return common.out_root() + '_branding'
    return os.path.join(common.ROOT, 'branding')


def theoragen():
    tool = os.environ.get('THEORAGEN')
    if tool:
        return tool
    found = sorted(glob.glob(os.path.join(common.ROOT, 'build', '*', '*', 'theoragen', 'theoragen')))
    if not found:
        raise SystemExit('gen_branding: build tools/theoragen first (or set THEORAGEN)')
    return found[0]


def maker_picture(w=512, h=320):
    img = Image.new('RGBA', (w * SS, h * SS), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    cx, cy, r = w // 2, 120, 86
    d.ellipse(((cx - r) * SS, (cy - r) * SS, (cx + r) * SS, (cy + r) * SS), fill=(236, 168, 64, 255),
              outline=(255, 226, 150, 255), width=6 * SS)
    # An acacia on a low hill against the sun, cut to the sun's disc: a forked trunk under a layered flat crown.
    ink = (52, 36, 24, 255)
    sil = Image.new('L', img.size, 0)
    e = ImageDraw.Draw(sil)

    def S(pts):
        return [(x * SS, y * SS) for x, y in pts]

    e.ellipse(S([(cx - 150, cy + 52), (cx + 170, cy + 130)]), fill=255)                      # the hill
    e.polygon(S([(cx + 2, cy + 62), (cx + 16, cy + 62), (cx + 12, cy + 20), (cx + 6, cy - 4),
                 (cx + 1, cy - 4), (cx + 5, cy + 22)]), fill=255)                               # trunk
    e.line(S([(cx + 7, cy + 6), (cx - 10, cy - 14), (cx - 34, cy - 26)]), fill=255, width=5 * SS)
    e.line(S([(cx + 9, cy + 10), (cx + 26, cy - 10), (cx + 44, cy - 24)]), fill=255, width=5 * SS)
    e.line(S([(cx + 4, cy - 2), (cx + 2, cy - 30)]), fill=255, width=4 * SS)
    for x0, y0, x1, y1 in ((-74, -34, -6, -20), (-46, -44, 30, -26), (-8, -41, 68, -24), (26, -32, 78, -19),
                           (-60, -30, 12, -17)):
        e.ellipse(S([(cx + x0, cy + y0), (cx + x1, cy + y1)]), fill=255)
    disc = Image.new('L', img.size, 0)
    ImageDraw.Draw(disc).ellipse(((cx - r + 3) * SS, (cy - r + 3) * SS, (cx + r - 3) * SS, (cy + r - 3) * SS),
                                 fill=255)
    sil = Image.fromarray(np.minimum(np.array(sil), np.array(disc)))
    img.paste(Image.new('RGBA', img.size, ink), (0, 0), sil)
    d = ImageDraw.Draw(img)
    font = ImageFont.truetype(P.FONT_BOLD, 56 * SS)
    d.text((cx * SS, 262 * SS), 'Brindlewick', font=font, anchor='mm', fill=(250, 236, 210, 255))
    return np.array(img.resize((w, h), Image.LANCZOS))


def main():
    root = branding_root()
    os.makedirs(root, exist_ok=True)
    common.save_png(os.path.join(root, 'maker.png'), maker_picture())
    colours = [c for c in CLIP for _ in range(8)]
    subprocess.run([theoragen(), os.path.join(root, 'savanna.ogv'), '320', '240', str(len(colours)), '12', '1',
                    '420'] + colours, check=True)
    common.write_text(os.path.join(root, 'settings.ini'), SETTINGS)


if __name__ == '__main__':
    main()
