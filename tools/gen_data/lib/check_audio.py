"""Checks every sound under Sounds/: it decodes, its peak keeps the level rule, and loops have no step at the seam.

Prints one line per file with problems and a summary; exits non-zero when a check fails.
"""
import os
import subprocess
import sys

import numpy as np

import audio as A
import common

# Sounds the game plays looped (kept in step with the generators).
LOOPED = {'walk', 'produce', 'eat', 'helo_move', 'time_out'}


def decode(path):
    out = os.path.join(A.tmpdir(), 'check.wav')
    subprocess.run(['sox', path, '-b', '16', out], check=True, stderr=subprocess.DEVNULL)
    x = A.read_wav(out)
    return x if x.ndim == 1 else x.mean(axis=1)


def seam_ratio(x):
    """The jump from the last sample to the first, against the signal's typical sample-to-sample step."""
    d = np.abs(np.diff(x))
    typical = np.percentile(d, 99) + 1e-9
    return abs(x[0] - x[-1]) / typical


def main():
    root = common.out_root()
    bad = 0
    count = 0
    for folder, _, files in sorted(os.walk(os.path.join(root, 'Sounds'))):
        for name in sorted(files):
            if not name.endswith('.ogg'):
                continue
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, root)
            count += 1
            try:
                x = decode(path)
            except subprocess.CalledProcessError:
                print(f'{rel}: does not decode')
                bad += 1
                continue
            peak = 20 * np.log10(np.max(np.abs(x)) + 1e-12)
            problems = []
            if len(x) < A.RATE // 50:
                problems.append('shorter than 20 ms')
            # The manifest's rule: effects and music at -3 dBFS, the ambient beds under them at -4.
            ceiling = -4.0 if 'Ambient' in rel else -3.0
            if not ceiling - 3.0 <= peak <= ceiling:
                problems.append(f'peak {peak:.2f} dBFS')
            looped = name[:-4] in LOOPED or 'Ambient' in rel or 'Music' in rel
            if looped and 'jingle' not in name and seam_ratio(x) > 2.0:
                problems.append(f'seam step {seam_ratio(x):.2f}')
            if problems:
                bad += 1
                print(f'{rel}: ' + ', '.join(problems))
    print(f'check_audio: {count} sounds, {bad} with problems')
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
