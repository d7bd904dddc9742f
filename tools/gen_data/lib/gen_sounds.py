"""Sound effects, animal and poacher sounds, ambient loops and their sound lists under Sounds/."""
import numpy as np

import audio as A
import common

R = A.RATE


# -- Shared effects ---------------------------------------------------------------------------------------

def click():
    return A.fade(A.mix(A.tone(1900, 0.05, 'square', 90), (A.synth(0.03, 'whitenoise', 'highpass', 3000), 0, 0.3)),
                  0.001, 0.01)


def soft_tick():
    return A.fade(A.tone(2600, 0.04, 'sine', 80), 0.001, 0.01)


def pop(freq=520):
    return A.fade(A.sweep(freq * 1.8, freq, 0.12, decay=25), 0.001, 0.02)


def swish(dur=0.35, lo=600, hi=3000):
    noise = A.synth(dur, 'pinknoise', 'sinc', f'{lo}-{hi}')
    env = np.sin(np.linspace(0, np.pi, len(noise))) ** 2
    return noise * env


def puff(lp=1800):
    n = A.synth(0.55, 'pinknoise', 'lowpass', lp)
    t = np.arange(len(n)) / R
    return A.fade(n * np.exp(-t * 7) * np.minimum(1, t / 0.01), 0.002, 0.1)


def chime(notes, step=0.07, decay=4.0):
    return A.fx(A.arpeggio(notes, step, 1.2, 'bell', decay), 'reverb', 30, 50, 70)


def coin_bling():
    return A.mix((A.tone(A.note_freq('B6'), 0.12, 'bell', 20), 0.0, 0.8),
                 (A.tone(A.note_freq('E7'), 0.6, 'bell', 6), 0.07, 1.0))


def buzz(freq=110, dur=0.35):
    x = A.tone(freq, dur, 'square', 3.0) + 0.5 * A.tone(freq * 1.5, dur, 'square', 3.0)
    return A.fade(A.fx(x, 'lowpass', 1500), 0.005, 0.08)


def gunshot():
    crack = A.synth(0.7, 'whitenoise', 'lowpass', 4000)
    t = np.arange(len(crack)) / R
    crack = crack * np.exp(-t * 18)
    boom = A.sweep(90, 40, 0.7, decay=6)
    return A.fx(A.mix((crack, 0, 1.0), (boom, 0, 0.9)), 'reverb', 50, 40, 90)


def distant_shot():
    """The loading picture's poacher fires far off: duller, with the shot rolling back from the hills."""
    return A.fx(gunshot(), 'lowpass', 2200, 'echo', 0.8, 0.7, 420, 0.35, 'reverb', 80, 50, 100)


def tap_to_go():
    """The click that leaves the loading picture: a rounder, lower knock than a button's click."""
    knock = A.sweep(900, 600, 0.08, decay=60)
    return A.fade(A.mix((knock, 0, 1.0), (hoof_tap(0.02), 0, 0.6)), 0.001, 0.02)


def thud(dur=0.13, lp=260, gain=1.0):
    n = A.synth(dur, 'brownnoise', 'lowpass', lp)
    t = np.arange(len(n)) / R
    return n * np.exp(-t * (3.0 / dur)) * gain


def rustle(dur=0.09, *band):
    n = A.synth(dur, 'pinknoise', *(band or ('highpass', 2500)))
    t = np.arange(len(n)) / R
    return n * np.exp(-t * (3.0 / dur)) * 0.25


def hoof_tap(dur=0.03):
    n = A.synth(dur, 'whitenoise', 'sinc', '1500-6000')
    t = np.arange(len(n)) / R
    return n * np.exp(-t * 160) * np.minimum(1.0, t / 0.001)


def footsteps(period, steps, lp, gain, length, tap=0.0, brush=1.0, gait=None, paws=False):
    """A loop of footfalls repeating every period seconds: a thud, the grass brushed (brush) and, for
    hooves, a hard tap (tap). gait places the steps in the period (fractions); even by default."""
    gait = gait or [i / steps for i in range(steps)]
    items = []
    for i in range(int(round(length / period)) * len(gait)):
        start = (i // len(gait) + gait[i % len(gait)]) * period
        g = gain * (1.0 if i % 2 == 0 else 0.8)
        items.append((thud(0.13, lp, g), start, 1.0))
        # Soft paws brush the grass with a duller swish than hooves.
        items.append((rustle(0.12, 'sinc', '600-2500') if paws else rustle(), start + 0.01, brush))
        if tap:
            items.append((hoof_tap(), start, tap * (1.0 if i % 2 == 0 else 0.7)))
    return A.make_loop(A.mix(*items, length=length + 0.5), length, 'add')


def munching(chews, band, decay, length=1.2):
    """Bites at the given times: band-passed noise, short for grass, drawn out for tearing meat."""
    items = []
    for i, start in enumerate(chews):
        n = A.synth(0.12 if decay >= 25 else 0.22, 'pinknoise', 'sinc', band)
        t = np.arange(len(n)) / R
        env = np.exp(-t * decay) * (1.0 + 0.6 * np.sin(2 * np.pi * 55 * t)) * np.minimum(1.0, t / 0.003)
        items.append((A.fade(n * env, 0.0, 0.03), start, 0.9 if i % 2 else 1.0))
    return A.mix(*items, length=length + 0.4)


def twinkle(notes, length, wave_='bell', decay=8.0, gain=0.6):
    items = [(A.tone(A.note_freq(n), 0.5, wave_, decay), i * length / len(notes), gain)
             for i, n in enumerate(notes)]
    return A.fx(A.mix(*items, length=length + 1.0), 'reverb', 40, 50, 60)


def rotor_loop(length=2.0):
    n = A.synth(length + 0.4, 'brownnoise', 'lowpass', 520)
    t = np.arange(len(n)) / R
    beat = 0.35 + 0.65 * np.abs(np.sin(np.pi * 13.0 * t)) ** 3
    whine = 0.08 * np.sin(2 * np.pi * 420 * t)
    return A.make_loop(n * beat + whine, length, 'xfade', 0.2)


def tick_tock(length=1.0):
    return A.make_loop(A.mix((A.tone(1500, 0.06, 'square', 60), 0.0, 0.8), (A.tone(1100, 0.06, 'square', 60), 0.5, 0.8),
                             length=length + 0.2), length, 'add')


def bonk():
    return A.mix((A.sweep(320, 120, 0.25, decay=14), 0, 1.0), (thud(0.1, 500), 0, 0.8))


def boing():
    return A.sweep(180, 520, 0.45, decay=5, vibrato=0.12, vib_rate=16)


def grow_ding():
    return chime(('C6', 'E6', 'G6', 'C7'), 0.08, 5.0)


def ka_ching():
    return A.mix((A.synth(0.06, 'whitenoise', 'highpass', 4000), 0, 0.4),
                 (chime(('G6', 'C7', 'E7'), 0.05, 4.0), 0.04, 1.0))


def stomach():
    n = A.synth(0.9, 'brownnoise', 'lowpass', 160)
    t = np.arange(len(n)) / R
    return n * (0.5 + 0.5 * np.sin(2 * np.pi * 7 * t)) * np.sin(np.pi * t / 0.9)


def fanfare_up():
    return chime(('C6', 'E6', 'G6', 'C7', 'E7'), 0.09, 3.0)


def fail_down():
    return A.mix((A.tone(A.note_freq('E4'), 0.25, 'tri', 6), 0.0, 0.8), (A.tone(A.note_freq('C4'), 0.45, 'tri', 5), 0.18, 0.9))


COMMON = {
    # name: (maker, volume in the list)
    'button_click': (click, 0.7),
    'button_over': (soft_tick, 0.4),
    'open_dialog': (lambda: A.fade(swish(0.3, 500, 2500), 0.01, 0.05), 0.6),
    'open_goals': (lambda: A.mix((swish(0.45, 400, 2200), 0, 0.8), (chime(('G5', 'D6'), 0.1, 5.0), 0.2, 0.6)), 0.7),
    'tip': (lambda: A.mix((pop(700), 0, 0.6), (A.tone(A.note_freq('A6'), 0.4, 'bell', 9), 0.03, 0.5)), 0.6),
    'sample': (lambda: A.tone(A.note_freq('A5'), 0.5, 'bell', 6), 0.8),
    'animal_click': (lambda: pop(600), 0.7),
    'heal': (lambda: chime(('C6', 'D6', 'E6', 'G6', 'A6', 'C7'), 0.06, 4.0), 0.8),
    'get_award': (fanfare_up, 0.9),
    'medal': (lambda: A.fx(A.mix((A.tone(A.note_freq('G5'), 2.0, 'bell', 1.5), 0, 1.0),
                                 (A.tone(A.note_freq('D6'), 2.0, 'bell', 1.5), 0.12, 0.8)), 'reverb', 50), 0.9),
    'coin_appear': (coin_bling, 0.6),
    'coin_drop': (lambda: A.mix((coin_bling(), 0, 0.6), (thud(0.06, 2000, 0.5), 0.0, 1.0)), 0.6),
    'coin_take': (lambda: A.mix((A.tone(A.note_freq('E7'), 0.1, 'bell', 25), 0.0, 0.6),
                                (A.tone(A.note_freq('B7'), 0.5, 'bell', 7), 0.06, 1.0)), 0.7),
    'goal_done': (lambda: chime(('E6', 'A6'), 0.12, 4.0), 0.9),
    'helo_move': (rotor_loop, 0.6),
    'helo_click': (lambda: A.mix((click(), 0, 0.7), (pop(900), 0.02, 0.6)), 0.7),
    'helo_return': (lambda: A.mix((ka_ching(), 0, 1.0), (chime(('C6', 'G6'), 0.15, 4.0), 0.25, 0.6)), 0.9),
    'sell': (ka_ching, 0.9),
    'time_out': (tick_tock, 0.6),
    'action_success': (lambda: chime(('G6', 'C7'), 0.07, 6.0), 0.8),
    'action_failed': (fail_down, 0.8),
    'bush': (lambda: A.fade(A.mix((swish(0.3, 1500, 6000), 0, 0.7), (rustle(0.25), 0.05, 2.0)), 0.005, 0.05), 0.7),
    'RESTRICTION': (lambda: buzz(140, 0.28), 0.6),
    'food_grass': (lambda: A.mix((rustle(0.3), 0, 2.5), (pop(420), 0.02, 0.5)), 0.7),
    'food_meat': (lambda: A.mix((thud(0.12, 400, 1.0), 0, 1.0), (pop(300), 0.0, 0.5)), 0.7),
    'upgrade': (lambda: A.mix((swish(0.4, 800, 4000), 0, 0.5), (chime(('C6', 'E6', 'G6', 'C7'), 0.06, 3.0), 0.1, 1.0)),
                0.9),
}


# -- Animals ----------------------------------------------------------------------------------------------

# Source recording and how to shape it into the adult call of each kind.
CALLS = {
    'warthog': ('pig', ['pitch', -500, 'tempo', 0.85], 1.2),
    'zebra': ('zebra', [], 1.8),
    'rhino': ('bull', ['pitch', -250], 1.8),
    'hippo': ('hippopotamus', [], 1.6),
    'cheetah': ('tiger', ['trim', 0, 2.2, 'pitch', 350], 1.5),
    'lion': ('lion', [], 1.8),
}

# Footsteps: (footfalls per walk cycle, cycle seconds, low-pass, gain, hoof tap, grass brush, gait, paws).
# The warthog trots on small hard hooves; the cats pad, the lion with its feet falling in pairs.
STEPS = {
    'warthog': (4, 0.75, 520, 0.45, 0.6, 0.5, None, False),
    'zebra': (4, 0.75, 340, 0.7, 0.0, 1.0, None, False),
    'rhino': (4, 0.75, 200, 1.0, 0.0, 1.0, None, False),
    'hippo': (4, 0.75, 180, 1.0, 0.0, 1.0, None, False),
    'cheetah': (4, 0.75, 600, 0.35, 0.0, 1.0, None, True),
    'lion': (4, 0.75, 260, 0.6, 0.0, 0.45, [0.0, 0.14, 0.5, 0.64], True),
}

# Eating (a 1.2 s loop): bite times, the bites' band, their decay (fast for grass, slow for tearing meat)
# and a piece of the kind's own call under them (pitch in cents, low-pass, gain).
EAT = {
    'warthog': ((0.02, 0.22, 0.42, 0.62, 0.82, 1.02), '600-3000', 30, (-200, 900, 0.45)),   # quick snuffling
    'zebra': ((0.02, 0.3, 0.57, 0.88), '1000-4500', 26, (0, 1500, 0.2)),                   # crisp grass
    'rhino': ((0.02, 0.4, 0.8), '300-1800', 26, (-300, 500, 0.4)),                          # slow crunching
    'hippo': ((0.02, 0.6), '200-1400', 25, (-200, 400, 0.5)),                               # big slow gulps
    'cheetah': ((0.02, 0.28, 0.55, 0.85), '500-2600', 14, (300, 1200, 0.3)),               # quick tearing
    'lion': ((0.02, 0.4, 0.8), '250-2000', 11, (-400, 700, 0.5)),                           # tearing, growling
}

# Producing (a looped tune): its notes, loop seconds and voice; bigger kinds sit lower.
PRODUCE = {
    'warthog': (('G5', 'B5', 'D6', 'G6', 'D6', 'B5'), 1.2, 'sine', 12.0),
    'zebra': (('E6', 'G6', 'A6', 'C7', 'D7', 'C7', 'A6', 'G6'), 1.6, 'bell', 8.0),
    'rhino': (('C5', 'G5', 'C6', 'G5'), 1.6, 'tri', 7.0),
    'hippo': (('F4', 'C5', 'F5', 'A5', 'C5', 'F5'), 1.8, 'sine', 6.0),
    'cheetah': (('A6', 'C7', 'E7', 'A7', 'E7', 'C7'), 1.2, 'bell', 10.0),
    'lion': (('D5', 'A5', 'D6', 'F6', 'A6', 'F6', 'D6', 'A5'), 1.6, 'bell', 7.0),
}

# The puff an animal vanishes in: darker for the big ones.
PUFF_LOWPASS = {'warthog': 2200, 'zebra': 1800, 'rhino': 1200, 'hippo': 1000, 'cheetah': 2400, 'lion': 1500}


def animal_call(kind):
    src, effects, maxlen = CALLS[kind]
    x = A.trim_silence(A.source(src, *effects))
    return A.fade(A.cut(x, 0, maxlen), 0.005, 0.25)


def eating(kind, call):
    chews, band, decay, (cents, lp, gain) = EAT[kind]
    length = 1.2
    grunt = A.fade(A.fx(A.cut(call, 0.05, 0.35), 'pitch', cents, 'lowpass', lp), 0.02, 0.15)
    x = A.mix((munching(chews, band, decay, length), 0, 1.0), (grunt, 0.45, gain), length=length + 0.5)
    return A.make_loop(x, length, 'add')


def producing(kind, call):
    notes, length, wave_, decay = PRODUCE[kind]
    # A contented little sound of the kind's own under the tune.
    hum = A.fade(A.fx(A.cut(call, 0.05, 0.4), 'pitch', 300, 'lowpass', 1500), 0.02, 0.2)
    x = A.mix((twinkle(notes, length, wave_, decay), 0, 1.0), (hum, 0.0, 0.3), length=length + 1.0)
    return A.make_loop(x, length, 'add')


def vanishing(kind, call):
    # The call rising and fading into the puff.
    echo = A.fade(A.fx(A.cut(call, 0, 0.6), 'pitch', 500, 'lowpass', 3000, 'reverb', 70), 0.01, 0.4)
    return A.fade(A.mix((puff(PUFF_LOWPASS[kind]), 0, 1.0), (echo, 0.03, 0.45)), 0.002, 0.1)


def animal_sounds(kind):
    call = animal_call(kind)
    steps, period, lp, gain, tap, brush, gait, paws = STEPS[kind]
    short = A.fade(A.cut(call, 0, 0.9), 0.005, 0.2)
    return {
        'appear': (A.mix((pop(500), 0, 0.5), (short, 0.05, 1.0)), 0.8),
        'grown': (A.mix((grow_ding(), 0, 0.7), (A.fx(short, 'pitch', -150), 0.25, 1.0)), 0.9),
        'ready_to_sell': (A.mix((ka_ching(), 0, 0.8), (short, 0.3, 0.7)), 0.9),
        'disappear': (vanishing(kind, call), 0.7),
        'hunger': (A.mix((A.fx(short, 'pitch', -300, 'tempo', 0.85), 0, 1.0), (stomach(), 0.2, 0.6)), 0.8),
        'walk': (footsteps(period, steps, lp, gain, period * 2, tap, brush, gait, paws), 0.35),
        'produce': (producing(kind, call), 0.45),
        'eat': (eating(kind, call), 0.5),
        'child_idle': (A.fade(A.fx(A.cut(call, 0, 1.0), 'pitch', 700, 'tempo', 1.15), 0.005, 0.15), 0.6),
        'adult_idle_01': (call, 0.75),
        'adult_idle_02': (A.fade(A.fx(call, 'pitch', -180, 'tempo', 0.92), 0.005, 0.25), 0.75),
        'sick': (A.fade(A.fx(short, 'pitch', -450, 'tempo', 0.75, 'reverb', 30), 0.005, 0.3), 0.8),
        'easter_egg': (A.concat(A.fx(A.cut(call, 0, 0.8), 'pitch', 1100, 'tempo', 1.5), boing()), 0.9),
    }


def hunter_sounds():
    return {
        'appear': (A.mix((swish(0.5, 300, 2000), 0, 0.6), (rustle(0.3), 0.1, 2.0)), 0.6),
        'hit_01': (bonk(), 0.9),
        'hit_02': (boing(), 0.8),
        'disappear': (A.mix((puff(), 0, 1.0), (A.fx(puff(), 'pitch', -500), 0.1, 0.8)), 0.8),
        'shoot': (gunshot(), 1.0),
        'walk': (footsteps(0.857, 2, 700, 0.6, 0.857 * 2), 0.35),
    }


# -- Ambient loops ----------------------------------------------------------------------------------------

def _wind(length):
    n = A.synth(length + 1.0, 'pinknoise', 'lowpass', 700)
    t = np.arange(len(n)) / R
    swell = 0.55 + 0.45 * np.sin(2 * np.pi * t / length * 2) ** 2
    return n * swell


def _birds(length, plan):
    items = []
    for name, start, gain, effects in plan:
        items.append((A.fade(A.trim_silence(A.source(name, *effects)), 0.01, 0.2), start, gain))
    return A.mix(*items, length=length + 1.0)


def ambient(name):
    length = 24.0
    if name == 'savanna':
        birds = _birds(length, [('lark', 1.0, 0.35, []), ('cuckoo', 7.5, 0.25, ['reverb', 50]),
                                ('blackbird', 11.0, 0.25, ['trim', 0, 3.5]), ('lark', 17.0, 0.3, ['pitch', 200]),
                                ('grasshopper', 4.0, 0.12, []), ('grasshopper', 14.0, 0.1, ['pitch', -100])])
        x = A.mix((_wind(length), 0, 0.5), (birds, 0, 1.0))
    elif name == 'birds':
        birds = _birds(length, [('blackbird', 0.5, 0.4, []), ('lark', 6.0, 0.35, []),
                                ('cuckoo', 10.5, 0.3, []), ('blackbird', 13.0, 0.3, ['pitch', 150, 'trim', 0, 4]),
                                ('lark', 19.0, 0.3, ['pitch', -150])])
        x = A.mix((_wind(length), 0, 0.25), (birds, 0, 1.0))
    elif name == 'evening':
        hop = [('grasshopper', s, 0.3, ['pitch', p]) for s, p in ((0.0, 0), (3.0, 200), (6.5, -100), (10.0, 100),
                                                                 (13.5, 0), (17.0, 250), (20.5, -50))]
        x = A.mix((_wind(length), 0, 0.3), (_birds(length, hop), 0, 1.0))
    else:   # water
        n = A.synth(length + 1.0, 'brownnoise', 'sinc', '200-1500')
        t = np.arange(len(n)) / R
        bubbles = []
        for i in range(40):
            f = 500 + (i * 137) % 700
            bubbles.append((A.sweep(f, f * 1.6, 0.08, decay=40), (i * 0.61) % length, 0.12))
        x = A.mix((n * (0.7 + 0.3 * np.sin(2 * np.pi * t / 3.0)), 0, 0.8), *bubbles, length=length + 1.0)
    return A.make_loop(x, length, 'xfade', 1.0)


AMBIENT = {'savanna': 0.6, 'birds': 0.55, 'evening': 0.5, 'water': 0.5}


# -- Writing ----------------------------------------------------------------------------------------------

def write_list(folder, entries):
    lines = [f'{name}.ogg {vol:g}' for name, vol in entries]
    common.write_text(common.out_path(folder, 'sounds.list' if folder != 'Sounds' else 'common.list'),
                      '\n'.join(lines) + '\n')


def main():
    entries = []
    for name, (maker, vol) in COMMON.items():
        A.save_ogg(f'Sounds/{name}.ogg', maker())
        entries.append((name, vol))
    # The jingles come from the music step (gen_music.py).
    entries += [('win_level', 0.9), ('loose_level', 0.9)]
    write_list('Sounds', entries)

    # The loading screen's own few sounds (loaded before the common list).
    load = [('loading_shot', distant_shot(), 0.5), ('loading_click', tap_to_go(), 0.7)]
    for name, x, vol in load:
        A.save_ogg(f'Sounds/{name}.ogg', x)
    common.write_text(common.out_path('Sounds/load_screen.list'), ''.join(f'{n}.ogg {v:g}\n' for n, _, v in load))

    for kind in CALLS:
        entries = []
        for name, (x, vol) in animal_sounds(kind).items():
            A.save_ogg(f'Sounds/Animals/{kind}/{name}.ogg', x)
            entries.append((name, vol))
        write_list(f'Sounds/Animals/{kind}', entries)

    entries = []
    for name, (x, vol) in hunter_sounds().items():
        A.save_ogg(f'Sounds/Poachers/hunter/{name}.ogg', x)
        entries.append((name, vol))
    write_list('Sounds/Poachers/hunter', entries)

    entries = []
    for name, vol in AMBIENT.items():
        A.save_ogg(f'Sounds/Ambient/{name}.ogg', ambient(name), peak_db=-4.0)
        entries.append((name, vol))
    write_list('Sounds/Ambient', entries)


if __name__ == '__main__':
    main()
