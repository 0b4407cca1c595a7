#!/usr/bin/env python3
"""Generates TORVA's wave sounds (Python 3 standard library only).

    python3 tools/gen_sounds.py

All four are RIFF WAVE files of 8-bit unsigned mono PCM at 22050 Hz
(resources/sounds/):

    PIRO.wav      5161 samples (0.234 s)  rising two-note chime of the yes/no dialog
    DO.wav         728 samples (0.033 s)  the "step" blip of the story window
    RA.wav        1522 samples (0.069 s)  voice blip, looped while text is revealed
    CRITICAL.wav  9261 samples (0.420 s)  critical-stop alert (stands in for the
                                          system's critical stop beep)

Every sound starts and ends at the silent level (128), so nothing clicks and
RA loops seamlessly: one loop is a short tone followed by a pause, giving the
familiar "pi-pi-pi" of console role-playing games at about 14.5 blips a
second.  Sounds are synthesised from a few sine partials with simple
envelopes, so they are band-limited and stay clean at 22050 Hz.  The output
is deterministic (no noise, no dither).

The data chunk of a RIFF file is padded to an even length: PIRO's 5161
sample bytes are followed by one pad byte, which is not part of the data
chunk's declared size (RIFF rule); readers take exactly 5161 samples.
"""

import math
import os
import struct
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "sounds")
RATE = 22050
TAU = 2 * math.pi


def midi_hz(note):
    return 440.0 * 2 ** ((note - 69) / 12)


def tone(buf, start, length, freq, amp, partials, attack, decay, release=0.004):
    """Adds a tone into buf (floats, -1..1).

    partials: list of (frequency ratio, relative amplitude, decay multiplier).
    attack: seconds of linear rise; decay: time constant of the exponential
    fall (seconds, None for a flat sustain); release: seconds of a linear fade
    to zero at the end, so the tone always ends exactly at silence."""
    a_n = max(1, int(attack * RATE))
    r_n = max(1, int(release * RATE))
    for i in range(length):
        n = start + i
        if n >= len(buf):
            break
        t = i / RATE
        env = min(1.0, i / a_n) * min(1.0, (length - 1 - i) / r_n)
        v = 0.0
        for ratio, rel, dmul in partials:
            e = 1.0 if decay is None else math.exp(-t / (decay * dmul))
            v += rel * e * math.sin(TAU * freq * ratio * t)
        buf[n] += amp * env * v


def write_wav(name, buf):
    data = bytes(max(0, min(255, int(round(128 + 127 * v)))) for v in buf)
    path = os.path.join(OUT, name)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(data)
    if len(data) % 2:
        # RIFF chunks are word aligned: add the pad byte after the odd-sized
        # data chunk and count it in the RIFF size (the data size stays odd).
        with open(path, "r+b") as f:
            f.seek(0, os.SEEK_END)
            f.write(b"\x80")
            size = f.tell()
            f.seek(4)
            f.write(struct.pack("<I", size - 8))
    return path, len(data)


# A soft, slightly hollow "chip" timbre: odd partials like a rounded square.
CHIP = [(1, 1.0, 1.0), (3, 0.28, 0.6), (5, 0.10, 0.4)]
# Bell-like chime: fundamental, octave and an inharmonic partial that fades fast.
BELL = [(1, 1.0, 1.0), (2, 0.35, 0.5), (2.76, 0.18, 0.25), (4.07, 0.06, 0.15)]


def make_piro():
    # "Pi-ro": a quick rising fourth, B5 then E6, the second note ringing out.
    n = 5161
    buf = [0.0] * n
    first = int(0.060 * RATE)
    tone(buf, 0, first + 200, midi_hz(83), 0.45, BELL, 0.002, 0.08)
    tone(buf, first, n - first, midi_hz(88), 0.50, BELL, 0.002, 0.07, release=0.012)
    return buf


def make_do():
    # A short low blip whose pitch drops a little: a soft "step".
    n = 728
    buf = [0.0] * n
    amp = 0.55
    a_n = int(0.002 * RATE)
    phase = 0.0
    for i in range(n):
        t = i / RATE
        f = 330.0 * (1.0 - 0.25 * min(1.0, t / 0.033))  # E4 sliding down
        phase += TAU * f / RATE
        env = min(1.0, i / a_n) * (1.0 - i / (n - 1)) ** 1.5
        v = math.sin(phase) + 0.3 * math.sin(3 * phase) + 0.1 * math.sin(5 * phase)
        buf[i] = amp * env * v
    return buf


def make_ra():
    # One voice blip: 34 ms of an A5 chip tone, then silence up to 69 ms.
    n = 1522
    buf = [0.0] * n
    tone(buf, 0, int(0.034 * RATE), midi_hz(81), 0.40, CHIP, 0.002, 0.03, release=0.008)
    return buf


def make_critical():
    # A stern descending two-tone alert: a dissonant hit (a tritone over A4)
    # followed by a lower, longer tone.
    n = int(0.420 * RATE)
    buf = [0.0] * n
    first = int(0.130 * RATE)
    tone(buf, 0, first + 300, midi_hz(69), 0.35, BELL, 0.002, 0.12)
    tone(buf, 0, first + 300, midi_hz(75), 0.25, BELL, 0.002, 0.10)
    tone(buf, first, n - first, midi_hz(62), 0.45, BELL, 0.002, 0.12, release=0.030)
    tone(buf, first, n - first, midi_hz(57), 0.25, BELL, 0.002, 0.10, release=0.030)
    return buf


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, make in (("PIRO.wav", make_piro), ("DO.wav", make_do),
                       ("RA.wav", make_ra), ("CRITICAL.wav", make_critical)):
        buf = make()
        peak = max(abs(v) for v in buf)
        assert peak <= 1.0, f"{name} clips: peak {peak:.3f}"
        assert abs(buf[0]) < 1 / 254 and abs(buf[-1]) < 1 / 254, f"{name} does not start/end silent"
        path, count = write_wav(name, buf)
        print(f"{os.path.relpath(path, ROOT)}: {count} sample bytes, "
              f"{count / RATE * 1000:.1f} ms, peak {peak:.2f}")


if __name__ == "__main__":
    main()
