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
    # An acacia against the sun.
    d.rectangle(((cx - 5) * SS, (cy - 10) * SS, (cx + 5) * SS, (cy + 70) * SS), fill=(52, 36, 24, 255))
    d.ellipse(((cx - 70) * SS, (cy - 40) * SS, (cx + 70) * SS, (cy - 2) * SS), fill=(52, 36, 24, 255))
    d.rectangle(((cx - r + 10) * SS, (cy + 60) * SS, (cx + r - 10) * SS, (cy + 70) * SS), fill=(52, 36, 24, 255))
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
