"""Shared helpers of the data generator: output folders, byte-stable file writers, sheets."""
import math
import os
import zlib

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
TOOL = os.path.dirname(HERE)
ROOT = os.path.dirname(os.path.dirname(TOOL))


def out_root():
    """The data folder being written: data/ of the repository, or GEN_DATA_OUT when set (sample runs)."""
    return os.environ.get('GEN_DATA_OUT', os.path.join(ROOT, 'data'))


WRITTEN_LOG = '.gen_data_written'


def out_path(*parts):
    """A path under the data folder; the file is noted as one this generator owns."""
    root = out_root()
    path = os.path.join(root, *parts)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    rel = os.path.relpath(path, root).replace(os.sep, '/')
    # One short append per file: safe from several worker processes at once.
    fd = os.open(os.path.join(root, WRITTEN_LOG), os.O_WRONLY | os.O_CREAT | os.O_APPEND, 0o644)
    try:
        os.write(fd, (rel + '\n').encode('utf-8'))
    finally:
        os.close(fd)
    return path


def cache_path(name):
    """A scratch file shared between steps (not part of the data)."""
    root = os.path.join(TOOL, '.cache') if 'GEN_DATA_OUT' not in os.environ else out_root() + '_cache'
    os.makedirs(root, exist_ok=True)
    return os.path.join(root, name)


def save_registry(step, entries):
    """Notes the sprites a step made for the sprite description files (name -> fields)."""
    import json
    with open(cache_path(f'registry_{step}.json'), 'w', encoding='utf-8') as f:
        json.dump(entries, f, sort_keys=True, indent=1)


def load_registry():
    import json
    import glob
    out = {}
    for path in sorted(glob.glob(cache_path('registry_*.json'))):
        with open(path, encoding='utf-8') as f:
            out.update(json.load(f))
    return out


def workers():
    """Worker processes for the steps that render in parallel: GEN_DATA_JOBS when set (a shared machine), else
    one per core."""
    jobs = os.environ.get('GEN_DATA_JOBS', '')
    return int(jobs) if jobs.isdigit() and int(jobs) > 0 else None


def sample_mode():
    return os.environ.get('GEN_DATA_SAMPLE') == '1'


def save_png(path, img):
    """Writes an RGBA (or RGB) image without time stamps or other varying chunks."""
    if isinstance(img, np.ndarray):
        mode = 'RGBA' if img.shape[-1] == 4 else 'RGB'
        img = Image.fromarray(np.ascontiguousarray(img), mode)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, format='PNG', compress_level=9)


def save_jpg(path, img, quality=88):
    if isinstance(img, np.ndarray):
        img = Image.fromarray(np.ascontiguousarray(img[..., :3]), 'RGB')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.convert('RGB').save(path, format='JPEG', quality=quality, optimize=True, progressive=False,
                            subsampling=0)


def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='utf-8', newline='\n') as f:
        f.write(text)


def sheet_columns(n, max_cols=10):
    """Columns for a sheet of n frames: the fewest empty cells, then the squarest sheet."""
    best = None
    for cols in range(1, min(n, max_cols) + 1):
        rows = math.ceil(n / cols)
        waste = rows * cols - n
        key = (waste, abs(cols - rows * 2), -cols)
        if best is None or key < best[0]:
            best = (key, cols)
    return best[1]


def make_sheet(frames, cols=None):
    """Packs equal-size RGBA frames left to right, top to bottom (the order AutoFrames cuts them)."""
    n = len(frames)
    h, w = frames[0].shape[:2]
    cols = cols or sheet_columns(n)
    rows = math.ceil(n / cols)
    sheet = np.zeros((rows * h, cols * w, 4), dtype=np.uint8)
    for i, f in enumerate(frames):
        r, c = divmod(i, cols)
        sheet[r * h:(r + 1) * h, c * w:(c + 1) * w] = f
    return sheet


def anim_ini(texture, block, width, height, count, fps, loop, speed=1.0, hold=None, show_stopped=False):
    """An animation description file: one block of count frames cut from texture, played once or for ever.
    hold=(frames, fps): a second step then shows the last frame that many times at that rate.
    show_stopped: once played, the animation is still drawn (on its last frame)."""
    text = (
        '[_General_]\n'
        f'Width={width}\n'
        f'Height={height}\n'
        f'Speed={speed:g}\n'
        f'NLoops={0 if loop else 1}\n'
        'AutoStart=1\n'
        + ('ShowStoped=1\n' if show_stopped else '') +
        '\n'
        '[_Play_]\n'
        f'{block}=(Fps={fps})(NLoops=1)\n'
    )
    if hold:
        text += f'{block}_hold=(Fps={hold[1]})(NLoops=1)\n'
    text += (
        '\n'
        f'[{block}]\n'
        f'Texture={texture}\n'
        f'AutoFrames={count}\n'
    )
    if hold:
        text += (
            '\n'
            f'[{block}_hold]\n'
            f'Texture={texture}\n'
            f'AutoFrames={count}\n'
            f'FramesSequence={" ".join([str(count - 1)] * hold[0])}\n'
        )
    return text


# The assigns of the data folders whose sheets the game loads by name.
ASSIGNS = {'Animals': 'animals', 'Poachers': 'poachers', 'Sprites': 'sprites', 'Park': 'park'}


def texture_key(folder, base, by_name=True):
    """The Texture of an animation file: the key the image manager gives its sheet. A sheet loaded by name
    (sprite_loadByName, sprite_loadDirectional) is keyed by its path with its assign and without extension
    ('animals:zebra/animations/adult_walk_right'); a sheet of an image list by the list line's file name
    without extension ('helo_appear')."""
    if not by_name:
        return base
    top, _, rest = folder.partition('/')
    return f'{ASSIGNS[top]}:{rest + "/" if rest else ""}{base}'


def write_anim(folder, base, block, frames, fps, loop, by_name=True, hold=None, show_stopped=False):
    """Writes base.png (the sheet) and base.ini (its animation description) into folder."""
    h, w = frames[0].shape[:2]
    save_png(out_path(folder, base + '.png'), make_sheet(frames))
    texture = texture_key(folder, base, by_name)
    write_text(out_path(folder, base + '.ini'),
               anim_ini(texture, block, w, h, len(frames), fps, loop, hold=hold, show_stopped=show_stopped))


def touches_border(frame):
    a = frame[..., 3]
    return bool(a[0].any() or a[-1].any() or a[:, 0].any() or a[:, -1].any())


def crc(data):
    return zlib.crc32(data) & 0xFFFFFFFF
