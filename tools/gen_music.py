#!/usr/bin/env python3
"""Writes TORVA's two MIDI pieces from their note texts (Python 3 standard
library only).

    python3 tools/gen_music.py                 # both pieces
    python3 tools/gen_music.py tools/music/TORVAM1.txt
    python3 tools/gen_music.py --list          # also print every bar's events

Each tools/music/NAME.txt becomes resources/music/NAME.MID, a Standard MIDI
File of format 1: track 0 carries the title, tempo, metre and key; every
other track is one instrument on one channel.  The format of the note texts
is described in tools/README.md; in short:

    title TORVAM1 - ...                    % text of the conductor track
    tempo 96                               % quarter notes a minute
    meter 4/4
    key F major
    form A B A2                            % the order of the sections
    track melody channel=1 program="Clarinet" volume=100 pan=56 reverb=50
    define NAME                            % tokens that $NAME stands for
        ...
    part melody A A2                       % the notes of a track in sections
        | C5/8' F5/8' A5/8 G5/8 F5/4 C5/4 |
        ...

Notes are NAME+OCTAVE/DURATION (C4 is middle C, 60): "Bb3/4", "F#5/8.",
"A3+C4+F4/4'" (a chord), "r/2" (rest), "snare/16" (drum, on channel 10).
Durations: 1 2 4 8 16 32, "." dotted, "t" triplet, "2+8" added up.
After the duration: ' staccato, _ full length (legato), > accent, ~ tie to
the next note of the same pitch; "*N" repeats the token N times.
"@80" sets the velocity, "@60..110:16" ramps it over the next 16 notes.
"%" starts a comment.  "|" is a bar line: every bar is checked against the
metre, every section's parts against each other, so a miscounted bar stops
the generator.

The pieces loop (the game restarts them when they end), so every track ends
exactly at the end of the last bar, with all notes released.
"""

import os
import re
import shlex
import struct
import sys
from fractions import Fraction

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
MUSIC_SRC = os.path.join(HERE, "music")
MUSIC_OUT = os.path.join(ROOT, "resources", "music")

PPQ = 480  # ticks per quarter note; divisible by 3 for triplets

GM_PROGRAMS = [
    "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano", "Honky-tonk Piano",
    "Electric Piano 1", "Electric Piano 2", "Harpsichord", "Clavinet",
    "Celesta", "Glockenspiel", "Music Box", "Vibraphone", "Marimba", "Xylophone",
    "Tubular Bells", "Dulcimer",
    "Drawbar Organ", "Percussive Organ", "Rock Organ", "Church Organ", "Reed Organ",
    "Accordion", "Harmonica", "Tango Accordion",
    "Acoustic Guitar (nylon)", "Acoustic Guitar (steel)", "Electric Guitar (jazz)",
    "Electric Guitar (clean)", "Electric Guitar (muted)", "Overdriven Guitar",
    "Distortion Guitar", "Guitar Harmonics",
    "Acoustic Bass", "Electric Bass (finger)", "Electric Bass (pick)", "Fretless Bass",
    "Slap Bass 1", "Slap Bass 2", "Synth Bass 1", "Synth Bass 2",
    "Violin", "Viola", "Cello", "Contrabass", "Tremolo Strings", "Pizzicato Strings",
    "Orchestral Harp", "Timpani",
    "String Ensemble 1", "String Ensemble 2", "Synth Strings 1", "Synth Strings 2",
    "Choir Aahs", "Voice Oohs", "Synth Voice", "Orchestra Hit",
    "Trumpet", "Trombone", "Tuba", "Muted Trumpet", "French Horn", "Brass Section",
    "Synth Brass 1", "Synth Brass 2",
    "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax", "Oboe", "English Horn",
    "Bassoon", "Clarinet",
    "Piccolo", "Flute", "Recorder", "Pan Flute", "Blown Bottle", "Shakuhachi",
    "Whistle", "Ocarina",
    "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope)", "Lead 4 (chiff)",
    "Lead 5 (charang)", "Lead 6 (voice)", "Lead 7 (fifths)", "Lead 8 (bass + lead)",
    "Pad 1 (new age)", "Pad 2 (warm)", "Pad 3 (polysynth)", "Pad 4 (choir)",
    "Pad 5 (bowed)", "Pad 6 (metallic)", "Pad 7 (halo)", "Pad 8 (sweep)",
    "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)",
    "FX 5 (brightness)", "FX 6 (goblins)", "FX 7 (echoes)", "FX 8 (sci-fi)",
    "Sitar", "Banjo", "Shamisen", "Koto", "Kalimba", "Bagpipe", "Fiddle", "Shanai",
    "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock", "Taiko Drum", "Melodic Tom",
    "Synth Drum", "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet", "Telephone Ring",
    "Helicopter", "Applause", "Gunshot",
]
assert len(GM_PROGRAMS) == 128

# General MIDI percussion keys (channel 10) by short name.
DRUMS = {
    "kick": 36, "rim": 37, "snare": 38, "clap": 39, "snare2": 40, "ftom": 41,
    "hat": 42, "tomlo": 45, "pedal": 44, "ohat": 46, "tommid": 47, "tomhi": 50,
    "crash": 49, "ride": 51, "china": 52, "bell": 53, "tamb": 54, "splash": 55,
    "cowbell": 56, "crash2": 57, "vibra": 58, "ride2": 59, "shaker": 70,
    "wbhi": 76, "wblo": 77, "tri": 81, "mtri": 80,
}

MAJOR_KEYS = {"Cb": -7, "Gb": -6, "Db": -5, "Ab": -4, "Eb": -3, "Bb": -2, "F": -1,
              "C": 0, "G": 1, "D": 2, "A": 3, "E": 4, "B": 5, "F#": 6, "C#": 7}
MINOR_KEYS = {"Ab": -7, "Eb": -6, "Bb": -5, "F": -4, "C": -3, "G": -2, "D": -1,
              "A": 0, "E": 1, "B": 2, "F#": 3, "C#": 4, "G#": 5, "D#": 6, "A#": 7}

PITCH_CLASS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
BASE_DURATION = {"1": Fraction(4), "2": Fraction(2), "4": Fraction(1), "8": Fraction(1, 2),
                 "16": Fraction(1, 4), "32": Fraction(1, 8)}

GATE_NORMAL = Fraction(92, 100)
GATE_STACCATO = Fraction(45, 100)
GATE_LEGATO = Fraction(1)
ACCENT = 16

KEYWORDS = {"title", "tempo", "meter", "key", "form", "track", "define", "part", "copyright"}


class MusicError(Exception):
    pass


def parse_pitch(name, where):
    if name in DRUMS:
        return DRUMS[name]
    m = re.fullmatch(r"([A-G])([#b]*)(-?\d+)", name)
    if not m:
        raise MusicError(f"{where}: can't read the note {name!r}")
    letter, acc, octave = m.groups()
    value = (int(octave) + 1) * 12 + PITCH_CLASS[letter] + acc.count("#") - acc.count("b")
    if not 0 <= value <= 127:
        raise MusicError(f"{where}: note {name!r} out of range")
    return value


def parse_duration(text, where):
    total = Fraction(0)
    for piece in text.split("+"):
        m = re.fullmatch(r"(1|2|4|8|16|32)(\.|t)?", piece)
        if not m:
            raise MusicError(f"{where}: can't read the duration {text!r}")
        value = BASE_DURATION[m.group(1)]
        if m.group(2) == ".":
            value *= Fraction(3, 2)
        elif m.group(2) == "t":
            value *= Fraction(2, 3)
        total += value
    return total  # in quarter notes


class Track:
    def __init__(self, ident, opts, where):
        self.ident = ident
        try:
            self.channel = int(opts.pop("channel")) - 1
        except KeyError:
            raise MusicError(f"{where}: track {ident} needs channel=1..16")
        if not 0 <= self.channel <= 15:
            raise MusicError(f"{where}: channel must be 1..16")
        program = opts.pop("program", "Acoustic Grand Piano")
        if self.channel == 9:
            self.program = 0  # standard drum kit
            self.label = f"{ident} (drum kit)"
        else:
            if program not in GM_PROGRAMS:
                raise MusicError(f"{where}: unknown General MIDI program {program!r}")
            self.program = GM_PROGRAMS.index(program)
            self.label = f"{ident} ({program})"
        self.controls = []
        for key, cc in (("volume", 7), ("pan", 10), ("expression", 11),
                        ("reverb", 91), ("chorus", 93)):
            default = {"volume": 100, "pan": 64, "expression": 127, "reverb": 40, "chorus": 0}[key]
            value = int(opts.pop(key, default))
            if not 0 <= value <= 127:
                raise MusicError(f"{where}: {key} must be 0..127")
            self.controls.append((cc, value))
        if opts:
            raise MusicError(f"{where}: unknown track settings {sorted(opts)}")
        self.parts = {}  # section -> list of (token, where)


class Piece:
    def __init__(self, path):
        self.path = path
        self.title = os.path.splitext(os.path.basename(path))[0]
        self.copyright = ""
        self.tempo = 120.0
        self.meter = (4, 4)
        self.key = (0, 0)
        self.form = []
        self.tracks = []
        self.defines = {}
        self._read()

    # ----- reading the text ------------------------------------------------

    def _read(self):
        target = None  # list receiving music tokens
        with open(self.path, encoding="utf-8") as f:
            for number, raw in enumerate(f, 1):
                where = f"{os.path.basename(self.path)}:{number}"
                line = raw.split("%", 1)[0].strip()
                if not line:
                    continue
                word = line.split()[0]
                if word in KEYWORDS:
                    target = self._keyword(word, line[len(word):].strip(), where)
                elif target is None:
                    raise MusicError(f"{where}: notes outside a part or define")
                else:
                    target.extend((tok, where) for tok in line.replace("|", " | ").split())
        if not self.form:
            raise MusicError(f"{self.path}: no form")

    def _keyword(self, word, rest, where):
        if word == "title":
            self.title = rest
        elif word == "copyright":
            self.copyright = rest
        elif word == "tempo":
            self.tempo = float(rest)
        elif word == "meter":
            num, den = rest.split("/")
            self.meter = (int(num), int(den))
        elif word == "key":
            tonic, mode = rest.split()
            table = MAJOR_KEYS if mode == "major" else MINOR_KEYS
            if tonic not in table:
                raise MusicError(f"{where}: unknown key {rest!r}")
            self.key = (table[tonic], 0 if mode == "major" else 1)
        elif word == "form":
            self.form = rest.split()
        elif word == "track":
            fields = shlex.split(rest)
            ident = fields[0]
            opts = dict(f.split("=", 1) for f in fields[1:])
            if any(t.ident == ident for t in self.tracks):
                raise MusicError(f"{where}: track {ident} defined twice")
            self.tracks.append(Track(ident, opts, where))
        elif word == "define":
            name = rest.strip()
            self.defines[name] = []
            return self.defines[name]
        elif word == "part":
            fields = rest.split()
            track = self.track(fields[0], where)
            tokens = []
            for section in fields[1:]:
                if section in track.parts:
                    raise MusicError(f"{where}: {track.ident} has two parts for {section}")
                track.parts[section] = tokens
            return tokens
        return None

    def track(self, ident, where):
        for t in self.tracks:
            if t.ident == ident:
                return t
        raise MusicError(f"{where}: no track {ident}")

    # ----- turning a part into events --------------------------------------

    def bar_length(self):
        num, den = self.meter
        return Fraction(num * 4, den)  # quarter notes

    def expand(self, tokens, depth=0):
        if depth > 20:
            raise MusicError("defines nest too deeply")
        out = []
        for tok, where in tokens:
            m = re.fullmatch(r"\$(\w+)(?:\*(\d+))?", tok)
            if m:
                if m.group(1) not in self.defines:
                    raise MusicError(f"{where}: no define {m.group(1)}")
                body = self.expand(self.defines[m.group(1)], depth + 1)
                out.extend(body * int(m.group(2) or 1))
                continue
            m = re.fullmatch(r"(.+/[^*]+)\*(\d+)", tok)
            if m:
                out.extend([(m.group(1), where)] * int(m.group(2)))
                continue
            out.append((tok, where))
        return out

    def render_part(self, track, section, tokens, start, state):
        """Appends the notes of one part; returns the part's length (quarters)."""
        bar = self.bar_length()
        t = Fraction(0)
        bar_start = Fraction(0)
        bar_no = 1
        notes = state["notes"]
        ties = state["ties"]
        for tok, where in self.expand(tokens):
            label = f"{where} ({track.ident}, section {section}, bar {bar_no})"
            if tok == "|":
                if t == bar_start:
                    continue  # "| ... |" on every line: the bar was checked already
                if t - bar_start != bar:
                    raise MusicError(f"{label}: bar lasts {t - bar_start} quarters, "
                                     f"the metre wants {bar}")
                bar_start = t
                bar_no += 1
                continue
            m = re.fullmatch(r"@(\d+)(?:\.\.(\d+):(\d+))?", tok)
            if m:
                state["velocity"] = int(m.group(1))
                if m.group(2):
                    state["ramp"] = [int(m.group(1)), int(m.group(2)), int(m.group(3)), 0]
                else:
                    state["ramp"] = None
                continue
            m = re.fullmatch(r"cc(\d+)=(\d+)", tok)
            if m:
                state["controls"].append((start + t, int(m.group(1)), int(m.group(2))))
                continue
            m = re.fullmatch(r"([^/]+)/([0-9.t+]+)(['_>~]*)", tok)
            if not m:
                raise MusicError(f"{label}: can't read {tok!r}")
            pitch_text, dur_text, marks = m.groups()
            dur = parse_duration(dur_text, label)
            now = start + t
            if pitch_text != "r":
                vel = state["velocity"]
                ramp = state["ramp"]
                if ramp:
                    v0, v1, count, done = ramp
                    vel = round(v0 + (v1 - v0) * done / max(1, count - 1))
                    ramp[3] += 1
                    if ramp[3] >= count:
                        state["velocity"] = v1
                        state["ramp"] = None
                if ">" in marks:
                    vel += ACCENT
                vel = max(1, min(127, vel))
                gate = GATE_STACCATO if "'" in marks else GATE_LEGATO if "_" in marks else GATE_NORMAL
                pitches = [parse_pitch(p, label) for p in pitch_text.split("+")]
                for p in pitches:
                    begin, v = ties.pop(p, (now, vel))
                    if "~" in marks:
                        ties[p] = (begin, v)
                    else:
                        notes.append((begin, now + dur * gate, p, v))
                for p in list(ties):
                    if p not in pitches and ties[p][0] < now:
                        raise MusicError(f"{label}: a tie on {p} is not continued")
            elif ties:
                raise MusicError(f"{label}: a rest follows a tie")
            t += dur
        if t != bar_start:
            raise MusicError(f"{where}: {track.ident} {section} ends inside a bar "
                             f"({t - bar_start} quarters into bar {bar_no})")
        return t

    def build(self):
        """Returns (length in quarters, {track: (notes, controls)}, section starts)."""
        # Section lengths, checked across the tracks.
        lengths = {}
        for section in dict.fromkeys(self.form):
            for track in self.tracks:
                if section in track.parts:
                    probe = {"notes": [], "ties": {}, "velocity": 80, "ramp": None, "controls": []}
                    n = self.render_part(track, section, track.parts[section], Fraction(0), probe)
                    if section in lengths and lengths[section][0] != n:
                        raise MusicError(
                            f"section {section}: {track.ident} lasts {n / self.bar_length()} bars, "
                            f"{lengths[section][1]} lasts {lengths[section][0] / self.bar_length()}")
                    lengths.setdefault(section, (n, track.ident))
            if section not in lengths:
                raise MusicError(f"section {section} has no parts")
        for track in self.tracks:
            for section in track.parts:
                if section not in lengths:
                    raise MusicError(f"{track.ident}: part for {section}, which is not in the form")

        result = {}
        starts = []
        for track in self.tracks:
            state = {"notes": [], "ties": {}, "velocity": 80, "ramp": None, "controls": []}
            pos = Fraction(0)
            for section in self.form:
                if track is self.tracks[0]:
                    starts.append((section, pos))
                if section in track.parts:
                    self.render_part(track, section, track.parts[section], pos, state)
                    if state["ties"]:
                        raise MusicError(f"{track.ident} {section}: ends on a tie")
                pos += lengths[section][0]
            result[track.ident] = (state["notes"], state["controls"])
        total = sum(lengths[s][0] for s in self.form)
        return total, result, starts


# ----- Standard MIDI File writing ------------------------------------------

def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def ticks(q):
    value = q * PPQ
    if value.denominator != 1:
        raise MusicError(f"time {q} is not a whole number of ticks")
    return int(value)


def track_chunk(events, end):
    """events: list of (tick, order, bytes); order sorts events at one tick."""
    events.sort(key=lambda e: (e[0], e[1]))
    data = bytearray()
    now = 0
    for tick, _, body in events:
        if tick > end:
            raise MusicError("an event lies after the end of the piece")
        data += varlen(tick - now) + body
        now = tick
    data += varlen(end - now) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + bytes(data)


def meta(kind, payload):
    return bytes([0xFF, kind]) + varlen(len(payload)) + payload


def write_smf(piece, out_path, listing=False):
    total, parts, starts = piece.build()
    end = ticks(total)
    chunks = []

    conductor = [(0, 0, meta(0x03, piece.title.encode("utf-8")))]
    if piece.copyright:
        conductor.append((0, 1, meta(0x02, piece.copyright.encode("utf-8"))))
    usec = round(60_000_000 / piece.tempo)
    conductor.append((0, 2, meta(0x51, usec.to_bytes(3, "big"))))
    num, den = piece.meter
    conductor.append((0, 3, meta(0x58, bytes([num, den.bit_length() - 1, 24, 8]))))
    sf, mi = piece.key
    conductor.append((0, 4, meta(0x59, struct.pack("bB", sf, mi))))
    for section, pos in starts:
        conductor.append((ticks(pos), 5, meta(0x06, section.encode("ascii"))))
    chunks.append(track_chunk(conductor, end))

    stats = []
    for track in piece.tracks:
        notes, controls = parts[track.ident]
        ch = track.channel
        ev = [(0, 0, meta(0x03, track.label.encode("utf-8"))),
              (0, 1, bytes([0xB0 | ch, 121, 0])),       # reset all controllers
              (0, 2, bytes([0xC0 | ch, track.program]))]
        for i, (cc, value) in enumerate(track.controls):
            ev.append((0, 3 + i, bytes([0xB0 | ch, cc, value])))
        for when, cc, value in controls:
            ev.append((ticks(when), 10, bytes([0xB0 | ch, cc, value])))
        low, high = 127, 0
        for begin, stop, pitch, vel in notes:
            on, off = ticks(begin), round(stop * PPQ)
            if off <= on:
                off = on + 1
            if off > end:
                raise MusicError(f"{track.ident}: a note rings past the end of the piece")
            ev.append((on, 30, bytes([0x90 | ch, pitch, vel])))
            ev.append((off, 20, bytes([0x80 | ch, pitch, 0])))   # offs before ons
            low, high = min(low, pitch), max(high, pitch)
        chunks.append(track_chunk(ev, end))
        stats.append((track.label, len(notes), low, high))
        if listing:
            for begin, stop, pitch, vel in sorted(notes):
                bar = begin / piece.bar_length()
                print(f"  {track.ident:10} bar {float(bar) + 1:7.3f}  key {pitch:3}  vel {vel:3}")

    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(chunks), PPQ)
    with open(out_path, "wb") as f:
        f.write(header + b"".join(chunks))
    seconds = float(total) * 60.0 / piece.tempo
    return seconds, float(total / piece.bar_length()), stats


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    listing = "--list" in sys.argv[1:]
    sources = args or sorted(os.path.join(MUSIC_SRC, f) for f in os.listdir(MUSIC_SRC)
                             if f.endswith(".txt"))
    os.makedirs(MUSIC_OUT, exist_ok=True)
    for src in sources:
        name = os.path.splitext(os.path.basename(src))[0] + ".MID"
        out = os.path.join(MUSIC_OUT, name)
        try:
            piece = Piece(src)
            seconds, bars, stats = write_smf(piece, out, listing)
        except MusicError as e:
            sys.exit(f"gen_music: {e}")
        print(f"{os.path.relpath(out, ROOT)}: {bars:g} bars, {seconds:.1f} s, "
              f"{len(stats)} instrument tracks")
        for label, count, low, high in stats:
            print(f"    {label:34} {count:4} notes, keys {low}..{high}")


if __name__ == "__main__":
    main()
