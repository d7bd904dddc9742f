"""Interface pieces: window skins, buttons, check marks, sliders, message-box icons, medals, cursors, the HUD
and goals sheets, the animal bubble sheet, tooltips, progress bars, kind icons and buy buttons, awards.

Image buttons are four-state glyph strips; unless noted they are laid out horizontally, left to right:
normal, pushed, hover, disabled (the order the toolkit assigns glyphs in).
"""
import math

import numpy as np
from PIL import Image

import common
import icons
import paint as P
from paint import Canvas

GUI_LIST = []        # lines of GUI/gui.list
REGISTRY = {}

KINDS = ('warthog', 'zebra', 'rhino', 'hippo', 'cheetah', 'lion')


def gui_image(name, arr, listed=True):
    common.save_png(common.out_path('GUI', name + '.png'), arr)
    if listed:
        GUI_LIST.append(f'{name}.png 4444 8888')


def slate(arr):
    """A disabled caption button: a dark opaque slate, so the layouts' light grey disabled captions read on
    it (a mid grey face swallowed them)."""
    out = arr.copy().astype(float)
    g = out[..., :3].mean(axis=2, keepdims=True)
    out[..., :3] = g * 0.42 + 14
    return np.clip(out, 0, 255).astype(np.uint8)


def states(draw_state, w, h, disabled=None):
    """A horizontal glyph strip: draw_state(canvas, state) for normal, pushed, hover, disabled."""
    frames = []
    for st in ('normal', 'pushed', 'hover', 'disabled'):
        c = Canvas(w, h)
        draw_state(c, st)
        f = c.finish()
        if st == 'disabled':
            f = disabled(f) if disabled else P.grey_out(f, 0.85)
        frames.append(f)
    return P.hstack(frames)


def icon_states(draw_face, icon, w, h, cx, cy, draw_over=None, disabled_icon=None):
    """Like states(), for a face with a picture on it: a greyed picture fades into a greyed face, so the
    disabled picture is kept opaque and darker than the face, with a dark rim. draw_over(canvas, state)
    draws what lies over the picture in the live states; disabled_icon = (picture, cx, cy) replaces the
    picture when disabled."""
    frames = []
    for st in ('normal', 'pushed', 'hover', 'disabled'):
        c = Canvas(w, h)
        draw_face(c, st)
        dy = 2 if st == 'pushed' else 0
        if st == 'disabled':
            face = P.grey_out(c.finish(), 0.85)
            c = Canvas(w, h)
            c.paste(face, (0, 0))
            ghost_icon, gx, gy = disabled_icon or (icon, cx, cy)
            ghost = ghost_icon.astype(float)
            grey = ghost[..., :3].mean(axis=2, keepdims=True)
            ghost[..., :3] = grey * 0.45 + 40
            ghost[..., 3] *= 0.9
            c.paste_centred(icons.outlined(ghost.astype(np.uint8), (60, 58, 56), 1.0), gx, gy)
        else:
            c.paste_centred(icon, cx, cy + dy)
        if draw_over and st != 'disabled':
            over = Canvas(w, h)
            draw_over(over, st)
            c.paste(over.finish(), (0, 0))
        frames.append(c.finish())
    return P.hstack(frames)


def vstates(draw_state, w, h, disabled=None):
    return np.concatenate(np.split(states(draw_state, w, h, disabled), 4, axis=1), axis=0)


# -- Skins ------------------------------------------------------------------------------------------------

def skin(fill, border, inner, size=96, radius=18, width=5):
    c = Canvas(size, size)
    c.rrect((2, 3, size - 1, size), radius, (40, 24, 12, 70))          # soft lower shadow
    c.rrect((1, 1, size - 2, size - 3), radius, border)
    c.rrect((1 + width, 1 + width, size - 2 - width, size - 3 - width), radius - width + 2, fill)
    if inner:
        c.rrect((3 + width, 3 + width, size - 4 - width, size - 5 - width), radius - width, None, inner, 1.5)
    return c.finish()


def skins():
    gui_image('skin_window', skin(P.PAPER, P.WOOD, P.PAPER_DARK))
    gui_image('skin_panel', skin(P.mix(P.PAPER, P.WOOD_LIGHT, 0.25), P.WOOD_DARK, None, radius=14, width=4))
    gui_image('skin_dark', skin((54, 40, 30, 225), (30, 20, 14, 235), (90, 70, 50, 200), radius=14, width=3))
    gui_image('skin_frame', skin((0, 0, 0, 0), P.WOOD, P.WOOD_LIGHT, radius=14, width=5))
    gui_image('skin_green', skin(P.GREEN_LIGHT, P.GREEN_DARK, P.lighter(P.GREEN_LIGHT, 1.1), radius=16, width=4))
    # Style buttons: one nine-slice skin per state.
    for st, fill in (('normal', P.GREEN), ('hover', P.GREEN_LIGHT), ('pushed', P.GREEN_DARK), ('disabled', P.GREY)):
        gui_image(f'skin_button_{st}', skin(fill, P.OUTLINE, P.lighter(fill, 1.18), size=48, radius=14, width=3))


# -- Buttons ----------------------------------------------------------------------------------------------

def pill(c, w, h, st, base=P.GREEN, radius=None, top=0):
    """A pill h pixels tall whose top edge stands `top` pixels down the canvas."""
    r = radius if radius is not None else h / 2 - 2
    fill = {'normal': base, 'pushed': P.darker(base, 0.82), 'hover': P.lighter(base, 1.14), 'disabled': base}[st]
    dy = 2 if st == 'pushed' else 0
    y = top + dy
    c.rrect((1, top + 3, w - 1, top + h - 1), r, (40, 24, 12, 90))
    c.rrect((1, 1 + y, w - 1, h - 3 + y), r, P.OUTLINE)
    c.rrect((3, 3 + y, w - 3, h - 5 + y), r - 2, fill)
    c.rrect((6, 5 + y, w - 6, (h - 5) / 2 + y), r - 4, P.lighter(fill, 1.12))
    return dy


def text_buttons():
    for name, w, h, base in (('btn_wide', 220, 52, P.GREEN), ('btn_medium', 160, 48, P.GREEN),
                             ('btn_small', 110, 42, P.GREEN), ('btn_red', 160, 48, P.RED),
                             ('btn_wood', 180, 48, P.WOOD)):
        gui_image(name, vstates(lambda c, st, w=w, h=h, base=base: pill(c, w, h, st, base), w, h, slate))

    # The park's Continue: a text button's pill in a taller clear frame. The sparkles that point it out run
    # round a rectangle 18 pixels inside the frame's top and bottom edges, so they pass along the pill's rims
    # above and below the caption, not through it.
    gui_image('btn_continue', vstates(lambda c, st: pill(c, 180, 48, st, P.GREEN, top=24), 180, 96, slate))

    def round_button(symbol):
        def draw(c, st):
            dy = pill(c, 48, 48, st, P.WOOD, radius=22)
            if symbol == 'close':
                c.line([(16, 15 + dy), (32, 31 + dy)], P.PAPER, 5)
                c.line([(32, 15 + dy), (16, 31 + dy)], P.PAPER, 5)
            elif symbol == 'left':
                c.polygon([(30, 12 + dy), (30, 34 + dy), (15, 23 + dy)], P.PAPER)
            elif symbol == 'right':
                c.polygon([(18, 12 + dy), (18, 34 + dy), (33, 23 + dy)], P.PAPER)
            elif symbol == 'plus':
                c.line([(24, 13 + dy), (24, 33 + dy)], P.PAPER, 5)
                c.line([(14, 23 + dy), (34, 23 + dy)], P.PAPER, 5)
            elif symbol == 'minus':
                c.line([(14, 23 + dy), (34, 23 + dy)], P.PAPER, 5)
            elif symbol == 'up':
                c.polygon([(13, 30 + dy), (35, 30 + dy), (24, 15 + dy)], P.PAPER)
            elif symbol == 'down':
                c.polygon([(13, 16 + dy), (35, 16 + dy), (24, 31 + dy)], P.PAPER)
        return draw
    for sym in ('close', 'left', 'right', 'plus', 'minus', 'up', 'down'):
        gui_image(f'btn_{sym}', vstates(round_button(sym), 48, 48))


def checks():
    def box(c, st):
        fill = {'normal': P.PAPER, 'pushed': P.PAPER_DARK, 'hover': P.lighter(P.PAPER, 1.05), 'disabled': P.PAPER}[st]
        c.rrect((2, 2, 30, 30), 6, P.OUTLINE)
        c.rrect((4, 4, 28, 28), 4, fill)
    gui_image('check_box', vstates(box, 32, 32))
    c = Canvas(32, 32)
    c.line([(7, 16), (13, 23), (27, 6)], (30, 110, 40, 255), 5.5)
    c.line([(7, 16), (13, 23), (27, 6)], (80, 180, 70, 255), 3.0)
    gui_image('check_mark', c.finish())

    def radio(c, st):
        fill = {'normal': P.PAPER, 'pushed': P.PAPER_DARK, 'hover': P.lighter(P.PAPER, 1.05), 'disabled': P.PAPER}[st]
        c.ellipse((2, 2, 30, 30), P.OUTLINE)
        c.ellipse((4, 4, 28, 28), fill)
    gui_image('radio_button', vstates(radio, 32, 32))
    c = Canvas(32, 32)
    c.ellipse((9, 9, 23, 23), P.GREEN_DARK)
    c.ellipse((11, 10, 20, 18), P.GREEN_LIGHT)
    gui_image('radio_dot', c.finish())


def sliders():
    c = Canvas(240, 20)
    c.rrect((0, 2, 240, 18), 8, P.OUTLINE)
    c.rrect((2, 4, 238, 16), 6, P.PAPER_DARK)
    c.rrect((4, 6, 236, 10), 3, P.darker(P.PAPER_DARK, 0.9))
    gui_image('slider_track', c.finish())

    def thumb(c, st):
        fill = {'normal': P.WOOD, 'pushed': P.WOOD_DARK, 'hover': P.WOOD_LIGHT, 'disabled': P.WOOD}[st]
        c.ellipse((2, 2, 30, 32), (40, 24, 12, 90))
        c.ellipse((1, 1, 29, 29), P.OUTLINE)
        c.ellipse((3, 3, 27, 27), fill)
        c.ellipse((8, 6, 20, 14), P.lighter(fill, 1.2))
    gui_image('slider_thumb', vstates(thumb, 32, 32))
    c = Canvas(24, 20)
    c.rrect((0, 4, 24, 16), 5, P.GREEN)
    gui_image('slider_fill', c.finish())


def message_icons():
    for name, ic in (('msg_warning', 'warning'), ('msg_accept', 'check-mark-button'), ('msg_block', 'prohibited'),
                     ('msg_question', 'red-question-mark'), ('msg_diamond', 'gem-stone')):
        gui_image(name, P.drop_shadow(np.pad(icons.icon(ic, 56), ((4, 4), (4, 4), (0, 0)))))


def medals():
    for name, ic in (('medal_gold', '1st-place-medal'), ('medal_silver', '2nd-place-medal'),
                     ('medal_bronze', '3rd-place-medal')):
        gui_image(name, P.drop_shadow(np.pad(icons.icon(ic, 60), ((2, 6), (2, 6), (0, 0)))))
        gui_image(name + '_small', icons.icon(ic, 28))


# -- Cursors ----------------------------------------------------------------------------------------------

# name -> (x, y, w, h, hot x, hot y) in the "cursors" image.
CURSORS = {
    'default': (0, 0, 16, 22, 0, 0),
    'sell_cursor': (32, 0, 32, 32, 4, 4),
    'grass_cursor': (64, 0, 32, 32, 4, 4),
    'meat_cursor': (96, 0, 32, 32, 4, 4),
    'heal_cursor': (0, 32, 32, 32, 4, 4),
    'hit_cursor': (32, 32, 32, 32, 4, 4),
    'cancel_cursor': (64, 32, 32, 32, 16, 16),
}


ARROW = [(1, 1), (1, 18), (5.5, 14), (8.5, 21), (11.5, 19.5), (8.5, 13), (14, 13)]
ARROW_IN = [(2.6, 4.6), (2.6, 14.6), (5.9, 11.8), (9.2, 18.6), (10.1, 18.1), (6.9, 11.4), (10.8, 11.4)]


def draw_arrow(c, k=1.0):
    c.polygon([(x * k, y * k) for x, y in ARROW], P.OUTLINE)
    c.polygon([(x * k, y * k) for x, y in ARROW_IN], (255, 250, 236, 255))


def arrow_cursor():
    c = Canvas(16, 22)
    draw_arrow(c)
    return c.finish()


def tool_cursor(icon_name):
    c = Canvas(32, 32)
    c.paste(icons.icon(icon_name, 22), (9, 9))
    draw_arrow(c, 0.7)
    return c.finish()


def cursors():
    sheet = np.zeros((64, 128, 4), dtype=np.uint8)

    def put(arr, x, y):
        h, w = arr.shape[:2]
        sheet[y:y + h, x:x + w] = arr
    put(arrow_cursor(), 0, 0)
    put(tool_cursor('helicopter'), 32, 0)
    put(tool_cursor('herb'), 64, 0)
    put(tool_cursor('cut-of-meat'), 96, 0)
    put(tool_cursor('syringe'), 0, 32)
    put(tool_cursor('raised-fist'), 32, 32)
    c = Canvas(32, 32)
    c.ellipse((3, 3, 29, 29), (200, 40, 30, 255))
    c.ellipse((7, 7, 25, 25), (0, 0, 0, 0))
    c.line([(9, 23), (23, 9)], (200, 40, 30, 255), 4)
    canc = c.finish()
    # Clear the hole that the inner ellipse could not erase.
    ys, xs = np.mgrid[0:32, 0:32]
    r = np.hypot(xs - 15.5, ys - 15.5)
    ring = (r > 9.5) & (r < 13.5)
    bar = np.abs((xs - 15.5) + (ys - 15.5)) < 2.6
    canc[..., 3] = np.where(ring | (bar & (r < 12)), 255, 0).astype(np.uint8)
    canc[..., :3] = (200, 40, 30)
    put(canc, 64, 32)
    common.save_png(common.out_path('GUI/cursors.png'), sheet)
    common.write_text(common.out_path('GUI/cursors.list'), 'cursors.png 4444 8888\n')


# -- Tooltip, progress ------------------------------------------------------------------------------------

def tooltips():
    """The bubble of every hint and tooltip, drawn with its bottom-left corner on the point it is about and
    mirrored to flip (then the point is above its top-left corner). A hint writes its text centred in the rows
    from 5 to 300 and "click here" at 77 from its top (103 when it hangs upside down), whichever way it is
    turned; so the body is paper between two dark wooden rods (rows 72 to 100 and 221 to 247) that read the
    same either way up, and "click here" always lands on a rod. Above the body the picture is clear; below it
    the tail ends 48 pixels short of the corner and a little inside, so a bubble on a coin's or an animal's
    feet or on a button's middle stands above it (or, hung upside down, below it) and leaves it in view."""
    w, h = 300, 345
    top, bottom = 72, 247
    rod = 28
    tip = (14, h - 48)
    c = Canvas(w, h)
    c.rrect((5, top + 4, w - 1, bottom + 4), 18, (40, 24, 12, 70))
    c.polygon([(24, bottom - 8), (80, bottom - 8), (tip[0] - 2, tip[1] + 3)], P.OUTLINE)
    c.rrect((2, top, w - 3, bottom), 18, P.OUTLINE)
    c.rrect((5, top + 3, w - 6, bottom - 3), 15, P.WOOD_DARK)
    c.rrect((5, top + rod, w - 6, bottom - rod), 0, P.PAPER)
    for y in (top + rod, bottom - rod):
        c.line([(5, y), (w - 6, y)], P.OUTLINE, 1.5)
    c.polygon([(30, bottom - 4), (72, bottom - 4), tip], P.WOOD_DARK)
    gui_image('tooltip', c.finish())
    # The band a pointing hint pulses under its "click here" (drawn unmirrored, 11 pixels in from the
    # bubble's side): a darker inlay with a gold rim, so the white line reads at every pulse.
    c = Canvas(278, 20)
    c.rrect((0, 0, 278, 20), 9, P.GOLD)
    c.rrect((2, 2, 276, 18), 7, (70, 40, 18, 255))
    gui_image('tooltip_line', c.finish())


def progress():
    """The loading bar. The loading screen writes its tip and its "click to continue" in dark brown across the
    bar, 10 pixels below its middle: the frame's inside and the fill are light, and the bar is tall enough
    that those lines stay inside the frame's rim."""
    w, h = 520, 56
    c = Canvas(w, h)
    c.rrect((0, 2, w, h), 24, (40, 24, 12, 80))
    c.rrect((0, 0, w, h - 2), 24, P.WOOD_DARK)
    c.rrect((4, 4, w - 4, h - 6), 20, P.PAPER_DARK)
    common.save_png(common.out_path('GUI/progress_back.png'), c.finish())
    c = Canvas(w, h)
    c.rrect((4, 4, w - 4, h - 6), 20, (192, 224, 120, 255))
    c.rrect((12, 8, w - 12, 18), 6, (222, 242, 170, 255))
    common.save_png(common.out_path('GUI/progress.png'), c.finish())


# -- Kinds: icons and buy buttons -------------------------------------------------------------------------

def kind_pieces():
    for kind in KINDS:
        # A thin dark rim keeps the pale coats (zebra, hippo) off the paper-coloured faces they sit on.
        ic = icons.outlined(icons.kind_icon(kind, 30), width=1.0)
        common.save_png(common.out_path('Animals', kind, 'icon.png'), ic)
        big = icons.outlined(icons.kind_icon(kind, 54), width=1.3)

        def draw(c, st, big=big):
            dy = 2 if st == 'pushed' else 0
            fill = {'normal': P.PAPER, 'pushed': P.PAPER_DARK, 'hover': (255, 248, 224, 255), 'disabled': P.PAPER}[st]
            c.rrect((2, 4, 82, 100), 16, (40, 24, 12, 90))
            c.rrect((1, 1 + dy, 81, 97 + dy), 16, P.WOOD)
            c.rrect((5, 5 + dy, 77, 93 + dy), 12, fill)
            c.rrect((10, 60 + dy, 72, 86 + dy), 9, P.WOOD_LIGHT)
            c.paste_centred(big, 41, 33 + dy)
        common.save_png(common.out_path('Animals', kind, 'button.png'), states(draw, 84, 100))


PRICED_TOOLS = ('Grass', 'Meat')
GEAR_COLOURS = {'#998ea4': '#3f4a56', '#b4acbc': '#5b6878', '#cdc4d6': '#8593a3'}


def hud_tool_buttons():
    tools = {'Grass': 'herb', 'Meat': 'cut-of-meat', 'Heal': 'syringe', 'Hit': 'raised-fist', 'Sell': 'helicopter',
             'Menu': 'gear', 'ShowGoals': 'clipboard'}
    for name, ic in tools.items():
        size = 52 if name not in ('Menu', 'ShowGoals') else 36
        # The set's gear is a pale lilac that melts into the light face, worse still when greyed out.
        big = icons.icon(ic, size, GEAR_COLOURS if ic == 'gear' else None)
        w, h = (96, 96) if name not in ('Menu', 'ShowGoals') else (64, 64)

        def draw(c, st, w=w, h=h, name=name):
            dy = 2 if st == 'pushed' else 0
            fill = {'normal': P.WOOD, 'pushed': P.WOOD_DARK, 'hover': P.WOOD_LIGHT, 'disabled': P.WOOD}[st]
            c.ellipse((3, 5, w - 1, h - 1), (40, 24, 12, 90))
            c.ellipse((2, 2 + dy, w - 3, h - 4 + dy), P.OUTLINE)
            c.ellipse((5, 5 + dy, w - 6, h - 7 + dy), fill)
            c.ellipse((10, 9 + dy, w - 11, h - 12 + dy), P.mix(fill, P.PAPER, 0.55))
            if name == 'Sell':
                # The tag the helicopter's seats are drawn on (the play screen puts them at x 52..92, y 77..90):
                # on it they read as the button's, not as a lone square in the screen's corner.
                c.rrect((46, 73, 97, 95), 8, P.OUTLINE)
                c.rrect((48, 75, 95, 93), 6, P.PAPER)
        if name in PRICED_TOOLS:
            # The price caption is centred on the button: the picture moves up and the price sits on a tag.
            def tag(c, st, w=w, h=h):
                dy = 2 if st == 'pushed' else 0
                c.rrect((20, 38 + dy, w - 21, 59 + dy), 9, P.OUTLINE)
                c.rrect((22, 40 + dy, w - 23, 57 + dy), 7, P.PAPER)
            small = icons.icon(ic, 46)
            # A disabled tool shows no price: no tag then, and the picture in the middle.
            gui_image(f'hud_{name.lower()}', icon_states(draw, small, w, h, w / 2, 24, tag, (big, w / 2, h / 2 - 2)))
            continue
        gui_image(f'hud_{name.lower()}', icon_states(draw, big, w, h, w / 2, h / 2 - 2))
    for i, (ic, name) in enumerate((('magnet', 'collect'), ('basket', 'feed'))):
        big = icons.icon(ic, 38)

        def draw(c, st, big=big):
            dy = 2 if st == 'pushed' else 0
            fill = {'normal': P.GREEN, 'pushed': P.GREEN_DARK, 'hover': P.GREEN_LIGHT, 'disabled': P.GREEN}[st]
            c.rrect((2, 4, 62, 64), 14, (40, 24, 12, 90))
            c.rrect((1, 1 + dy, 61, 61 + dy), 14, P.OUTLINE)
            c.rrect((4, 4 + dy, 58, 58 + dy), 11, fill)
            c.paste_centred(big, 31, 30 + dy)
        gui_image(f'ability_{i}', states(draw, 64, 64))
    # Coin piles beside the money label (shown above 100 and above 500).
    for n, count in ((1, 3), (2, 6)):
        c = Canvas(64, 48)
        coin = icons.icon('coin', 24)
        spots = [(4, 22), (20, 22), (36, 22), (12, 12), (28, 12), (20, 2)][:count]
        for x, y in spots:
            c.paste(coin, (x + 2, y + 2))
        gui_image(f'coins_pile_{n}', c.finish())


# -- The HUD sheet ----------------------------------------------------------------------------------------

def hud_sheet():
    """The "hud" sheet: pieces at the rectangles the play screen and the mini-games draw from."""
    W, H = 1024, 256
    c = Canvas(W, H)
    # HUD bar (0, 0, 880, 96): the wooden board behind the tool buttons.
    c.rrect((0, 6, 880, 96), 26, (40, 24, 12, 80))
    c.rrect((0, 0, 880, 92), 26, P.WOOD_DARK)
    c.rrect((5, 5, 875, 87), 22, P.WOOD)
    c.rrect((12, 10, 868, 40), 14, P.WOOD_LIGHT)
    # Money plate (0, 100, 200, 56).
    c.rrect((0, 100, 200, 156), 20, P.OUTLINE)
    c.rrect((4, 104, 196, 152), 16, P.PAPER)
    # Food pips (411, 162) empty and (424, 162) bought, 13 x 13; helicopter places 13 x 14 below them.
    c.ellipse((411.5, 162.5, 423.5, 174.5), (90, 70, 50, 255))
    c.ellipse((413.5, 164.5, 421.5, 172.5), (160, 140, 110, 255))
    c.ellipse((424.5, 162.5, 436.5, 174.5), (60, 110, 30, 255))
    c.ellipse((426.5, 164.5, 434.5, 172.5), (150, 220, 90, 255))
    # The helicopter's places are little chairs (back, seat, legs), 7 x 14 at the left of their 13 x 14 cells
    # (the third of three seats starts 84 pixels into the 96 of the Sell button: it stays on the button's
    # tag), dark on the tag's paper so that they read at a glance: free ones a bold brown outline, taken ones
    # solid dark green.
    for x, line, inner in ((411, P.OUTLINE, P.PAPER), (424, (30, 80, 16, 255), (30, 80, 16, 255))):
        c.rrect((x + 1, 175, x + 4.6, 185), 1.5, line)
        c.rrect((x + 1, 182, x + 8, 186.5), 1.5, line)
        c.rrect((x + 1, 185, x + 3.2, 189), 0, line)
        c.rrect((x + 5.8, 185, x + 8, 189), 0, line)
        c.rrect((x + 2.4, 176.8, x + 3.2, 183), 0, inner)
        c.rrect((x + 2.4, 183.6, x + 6.6, 184.8), 0, inner)
    # Cooldown cell: back (473, 162) and frame (437, 162), 36 x 36.
    c.ellipse((474, 163, 508, 197), (70, 60, 50, 200))
    c.ellipse((437.5, 162.5, 472.5, 197.5), None, P.OUTLINE, 3)
    c.ellipse((439.5, 164.5, 470.5, 195.5), None, P.WOOD_LIGHT, 1.5)
    # Goals panel: left end (657), cell (667, 90 wide), right end (757), 32 high.
    c.rrect((657, 162, 677, 194), 10, P.OUTLINE)
    c.rrect((660, 165, 677, 191), 8, P.PAPER)
    c.rectangle = None
    c.rrect((667, 162, 757, 194), 0, P.OUTLINE)
    c.rrect((667, 165, 757, 191), 0, P.PAPER)
    c.line([(756, 168), (756, 188)], P.PAPER_DARK, 1.5)
    c.rrect((747, 162, 767, 194), 10, P.OUTLINE)
    c.rrect((747, 165, 764, 191), 8, P.PAPER)
    # The left and right ends must not show the other cell's curve: redraw the seams square.
    # Timer box (768, 162, 90, 32), mini-game timer (858, 162, 120, 32).
    for x, w in ((768, 90), (858, 120)):
        c.rrect((x + 1, 162, x + w - 1, 194), 12, P.OUTLINE)
        c.rrect((x + 4, 165, x + w - 4, 191), 9, P.PAPER)
        c.paste_centred(icons.icon('stopwatch', 22), x + 16, 178)
    # Medal boxes: gold (884, 98) and silver (884, 130), 90 x 32.
    for y, ic in ((98, '1st-place-medal'), (130, '2nd-place-medal')):
        c.rrect((885, y, 973, y + 32), 12, P.OUTLINE)
        c.rrect((888, y + 3, 970, y + 29), 9, P.PAPER)
        c.paste_centred(icons.icon(ic, 24), 901, y + 16)
    sheet = c.finish()
    # Cut the goals panel pieces exactly (the rounded drawing overlaps neighbouring cells).
    end_l = Canvas(10, 32)
    end_l.rrect((0, 0, 20, 32), 10, P.OUTLINE)
    end_l.rrect((3, 3, 20, 29), 8, P.PAPER)
    end_r = Canvas(10, 32)
    end_r.rrect((-10, 0, 10, 32), 10, P.OUTLINE)
    end_r.rrect((-10, 3, 7, 29), 8, P.PAPER)
    cell = Canvas(90, 32)
    cell.rrect((0, 0, 90, 32), 0, P.OUTLINE)
    cell.rrect((0, 3, 90, 29), 0, P.PAPER)
    cell.line([(89, 7), (89, 25)], P.PAPER_DARK, 1.5)
    sheet[162:194, 657:667] = end_l.finish()
    sheet[162:194, 667:757] = cell.finish()
    sheet[162:194, 757:767] = end_r.finish()
    folder = 'Localization/English/GUI'
    common.save_png(common.out_path(folder, 'hud.png'), sheet)
    common.write_text(common.out_path(folder, 'hud.list'), 'hud.png 4444 8888\n')
    gui_image('cooldown', P.sweep_alpha(32))
    # The count badge of the buy buttons, drawn at (0, 10) of the button: a near-white disc in a red and brown
    # rim, under the HUD's dark red number, whose top left is at (17, 24) of the badge (one or two digits,
    # 10 px high). Light enough that the number still reads when the play screen greys the badge out.
    c = Canvas(38, 48)
    c.ellipse((9.5, 20, 36.5, 47), P.OUTLINE)
    c.ellipse((11, 21.5, 35, 45.5), (150, 32, 18, 255))
    c.ellipse((12.5, 23, 33.5, 44), (255, 252, 242, 255))
    gui_image('count_mark', c.finish())


# -- The goals sheet --------------------------------------------------------------------------------------

def level_button(kind, hover):
    """Map level buttons by status (sizes fixed by the map screen)."""
    if kind == 'locked':
        w, h = 32, 38
    elif kind == 'open':
        w, h = 32, 42
    elif kind == 'done':
        w, h = 44, 53
    elif kind in ('silver', 'gold'):
        w, h = 49, 53
    else:
        w, h = 33, 52
    c = Canvas(w, h)
    glow = 1.12 if hover else 1.0
    if kind == 'locked':
        c.ellipse((2, 8, 30, 36), P.lighter(P.GREY_DARK, glow), P.OUTLINE, 2)
        c.paste_centred(icons.icon('locked', 20) if 'locked' in icons._load()[0] else icons.icon('prohibited', 18), 16, 22)
    elif kind == 'open':
        c.polygon([(16, 41), (4, 22), (28, 22)], P.OUTLINE)
        c.ellipse((2, 2, 30, 30), P.lighter(P.GREEN, glow), P.OUTLINE, 2)
        c.ellipse((9, 8, 23, 22), P.lighter(P.PAPER, glow))
    elif kind in ('done', 'silver', 'gold'):
        ic = {'done': 'check-mark-button', 'silver': '2nd-place-medal', 'gold': '1st-place-medal'}[kind]
        c.ellipse((3, 14, w - 3, h - 1), (40, 24, 12, 80))
        img = icons.icon(ic, min(w, 44))
        if hover:
            img = P.brighten(img, 1.12)
        c.paste_centred(img, w / 2, h / 2)
    else:
        c.polygon([(16.5, 51), (4, 30), (29, 30)], P.OUTLINE)
        c.ellipse((1, 10, 32, 41), P.lighter(P.SKY, glow), P.OUTLINE, 2)
        img = icons.icon('game-die' if 'game-die' in icons._load()[0] else 'star', 20)
        c.paste_centred(img, 16.5, 25.5)
    return c.finish(), (w, h)


def goals_sheet():
    W, H = 512, 512
    sheet = np.zeros((H, W, 4), dtype=np.uint8)

    def put(arr, x, y):
        h, w = arr.shape[:2]
        sheet[y:y + h, x:x + w] = arr
    # Goal rows of the goals window: name cell (0, 321) and value cell (116, 321), 116 x 35.
    for x in (0, 116):
        c = Canvas(116, 35)
        c.rrect((1, 1, 115, 34), 10, P.WOOD_LIGHT)
        c.rrect((3, 3, 113, 32), 8, P.mix(P.PAPER, P.WOOD_LIGHT, 0.2))
        put(c.finish(), x, 321)
    # Medal rows: gold, silver, time (0, 356 / 116, 356 / 232, 356), 116 x 35 with their icon
    # in the first 20 pixels: the row's label starts 22 pixels in.
    for i, ic in enumerate(('1st-place-medal', '2nd-place-medal', 'stopwatch')):
        c = Canvas(116, 35)
        c.rrect((1, 1, 115, 34), 10, P.WOOD_LIGHT)
        c.rrect((3, 3, 113, 32), 8, P.PAPER)
        c.paste_centred(icons.icon(ic, 17), 11.5, 17.5)
        put(c.finish(), i * 116, 356)
    # Level buttons: normal at the table's rectangle, hover right beside it.
    for kind, x, y in (('gold', 0, 394), ('silver', 98, 394), ('done', 196, 394), ('mini', 0, 447),
                       ('open', 66, 447), ('locked', 130, 447)):
        for hover in (False, True):
            img, (w, h) = level_button(kind, hover)
            put(img, x + (w if hover else 0), y)
    gui_image('goals', sheet)
    # The selected level's arrow: frames 23 pixels wide in one row.
    frames = []
    for i in range(8):
        c = Canvas(23, 26)
        dy = 4 * abs(math.sin(math.pi * i / 8))
        c.polygon([(11.5, 24 - dy), (2, 10 - dy), (8, 10 - dy), (8, 2 - dy), (15, 2 - dy), (15, 10 - dy), (21, 10 - dy)],
                  (236, 80, 50, 255), P.OUTLINE, 1.8)
        frames.append(c.finish())
    gui_image('map_arrow', P.hstack(frames))
    # Match three's swap arrow: frames 32 pixels wide.
    frames = []
    for i in range(8):
        c = Canvas(32, 32)
        dx = 4 * math.sin(2 * math.pi * i / 8)
        c.polygon([(6 + dx, 12), (18 + dx, 12), (18 + dx, 6), (28 + dx, 16), (18 + dx, 26), (18 + dx, 20), (6 + dx, 20)],
                  P.GOLD, P.OUTLINE, 2)
        frames.append(c.finish())
    gui_image('dir_arrow', P.hstack(frames))


# -- The animal bubble sheet and the tutorial mouse -------------------------------------------------------

def animal_gui():
    c = Canvas(256, 128)
    # Big thought bubble (0, 0, 64, 53) and the small puff (65, 0, 15, 15). Their paper is partly clear, so a
    # poacher standing behind an animal's bubble still shows; the icon drawn over it stays whole.
    paper = (255, 252, 240, 176)
    c.ellipse((2, 2, 62, 50), P.OUTLINE)
    c.ellipse((4, 4, 60, 48), paper)
    c.ellipse((66, 1, 79, 14), P.OUTLINE)
    c.ellipse((67.5, 2.5, 77.5, 12.5), paper)
    c.paste(icons.icon('herb', 34), (84, 1))                       # (80, 0, 42, 36): grass wanted
    c.paste(icons.icon('cut-of-meat', 28, height=28), (129, 0))    # (122, 0, 42, 28): meat wanted
    c.paste(icons.icon('face-with-thermometer', 26), (122, 28))    # (122, 28, 27, 26): sick
    c.paste(icons.icon('helicopter', 34), (126, 55))               # (122, 54, 42, 36): waiting for the helicopter
    # Production progress (81, 47, 13, 6).
    c.rrect((81, 47, 94, 53), 2.5, P.OUTLINE)
    c.rrect((82, 48, 93, 52), 2, (250, 246, 230, 255))
    # Health bar frame (0, 53, 119, 23) and fill (0, 76, 100, 14).
    c.rrect((0, 53, 119, 76), 8, P.OUTLINE)
    c.rrect((2, 55, 117, 74), 6, (60, 44, 30, 230))
    c.paste(icons.icon('red-heart', 16), (2, 56))
    c.rrect((0, 76, 100, 90), 5, (86, 190, 70, 255))
    c.rrect((2, 77, 98, 82), 3, (150, 226, 120, 255))
    img = c.finish()
    rel = 'Sprites/AnimalGUI.png'
    common.save_png(common.out_path(rel), img)
    REGISTRY['AnimalGUI'] = (rel, 1, 1, 1, 0.1)
    # The tutorial's mouse: left half with the left button lit, right half plain.
    frames = []
    for lit in (True, False):
        c = Canvas(32, 40)
        c.rrect((3, 3, 29, 39), 12, P.OUTLINE)
        c.rrect((5, 5, 27, 37), 10, (245, 245, 240, 255))
        c.line([(16, 5), (16, 18)], P.OUTLINE, 1.5)
        c.line([(5, 18), (27, 18)], P.OUTLINE, 1.5)
        if lit:
            c.polygon([(6, 17), (6, 10), (9, 6), (15, 5), (15, 17)], (236, 80, 50, 255))
        frames.append(c.finish())
    rel = 'Sprites/mouse.png'
    common.save_png(common.out_path(rel), P.hstack(frames))
    REGISTRY['mouse'] = (rel, 1, 1, 1, 0.1)


# -- Awards -----------------------------------------------------------------------------------------------

RED_RIBBON, BLUE_RIBBON, GREEN_RIBBON = (214, 64, 48), (70, 130, 200), (90, 160, 70)
PURPLE_RIBBON, ORANGE_RIBBON, TEAL_RIBBON = (150, 90, 170), (236, 150, 40), (40, 150, 150)
# (picture, ribbon): the medal's face is a pale tint of the ribbon, so golden pictures (coin, fist, trophy) are
# given cool ribbons and never sit on gold.
AWARDS = [('boar', RED_RIBBON), ('zebra', BLUE_RIBBON), ('rhinoceros', GREEN_RIBBON), ('hippo', ORANGE_RIBBON),
          ('cheetah', PURPLE_RIBBON), ('lion', TEAL_RIBBON), ('coin', BLUE_RIBBON), ('money-bag', GREEN_RIBBON),
          ('gem-stone', RED_RIBBON), ('syringe', ORANGE_RIBBON), ('raised-fist', BLUE_RIBBON),
          ('world-map', ORANGE_RIBBON), ('1st-place-medal', TEAL_RIBBON), ('trophy', PURPLE_RIBBON)]


def award_picture(name, size):
    if name in icons.KIND_NAMES:
        return icons.kind_icon(name, size)
    return icons.icon(name, size)


def awards():
    """Each award on a picture the plate's size (128), the medal in its middle: the screen draws the plate and
    the award at the same corner."""
    for i, (ic, rib) in enumerate(AWARDS):
        c = Canvas(112, 112)
        c.polygon([(32, 60), (20, 108), (38, 98), (50, 110), (56, 66)], P.darker(rib, 0.8))
        c.polygon([(80, 60), (92, 108), (74, 98), (62, 110), (56, 66)], rib)
        c.ellipse((12, 4, 100, 92), P.OUTLINE)
        c.ellipse((16, 8, 96, 88), P.GOLD)
        c.ellipse((22, 14, 90, 82), P.OUTLINE)
        c.ellipse((24, 16, 88, 80), P.mix(rib, (255, 255, 255), 0.72))
        c.paste_centred(icons.outlined(award_picture(ic, 50), width=1.6), 56, 48)
        medal = P.drop_shadow(c.finish())
        picture = np.zeros((128, 128, 4), dtype=np.uint8)
        picture[8:120, 8:120] = medal
        common.save_png(common.out_path('Awards', f'award_{i:02d}.png'), picture)
    c = Canvas(128, 128)
    c.ellipse((4, 8, 124, 124), (40, 24, 12, 70))
    c.ellipse((2, 2, 122, 122), P.WOOD_DARK)
    c.ellipse((8, 8, 116, 116), P.WOOD)
    c.ellipse((14, 14, 110, 110), P.darker(P.WOOD, 0.9))
    common.save_png(common.out_path('Awards', 'award_plate.png'), c.finish())


def main():
    skins()
    text_buttons()
    checks()
    sliders()
    message_icons()
    medals()
    cursors()
    tooltips()
    progress()
    kind_pieces()
    hud_tool_buttons()
    hud_sheet()
    goals_sheet()
    animal_gui()
    awards()
    common.save_registry('ui', REGISTRY)
    common.write_text(common.cache_path('gui_list_ui.txt'), '\n'.join(GUI_LIST) + '\n')


if __name__ == '__main__':
    main()
