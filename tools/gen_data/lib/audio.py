"""Sound building blocks: sox for noise, filters and pitch; numpy for envelopes, mixing and loops.

Every sox call runs with -R (repeatable), so noise comes out the same on every run; Ogg Vorbis files are
encoded with a fixed stream serial number for the same reason.
"""
import atexit
import os
import shutil
import subprocess
import tempfile
import wave
import zlib

import numpy as np

import common

RATE = 44100
SOURCES = os.path.join(common.TOOL, 'sources', 'tuxpaint')

_tmp = None


def tmpdir():
    global _tmp
    if _tmp is None:
        _tmp = tempfile.mkdtemp(prefix='gen_audio_')
        atexit.register(shutil.rmtree, _tmp, True)
    return _tmp


def _tmpfile(tag):
    return os.path.join(tmpdir(), f'{tag}_{os.getpid()}.wav')


def read_wav(path):
    with wave.open(path, 'rb') as w:
        n = w.getnframes()
        ch = w.getnchannels()
        data = np.frombuffer(w.readframes(n), dtype='<i2').astype(np.float64) / 32768.0
    if ch > 1:
        data = data.reshape(-1, ch)
    return data


def write_wav(path, x, rate=RATE):
    x = np.asarray(x, dtype=np.float64)
    ints = np.clip(np.round(x * 32767.0), -32768, 32767).astype('<i2')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, 'wb') as w:
        w.setnchannels(1 if ints.ndim == 1 else ints.shape[1])
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(ints.tobytes())


def sox(args):
    subprocess.run(['sox', '-R'] + [str(a) for a in args], check=True, stderr=subprocess.DEVNULL)


def synth(dur, *words):
    """sox -n synth dur words...: the generator and effect words after the duration go through as they are."""
    out = _tmpfile('synth')
    sox(['-n', '-r', RATE, '-c', 1, '-b', 16, out, 'synth', dur] + list(words))
    return read_wav(out)


def fx(x, *effects):
    src = _tmpfile('fx_in')
    out = _tmpfile('fx_out')
    write_wav(src, x)
    sox([src, '-r', RATE, '-c', 1, '-b', 16, out] + list(effects) + ['rate', RATE])
    y = read_wav(out)
    return y


def source(name, *effects):
    """One of the committed animal or bird recordings as mono 44.1 kHz, with optional sox effects."""
    out = _tmpfile('src')
    sox([os.path.join(SOURCES, name + '.ogg'), '-r', RATE, '-c', 1, '-b', 16, out] + list(effects))
    return read_wav(out)


def trim_silence(x, threshold=0.02):
    idx = np.nonzero(np.abs(x) > threshold)[0]
    if len(idx) == 0:
        return x
    return x[max(0, idx[0] - 200): min(len(x), idx[-1] + 2000)]


def seconds(x):
    return len(x) / RATE


def fade(x, fin=0.005, fout=0.05):
    x = np.array(x, dtype=np.float64)
    n_in = min(len(x), int(fin * RATE))
    n_out = min(len(x), int(fout * RATE))
    if n_in:
        x[:n_in] *= np.linspace(0.0, 1.0, n_in)
    if n_out:
        x[-n_out:] *= np.linspace(1.0, 0.0, n_out) ** 2
    return x


def cut(x, start, dur=None):
    a = int(start * RATE)
    b = len(x) if dur is None else min(len(x), a + int(dur * RATE))
    return x[a:b]


def silence(dur):
    return np.zeros(int(dur * RATE))


def concat(*parts):
    return np.concatenate([np.asarray(p, dtype=np.float64) for p in parts])


def mix(*items, length=None):
    """items: (signal, start seconds, gain) triples or plain signals at 0 with gain 1."""
    norm = []
    for it in items:
        if isinstance(it, tuple):
            sig, start, gain = (it + (1.0,))[:3] if len(it) == 2 else it
        else:
            sig, start, gain = it, 0.0, 1.0
        norm.append((np.asarray(sig, dtype=np.float64), int(start * RATE), gain))
    n = max(s + len(sig) for sig, s, _ in norm)
    if length is not None:
        n = int(length * RATE)
    out = np.zeros(n)
    for sig, s, g in norm:
        end = min(n, s + len(sig))
        if end > s:
            out[s:end] += sig[:end - s] * g
    return out


def tone(freq, dur, wave_='sine', decay=6.0, attack=0.004):
    t = np.arange(int(dur * RATE)) / RATE
    if wave_ == 'sine':
        s = np.sin(2 * np.pi * freq * t)
    elif wave_ == 'bell':
        s = (np.sin(2 * np.pi * freq * t) + 0.5 * np.sin(2 * np.pi * freq * 2.76 * t) * np.exp(-t * 8)
             + 0.25 * np.sin(2 * np.pi * freq * 5.4 * t) * np.exp(-t * 14))
    elif wave_ == 'square':
        s = np.sign(np.sin(2 * np.pi * freq * t)) * 0.5
    elif wave_ == 'tri':
        s = 2 * np.abs(2 * ((freq * t) % 1.0) - 1) - 1
    else:
        raise ValueError(wave_)
    env = np.exp(-t * decay)
    na = max(1, int(attack * RATE))
    env[:na] *= np.linspace(0, 1, na)
    return s * env


def sweep(f0, f1, dur, decay=4.0, vibrato=0.0, vib_rate=0.0):
    t = np.arange(int(dur * RATE)) / RATE
    f = f0 * (f1 / f0) ** (t / dur)
    if vibrato:
        f = f * (1 + vibrato * np.sin(2 * np.pi * vib_rate * t))
    phase = 2 * np.pi * np.cumsum(f) / RATE
    return np.sin(phase) * np.exp(-t * decay) * np.minimum(1.0, t / 0.004)


def note_freq(name):
    names = {'C': 0, 'D': 2, 'E': 4, 'F': 5, 'G': 7, 'A': 9, 'B': 11}
    n = names[name[0]]
    i = 1
    if name[i] == '#':
        n += 1
        i += 1
    elif name[i] == 'b':
        n -= 1
        i += 1
    octave = int(name[i:])
    midi = 12 * (octave + 1) + n
    return 440.0 * 2 ** ((midi - 69) / 12)


def arpeggio(notes, step, dur_each, wave_='bell', decay=5.0):
    return mix(*[(tone(note_freq(n), dur_each, wave_, decay), i * step, 1.0) for i, n in enumerate(notes)])


def make_loop(x, length, mode='add', xfade=0.3):
    """A seamless loop of exactly length seconds.

    mode 'add': what rings on past the end is added onto the start (music, tonal loops);
    mode 'xfade': the continuation past the end is cross-faded into the start (noise beds), so the
    sample after the last one is exactly the signal's own next sample.
    """
    n = int(round(length * RATE))
    x = np.asarray(x, dtype=np.float64)
    m = min(int(xfade * RATE), n // 4) if mode == 'xfade' else 0
    if len(x) < n + m:
        x = np.concatenate([x, np.zeros(n + m - len(x))])
    out = x[:n].copy()
    if m:
        w = np.linspace(0.0, 1.0, m)
        out[:m] = x[n:n + m] * np.sqrt(1.0 - w) + x[:m] * np.sqrt(w)
    rest = x[n + m:]
    pos = m
    while len(rest):
        k = min(len(rest), n - pos)
        out[pos:pos + k] += rest[:k]
        rest = rest[k:]
        pos = 0
    return out


def normalise(x, peak_db=-1.0):
    x = np.asarray(x, dtype=np.float64)
    x = x - np.mean(x) if len(x) > RATE // 10 else x
    p = np.max(np.abs(x)) if len(x) else 0.0
    if p <= 0:
        return x
    return x * (10 ** (peak_db / 20.0) / p)


def decoded_peak_db(path):
    """The peak of an encoded file as a player decodes it (16-bit), in dBFS."""
    out = _tmpfile('peak')
    subprocess.run(['sox', path, '-b', '16', out], check=True, stderr=subprocess.DEVNULL)
    x = read_wav(out)
    return 20 * np.log10(np.max(np.abs(x)) + 1e-12)


# What the decoded peak may sit under the target: rounding room for another decoder.
PEAK_MARGIN_DB = 0.05


def save_ogg(rel_path, x, peak_db=-3.0, quality=3, rate=RATE):
    """Normalises the peak, writes a 16-bit WAV, encodes Ogg Vorbis with a serial taken from the path.

    Lossy coding moves the peak (bright bells by up to 2 dB), so the decoded file is measured and the
    signal turned down and encoded again until it keeps the target.
    """
    x = normalise(x, peak_db - PEAK_MARGIN_DB)
    wav = _tmpfile('enc')
    path = common.out_path(rel_path)
    serial = zlib.crc32(rel_path.encode('utf-8')) & 0x7FFFFFFF
    for _ in range(8):
        write_wav(wav, x, rate)
        subprocess.run(['oggenc', '-Q', '-s', str(serial), '-q', str(quality), '-o', path, wav], check=True)
        over = decoded_peak_db(path) - (peak_db - PEAK_MARGIN_DB)
        if over <= 0:
            return path
        x = x * 10 ** (-(over + 0.02) / 20.0)
    raise RuntimeError(f'{rel_path}: the peak stays above {peak_db} dBFS')
