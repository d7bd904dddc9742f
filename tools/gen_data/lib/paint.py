"""Flat 2D drawing with anti-aliasing (drawn 4x larger, then reduced), for the interface pieces."""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

SS = 4

OUTLINE = (70, 44, 26, 255)
WOOD = (178, 118, 66, 255)
WOOD_LIGHT = (206, 150, 90, 255)
WOOD_DARK = (128, 80, 44, 255)
PAPER = (250, 238, 206, 255)
PAPER_DARK = (232, 212, 166, 255)
GREEN = (104, 168, 64, 255)
GREEN_LIGHT = (140, 200, 86, 255)
GREEN_DARK = (72, 126, 44, 255)
GREY = (160, 156, 148, 255)
GREY_DARK = (118, 114, 108, 255)
GOLD = (248, 196, 60, 255)
RED = (214, 64, 48, 255)
SKY = (116, 190, 232, 255)

FONT_BOLD = '/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf'


def rgba(c, a=None):
    c = tuple(c)
    if len(c) == 3:
        c = c + (255,)
    if a is not None:
        c = c[:3] + (a,)
    return c


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(rgba(a), rgba(b)))


def lighter(c, f=1.2):
    c = rgba(c)
    return tuple(min(255, int(v * f)) for v in c[:3]) + (c[3],)


def darker(c, f=0.8):
    c = rgba(c)
    return tuple(int(v * f) for v in c[:3]) + (c[3],)


class Canvas:
    """Draw in output pixel units; shapes are rendered at SS times the size and reduced on finish()."""

    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.img = Image.new('RGBA', (w * SS, h * SS), rgba(bg))
        self.d = ImageDraw.Draw(self.img)

    def _b(self, box):
        x0, y0, x1, y1 = box
        return [x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1]

    def rrect(self, box, r, fill, outline=None, width=0.0):
        self.d.rounded_rectangle(self._b(box), radius=r * SS, fill=rgba(fill) if fill else None,
                                 outline=rgba(outline) if outline else None, width=int(round(width * SS)))

    def ellipse(self, box, fill, outline=None, width=0.0):
        self.d.ellipse(self._b(box), fill=rgba(fill) if fill else None, outline=rgba(outline) if outline else None,
                       width=int(round(width * SS)))

    def polygon(self, pts, fill, outline=None, width=0.0):
        p = [(x * SS, y * SS) for x, y in pts]
        self.d.polygon(p, fill=rgba(fill) if fill else None)
        if outline and width:
            self.d.line(p + [p[0]], fill=rgba(outline), width=int(round(width * SS)), joint='curve')

    def line(self, pts, colour, width):
        self.d.line([(x * SS, y * SS) for x, y in pts], fill=rgba(colour), width=int(round(width * SS)),
                    joint='curve')

    def pieslice(self, box, start, end, fill):
        self.d.pieslice(self._b(box), start, end, fill=rgba(fill))

    def text(self, xy, text, size, fill, anchor='mm', outline=None, stroke=0.0):
        font = ImageFont.truetype(FONT_BOLD, int(size * SS))
        self.d.text((xy[0] * SS, xy[1] * SS), text, font=font, fill=rgba(fill), anchor=anchor,
                    stroke_width=int(round(stroke * SS)), stroke_fill=rgba(outline) if outline else None)

    def paste(self, arr, xy, scale=1.0):
        """Pastes an RGBA array (output pixel units) at xy (top-left), optionally scaled."""
        im = Image.fromarray(arr) if isinstance(arr, np.ndarray) else arr
        w, h = im.size
        im = im.resize((max(1, int(round(w * scale * SS))), max(1, int(round(h * scale * SS)))), Image.LANCZOS)
        self.img.alpha_composite(im, (int(round(xy[0] * SS)), int(round(xy[1] * SS))))

    def paste_centred(self, arr, cx, cy, scale=1.0):
        im = Image.fromarray(arr) if isinstance(arr, np.ndarray) else arr
        w, h = im.size
        self.paste(im, (cx - w * scale / 2, cy - h * scale / 2), scale)

    def finish(self):
        return np.array(self.img.resize((self.w, self.h), Image.LANCZOS))


def drop_shadow(arr, dx=2, dy=3, blur=2.0, alpha=0.35):
    """Adds a soft shadow under an RGBA picture (the picture keeps its size; the shadow is clipped)."""
    im = Image.fromarray(arr)
    a = np.array(im.split()[3]).astype(float) * alpha
    sh = Image.fromarray(a.astype(np.uint8)).filter(ImageFilter.GaussianBlur(blur))
    base = Image.new('RGBA', im.size, (0, 0, 0, 0))
    shadow = Image.new('RGBA', im.size, (30, 20, 10, 0))
    shadow.putalpha(sh)
    base.alpha_composite(shadow, (dx, dy))
    base.alpha_composite(im)
    return np.array(base)


def hstack(frames):
    return np.concatenate(frames, axis=1)


def vstack(frames):
    return np.concatenate(frames, axis=0)


def grey_out(arr, keep_alpha=0.8):
    out = arr.copy().astype(float)
    g = out[..., :3].mean(axis=2, keepdims=True)
    out[..., :3] = g * 0.8 + 40
    out[..., 3] *= keep_alpha
    return np.clip(out, 0, 255).astype(np.uint8)


def brighten(arr, f=1.15):
    out = arr.copy().astype(float)
    out[..., :3] = np.minimum(255, out[..., :3] * f + 8)
    return out.astype(np.uint8)


def sweep_alpha(size):
    """A disc whose alpha grows with the angle clockwise from 12 o'clock (for a cooldown pie)."""
    ys, xs = np.mgrid[0:size, 0:size]
    cx = cy = (size - 1) / 2
    ang = (np.degrees(np.arctan2(xs - cx, -(ys - cy))) + 360) % 360
    r = np.hypot(xs - cx, ys - cy)
    inside = r <= size / 2 - 0.5
    img = np.zeros((size, size, 4), dtype=np.uint8)
    img[..., :3] = (20, 20, 30)
    img[..., 3] = np.where(inside, np.clip(1 + ang / 360 * 254, 1, 255), 0).astype(np.uint8)
    return img
