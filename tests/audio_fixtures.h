// Tiny wave and MIDI files made on the fly for the sound tests.
#pragma once

#include <QByteArray>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace fixtures {

inline void put16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF)).append(char(v >> 8));
}

inline void put32(QByteArray &out, quint32 v)
{
    put16(out, quint16(v & 0xFFFF));
    put16(out, quint16(v >> 16));
}

// A RIFF WAVE file around raw PCM bytes.
inline QByteArray wav(const QByteArray &pcm, int rate = 22050, int channels = 1, int bits = 8)
{
    QByteArray out("RIFF");
    put32(out, quint32(36 + pcm.size()));
    out.append("WAVEfmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, quint16(channels));
    put32(out, quint32(rate));
    put32(out, quint32(rate * channels * bits / 8));
    put16(out, quint16(channels * bits / 8));
    put16(out, quint16(bits));
    out.append("data");
    put32(out, quint32(pcm.size()));
    out.append(pcm);
    return out;
}

// 8-bit unsigned mono square wave of `ms` milliseconds at 22050 Hz,
// `amplitude` steps away from the midpoint 128 (so amplitude / 128 of full).
inline QByteArray squareWav(int ms, int amplitude)
{
    constexpr int kRate = 22050;
    constexpr int kHalfPeriod = 25; // 441 Hz
    QByteArray pcm;
    const int count = kRate * ms / 1000;
    for (int i = 0; i < count; ++i)
        pcm.append(char((i / kHalfPeriod) % 2 ? 128 + amplitude : 128 - amplitude));
    return wav(pcm);
}

inline void putBig32(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

inline void putVarLen(QByteArray &out, quint32 v)
{
    QByteArray bytes(1, char(v & 0x7F));
    while (v >>= 7)
        bytes.prepend(char((v & 0x7F) | 0x80));
    out.append(bytes);
}

struct Note {
    int start = 0;  // ticks
    int length = 0; // ticks
    int key = 60;
};

// A type 0 file: tempo, program, the notes on channel 0, end of track at
// `endTick`. 480 ticks a quarter note at `tempo` microseconds a quarter.
inline QByteArray midiFile(const std::vector<Note> &notes, int endTick, int program = 0,
                           quint32 tempo = 500000)
{
    std::vector<std::pair<int, QByteArray>> events;
    events.push_back(
        {0, QByteArray("\xFF\x51\x03", 3) + char(tempo >> 16) + char(tempo >> 8) + char(tempo)});
    events.push_back({0, QByteArray("\xC0", 1) + char(program)});
    for (const Note &n : notes) {
        events.push_back({n.start, QByteArray("\x90", 1) + char(n.key) + char(100)});
        events.push_back({n.start + n.length, QByteArray("\x80", 1) + char(n.key) + char(0)});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    events.push_back({endTick, QByteArray("\xFF\x2F\x00", 3)});

    QByteArray track;
    int last = 0;
    for (const auto &[tick, bytes] : events) {
        putVarLen(track, quint32(tick - last));
        track.append(bytes);
        last = tick;
    }
    QByteArray out("MThd");
    putBig32(out, 6);
    out.append(QByteArray("\x00\x00\x00\x01\x01\xE0", 6)); // type 0, 1 track, 480 ticks
    out.append("MTrk");
    putBig32(out, quint32(track.size()));
    out.append(track);
    return out;
}

} // namespace fixtures
