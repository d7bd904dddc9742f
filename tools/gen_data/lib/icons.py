"""Flat icons from the pinned icon set, recoloured and rasterised with rsvg-convert."""
import io
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
