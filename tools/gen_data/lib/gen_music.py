"""Music: seeded MIDI pieces rendered with fluidsynth (General MIDI sound font), made into seamless loops.

Sounds/Music/<track>.ogg and playlist.list (track 0 plays on the screens, the others in the levels), and the
win and lose jingles Sounds/win_level.ogg and Sounds/loose_level.ogg.
"""
import os
import random
import subprocess

import mido
import numpy as np

import audio as A
import common

SOUNDFONT = '/usr/share/sounds/sf2/FluidR3_GM.sf2'
PPQ = 480

# General MIDI programs and drum notes.
KALIMBA, MARIMBA, XYLOPHONE, NYLON, STEEL, BASS, FRETLESS, STRINGS, PAN_FLUTE, FLUTE, OCARINA, TIMPANI = (
    108, 12, 13, 24, 25, 32, 35, 48, 75, 73, 79, 47)
CONGA_MUTE, CONGA_OPEN, CONGA_LOW, SHAKER, CABASA, BONGO_HI, BONGO_LO, TOM_LO, CLAVES = 62, 63, 64, 70, 69, 60, 61, 45, 75

MAJOR_PENTA = (0, 2, 4, 7, 9)
CHORDS = {'I': (0, 4, 7), 'ii': (2, 5, 9), 'IV': (5, 9, 12), 'V': (7, 11, 14), 'vi': (9, 12, 16), 'iii': (4, 7, 11)}

TRACKS = (
    # file, seed, tempo, root (MIDI), lead, comp, progression (16 bars), groove
    ('menu_theme', 11, 92, 60, KALIMBA, NYLON, ['I', 'vi', 'IV', 'V'] * 2 + ['vi', 'IV', 'I', 'V'] + ['I', 'vi', 'IV', 'V'],
     'soft'),
    ('savanna_morning', 23, 108, 62, MARIMBA, STEEL, ['I', 'IV', 'I', 'V'] * 2 + ['vi', 'IV', 'ii', 'V'] + ['I', 'IV', 'V', 'I'],
     'groove'),
    ('savanna_noon', 37, 116, 57, KALIMBA, MARIMBA, ['I', 'V', 'vi', 'IV'] * 2 + ['IV', 'I', 'ii', 'V'] + ['I', 'V', 'IV', 'I'],
     'drive'),
    ('savanna_dusk', 41, 98, 64, PAN_FLUTE, MARIMBA, ['vi', 'IV', 'I', 'V'] * 2 + ['IV', 'V', 'iii', 'vi'] + ['vi', 'IV', 'V', 'I'],
     'groove'),
)


class Song:
    def __init__(self, tempo):
        self.mid = mido.MidiFile(ticks_per_beat=PPQ)
        self.events = {}
        self.tempo = tempo

    def program(self, ch, prog):
        self.events.setdefault(ch, []).append((0, mido.Message('program_change', channel=ch, program=prog)))

    def cc(self, ch, ctl, val):
        self.events.setdefault(ch, []).append((0, mido.Message('control_change', channel=ch, control=ctl, value=val)))

    def note(self, ch, pitch, start_beats, dur_beats, vel):
        a = int(round(start_beats * PPQ))
        b = int(round((start_beats + dur_beats) * PPQ))
        ev = self.events.setdefault(ch, [])
        ev.append((a, mido.Message('note_on', channel=ch, note=int(pitch), velocity=int(max(1, min(127, vel))))))
        ev.append((b, mido.Message('note_off', channel=ch, note=int(pitch), velocity=0)))

    def save(self, path, total_beats):
        tr0 = mido.MidiTrack()
        tr0.append(mido.MetaMessage('set_tempo', tempo=mido.bpm2tempo(self.tempo), time=0))
        tr0.append(mido.MetaMessage('end_of_track', time=int(total_beats * PPQ)))
        self.mid.tracks.append(tr0)
        for ch in sorted(self.events):
            tr = mido.MidiTrack()
            # note_off before note_on at the same tick, so repeated notes restart cleanly.
            evs = sorted(self.events[ch], key=lambda e: (e[0], 0 if e[1].type in ('note_off', 'program_change',
                                                                                   'control_change') else 1))
            now = 0
            for tick, msg in evs:
                tr.append(msg.copy(time=tick - now))
                now = tick
            tr.append(mido.MetaMessage('end_of_track', time=max(0, int(total_beats * PPQ) - now)))
            self.mid.tracks.append(tr)
        self.mid.save(path)


def compose(seed, tempo, root, lead, comp, progression, groove):
    rng = random.Random(seed)
    song = Song(tempo)
    song.program(0, lead)
    song.program(1, comp)
    song.program(2, BASS if groove != 'soft' else FRETLESS)
    song.program(3, STRINGS)
    song.cc(0, 91, 50)
    song.cc(1, 91, 40)
    song.cc(3, 91, 70)
    song.cc(3, 7, 70)
    song.cc(1, 10, 40)
    song.cc(0, 10, 84)
    bars = len(progression)
    scale = [root + 12 + o + 12 * k for k in range(2) for o in MAJOR_PENTA] + [root + 36]

    # Two melodic motifs of one bar each, varied through the piece.
    def motif():
        rhythm = rng.choice([(0, 1, 1.5, 2, 3), (0, 0.5, 1, 2, 2.5, 3), (0, 1, 2, 2.5, 3, 3.5), (0, 1.5, 2, 3)])
        idx = rng.randrange(3, 7)
        notes = []
        for r in rhythm:
            idx = max(0, min(len(scale) - 1, idx + rng.choice((-2, -1, -1, 1, 1, 2, 0))))
            notes.append((r, idx))
        return notes

    motifs = [motif(), motif(), motif()]
    for bar in range(bars):
        chord = CHORDS[progression[bar]]
        start = bar * 4
        phrase = bar // 4
        # Lead: motif by bar position in its phrase, resting on the last bar of a phrase now and then.
        m = motifs[(bar % 4) % 2 if phrase != 2 else 2]
        shift = (0, 0, 1, 0)[phrase]
        if bar % 4 == 3:
            target = min(range(len(scale)), key=lambda i: abs((scale[i] - root - chord[0]) % 12))
            song.note(0, scale[min(len(scale) - 1, target + 5)], start, 2.5, 88)
        else:
            for r, idx in m:
                pitch = scale[max(0, min(len(scale) - 1, idx + shift))]
                song.note(0, pitch, start + r, 0.9, 80 + rng.randrange(0, 16))
        # Comp: broken chord in eighths (soft) or off-beat stabs (groove, drive).
        tones = [root + c for c in chord]
        if groove == 'soft':
            for i in range(8):
                song.note(1, tones[(0, 1, 2, 1)[i % 4]] + (12 if i % 4 == 2 else 0), start + i * 0.5, 0.6, 58)
        else:
            for beat in (0.5, 1.5, 2.5, 3.5):
                for t in tones:
                    song.note(1, t + 12, start + beat, 0.35, 64)
        # Bass.
        b = root - 24 + chord[0]
        if groove == 'soft':
            song.note(2, b, start, 2.0, 80)
            song.note(2, b + 7, start + 2, 2.0, 70)
        else:
            for beat, off in ((0, 0), (1.5, 7), (2, 0), (3, 12 if groove == 'drive' else 7)):
                song.note(2, b + off, start + beat, 0.8, 86)
        # Pad on phrases two and three.
        if phrase in (1, 2):
            for t in tones:
                song.note(3, t, start, 4.0, 42)
        # Percussion.
        hand = [(0, CONGA_LOW, 90), (1, CONGA_MUTE, 70), (1.5, CONGA_OPEN, 80), (2.5, CONGA_OPEN, 76),
                (3, CONGA_MUTE, 70), (3.5, CONGA_LOW, 72)]
        if groove == 'soft':
            hand = [(0, CONGA_LOW, 70), (2, CONGA_OPEN, 60), (3.5, CONGA_MUTE, 50)]
        for beat, note, vel in hand:
            song.note(9, note, start + beat, 0.25, vel)
        for i in range(8 if groove != 'drive' else 16):
            step = 0.5 if groove != 'drive' else 0.25
            song.note(9, SHAKER if groove != 'soft' else CABASA, start + i * step, 0.1, 40 + (12 if i % 2 == 0 else 0))
        if groove == 'drive' and bar % 2 == 1:
            song.note(9, TOM_LO, start + 3.5, 0.2, 70)
    return song, bars * 4


def jingle(win):
    song = Song(120 if win else 84)
    song.program(0, MARIMBA)
    song.program(1, STRINGS)
    song.program(2, TIMPANI)
    song.cc(0, 91, 50)
    song.cc(1, 91, 70)
    if win:
        for i, p in enumerate((60, 64, 67, 72, 76)):
            song.note(0, p, i * 0.25, 0.5, 100)
        for p in (60, 64, 67, 72, 79):
            song.note(0, p, 1.5, 2.5, 96)
            song.note(1, p - 12, 1.5, 3.0, 70)
        song.note(2, 48, 1.5, 1.0, 100)
        song.note(9, CONGA_OPEN, 1.5, 0.3, 100)
        song.note(9, CONGA_LOW, 1.25, 0.3, 90)
        return song, 5.5
    for i, p in enumerate((67, 65, 63, 62)):
        song.note(0, p, i * 0.5, 0.6, 90)
    for p in (55, 58, 62):
        song.note(1, p, 2.0, 2.5, 60)
    song.note(0, 60, 2.0, 2.0, 85)
    song.note(2, 43, 2.0, 1.0, 90)
    return song, 5.0


def render(song, beats, extra_beats):
    tmp = A.tmpdir()
    mid = os.path.join(tmp, 'music.mid')
    wav = os.path.join(tmp, 'music.wav')
    song.save(mid, beats + extra_beats)
    subprocess.run(['fluidsynth', '-ni', '-q', '-g', '0.7', '-r', str(A.RATE), '-F', wav, SOUNDFONT, mid], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return A.read_wav(wav)


def loop_stereo(x, length):
    return np.stack([A.make_loop(x[:, c], length, 'add') for c in range(x.shape[1])], axis=1)


def main():
    lines = []
    for name, seed, tempo, root, lead, comp, prog, groove in TRACKS:
        song, beats = compose(seed, tempo, root, lead, comp, prog, groove)
        x = render(song, beats, 8)
        length = beats * 60.0 / tempo
        A.save_ogg(f'Sounds/Music/{name}.ogg', loop_stereo(x, length), peak_db=-3.0, quality=3)
        lines.append(f'{name}.ogg')
    common.write_text(common.out_path('Sounds/Music/playlist.list'), '\n'.join(lines) + '\n')
    for win, name in ((True, 'win_level'), (False, 'loose_level')):
        song, beats = jingle(win)
        x = render(song, beats, 0)
        x = x[: int(beats * 60.0 / song.tempo * A.RATE)]
        x = np.stack([A.fade(x[:, c], 0.001, 0.3) for c in range(x.shape[1])], axis=1)
        A.save_ogg(f'Sounds/{name}.ogg', x, peak_db=-3.0)


if __name__ == '__main__':
    main()
