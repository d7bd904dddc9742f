"""Flat icons from the pinned icon set, recoloured and rasterised with rsvg-convert."""
import io
import math
import json
import os
import re
import subprocess

import numpy as np
from PIL import Image

import common

ICON_JSON = os.path.join(common.TOOL, 'node_modules', '@iconify-json', 'fluent-emoji-flat', 'icons.json')
SAMPLE_DIR = os.path.join(common.TOOL, 'sample')

_icons = None


def _load():
    global _icons
    if _icons is None:
        with open(ICON_JSON, encoding='utf-8') as f:
            data = json.load(f)
        icons = dict(data['icons'])
        for name, alias in data.get('aliases', {}).items():
            if alias.get('parent') in icons and name not in icons:
                icons[name] = icons[alias['parent']]
        _icons = (icons, data.get('width', 32), data.get('height', 32))
    return _icons


def svg(name, recolour=None, transform=None):
    """The SVG text of an icon; recolour maps '#rrggbb' (lower case) to a new colour."""
    sample = os.path.join(SAMPLE_DIR, name + '.svg')
    if common.sample_mode() or not os.path.exists(ICON_JSON):
        with open(sample, encoding='utf-8') as f:
            text = f.read()
        body = re.search(r'<svg[^>]*>(.*)</svg>', text, re.S).group(1)
        w = h = 32
    else:
        icons, w, h = _load()
        ic = icons[name]
        body = ic['body']
        w = ic.get('width', w)
        h = ic.get('height', h)
    if recolour:
        def sub(m):
            c = m.group(0).lower()
            return recolour.get(c, m.group(0))
        body = re.sub(r'#[0-9a-fA-F]{6}\b', sub, body)
    if transform:
        body = f'<g transform="{transform}">{body}</g>'
    return f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">{body}</svg>'


def raster(text, width, height):
    """Rasterises SVG text to an RGBA array (straight alpha)."""
    out = subprocess.run(['rsvg-convert', '-w', str(width), '-h', str(height), '-f', 'png'],
                         input=text.encode('utf-8'), stdout=subprocess.PIPE, check=True).stdout
    return np.array(Image.open(io.BytesIO(out)).convert('RGBA'))


def icon(name, size, recolour=None, transform=None, height=None):
    return raster(svg(name, recolour, transform), size, height or size)


def colours(name):
    """Every fill colour an icon uses (to write recolour maps)."""
    return sorted(set(c.lower() for c in re.findall(r'#[0-9a-fA-F]{6}', svg(name))))


def save_sample_svg(name):
    """Copies an icon's SVG into the committed sample folder (used once when choosing the sample)."""
    os.makedirs(SAMPLE_DIR, exist_ok=True)
    with open(os.path.join(SAMPLE_DIR, name + '.svg'), 'w', encoding='utf-8', newline='\n') as f:
        f.write(svg(name) + '\n')


# -- Kind pictures: the set's nearest animal, coloured and reshaped like the game's creature ----------------

ZEBRA_COLOURS = {'#d3d3d3': '#f7f7f4', '#636363': '#262626', '#9b9b9b': '#5c5c5c'}   # black on white, as in play
HIPPO_COLOURS = {'#9b9b9b': '#9284a6', '#636363': '#6e627e'}     # the creature's purple-grey skin
CHEETAH_INK = '#2b2019'
# Small solid spots (the set's leopard wears rosettes), in the icon's 32-unit box.
CHEETAH_SPOTS = [(9.3, 17.2, .45), (11.2, 19.6, .5), (12.6, 16.6, .45), (14.6, 18.4, .45), (16.2, 16.4, .4),
                 (18.2, 18.8, .5), (19.8, 16.4, .45), (21.6, 19.6, .5), (23.6, 17.2, .45), (25.6, 19.8, .45),
                 (9.5, 21.8, .4), (22.6, 22.4, .45), (12.8, 21.6, .45), (10.0, 25.6, .35), (9.4, 27.2, .35),
                 (21.9, 25.4, .35), (7.6, 11.4, .35), (9.2, 12.6, .3), (24.6, 22.0, .4), (16.6, 21.2, .45),
                 (19.8, 21.8, .4), (27.2, 17.6, .4)]


def cheetah_svg():
    """A cheetah from the set's leopard: paler gold coat, solid spots, tear lines, a ringed tail with a dark
    tip and a body stretched longer so it reads lean."""
    text = svg('leopard', {'#ffb02e': '#f0b860', '#ff9f2e': '#cf9446', '#ffdea7': '#fbeccb'},
               transform='translate(-1.6 0) scale(1.1 1)')
    # The rosette path ends with the tail tip: keep that piece, dark.
    tip = re.search(r'<path fill="#6d4534" d="[^"]*(M30 26[^"]*)"/>', text)
    tail = f'<path fill="{CHEETAH_INK}" d="{tip.group(1)}"/>' if tip else ''
    text = re.sub(r'<path fill="#6d4534"[^>]*/>', '', text)
    dots = ''.join(f'<circle cx="{x}" cy="{y}" r="{r}" fill="{CHEETAH_INK}"/>' for x, y, r in CHEETAH_SPOTS)
    tear = (f'<path d="M5.4 15.0 C5.3 16.2 4.5 17.0 3.4 17.3" stroke="{CHEETAH_INK}" stroke-width="0.7" '
            'stroke-linecap="round" fill="none"/>')
    rings = (f'<path d="M27.9 22.3 h1.1 M27.9 24.0 h1.1" stroke="{CHEETAH_INK}" stroke-width="0.7" '
             'fill="none"/>')
    return text.replace('</g></g></svg>', tail + dots + tear + rings + '</g></g></svg>')


KIND_NAMES = ('warthog', 'zebra', 'rhino', 'hippo', 'cheetah', 'lion')


def kind_icon(kind, size):
    if kind == 'cheetah':
        return raster(cheetah_svg(), size, size)
    if kind == 'hippo':
        return icon('hippopotamus', size, HIPPO_COLOURS)
    if kind == 'zebra':
        return icon('zebra', size, ZEBRA_COLOURS)
    return icon({'warthog': 'boar', 'rhino': 'rhinoceros', 'lion': 'lion'}[kind], size)


def outlined(arr, colour=(70, 44, 26), width=1.5):
    """An icon with a dark rim round its shape, so it reads on a background of its own colour."""
    r = int(math.ceil(width))
    arr = np.pad(arr, ((r, r), (r, r), (0, 0)))
    a = arr[..., 3].astype(float) / 255
    h, w = a.shape
    pad = np.pad(a, r)
    rim = np.zeros_like(a)
    for dy in range(-r, r + 1):
        for dx in range(-r, r + 1):
            d = math.hypot(dx, dy)
            if d <= width + 0.5:
                k = min(1.0, width + 0.5 - d)
                rim = np.maximum(rim, pad[r + dy:r + dy + h, r + dx:r + dx + w] * k)
    out = np.zeros_like(arr, dtype=float)
    out[..., :3] = colour
    out[..., 3] = rim
    # Straight-alpha "over": the icon over its rim.
    src_a = a[..., None]
    dst_a = rim[..., None]
    out_a = src_a + dst_a * (1 - src_a)
    rgb = (arr[..., :3] * src_a + np.asarray(colour, float) * dst_a * (1 - src_a)) / np.maximum(out_a, 1e-6)
    res = np.dstack([rgb, out_a[..., 0] * 255])
    return np.clip(np.round(res), 0, 255).astype(np.uint8)
