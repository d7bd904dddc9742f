"""A tiny orthographic ray caster for the creature sheets.

Creatures are built from ellipsoids and cones, seen from above at a fixed
camera elevation, toon shaded in flat colours and outlined.  Everything is
plain numpy, so the same inputs always give the same pixels.
"""
import math

import numpy as np

ELEVATION = math.radians(35.0)
SIN_E = math.sin(ELEVATION)
COS_E = math.cos(ELEVATION)

# Camera basis in world space: X right, Y up, Z toward the camera.
VIEW = np.array([0.0, -SIN_E, -COS_E])
SCREEN_RIGHT = np.array([1.0, 0.0, 0.0])
SCREEN_UP = np.array([0.0, COS_E, -SIN_E])

# Light from the upper left, a little toward the camera.
LIGHT = np.array([-0.45, 0.8, 0.55])
LIGHT = LIGHT / np.linalg.norm(LIGHT)

SUPERSAMPLE = 3


def rot_x(a):
    c, s = math.cos(a), math.sin(a)
    return np.array([[1, 0, 0], [0, c, -s], [0, s, c]], dtype=float)


def rot_y(a):
    c, s = math.cos(a), math.sin(a)
    return np.array([[c, 0, s], [0, 1, 0], [-s, 0, c]], dtype=float)


def rot_z(a):
    c, s = math.cos(a), math.sin(a)
    return np.array([[c, -s, 0], [s, c, 0], [0, 0, 1]], dtype=float)


def yaw(a):
    """Model +x (forward) goes to (cos a, 0, sin a); model +z (right side) to (-sin a, 0, cos a)."""
    c, s = math.cos(a), math.sin(a)
    return np.array([[c, 0, -s], [0, 1, 0], [s, 0, c]], dtype=float)


def axis_frame(direction):
    """A rotation whose local x axis points along direction."""
    x = np.asarray(direction, dtype=float)
    n = np.linalg.norm(x)
    if n < 1e-9:
        return np.eye(3)
    x = x / n
    helper = np.array([0.0, 1.0, 0.0]) if abs(x[1]) < 0.9 else np.array([0.0, 0.0, 1.0])
    z = np.cross(x, helper)
    z /= np.linalg.norm(z)
    y = np.cross(z, x)
    return np.stack([x, y, z], axis=1)


class Prim:
    """One shape: an ellipsoid or a cone, with a colour rule.

    colour: an (r, g, b) tuple, or a function (local_points Nx3, world_points Nx3) -> Nx3 array 0..255.
    """

    def __init__(self, kind, centre, rot, size, colour, shade=True, group=0):
        self.kind = kind
        self.centre = np.asarray(centre, dtype=float)
        self.rot = np.asarray(rot, dtype=float)
        self.size = np.asarray(size, dtype=float)
        self.colour = colour
        self.shade = shade
        self.group = group
        # Maps world points back to the model space the colour rules are written in.
        self.to_model = (np.eye(3), np.zeros(3))

    def transformed(self, matrix, offset):
        q = Prim(self.kind, matrix @ self.centre + offset, matrix @ self.rot, self.size, self.colour,
                 self.shade, self.group)
        m0, o0 = self.to_model
        q.to_model = (matrix @ m0, matrix @ o0 + offset)
        return q

    def bound_radius(self):
        if self.kind == 'ell':
            return float(np.max(self.size))
        if self.kind == 'box':
            return float(np.linalg.norm(self.size))
        return float(math.hypot(self.size[0], self.size[1]))


def ellipsoid(centre, radii, rot=None, colour=(200, 200, 200), **kw):
    return Prim('ell', centre, np.eye(3) if rot is None else rot, radii, colour, **kw)


def segment(a, b, radius, colour, thick=None, **kw):
    """An ellipsoid stretched between two points (a limb, a neck, a tail piece)."""
    a = np.asarray(a, dtype=float)
    b = np.asarray(b, dtype=float)
    half = np.linalg.norm(b - a) / 2.0
    r2 = radius if thick is None else thick
    return Prim('ell', (a + b) / 2.0, axis_frame(b - a), (half + radius * 0.55, radius, r2), colour, **kw)


def cone(base, apex, radius, colour, **kw):
    """A cone from a round base to a point (horns, tusks, ears)."""
    base = np.asarray(base, dtype=float)
    apex = np.asarray(apex, dtype=float)
    h = np.linalg.norm(apex - base)
    return Prim('cone', base, axis_frame(apex - base), (h, radius, 0.0), colour, **kw)


def _hit_ellipsoid(p, o, d):
    rot_t = p.rot.T
    lo = ((o - p.centre) @ rot_t.T) / p.size
    ld = (rot_t @ d) / p.size
    a = float(ld @ ld)
    b = 2.0 * (lo @ ld)
    c = np.einsum('ij,ij->i', lo, lo) - 1.0
    disc = b * b - 4.0 * a * c
    hit = disc >= 0.0
    t = np.full(len(o), np.inf)
    sq = np.sqrt(np.where(hit, disc, 0.0))
    t0 = (-b - sq) / (2.0 * a)
    t[hit] = t0[hit]
    local = lo + t[:, None] * ld[None, :]
    normal_local = local / p.size
    normal = normal_local @ p.rot.T
    return t, normal, local


def _hit_box(p, o, d):
    """A box of half sizes p.size about its centre, in its own frame (slab test)."""
    lo = (o - p.centre) @ p.rot
    ld = p.rot.T @ d
    with np.errstate(divide='ignore', invalid='ignore'):
        inv = np.where(np.abs(ld) > 1e-12, 1.0 / ld, 1e12)
        t1 = (-p.size[None, :] - lo) * inv[None, :]
        t2 = (p.size[None, :] - lo) * inv[None, :]
    tmin = np.minimum(t1, t2)
    tmax = np.maximum(t1, t2)
    tn = tmin.max(axis=1)
    tf = tmax.min(axis=1)
    hit = tn <= tf
    t = np.where(hit, tn, np.inf)
    axis = tmin.argmax(axis=1)
    nl = np.zeros_like(lo)
    nl[np.arange(len(lo)), axis] = -np.sign(ld[axis])
    local = lo + np.where(np.isfinite(t), t, 0.0)[:, None] * ld[None, :]
    normal = nl @ p.rot.T
    return t, normal, local / p.size[None, :]


def box(centre, half, colour, rot=None, **kw):
    return Prim('box', centre, np.eye(3) if rot is None else rot, half, colour, **kw)


def _hit_cone(p, o, d):
    # Local frame: axis x from base (0) to apex (h); radius shrinks linearly.
    h, rb = p.size[0], p.size[1]
    lo = (o - p.centre) @ p.rot
    ld = p.rot.T @ d
    k = rb / h
    # y^2 + z^2 = k^2 (h - x)^2
    a = ld[1] ** 2 + ld[2] ** 2 - (k * ld[0]) ** 2
    b = 2.0 * (lo[:, 1] * ld[1] + lo[:, 2] * ld[2] + k * k * (h - lo[:, 0]) * ld[0])
    c = lo[:, 1] ** 2 + lo[:, 2] ** 2 - (k * (h - lo[:, 0])) ** 2
    t = np.full(len(o), np.inf)
    if abs(a) < 1e-12:
        return t, np.zeros_like(o), lo
    disc = b * b - 4.0 * a * c
    ok = disc >= 0.0
    sq = np.sqrt(np.where(ok, disc, 0.0))
    best = np.full(len(o), np.inf)
    for root in ((-b - sq) / (2.0 * a), (-b + sq) / (2.0 * a)):
        x = lo[:, 0] + root * ld[0]
        good = ok & (x >= 0.0) & (x <= h) & (root < best)
        best = np.where(good, root, best)
    t = best
    local = lo + np.where(np.isfinite(t), t, 0.0)[:, None] * ld[None, :]
    radial = local[:, 1:3]
    rlen = np.maximum(np.linalg.norm(radial, axis=1), 1e-9)
    nl = np.stack([np.full(len(o), k), radial[:, 0] / rlen, radial[:, 1] / rlen], axis=1)
    normal = nl @ p.rot.T
    return t, normal, local


def _eval_colour(p, local, world):
    if callable(p.colour):
        m, off = p.to_model
        model = (world - off[None, :]) @ m
        scaled = local * p.size[None, :] if p.kind in ('ell', 'box') else local
        return np.asarray(p.colour(scaled, model), dtype=float)
    return np.tile(np.asarray(p.colour, dtype=float), (len(local), 1))


def render(prims, width, height, scale, anchor, outline=(40, 30, 28), outline_width=1.0):
    """Renders prims into an RGBA uint8 array of width x height.

    scale: output pixels per world unit; anchor: output pixel (x, y) where the world origin lands.
    """
    ss = SUPERSAMPLE
    W, H = width * ss, height * ss
    s = scale * ss
    ax, ay = anchor[0] * ss, anchor[1] * ss
    depth = np.full((H, W), np.inf)
    colour = np.zeros((H, W, 3))
    groups = np.full((H, W), -1, dtype=np.int32)
    for p in prims:
        # Screen bounding box of the prim's bounding sphere.
        br = p.bound_radius() + (p.size[0] if p.kind == 'cone' else 0.0)
        centre = p.centre + (p.rot[:, 0] * p.size[0] * 0.5 if p.kind == 'cone' else 0.0)
        cx = ax + float(centre @ SCREEN_RIGHT) * s
        cy = ay - float(centre @ SCREEN_UP) * s
        r = br * s + 2
        x0, x1 = max(0, int(cx - r)), min(W, int(cx + r) + 1)
        y0, y1 = max(0, int(cy - r)), min(H, int(cy + r) + 1)
        if x0 >= x1 or y0 >= y1:
            continue
        ys, xs = np.mgrid[y0:y1, x0:x1]
        sx = ((xs + 0.5) - ax) / s
        sy = (ay - (ys + 0.5)) / s
        o = (sx.reshape(-1, 1) * SCREEN_RIGHT[None, :] + sy.reshape(-1, 1) * SCREEN_UP[None, :]
             - VIEW[None, :] * 50.0)
        if p.kind == 'ell':
            t, normal, local = _hit_ellipsoid(p, o, VIEW)
        elif p.kind == 'box':
            t, normal, local = _hit_box(p, o, VIEW)
        else:
            t, normal, local = _hit_cone(p, o, VIEW)
        t = t.reshape(ys.shape)
        sub = depth[y0:y1, x0:x1]
        win = t < sub
        if not win.any():
            continue
        flat_win = win.reshape(-1)
        world = o[flat_win] + t.reshape(-1)[flat_win][:, None] * VIEW[None, :]
        col = _eval_colour(p, local[flat_win], world)
        if p.shade:
            n = normal[flat_win]
            n = n / np.maximum(np.linalg.norm(n, axis=1, keepdims=True), 1e-9)
            lam = n @ LIGHT
            factor = np.where(lam > 0.35, 1.0, np.where(lam > -0.25, 0.86, 0.74))
            col = col * factor[:, None]
        sub[win] = t[win]
        cview = colour[y0:y1, x0:x1]
        cview[win] = col
        gview = groups[y0:y1, x0:x1]
        gview[win] = p.group
    mask = np.isfinite(depth)
    # Outline: silhouette plus strong depth steps between groups.
    edge = np.zeros((H, W), dtype=bool)
    ow = max(1, int(round(outline_width * ss)))
    dfill = np.where(mask, depth, 1e9)
    for dy, dx in ((0, 1), (1, 0), (0, -1), (-1, 0), (1, 1), (-1, -1), (1, -1), (-1, 1)):
        for k in range(1, ow + 1):
            sh_d = np.roll(np.roll(dfill, dy * k, axis=0), dx * k, axis=1)
            sh_g = np.roll(np.roll(groups, dy * k, axis=0), dx * k, axis=1)
            step = (sh_d - dfill) > (3.0 / scale)
            edge |= mask & ((sh_d > 1e8) | (step & (sh_g != groups)))
    rgb = np.where(edge[..., None], np.asarray(outline, dtype=float)[None, None, :], colour)
    alpha = mask.astype(float)
    # Box filter down to the output size, premultiplied.
    pre = rgb * alpha[..., None]
    pre = pre.reshape(height, ss, width, ss, 3).mean(axis=(1, 3))
    a = alpha.reshape(height, ss, width, ss).mean(axis=(1, 3))
    out_rgb = np.where(a[..., None] > 0, pre / np.maximum(a[..., None], 1e-9), 0.0)
    out = np.zeros((height, width, 4), dtype=np.uint8)
    out[..., :3] = np.clip(np.round(out_rgb), 0, 255).astype(np.uint8)
    out[..., 3] = np.clip(np.round(a * 255.0), 0, 255).astype(np.uint8)
    return out


def ground_yaw(screen_dx, screen_dy):
    """Model yaw whose forward axis projects onto the screen direction (dx, dy), dy growing downward."""
    # A ground direction (gx, gz) projects to (gx, gz * sin(e)) on screen (y down).
    gx = screen_dx
    gz = screen_dy / SIN_E
    return math.atan2(gz, gx)


DIRECTIONS = (
    ('up', ground_yaw(0.0, -1.0)),
    ('up_right', ground_yaw(1.0, -1.0)),
    ('right', ground_yaw(1.0, 0.0)),
    ('down_right', ground_yaw(1.0, 1.0)),
    ('down', ground_yaw(0.0, 1.0)),
)
