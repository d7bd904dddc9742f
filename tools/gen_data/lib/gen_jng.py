"""JNG copies of the pictures the game loads as .jng files (the loading bar, the clouds of the catch-animal game,
the water's foam and deep-water mask), made from the PNGs of the ui step
by our JNG writer (tools/jngwrite; the build makes it, or JNGWRITE names it)."""
import glob
import os
import subprocess

import common

# (picture, JNG file, JPEG quality)
JNG = [
    ('GUI/progress.png', 'GUI/progress.jng', 90),
    ('GUI/progress_back.png', 'GUI/progress_back.jng', 90),
    ('Sprites/Clouds/clouds_middle.png', 'Sprites/Clouds/clouds_middle.jng', 85),
    ('Sprites/Clouds/clouds_near.png', 'Sprites/Clouds/clouds_near.jng', 85),
    ('Sprites/Water/Foam.png', 'Sprites/Water/Foam.jng', 90),
    ('Sprites/Water/DeepWaterMask.png', 'Sprites/Water/DeepWaterMask.jng', 90),
]


def jngwrite():
    tool = os.environ.get('JNGWRITE')
    if tool:
        return tool
    found = sorted(glob.glob(os.path.join(common.ROOT, 'build', '*', 'tools', 'jngwrite', 'jngwrite')))
    if not found:
        raise SystemExit('gen_jng: build tools/jngwrite first (or set JNGWRITE)')
    return found[0]


def main():
    tool = jngwrite()
    root = common.out_root()
    for src, dst, quality in JNG:
        subprocess.run([tool, os.path.join(root, src), common.out_path(dst), str(quality)], check=True)
