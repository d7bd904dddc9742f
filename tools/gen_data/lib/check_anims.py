"""Checks every animation description file under data/: its sheet exists next to it, the sheet is cut into
whole frames of Width x Height, it holds AutoFrames frames, and no frame is empty."""
import configparser
import os
import sys

import numpy as np
from PIL import Image

import common


def sheet_path(ini_path, tex):
    """The sheet a Texture names: beside the file, named by the key rule of common.texture_key; None when the
    Texture breaks the rule (a sheet loaded by name must be keyed by its own path)."""
    folder = os.path.dirname(ini_path)
    if ':' not in tex:
        return os.path.join(folder, tex + '.png')
    rel = os.path.relpath(folder, common.out_root()).replace(os.sep, '/')
    base = os.path.basename(tex.partition(':')[2])
    if rel.partition('/')[0] not in common.ASSIGNS or common.texture_key(rel, base) != tex:
        return None
    return os.path.join(folder, base + '.png')


def check(ini_path):
    cp = configparser.ConfigParser(strict=False)
    cp.optionxform = str
    cp.read(ini_path, encoding='utf-8')
    w = int(cp['_General_']['Width'])
    h = int(cp['_General_']['Height'])
    problems = []
    for block in cp.sections():
        if block in ('_General_', '_Play_'):
            continue
        tex = cp[block]['Texture']
        n = int(cp[block]['AutoFrames'])
        png = sheet_path(ini_path, tex)
        if png is None:
            return [f'texture {tex} is not the key of the sheet beside it']
        if not os.path.exists(png):
            return [f'texture {tex} missing']
        img = np.array(Image.open(png).convert('RGBA'))
        ih, iw = img.shape[:2]
        if iw % w or ih % h:
            problems.append(f'{iw}x{ih} is not cut into {w}x{h}')
            continue
        cols = iw // w
        if cols * (ih // h) < n:
            problems.append(f'{n} frames do not fit')
        for i in range(n):
            r, c = divmod(i, cols)
            if not img[r * h:(r + 1) * h, c * w:(c + 1) * w, 3].any():
                problems.append(f'frame {i} is empty')
                break
    return problems


def main():
    root = common.out_root()
    bad = count = 0
    for folder, _, files in sorted(os.walk(root)):
        for name in sorted(files):
            path = os.path.join(folder, name)
            if not name.endswith('.ini'):
                continue
            with open(path, encoding='utf-8') as f:
                if '[_General_]' not in f.read():
                    continue
            count += 1
            problems = check(path)
            if problems:
                bad += 1
                print(f'{os.path.relpath(path, root)}: ' + ', '.join(problems))
    print(f'check_anims: {count} animations, {bad} with problems')
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
