"""The main menu's own pictures beyond the scene of the backgrounds step: the wooden sign behind the player's
name and the Extras board, listed in the language folder's GUI/main_menu.list."""
import numpy as np
from PIL import Image, ImageDraw, ImageFilter

import common
from gen_objects import fbm

SS = 2


def wood_sign(w, h, seed):
    """A rounded plank board with grain, a dark rim and two pegs."""
    grain = fbm(w * SS, h * SS, (256, 24, 6), seed)
    ys = np.arange(h * SS)[:, None] / (h * SS)
    base = np.array([168, 112, 62], dtype=np.float64)
    col = base[None, None, :] * (0.80 + 0.28 * grain[..., None]) * (1.05 - 0.15 * ys[..., None])
    img = np.zeros((h * SS, w * SS, 4), dtype=np.uint8)
    img[..., :3] = np.clip(col, 0, 255).astype(np.uint8)
    mask = Image.new('L', (w * SS, h * SS), 0)
    md = ImageDraw.Draw(mask)
    r = 18 * SS
    md.rounded_rectangle((2 * SS, 2 * SS, (w - 2) * SS, (h - 2) * SS), radius=r, fill=255)
    img[..., 3] = np.array(mask)
    pic = Image.fromarray(img, 'RGBA')
    d = ImageDraw.Draw(pic)
    d.rounded_rectangle((2 * SS, 2 * SS, (w - 2) * SS, (h - 2) * SS), radius=r, outline=(84, 50, 24, 255),
                        width=5 * SS)
    d.rounded_rectangle((10 * SS, 10 * SS, (w - 10) * SS, (h - 10) * SS), radius=r - 8 * SS,
                        outline=(206, 156, 96, 200), width=2 * SS)
    # Plank joints, every 60 pixels.
    for y in range(60, h - 20, 60):
        d.line((12 * SS, y * SS, (w - 12) * SS, y * SS), fill=(110, 68, 34, 200), width=2 * SS)
    for x in (22, w - 22):
        d.ellipse(((x - 6) * SS, 18 * SS, (x + 6) * SS, 30 * SS), fill=(92, 80, 70, 255), outline=(50, 40, 30, 255),
                  width=SS)
    pic = pic.filter(ImageFilter.SMOOTH)
    return np.array(pic.resize((w, h), Image.LANCZOS))


def main():
    common.save_png(common.out_path('Localization/English/GUI/menu_sign.png'), wood_sign(300, 420, 611))
    common.write_text(common.out_path('Localization/English/GUI/main_menu.list'), 'menu_sign.png 4444 8888\n')


if __name__ == '__main__':
    main()
