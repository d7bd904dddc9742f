"""tools/gen_data/contact_sheet.png: every creature in every direction and a sample of objects and interface,
drawn on the park's grass so the look can be judged at a glance."""
import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

import common
import paint as P
from gen_animals import CELLS, STATES
from render3d import DIRECTIONS

W = 1600
GRASS = (128, 170, 84, 255)
LIGHT = (236, 228, 206, 255)


def load(rel):
    return Image.open(os.path.join(common.out_root(), rel)).convert('RGBA')


def frame(rel, index, w, h):
    sheet = load(rel)
    cols = sheet.width // w
    r, c = divmod(index, cols)
    return sheet.crop((c * w, r * h, (c + 1) * w, (r + 1) * h))


class Sheet:
    def __init__(self):
        self.img = Image.new('RGBA', (W, 6000), GRASS)
        self.d = ImageDraw.Draw(self.img)
        self.y = 8
        self.font = ImageFont.truetype(P.FONT_BOLD, 15)
        self.small = ImageFont.truetype(P.FONT_BOLD, 11)

    def title(self, text, bg=None):
        if bg:
            self.d.rectangle([0, self.y, W, self.y + 24], fill=bg)
        self.d.text((10, self.y + 4), text, font=self.font, fill=(30, 24, 16, 255))
        self.y += 28

    def row(self, images, labels=None, gap=6, x0=10, bg=None):
        h = max(im.height for im in images) + (14 if labels else 0)
        if bg:
            self.d.rectangle([0, self.y, W, self.y + h + gap], fill=bg)
        x = x0
        for i, im in enumerate(images):
            if x + im.width > W - 10:
                self.y += h + gap
                x = x0
                if bg:
                    self.d.rectangle([0, self.y, W, self.y + h + gap], fill=bg)
            self.img.alpha_composite(im, (x, self.y))
            if labels:
                self.d.text((x + 2, self.y + im.height + 1), labels[i], font=self.small, fill=(30, 24, 16, 255))
            x += im.width + gap
        self.y += h + gap

    def save(self, path):
        out = self.img.crop((0, 0, W, self.y + 8)).convert('RGB')
        out = out.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
        out.save(path, format='PNG', optimize=False, compress_level=9)


def main():
    s = Sheet()
    s.title('Animals: walk in the five directions (left ones are drawn mirrored), then idle 1, idle 2, produce, '
            'eat and death (last frame), facing down-right', LIGHT)
    for kind in ('warthog', 'zebra', 'rhino', 'hippo', 'cheetah', 'lion'):
        for age in ('adult', 'child'):
            (w, h), _ = CELLS[(kind, age)]
            folder = f'Animals/{kind}/animations'
            imgs = [frame(f'{folder}/{age}_walk_{d}.png', 3, w, h) for d, _ in DIRECTIONS]
            labels = [f'{kind} {age} {d}' for d, _ in DIRECTIONS]
            for state, _, count, _, _ in STATES[age]:
                if state == 'walk':
                    continue
                idx = count - 1 if state == 'death' else count // 3
                imgs.append(frame(f'{folder}/{age}_{state}_down_right.png', idx, w, h))
                labels.append(state)
            s.row(imgs, labels)
    s.title('Poacher: walk, hit 1, hit 2 and the shot (frame 38) in the five directions', LIGHT)
    imgs, labels = [], []
    for d, _ in DIRECTIONS:
        imgs.append(frame(f'Poachers/hunter/animations/walk_{d}.png', 3, 88, 80))
        labels.append(f'walk {d}')
    for d, _ in DIRECTIONS:
        imgs.append(frame(f'Poachers/hunter/animations/shoot_{d}.png', 38, 88, 80))
        labels.append(f'shoot {d}')
    for setname in ('hit_01', 'hit_02'):
        for d, _ in DIRECTIONS:
            imgs.append(frame(f'Poachers/hunter/animations/{setname}_{d}.png', 5, 88, 80))
            labels.append(f'{setname} {d}')
    s.row(imgs, labels)
    s.title('Helicopter: appear, turn start, turn end, away; shadows; the loading-screen poacher', LIGHT)
    imgs = [frame('Sprites/Helo/helo_appear.png', 0, 208, 144), frame('Sprites/Helo/helo_turn_start.png', 6, 208, 144),
            frame('Sprites/Helo/helo_turn_end.png', 11, 208, 144), frame('Sprites/Helo/helo_away.png', 3, 208, 144)]
    imgs += [load(f'Sprites/Shadows/shadow_{k}.png') for k in ('warthog', 'zebra', 'rhino', 'hippo', 'cheetah', 'lion',
                                                               'poacher')]
    imgs += [frame('Sprites/LoadScreen/poacher_run.png', 2, 88, 80), load('GUI/Helo_mini.png')]
    s.row(imgs)
    s.title('Scenery, coins, foods, butterflies', LIGHT)
    names = ['acacia_01', 'acacia_02', 'baobab', 'palm', 'bush_01', 'bush_02', 'bush_03', 'bush', 'rock_01', 'rock_02',
             'rock_03', 'termite_mound', 'grass_tuft']
    s.row([load(f'Sprites/Objects/{n}.png') for n in names])
    imgs = [frame(f'GUI/coin_{n}.png', i, 40 if n < 4 else 44, 40 if n < 4 else 44) for n in (1, 2, 3, 4)
            for i in (0, 1)]
    for food in ('grass_1', 'grass_2', 'grass_3', 'meat_1', 'meat_2', 'meat_3', 'medicine'):
        st = load(f'Foods/{food}_stay.png')
        fw = st.width // 5
        imgs.append(st.crop((4 * fw, 0, 5 * fw, st.height)))
    imgs += [frame('Sprites/butterfly01.png', 0, 28, 28), frame('Sprites/butterfly02.png', 2, 28, 28)]
    s.row(imgs)
    s.title('Park upgrades by type (rows of stages 1 to 4)', LIGHT)
    for kind in range(5):
        s.row([load(f'Park/upgrade_{kind}_{st}.png') for st in range(1, 5)])
    s.title('Interface', LIGHT)
    ui = ['skin_window', 'skin_panel', 'skin_dark', 'skin_green', 'btn_wide', 'btn_medium', 'btn_close', 'check_box',
          'check_mark', 'radio_button', 'slider_thumb', 'msg_warning', 'msg_accept', 'msg_block', 'msg_question',
          'msg_diamond', 'medal_gold', 'medal_silver', 'count_mark', 'tooltip']
    s.row([load(f'GUI/{n}.png') for n in ui], bg=LIGHT)
    s.row([load('GUI/slider_track.png'), load('GUI/progress_back.png'), load('GUI/hud_grass.png'),
           load('Animals/zebra/button.png')], bg=LIGHT)
    s.row([load('GUI/hud_sell.png'), load('GUI/hud_heal.png'), load('GUI/ability_0.png'), load('GUI/cursors.png'),
           load('Sprites/AnimalGUI.png')], bg=LIGHT)
    s.row([load('Localization/English/GUI/hud.png').crop((400, 90, 1000, 200)),
           load('GUI/goals.png').crop((0, 320, 360, 500))], bg=LIGHT)
    s.row([load(f'Awards/award_{i:02d}.png') for i in range(14)], bg=LIGHT)
    s.title('Screens (reduced)', LIGHT)
    shots = ['Levels/park_01.jpg', 'Levels/park_river.jpg', 'Levels/park_03.jpg', 'GUI/map.jpg', 'GUI/load_screen1.jpg',
             'Park/park_back.jpg']
    s.row([load(p).resize((256, 192), Image.LANCZOS) for p in shots])
    s.save(os.path.join(common.TOOL, 'contact_sheet.png') if not common.sample_mode()
           else common.out_path('contact_sheet.png'))


if __name__ == '__main__':
    main()
