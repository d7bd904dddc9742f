"""The six animal kinds as rig parameters: proportions, colours, patterns and extras."""
import math

import numpy as np

from creatures import DEG, WHITE, shade
from render3d import axis_frame, cone, ellipsoid, rot_y, rot_z, segment


def _hash3(ix, iy, iz, seed):
    h = (ix * 73856093) ^ (iy * 19349663) ^ (iz * 83492791) ^ (seed * 2654435761)
    h = (h ^ (h >> 13)) * 1274126177
    h = h ^ (h >> 16)
    return (h & 0xFFFF) / 65535.0


def spots(base, spot, cell, radius, seed, local_space=False):
    """Cellular spots in model space, or in the shape's own frame for limbs that swing."""
    base = np.asarray(base, dtype=float)
    spot = np.asarray(spot, dtype=float)

    def f(local, m):
        if local_space:
            m = local
        g = np.floor(m / cell).astype(np.int64)
        best = np.full(len(m), 1e9)
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                for dz in (-1, 0, 1):
                    cx, cy, cz = g[:, 0] + dx, g[:, 1] + dy, g[:, 2] + dz
                    jx = _hash3(cx, cy, cz, seed)
                    jy = _hash3(cx, cy, cz, seed + 1)
                    jz = _hash3(cx, cy, cz, seed + 2)
                    px = (cx + 0.2 + 0.6 * jx) * cell
                    py = (cy + 0.2 + 0.6 * jy) * cell
                    pz = (cz + 0.2 + 0.6 * jz) * cell
                    d = np.sqrt((m[:, 0] - px) ** 2 + (m[:, 1] - py) ** 2 + (m[:, 2] - pz) ** 2)
                    best = np.minimum(best, d)
        out = np.tile(base, (len(m), 1))
        out[best < radius] = spot
        return out
    return f


def stripes(base, stripe, freq, warp=0.0, axis=0, width=0.5, belly_y=None, belly=None, local_space=False):
    base = np.asarray(base, dtype=float)
    stripe = np.asarray(stripe, dtype=float)

    def f(local, m):
        if local_space:
            m = local
        u = m[:, axis] * freq + warp * np.sin(m[:, 1] * 0.18) + 0.35 * np.sin(m[:, 2] * 0.3)
        s = (np.sin(u) * 0.5 + 0.5) < width
        out = np.tile(base, (len(m), 1))
        out[s] = stripe
        if belly_y is not None:
            out[m[:, 1] < belly_y] = np.asarray(belly if belly is not None else base, dtype=float)
        return out
    return f


def two_tone(top, bottom, split_y):
    top = np.asarray(top, dtype=float)
    bottom = np.asarray(bottom, dtype=float)

    def f(local, m):
        out = np.tile(top, (len(m), 1))
        out[m[:, 1] < split_y] = bottom
        return out
    return f


def local_band(base, band, lo, hi, axis=0):
    """Colour by the prim's own local coordinate (-1..1 along an axis)."""
    base = np.asarray(base, dtype=float)
    band = np.asarray(band, dtype=float)

    def f(local, m):
        out = np.tile(base, (len(m), 1))
        sel = (local[:, axis] >= lo) & (local[:, axis] <= hi)
        out[sel] = band
        return out
    return f


# -- Zebra ------------------------------------------------------------------------------------------------

def _zebra_extras(q, c):
    prims = []
    nb, ne = c['neck_base'], c['neck_end']
    # A short upright mane along the top of the neck.
    up = np.array([0.0, 1.0, 0.0])
    for i in range(5):
        f = 0.05 + i * 0.22
        pt = nb + (ne - nb) * f + up * (q.p['neck_r'] * 0.8)
        col = (30, 28, 30) if i % 2 == 0 else (240, 240, 235)
        prims.append(ellipsoid(pt, (4.2, 3.4, 1.6), rot=axis_frame(ne - nb), colour=col, group=5))
    return prims


ZEBRA_BODY = stripes((242, 242, 236), (35, 33, 36), 0.42, warp=2.5, width=0.42)
ZEBRA_LEGS = stripes((242, 242, 236), (35, 33, 36), 1.1, axis=0, width=0.45, local_space=True)
ZEBRA_NECK = stripes((242, 242, 236), (35, 33, 36), 0.5, axis=0, warp=1.5, width=0.45)

ZEBRA = dict(
    body_len=30, chest_r=(17, 14, 11), hip_r=(17, 14, 11.5), belly_r=(25, 13, 11), belly_drop=2.0, hip_dy=1.0,
    body_lift=6, leg_upper=15, leg_lower=17, leg_r=4.8, leg_r2=2.8, hoof=(3.2, 4.0), hoof_fwd=0.8,
    leg_x_front=19, leg_x_back=17, leg_z=6, leg_root_drop=6,
    neck_base=(25, 4, 0), neck_len=22, neck_r=6.8, neck_rz=5.0, neck_pitch=50,
    head_off=(7, 0, 0), head_r=(11.5, 6.0, 5.4), head_pitch=-52,
    muzzle=dict(off=(10.5, -0.8, 0), r=(6.0, 4.8, 4.6)),
    eye=(1.5, 3.5, 4.6), eye_r=1.6,
    ear=(8, 2.4, -3.5, 5, 2.8, 10),
    tail_base=(-34, 6, 0), tail=(22, 1.8), tail_angle=62, tail_tuft=True,
    colours=dict(body=(242, 242, 236), belly=(242, 242, 236), legs=(242, 242, 236), hoof=(40, 36, 38),
                 head=(242, 242, 236), muzzle=(45, 42, 46), ear=(242, 242, 236), ear_in=(35, 33, 36),
                 tuft=(35, 33, 36)),
    patterns=dict(body=ZEBRA_BODY, belly=ZEBRA_BODY, legs=ZEBRA_LEGS, neck=ZEBRA_NECK,
                  head=stripes((242, 242, 236), (35, 33, 36), 0.9, axis=1, width=0.4),
                  tail=(242, 242, 236)),
    extras=_zebra_extras, mouth=False, reach=1.55,
)


# -- Rhino ------------------------------------------------------------------------------------------------

def _rhino_extras(q, c):
    Hd = c['Hd']
    horn = (215, 205, 185)
    prims = [cone(Hd((13, 3.5, 0)), Hd((19, 17, 0)), 4.2, horn, group=5),
             cone(Hd((5, 6.0, 0)), Hd((6, 13, 0)), 2.8, horn, group=5)]
    # Skin folds: a slightly darker saddle ring between chest and hips.
    B = c['B']
    return prims


RHINO_GREY = (150, 150, 156)
RHINO = dict(
    body_len=34, chest_r=(22, 18.5, 16), hip_r=(22, 19, 17), belly_r=(30, 17, 15.5), belly_drop=2.5, hip_dy=1.0,
    body_lift=9, leg_upper=12, leg_lower=11, leg_r=6.8, leg_r2=5.2, hoof=(5.6, 3.5), hoof_fwd=0.5,
    leg_x_front=22, leg_x_back=21, leg_z=9, leg_root_drop=9,
    neck_base=(32, 2, 0), neck_len=8, neck_r=11, neck_rz=10.0, neck_pitch=10,
    head_off=(6, 0, 0), head_r=(14, 9, 8), head_pitch=-22,
    muzzle=dict(off=(10, -2, 0), r=(8, 7, 7)),
    eye=(2, 3, 7.3), eye_r=1.5,
    ear=(7, 3.0, -8, 7, 5, 25),
    tail_base=(-42, 8, 0), tail=(14, 1.8), tail_angle=70, tail_tuft=True,
    colours=dict(body=RHINO_GREY, belly=(140, 140, 146), legs=(145, 145, 151), hoof=(95, 92, 92),
                 head=RHINO_GREY, muzzle=(160, 158, 162), ear=RHINO_GREY, ear_in=(190, 160, 160),
                 tuft=(80, 78, 80)),
    extras=_rhino_extras, mouth=False, reach=0.95,
)


# -- Hippo ------------------------------------------------------------------------------------------------

def _hippo_extras(q, c):
    Hd = c['Hd']
    prims = []
    for side in (-1, 1):
        # Nostril bumps on the broad snout, and pink cheeks.
        prims.append(ellipsoid(Hd((14, 6.5, side * 4)), (3.0, 2.4, 2.8), rot=c['head_m'], colour=(142, 126, 158),
                               group=5))
        prims.append(ellipsoid(Hd((10, -2, side * 8.5)), (4.5, 3.8, 2.5), rot=c['head_m'], colour=(236, 150, 160),
                               group=5))
    return prims


HIPPO_SKIN = (146, 132, 166)
HIPPO = dict(
    body_len=34, chest_r=(22, 18, 17), hip_r=(22, 18, 17.5), belly_r=(31, 16.5, 16.5), belly_drop=3, hip_dy=0.0,
    body_lift=8, leg_upper=9, leg_lower=8, leg_r=6.8, leg_r2=5.8, hoof=(6.0, 3.0), hoof_fwd=0.3,
    leg_x_front=21, leg_x_back=21, leg_z=10, leg_root_drop=8,
    neck_base=(33, 3, 0), neck_len=6, neck_r=12, neck_rz=11.5, neck_pitch=5,
    head_off=(7, 0, 0), head_r=(13, 10, 10), head_pitch=-12,
    muzzle=dict(off=(11, -1, 0), r=(9, 8.5, 11)),
    jaw=dict(off=(9, -6, 0), r=(9, 3.5, 9)),
    eye=(-1, 8, 6.0), eye_r=1.9,
    ear=(4, 2.2, -6, 9, 5, 15),
    tail_base=(-43, 8, 0), tail=(9, 2.0), tail_angle=70, tail_tuft=False,
    colours=dict(body=HIPPO_SKIN, belly=(236, 170, 178), legs=(138, 124, 158), hoof=(110, 98, 126),
                 head=HIPPO_SKIN, muzzle=(150, 136, 170), ear=HIPPO_SKIN, ear_in=(236, 150, 160),
                 tuft=HIPPO_SKIN),
    patterns=dict(belly=two_tone(HIPPO_SKIN, (236, 170, 178), 10.0)),
    extras=_hippo_extras, mouth=True, reach=0.8, death_turn=70 * DEG,
)


# -- Warthog ----------------------------------------------------------------------------------------------

def _warthog_extras(q, c):
    Hd = c['Hd']
    prims = []
    tusk = (250, 245, 228)
    for side in (-1, 1):
        base = Hd((9, -2, side * 4.5))
        tip = Hd((11, 5.5, side * 8))
        prims.append(cone(base, tip, 1.6, tusk, group=5))
        prims.append(ellipsoid(Hd((3, 1.5, side * 5.6)), (2.2, 1.8, 1.6), rot=c['head_m'], colour=(120, 96, 80),
                               group=5))
    # Bristly dark mane along the spine.
    B = c['B']
    for i in range(6):
        x = 16 - i * 6.5
        prims.append(ellipsoid(B((x, 11.5 - abs(i - 2) * 0.6, 0)), (3.6, 3.2, 1.6), rot=c['body_m'],
                               colour=(70, 52, 44), group=0))
    prims.append(ellipsoid(c['neck_end'] + np.array([-1, 6, 0]), (3.5, 3.4, 1.6), colour=(70, 52, 44), group=5))
    return prims


WARTHOG_SKIN = (138, 112, 95)
WARTHOG = dict(
    body_len=20, chest_r=(14, 11.5, 9.5), hip_r=(13, 10.5, 9.5), belly_r=(18, 10, 8.5), belly_drop=2, hip_dy=-1.0,
    body_lift=5, leg_upper=8, leg_lower=8, leg_r=3.4, leg_r2=2.3, hoof=(2.6, 3.0), hoof_fwd=0.6,
    leg_x_front=13, leg_x_back=12, leg_z=5, leg_root_drop=5,
    neck_base=(18, 1, 0), neck_len=4, neck_r=7, neck_rz=6.5, neck_pitch=-10,
    head_off=(6, -1, 0), head_r=(9, 7, 6.5), head_pitch=-28,
    muzzle=dict(off=(8, -1.5, 0), r=(5, 4.6, 4.8)),
    eye=(1, 4.0, 5.2), eye_r=1.3,
    ear=(5, 2.2, -3, 6, 3.5, 30),
    tail_base=(-24, 5, 0), tail=(13, 1.1), tail_angle=-65, tail_tuft=True,
    colours=dict(body=WARTHOG_SKIN, belly=(128, 104, 88), legs=(125, 101, 86), hoof=(60, 48, 42),
                 head=WARTHOG_SKIN, muzzle=(214, 150, 140), ear=WARTHOG_SKIN, ear_in=(214, 150, 140),
                 tuft=(60, 46, 40)),
    extras=_warthog_extras, mouth=False, reach=0.55,
)


# -- Cheetah ----------------------------------------------------------------------------------------------

CHEETAH_FUR = (218, 138, 46)
CHEETAH_COAT = spots(CHEETAH_FUR, (36, 28, 24), 5.2, 1.9, 11)
CHEETAH_LEGS = spots(CHEETAH_FUR, (36, 28, 24), 4.4, 1.4, 12, local_space=True)


def _cheetah_extras(q, c):
    Hd = c['Hd']
    prims = []
    for side in (-1, 1):
        # The dark tear line from the eye down to the mouth.
        prims.append(segment(Hd((3.4, 2.4, side * 4.2)), Hd((6.5, -2.8, side * 3.4)), 0.7, (45, 35, 30),
                             shade=False, group=5))
    return prims


def _tail_rings(local, m):
    out = np.tile(np.asarray(CHEETAH_FUR, dtype=float), (len(m), 1))
    ring = (np.sin(m[:, 1] * 0.9 + m[:, 0] * 0.9) > 0.45)
    out[ring] = (36, 28, 24)
    return out


CHEETAH = dict(
    body_len=24, chest_r=(14, 10.5, 8), hip_r=(13, 9, 7.5), belly_r=(20, 7.5, 7), belly_drop=1.5, hip_dy=1.5,
    body_lift=4, leg_upper=14, leg_lower=15, leg_r=3.6, leg_r2=2.2, hoof=(2.6, 2.6), hoof_fwd=1.2,
    leg_x_front=15, leg_x_back=13, leg_z=4.5, leg_root_drop=5,
    neck_base=(21, 4, 0), neck_len=9, neck_r=5.5, neck_rz=5.0, neck_pitch=38,
    head_off=(5, 0, 0), head_r=(7, 6, 5.8), head_pitch=-10,
    muzzle=dict(off=(5.5, -1.8, 0), r=(3.8, 3.2, 3.4)),
    jaw=dict(off=(5, -4, 0), r=(4, 1.8, 3)),
    eye=(3.2, 2.0, 4.2), eye_r=1.2,
    ear=(3.5, 2.0, -2, 5, 3.5, 20),
    tail_base=(-26, 5, 0), tail=(30, 1.8), tail_angle=45, tail_tuft=False,
    colours=dict(body=CHEETAH_FUR, belly=(248, 232, 196), legs=CHEETAH_FUR, hoof=(200, 150, 80),
                 head=CHEETAH_FUR, muzzle=(248, 232, 196), ear=CHEETAH_FUR, ear_in=(60, 45, 35),
                 tuft=(36, 28, 24)),
    patterns=dict(body=CHEETAH_COAT, belly=CHEETAH_COAT, legs=CHEETAH_LEGS, neck=CHEETAH_COAT,
                  head=spots(CHEETAH_FUR, (36, 28, 24), 3.0, 0.8, 5), tail=_tail_rings),
    extras=_cheetah_extras, mouth=True, reach=1.35,
)


# -- Lion -------------------------------------------------------------------------------------------------

LION_FUR = (206, 130, 52)
LION_MANE = (104, 52, 26)


def _lion_extras(q, c):
    prims = []
    if not q.p.get('mane', True):
        return prims
    Hd = c['Hd']
    hm = c['head_m']
    # A ring of tufts around the face and a full ruff over the neck.
    for k in range(12):
        a = 2 * math.pi * k / 12
        v = np.array([-2.0, math.sin(a) * 9.5, math.cos(a) * 9.0])
        prims.append(ellipsoid(Hd(v), (5.5, 4.6, 4.6), rot=hm, colour=LION_MANE if k % 2 else shade(LION_MANE, 1.12),
                               group=5))
    prims.append(ellipsoid(Hd((-6, 0, 0)), (8, 11, 10.5), rot=hm, colour=LION_MANE, group=5))
    nb, ne = c['neck_base'], c['neck_end']
    prims.append(segment(nb + np.array([-2, 3, 0]), ne, 9.5, LION_MANE, group=5))
    return prims


LION = dict(
    body_len=28, chest_r=(16, 12.5, 10), hip_r=(15, 11.5, 9.5), belly_r=(22, 9.5, 9), belly_drop=2, hip_dy=0.5,
    body_lift=4, leg_upper=12, leg_lower=12, leg_r=4.6, leg_r2=3.3, hoof=(3.4, 2.8), hoof_fwd=1.4,
    leg_x_front=17, leg_x_back=15, leg_z=5.5, leg_root_drop=6,
    neck_base=(24, 4, 0), neck_len=9, neck_r=7, neck_rz=6.5, neck_pitch=35,
    head_off=(5, 0, 0), head_r=(8.5, 7.5, 7.2), head_pitch=-12,
    muzzle=dict(off=(6.5, -2.2, 0), r=(4.6, 4.0, 4.4)),
    jaw=dict(off=(6, -5, 0), r=(4.8, 2.2, 3.8)),
    eye=(4.0, 2.4, 5.0), eye_r=1.3,
    ear=(3.5, 2.4, -2, 6.5, 4.5, 20),
    tail_base=(-30, 4, 0), tail=(28, 1.6), tail_angle=50, tail_tuft=True,
    colours=dict(body=LION_FUR, belly=(236, 196, 132), legs=(196, 122, 48), hoof=(150, 96, 50),
                 head=LION_FUR, muzzle=(244, 218, 168), ear=LION_FUR, ear_in=(90, 46, 24), tuft=LION_MANE),
    patterns=dict(belly=LION_FUR),
    extras=_lion_extras, mouth=True, reach=1.3,
)


def child_of(adult, **over):
    """Young proportions: a bigger head, shorter legs, a smaller body; no horns or mane to speak of."""
    p = dict(adult)
    k = 0.62
    def sc(v, f=k):
        if isinstance(v, (tuple, list)):
            return tuple(x * f for x in v)
        return v * f
    for key in ('body_len', 'chest_r', 'hip_r', 'belly_r', 'belly_drop', 'hip_dy', 'body_lift', 'leg_x_front',
                'leg_x_back', 'leg_z', 'leg_root_drop', 'neck_base', 'tail_base'):
        p[key] = sc(adult[key])
    for key in ('leg_upper', 'leg_lower'):
        p[key] = adult[key] * 0.7
    for key in ('leg_r', 'leg_r2'):
        p[key] = adult[key] * 0.68
    p['hoof'] = sc(adult['hoof'], 0.7)
    p['neck_len'] = adult['neck_len'] * 0.62
    p['neck_r'] = adult['neck_r'] * 0.7
    p['neck_rz'] = adult.get('neck_rz', adult['neck_r']) * 0.7
    hk = 0.78
    p['head_off'] = sc(adult['head_off'], hk)
    p['head_r'] = sc(adult['head_r'], hk)
    p['muzzle'] = dict(off=sc(adult['muzzle']['off'], hk), r=sc(adult['muzzle']['r'], hk))
    if 'jaw' in adult:
        p['jaw'] = dict(off=sc(adult['jaw']['off'], hk), r=sc(adult['jaw']['r'], hk))
    p['eye'] = sc(adult['eye'], hk)
    p['eye_r'] = adult['eye_r'] * 1.0
    el, er, ex, ey, ez, et = adult['ear']
    p['ear'] = (el * 0.85, er * 0.8, ex * hk, ey * hk, ez * hk, et)
    p['tail'] = (adult['tail'][0] * 0.6, adult['tail'][1] * 0.75)
    p['reach'] = adult['reach']
    p.update(over)
    return p


def _rhino_child_extras(q, c):
    Hd = c['Hd']
    return [cone(Hd((10, 2.8, 0)), Hd((12, 7.5, 0)), 2.4, (215, 205, 185), group=5)]


def _warthog_child_extras(q, c):
    Hd = c['Hd']
    return [ellipsoid(Hd((2.4, 1.2, s * 4.4)), (1.6, 1.4, 1.2), rot=c['head_m'], colour=(120, 96, 80), group=5)
            for s in (-1, 1)]


PIGLET_STRIPES = stripes((150, 122, 100), (118, 94, 78), 0.95, axis=2, width=0.35)
CUB_SPOTS = spots((190, 116, 46), (134, 78, 34), 3.4, 1.0, 21)
CUB_SMOKE = (84, 74, 66)
CUB_MANTLE = (214, 210, 198)
CHEETAH_CUB = spots(CUB_SMOKE, (40, 33, 29), 3.6, 1.2, 31)
CHEETAH_CUB_HEAD = spots((160, 142, 118), (58, 48, 40), 2.6, 0.55, 33)


def _cheetah_cub_extras(q, c):
    # A young cheetah is smoky dark with a long pale mantle of fluffy fur from the crown down the back,
    # and already has the tear lines of its parents.
    B, Hd, hm = c['B'], c['Hd'], c['head_m']
    prims = []
    for side in (-1, 1):
        prims.append(segment(Hd((2.6, 1.8, side * 3.4)), Hd((5.0, -2.4, side * 2.8)), 0.6, (40, 30, 26),
                             shade=False, group=5))
    prims.append(ellipsoid(B((0, 4.8, 0)), (15.5, 3.2, 3.0), rot=c['body_m'], colour=CUB_MANTLE, group=0))
    nb, ne = c['neck_base'], c['neck_end']
    prims.append(segment(nb + np.array([-1.0, q.p['neck_r'] * 0.6, 0]), ne + np.array([-0.5, q.p['neck_r'] * 0.7, 0]),
                         2.8, CUB_MANTLE, thick=2.6, group=5))
    prims.append(ellipsoid(Hd((-1.8, 3.4, 0)), (3.0, 2.0, 2.8), rot=hm, colour=CUB_MANTLE, group=5))
    return prims


KINDS = {
    'warthog': WARTHOG,
    'zebra': ZEBRA,
    'rhino': RHINO,
    'hippo': HIPPO,
    'cheetah': CHEETAH,
    'lion': LION,
}

CHILD_KINDS = {
    'warthog': child_of(WARTHOG, extras=_warthog_child_extras,
                        patterns=dict(body=PIGLET_STRIPES, belly=PIGLET_STRIPES)),
    'zebra': child_of(ZEBRA, patterns=dict(
        body=stripes((238, 228, 214), (110, 80, 62), 0.62, warp=2.0, width=0.42),
        belly=stripes((238, 228, 214), (110, 80, 62), 0.62, warp=2.0, width=0.42),
        legs=stripes((238, 228, 214), (110, 80, 62), 1.6, axis=0, width=0.45, local_space=True),
        neck=stripes((238, 228, 214), (110, 80, 62), 0.8, axis=0, warp=1.5, width=0.45),
        head=(238, 228, 214), tail=(238, 228, 214))),
    'rhino': child_of(RHINO, extras=_rhino_child_extras),
    'hippo': child_of(HIPPO),
    # Round and wide enough to read from the front, with the big head of a cub.
    'cheetah': child_of(CHEETAH, extras=_cheetah_cub_extras,
                        chest_r=(9.0, 7.6, 8.6), hip_r=(8.4, 7.0, 8.0), belly_r=(12.4, 6.4, 8.2), leg_z=5.2,
                        head_r=(5.4, 5.4, 6.2), muzzle=dict(off=(3.9, -1.5, 0), r=(2.7, 2.3, 3.0)), eye=(2.6, 1.6, 3.9),
                        ear=(3.2, 2.0, -1.6, 4.4, 3.4, 25), eye_r=1.3, leg_upper=8.4, leg_lower=8.8,
                        tail=(16, 1.9),
                        colours=dict(CHEETAH['colours'], muzzle=(226, 214, 190), ear=(60, 50, 44),
                                     hoof=(60, 50, 44)),
                        patterns=dict(body=CHEETAH_CUB, belly=CHEETAH_CUB, legs=CHEETAH_CUB, neck=CHEETAH_CUB,
                                      head=CHEETAH_CUB_HEAD, tail=CUB_SMOKE)),
    'lion': child_of(LION, mane=False, extras=None,
                     patterns=dict(body=CUB_SPOTS, belly=CUB_SPOTS, legs=CUB_SPOTS)),
}
