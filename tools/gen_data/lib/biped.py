"""The poacher: a rigged figure with a rifle, and his poses.

Model space as for the animals: +x forward, +y up, +z his right side; units are sheet pixels.
"""
import math

import numpy as np

from creatures import EYE, shade
from render3d import axis_frame, cone, ellipsoid, rot_x, rot_y, rot_z, segment

SKIN = (228, 178, 138)
SHIRT = (58, 100, 168)
VEST = (92, 72, 48)
TROUSERS = (98, 88, 74)
BOOTS = (70, 52, 40)
CAP = (168, 44, 38)
CAP_BRIM = (130, 32, 30)
HAIR = (60, 42, 32)
STOCK = (168, 104, 50)
METAL = (52, 54, 62)
FLASH = (255, 226, 90)
FLASH_CORE = (255, 250, 220)

HIP_H = 27.0
LEG_UP = 13.0
LEG_LO = 12.5
TORSO_H = 18.0
ARM_UP = 9.5
ARM_LO = 9.0


class BipedPose:
    def __init__(self):
        self.leg = [0.0, 0.0]        # left, right: thigh swing, radians, positive = forward
        self.knee = [0.0, 0.0]       # shin fold, radians
        self.crouch = 0.0            # pelvis lowered, pixels
        self.lean = 0.0              # torso pitch, radians, positive = leaning forward
        self.side_lean = 0.0         # torso roll, radians, positive = toward his right
        self.twist = 0.0             # torso yaw, radians
        self.head_pitch = 0.0
        self.head_yaw = 0.0
        self.rifle = 'carry'         # 'carry', 'aim', 'high' (arms up, rifle held over the head)
        self.aim_pitch = 0.0
        self.recoil = 0.0            # pixels the rifle and shoulders are pushed back
        self.flash = 0.0             # 0..1 size of the muzzle flash
        self.arm_swing = 0.0         # free arm swing while carrying, radians
        self.bob = 0.0
        self.hand_to_head = 0.0      # 0..1 left hand raised to the head (hit)


def _ik(shoulder, hand, a, b, pole):
    """Elbow of a two-bone arm from shoulder to hand, bending toward pole."""
    d = hand - shoulder
    dist = float(np.linalg.norm(d))
    dist = min(dist, a + b - 1e-3)
    dirn = d / max(np.linalg.norm(d), 1e-9)
    x = (a * a - b * b + dist * dist) / (2 * dist)
    h = math.sqrt(max(a * a - x * x, 0.0))
    p = pole - dirn * float(pole @ dirn)
    pn = np.linalg.norm(p)
    p = p / pn if pn > 1e-9 else np.array([0.0, -1.0, 0.0])
    return shoulder + dirn * x + p * h


def build(pose):
    prims = []
    pelvis_y = HIP_H - pose.crouch + pose.bob
    pelvis = np.array([0.0, pelvis_y, 0.0])
    # Legs.
    for i, side in enumerate((-1, 1)):
        hip = pelvis + np.array([0.0, -1.0, side * 3.6])
        sw = pose.leg[i]
        kd = np.array([math.sin(sw), -math.cos(sw), 0.0])
        knee = hip + kd * LEG_UP
        lo = sw - pose.knee[i]
        ld = np.array([math.sin(lo), -math.cos(lo), 0.0])
        ankle = knee + ld * LEG_LO
        g = 1 + i
        prims.append(segment(hip, knee, 3.6, TROUSERS, group=g))
        prims.append(segment(knee, ankle, 3.0, TROUSERS, group=g))
        foot_dir = np.array([math.cos(lo), math.sin(lo), 0.0])
        prims.append(ellipsoid(ankle + foot_dir * 2.2 + np.array([0, -0.6, 0]), (4.4, 2.4, 2.8),
                               rot=axis_frame(foot_dir), colour=BOOTS, group=g))
    prims.append(ellipsoid(pelvis + np.array([0, 1.0, 0]), (4.6, 4.0, 6.2), colour=TROUSERS, group=0))

    # Torso frame: lean forward (about z), side lean (about x), twist (about y).
    tm = rot_y(-pose.twist) @ rot_x(pose.side_lean) @ rot_z(-pose.lean)

    def T(v):
        return tm @ np.asarray(v, dtype=float) + pelvis

    prims.append(ellipsoid(T((0, 8.5, 0)), (5.0, 9.0, 6.6), rot=tm, colour=SHIRT, group=0))
    prims.append(ellipsoid(T((0.6, 8.0, 0)), (4.8, 7.0, 6.9), rot=tm, colour=VEST, group=0))
    prims.append(ellipsoid(T((0, 1.6, 0)), (4.9, 1.6, 6.5), rot=tm, colour=BOOTS, group=0))    # belt
    neck = T((0, TORSO_H, 0))
    head_m = tm @ rot_y(-pose.head_yaw) @ rot_z(pose.head_pitch)
    head_c = neck + tm @ np.array([0.4, 4.4, 0.0])

    def Hd(v):
        return head_m @ np.asarray(v, dtype=float) + head_c

    prims.append(ellipsoid(head_c, (4.4, 4.9, 4.2), rot=head_m, colour=SKIN, group=5))
    prims.append(ellipsoid(Hd((-1.6, -0.4, 0)), (3.2, 4.1, 4.0), rot=head_m, colour=HAIR, group=5))
    prims.append(ellipsoid(Hd((1.0, 0.2, 0)), (3.9, 4.3, 4.1), rot=head_m, colour=SKIN, group=5))
    prims.append(ellipsoid(Hd((4.1, -0.3, 0)), (1.2, 1.3, 1.0), rot=head_m, colour=shade(SKIN, 0.9), group=5))
    prims.append(ellipsoid(Hd((3.7, -1.9, 0)), (0.9, 0.6, 2.2), rot=head_m, colour=HAIR, group=5))  # moustache
    for side in (-1, 1):
        prims.append(ellipsoid(Hd((3.6, 0.9, side * 1.6)), (0.7, 0.8, 0.6), rot=head_m, colour=EYE, shade=False,
                               group=5))
    # Billed cap: crown and a brim to the front.
    prims.append(ellipsoid(Hd((0.0, 2.4, 0)), (4.6, 3.0, 4.5), rot=head_m, colour=CAP, group=5))
    prims.append(ellipsoid(Hd((4.2, 1.8, 0)), (3.6, 0.7, 3.6), rot=head_m, colour=CAP_BRIM, group=5))

    # Rifle and arms.
    shoulders = [T((0.2, 15.0, -5.6)), T((0.2, 15.0, 5.6))]
    if pose.rifle == 'aim':
        am = tm @ rot_z(pose.aim_pitch)
        butt = T((1.5 - pose.recoil, 14.5, 4.2))
        fwd = am @ np.array([1.0, 0.0, 0.0])
        rifle_a = butt
        rifle_b = butt + fwd * 30.0
        right_hand = butt + fwd * 6.5 + am @ np.array([0, -1.2, 0])
        left_hand = butt + fwd * 15.0 + am @ np.array([0, -1.2, 0])
    elif pose.rifle == 'high':
        rifle_a = T((1.5, 30.0, -9.0))
        rifle_b = T((1.5, 30.0, 12.0))
        left_hand = T((1.5, 28.5, -5.0))
        right_hand = T((1.5, 28.5, 6.0))
    else:
        # Carried across the chest, muzzle up over the left shoulder.
        rifle_a = T((4.5, 4.0, 5.0))
        rifle_b = T((5.5, 28.0, -6.0))
        right_hand = T((5.2, 7.5, 3.6))
        left_hand = T((5.6, 15.5, -2.5))
    if pose.hand_to_head > 0.0:
        head_spot = head_c + tm @ np.array([1.0, 1.5, -4.0])
        left_hand = left_hand + (head_spot - left_hand) * pose.hand_to_head
    rifle_dir = rifle_b - rifle_a
    rl = float(np.linalg.norm(rifle_dir))
    rd = rifle_dir / rl
    prims.append(segment(rifle_a, rifle_a + rd * rl * 0.36, 1.9, STOCK, thick=1.3, group=7))
    prims.append(segment(rifle_a + rd * rl * 0.3, rifle_b, 0.95, METAL, group=7))
    prims.append(ellipsoid(rifle_a + rd * rl * 0.42 + tm @ np.array([0, -1.2, 0]), (1.8, 1.2, 0.9),
                           rot=axis_frame(rd), colour=METAL, group=7))
    if pose.flash > 0.0:
        f = pose.flash
        tip = rifle_b + rd * 2.5 * f
        prims.append(ellipsoid(tip + rd * 2.0 * f, (5.5 * f, 3.4 * f, 3.4 * f), rot=axis_frame(rd), colour=FLASH,
                               shade=False, group=8))
        prims.append(ellipsoid(tip + rd * 1.4 * f, (3.0 * f, 2.0 * f, 2.0 * f), rot=axis_frame(rd),
                               colour=FLASH_CORE, shade=False, group=8))
    for i, (sh, hand) in enumerate(zip(shoulders, (left_hand, right_hand))):
        side = -1 if i == 0 else 1
        pole = tm @ np.array([-0.3, -1.0, side * 0.8])
        elbow = _ik(sh, hand, ARM_UP, ARM_LO, pole)
        g = 3 + i
        prims.append(segment(sh, elbow, 2.5, SHIRT, group=g))
        prims.append(segment(elbow, hand, 2.1, SHIRT, group=g))
        prims.append(ellipsoid(hand, (1.9, 1.9, 1.9), colour=SKIN, group=g))
    return prims


def walk(t, run=False):
    pose = BipedPose()
    ph = 2 * math.pi * t
    amp = 0.62 if run else 0.45
    pose.leg = [amp * math.sin(ph), amp * math.sin(ph + math.pi)]
    pose.knee = [0.9 * max(0.0, math.cos(ph)) ** 1.5 + 0.1, 0.9 * max(0.0, math.cos(ph + math.pi)) ** 1.5 + 0.1]
    if run:
        pose.knee = [k * 1.4 for k in pose.knee]
        pose.lean = 0.2
    pose.bob = (1.6 if run else 1.0) * abs(math.cos(ph))
    pose.twist = 0.08 * math.sin(ph)
    return pose


def hit1(t):
    """Knocked back: leans away, arms and rifle up, recovers."""
    pose = BipedPose()
    k = math.sin(math.pi * min(1.0, t * 1.25)) if t < 0.8 else 0.0
    pose.lean = -0.45 * k
    pose.head_pitch = 0.4 * k
    pose.leg = [0.25 * k, -0.2 * k]
    pose.knee = [0.3 * k, 0.1 * k]
    pose.rifle = 'high' if 0.05 < t < 0.75 else 'carry'
    pose.crouch = 1.5 * k
    return pose


def hit2(t):
    """Stumbles to one side holding his head."""
    pose = BipedPose()
    k = math.sin(math.pi * t)
    pose.side_lean = -0.35 * k
    pose.lean = 0.25 * k
    pose.crouch = 4.0 * k
    pose.knee = [0.9 * k, 0.5 * k]
    pose.leg = [0.35 * k, -0.1 * k]
    pose.hand_to_head = min(1.0, 1.6 * k)
    pose.head_pitch = -0.35 * k
    pose.head_yaw = 0.3 * math.sin(3 * math.pi * t) * k
    return pose


SHOT_FRAME = 38


def shoot(i, n, turn=0.0):
    """Raises the rifle, aims, fires on SHOT_FRAME, lowers it again.

    turn: how far the shoulders swing round while the rifle is up (radians, positive toward his left).
    """
    pose = BipedPose()
    pose.leg = [0.22, -0.18]
    pose.knee = [0.12, 0.05]
    raise_end = 9
    if i < raise_end:
        k = i / raise_end
        pose.rifle = 'carry' if k < 0.5 else 'aim'
        pose.aim_pitch = -0.9 * (1 - k) if k >= 0.5 else 0.0
        pose.lean = 0.08 * k
    elif i < n - 5:
        pose.rifle = 'aim'
        pose.lean = 0.08
        pose.aim_pitch = 0.02 * math.sin(i * 0.7)
        if SHOT_FRAME <= i <= SHOT_FRAME + 2:
            d = i - SHOT_FRAME
            pose.flash = (1.0, 0.75, 0.35)[d]
            pose.recoil = (2.5, 1.8, 0.9)[d]
            pose.aim_pitch = (0.18, 0.12, 0.05)[d]
            pose.lean = 0.0
    else:
        k = (i - (n - 5)) / 4.0
        pose.rifle = 'aim' if k < 0.5 else 'carry'
        pose.aim_pitch = -0.9 * k if k < 0.5 else 0.0
        pose.lean = 0.08 * (1 - k)
    pose.head_pitch = -0.05
    if pose.rifle == 'aim':
        pose.twist += turn
        pose.head_yaw = -0.6 * turn
    return pose
