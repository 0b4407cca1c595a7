#!/usr/bin/env python3
"""Turns the raw figures of run_bench.sh into one table with the targets."""
import os
import statistics
import sys

RAW = sys.argv[1]


def numbers(name):
    path = os.path.join(RAW, name)
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [float(w) for line in f for w in line.split()[-1:] if w]


def tagged(name, tag):
    path = os.path.join(RAW, name)
    with open(path) as f:
        return [float(line.split()[1]) for line in f if line.split()[0] == tag]


def percentile(values, fraction):
    ordered = sorted(values)
    index = min(len(ordered) - 1, max(0, int(round(fraction * (len(ordered) - 1)))))
    return ordered[index]


rows = []


def row(figure, measured, target, ok):
    rows.append((figure, measured, target, "yes" if ok else "NO"))


floor = statistics.median(numbers("startup_floor"))
game = statistics.median(numbers("startup_game"))
row("Start-up (exec to first painted title)",
    f"{game:.0f} ms / floor {floor:.0f} ms = {game / floor:.2f} x", "<= 1.3 x", game / floor <= 1.3)

text = statistics.median(numbers("startup_floor_text"))
row("  (for scale) against a floor with one line of text",
    f"{game:.0f} ms / {text:.0f} ms = {game / text:.2f} x", "(no target)", True)
libs = statistics.median(numbers("startup_floor_audiolibs"))
row("  (for scale) floor linked with SDL2 and FluidSynth",
    f"{libs:.0f} ms = {libs / floor:.2f} x the floor; the game is {game / libs:.2f} x this",
    "(no target)", True)

title = statistics.median(numbers("title_idle"))
row("Idle, title screen (10 s)", f"{title:.3f} % of a core", "<= 0.2 %", title <= 0.2)
story = statistics.median(numbers("story_idle"))
row("Idle, between story steps (10 s)", f"{story:.3f} % of a core", "<= 0.5 %", story <= 0.5)

intervals = tagged("playclock", "tick_interval_ms")
median = statistics.median(intervals)
p99 = percentile(intervals, 0.99)
row("Play tick interval, median", f"{median:.2f} ms ({len(intervals)} intervals)", "50 ms",
    abs(median - 50) <= 0.5)
row("Play tick interval, 99th percentile", f"{p99:.2f} ms", "<= 55 ms", p99 <= 55)
ends = tagged("playclock", "end_after_limit_ms")
worst = max(ends)
row("Round end after TimeLimit + 1 s", f"{worst:.0f} ms at most ({len(ends)} rounds)",
    "0 to 50 ms (one tick)", 0 <= min(ends) and worst <= 50)

cpu = statistics.median(tagged("pull", "pull_cpu_us_per_step"))
row("Pull step, CPU time", f"{cpu:.1f} us per step", "<= 50 us", cpu <= 50)
frame = statistics.median(numbers("pull_floor"))
events = statistics.median(tagged("pull", "pull_paint_events_per_step"))
row("  (for scale) one Qt frame of the same rows and 32 x 32 move",
    f"{frame:.1f} us; the step is {cpu / frame:.2f} x that, {events:.1f} paint events",
    "(no target)", True)
painted = statistics.median(tagged("pull", "pull_painted_px_median"))
allowed = statistics.median(tagged("pull", "pull_allowed_px_median"))
outside = max(tagged("pull", "pull_outside_px_max"))
steps_outside = max(tagged("pull", "pull_steps_painting_outside"))
metres = max(tagged("pull", "pull_metre_changes"))
outside_same = max(tagged("pull", "pull_outside_px_max_same_metres"))
row("Pull step, repainted pixels",
    f"{painted:.0f} px (rows + hand {allowed:.0f}); outside: {outside_same:.0f} px, "
    f"but up to {outside:.0f} px in {steps_outside:.0f} steps ({metres:.0f} metre changes)",
    "rows + hand only", outside == 0)

ratios = tagged("reveal", "reveal_ratio")
ratio = statistics.median(ratios)
row("Reveal, wall / (passes x 30 ms)",
    f"{ratio:.3f} x (median of {len(ratios)}, worst {max(ratios):.3f})", "<= 1.05 x",
    ratio <= 1.05)

delays = tagged("sound", "sound_delay_ms")
if delays:
    delay = statistics.median(delays)
    row("Sound, PlaySound to first mixed sample",
        f"{delay:.1f} ms median, {max(delays):.1f} ms worst ({len(delays)} plays)", "<= 25 ms",
        max(delays) <= 25)
else:
    row("Sound, PlaySound to first mixed sample", "no audio device", "<= 25 ms", False)

floor_kb = statistics.median(numbers("memory_floor"))
game_kb = statistics.median(numbers("memory_game"))
font_kb = numbers("soundfont_bytes")[0] / 1024
limit = 1.3 * floor_kb + font_kb
row("Peak memory, story with music + round",
    f"{game_kb / 1024:.1f} MiB (floor {floor_kb / 1024:.1f} MiB, soundfont {font_kb / 1024:.1f} MiB)",
    f"<= {limit / 1024:.1f} MiB", game_kb <= limit)

headers = ("Figure", "Measured", "Target", "Met")
widths = [max(len(str(r[i])) for r in rows + [headers]) for i in range(4)]
line = "+".join("-" * (w + 2) for w in widths)
print(f"+{line}+")
print("| " + " | ".join(h.ljust(w) for h, w in zip(headers, widths)) + " |")
print(f"+{line}+")
for r in rows:
    print("| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |")
print(f"+{line}+")
