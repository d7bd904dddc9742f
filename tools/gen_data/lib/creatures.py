"""Rigged four-legged creatures built from ellipsoids, and their poses.

Model space: +x forward (nose), +y up, +z the creature's right side; the ground
is y = 0 and the creature stands over the origin.  Units are output pixels of
an adult sheet.
"""
import math

import numpy as np

from render3d import Prim, axis_frame, cone, ellipsoid, rot_x, rot_y, rot_z, segment

DEG = math.pi / 180.0

EYE = (25, 20, 20)
WHITE = (245, 245, 240)


def shade(c, f):
    return tuple(max(0, min(255, int(round(v * f)))) for v in c)


class Pose:
    """Everything that moves between frames."""

    def __init__(self):
        self.swing = [0.0, 0.0, 0.0, 0.0]   # LF, RF, LH, RH: radians, positive = foot forward
        self.bend = [0.0, 0.0, 0.0, 0.0]    # lower leg fold, radians
        self.body_dy = 0.0
        self.body_pitch = 0.0               # radians, positive = nose up
        self.neck_pitch = 0.0               # added to the rest pitch, radians
        self.neck_yaw = 0.0                 # head turn, radians, positive = toward the right side
        self.head_pitch = 0.0
        self.tail_yaw = 0.0
        self.tail_lift = 0.0
        self.ear = 0.0                      # ear flick, radians
        self.mouth = 0.0                    # 0..1 mouth open (roar, yawn)
        self.roll = 0.0                     # whole-body roll onto the left side (death), radians
        self.leg_spread = 0.0               # legs splay sideways while lying, radians
        self.eyes_closed = False
        self.lift = 0.0                     # whole creature raised (hop)


class Quadruped:
    def __init__(self, p):
        self.p = p

    # -- helpers -----------------------------------------------------------------------------------------
    def _col(self, key):
        return self.p['colours'][key]

    def _pattern(self, key, fallback):
        pats = self.p.get('patterns', {})
        return pats.get(key, self._col(fallback))

    def build(self, pose):
        p = self.p
        prims = []
        leg_len = p['leg_upper'] + p['leg_lower'] + p['hoof'][1] * 0.6
        body_y = leg_len + p['body_lift'] + pose.body_dy
        body_m = rot_z(pose.body_pitch)
        body_o = np.array([0.0, body_y, 0.0])

        def B(v):
            return body_m @ np.asarray(v, dtype=float) + body_o

        half = p['body_len'] / 2.0
        body_col = self._pattern('body', 'body')
        prims.append(ellipsoid(B((half, 0, 0)), p['chest_r'], rot=body_m, colour=body_col, group=0))
        prims.append(ellipsoid(B((-half, p.get('hip_dy', 0.0), 0)), p['hip_r'], rot=body_m, colour=body_col,
                               group=0))
        belly_col = self._pattern('belly', 'belly')
        prims.append(ellipsoid(B((0, -p['belly_drop'], 0)), p['belly_r'], rot=body_m, colour=belly_col, group=0))

        # Legs.
        leg_col = self._pattern('legs', 'legs')
        hoof_r, hoof_h = p['hoof']
        spots = (('LF', p['leg_x_front'], -1), ('RF', p['leg_x_front'], 1),
                 ('LH', -p['leg_x_back'], -1), ('RH', -p['leg_x_back'], 1))
        for i, (name, lx, side) in enumerate(spots):
            hip = B((lx, -p['leg_root_drop'], side * p['leg_z']))
            sw = pose.swing[i]
            spread = pose.leg_spread * side
            up_dir = np.array([math.sin(sw), -math.cos(sw) * math.cos(spread), math.sin(spread) * math.cos(sw)])
            knee = hip + up_dir * p['leg_upper']
            front = name.endswith('F')
            bend = pose.bend[i] * (1.0 if front else -1.0) if p.get('hind_reverse', True) else pose.bend[i]
            lo = sw - bend
            lo_dir = np.array([math.sin(lo), -math.cos(lo) * math.cos(spread), math.sin(spread) * math.cos(lo)])
            foot = knee + lo_dir * p['leg_lower']
            g = 1 + i
            upper_r = p['leg_r'] * (1.15 if not front else 1.0)
            prims.append(segment(hip + np.array([0, p['leg_r'] * 0.6, 0]), knee, upper_r, leg_col, group=g))
            prims.append(segment(knee, foot, p['leg_r2'], leg_col, group=g))
            hoof_c = foot + lo_dir * hoof_h * 0.3 + np.array([p['hoof_fwd'], 0, 0]) * math.cos(lo)
            prims.append(ellipsoid(hoof_c, (hoof_r * 1.15, hoof_h * 0.6, hoof_r), rot=axis_frame(
                np.array([math.cos(lo), math.sin(lo), 0])), colour=self._col('hoof'), group=g))

        # Neck and head.
        nb = B(p['neck_base'])
        npitch = p['neck_pitch'] * DEG + pose.neck_pitch
        ndir = np.array([math.cos(npitch), math.sin(npitch), 0.0])
        ndir = rot_y(-pose.neck_yaw) @ ndir
        neck_end = nb + ndir * p['neck_len']
        neck_col = self._pattern('neck', 'body')
        if p['neck_len'] > 0:
            prims.append(segment(nb, neck_end, p['neck_r'], neck_col, thick=p.get('neck_rz', p['neck_r']),
                                 group=5))
        hpitch = p['head_pitch'] * DEG + pose.head_pitch + pose.neck_pitch * 0.5
        head_m = rot_y(-pose.neck_yaw) @ rot_z(hpitch)
        head_c = neck_end + head_m @ np.array(p['head_off'])

        def Hd(v):
            return head_m @ np.asarray(v, dtype=float) + head_c

        head_col = self._pattern('head', 'head')
        prims.append(ellipsoid(head_c, p['head_r'], rot=head_m, colour=head_col, group=5))
        mz = p['muzzle']
        prims.append(ellipsoid(Hd(mz['off']), mz['r'], rot=head_m, colour=self._pattern('muzzle', 'muzzle'),
                               group=5))
        if pose.mouth > 0.0 and 'jaw' in p:
            jaw = p['jaw']
            jm = head_m @ rot_z(-pose.mouth * 0.5)
            prims.append(ellipsoid(Hd(jaw['off']), jaw['r'], rot=jm, colour=(150, 40, 45), group=5))
        # Eyes.
        ex, ey, ez = p['eye']
        er = p['eye_r']
        for side in (-1, 1):
            if pose.eyes_closed:
                prims.append(ellipsoid(Hd((ex, ey, side * ez)), (er * 1.1, er * 0.35, er * 0.6), rot=head_m,
                                       colour=EYE, shade=False, group=5))
            else:
                prims.append(ellipsoid(Hd((ex, ey, side * ez)), (er, er, er * 0.8), rot=head_m, colour=EYE,
                                       shade=False, group=5))
        # Ears.
        el, er_, ex_, ey_, ez_, etilt = p['ear']
        for side in (-1, 1):
            base = Hd((ex_, ey_, side * ez_))
            tilt = etilt * DEG + (pose.ear if side > 0 else 0.0)
            d = head_m @ np.array([-math.sin(tilt) * 0.6, math.cos(tilt), side * 0.55])
            prims.append(cone(base, base + d / np.linalg.norm(d) * el, er_, self._col('ear'), group=5))
            prims.append(ellipsoid(base + d / np.linalg.norm(d) * el * 0.35, (er_ * 0.5, el * 0.33, er_ * 0.9),
                                   rot=axis_frame(d) @ rot_z(math.pi / 2), colour=self._col('ear_in'), group=5))

        # Tail.
        tb = B(p['tail_base'])
        tlen, tr = p['tail']
        ta = p['tail_angle'] * DEG + pose.tail_lift
        tdir = np.array([-math.cos(ta), -math.sin(ta), 0.0])
        tdir = rot_y(pose.tail_yaw) @ tdir
        t1 = tb + tdir * tlen * 0.55
        tdir2 = rot_y(pose.tail_yaw * 1.5) @ np.array([-math.cos(ta + 0.35), -math.sin(ta + 0.35), 0.0])
        t2 = t1 + tdir2 * tlen * 0.45
        tail_col = self._pattern('tail', 'body')
        prims.append(segment(tb, t1, tr, tail_col, group=6))
        prims.append(segment(t1, t2, tr * 0.8, tail_col, group=6))
        if p.get('tail_tuft'):
            prims.append(ellipsoid(t2 + tdir2 * tr, (tr * 2.2, tr * 1.6, tr * 1.6), rot=axis_frame(tdir2),
                                   colour=self._col('tuft'), group=6))

        ctx = dict(B=B, Hd=Hd, head_m=head_m, body_m=body_m, neck_base=nb, neck_end=neck_end, ndir=ndir,
                   pose=pose)
        extra = p.get('extras')
        if extra:
            prims.extend(extra(self, ctx))

        # Death roll and hop, about the ground line under the body.
        if pose.roll != 0.0 or pose.lift != 0.0:
            m = rot_x(pose.roll)
            rolled = [q.transformed(m, np.zeros(3)) for q in prims]
            # Rest on the ground: lift so that the lowest point of the body is at the ground.
            lowest = min(float(q.centre[1] - np.max(q.size)) for q in rolled if q.group == 0)
            body_rest = -lowest * min(1.0, abs(pose.roll) / (math.pi / 2)) if pose.roll != 0.0 else 0.0
            # Keep the body over the anchor: rolling about the ground line moves it sideways.
            body_z = float(np.mean([q.centre[2] for q in rolled if q.group == 0]))
            off = np.array([0.0, body_rest + pose.lift, -body_z])
            prims = [q.transformed(np.eye(3), off) for q in rolled]
        return prims


# -- Poses ------------------------------------------------------------------------------------------------

def walk_pose(t, amp=0.42, bob=1.2):
    """t in [0, 1): one stride.  Diagonal pairs move together."""
    pose = Pose()
    ph = 2 * math.pi * t
    phases = (0.0, math.pi, math.pi, 0.0)   # LF, RF, LH, RH
    for i, off in enumerate(phases):
        a = ph + off
        pose.swing[i] = amp * math.sin(a)
        # Fold while the foot travels forward (swing rising).
        pose.bend[i] = 0.75 * max(0.0, math.cos(a)) ** 1.5
    pose.body_dy = bob * abs(math.sin(ph))
    pose.neck_pitch = 0.05 * math.sin(2 * ph)
    pose.tail_yaw = 0.25 * math.sin(ph)
    return pose


def eat_pose(t, reach):
    """Head down at the ground, chewing."""
    pose = Pose()
    pose.neck_pitch = -reach
    pose.head_pitch = -0.35
    pose.swing = [0.12, 0.12, -0.05, -0.05]
    pose.body_pitch = -0.04
    chew = math.sin(2 * math.pi * t * 2)
    pose.head_pitch += 0.07 * chew
    pose.neck_pitch += 0.03 * math.sin(2 * math.pi * t)
    pose.tail_yaw = 0.3 * math.sin(2 * math.pi * t)
    pose.ear = 0.3 * max(0.0, math.sin(2 * math.pi * t * 3)) if t > 0.6 else 0.0
    return pose


def idle1_pose(t):
    """Looks to one side, then the other, tail swishing."""
    pose = Pose()
    look = math.sin(2 * math.pi * t)
    pose.neck_yaw = 0.65 * look
    pose.neck_pitch = 0.08 * math.sin(4 * math.pi * t)
    pose.tail_yaw = 0.45 * math.sin(4 * math.pi * t)
    pose.ear = 0.4 * max(0.0, math.sin(6 * math.pi * t))
    pose.eyes_closed = 0.45 < t < 0.52
    return pose


def idle2_pose(t, mouth=False):
    """Raises the head (a call or a yawn), shakes it, settles."""
    pose = Pose()
    env = math.sin(math.pi * t) ** 2
    pose.neck_pitch = 0.35 * env
    pose.head_pitch = 0.25 * env
    if t > 0.55:
        pose.neck_yaw = 0.25 * math.sin(2 * math.pi * (t - 0.55) * 4) * (1.0 - t) * 2
    pose.mouth = env if mouth else 0.0
    pose.eyes_closed = mouth and env > 0.6
    pose.tail_lift = 0.5 * env
    pose.tail_yaw = 0.3 * math.sin(4 * math.pi * t)
    pose.swing = [0.05 * env, -0.05 * env, 0.0, 0.0]
    return pose


def produce_pose(t):
    """A happy hop: tail up, legs tucked at the top."""
    pose = Pose()
    h = math.sin(math.pi * (t * 2 % 1.0))
    pose.lift = 7.0 * h
    pose.swing = [0.35 * h, 0.35 * h, -0.35 * h, -0.35 * h]
    pose.bend = [0.6 * h, 0.6 * h, 0.6 * h, 0.6 * h]
    pose.neck_pitch = 0.25 * h
    pose.tail_lift = 0.9
    pose.tail_yaw = 0.4 * math.sin(4 * math.pi * t)
    pose.ear = 0.3 * h
    return pose


def death_pose(t):
    """Sinks, rolls onto the left side with the legs stretched out, lies still."""
    pose = Pose()
    sink = min(1.0, t / 0.35)
    roll = min(1.0, max(0.0, (t - 0.25) / 0.45))
    roll = roll * roll * (3 - 2 * roll)
    kneel_swing = [0.3 * sink, 0.3 * sink, -0.4 * sink, -0.4 * sink]
    kneel_bend = [1.1 * sink, 1.1 * sink, 1.3 * sink, 1.3 * sink]
    lie_swing = [0.95, 0.7, -0.75, -1.05]
    lie_bend = [0.15, 0.35, 0.2, 0.1]
    pose.swing = [a * (1 - roll) + b * roll for a, b in zip(kneel_swing, lie_swing)]
    pose.bend = [a * (1 - roll) + b * roll for a, b in zip(kneel_bend, lie_bend)]
    pose.body_dy = -6.0 * sink * (1.0 - roll)
    pose.neck_pitch = -0.5 * sink + 0.2 * roll
    pose.head_pitch = -0.2 * sink
    pose.roll = -math.pi / 2 * roll
    pose.tail_lift = -0.4 * roll
    pose.eyes_closed = t > 0.6
    return pose
