// Standard MIDI files read into one time-ordered list of events, so that the
// music can be played sample-exactly and its end is known to the microsecond.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::audio {

struct MidiEvent {
    std::int64_t micros = 0; // from the start of the piece
    // A channel message (status 0x80..0xEF and its data bytes) or a system
    // exclusive message (0xF0 followed by its body, without the final 0xF7).
    std::vector<std::uint8_t> bytes;
};

struct MidiSong {
    std::vector<MidiEvent> events; // in playing order
    // The end of the MIDI data: the latest end of any track. The music is
    // over here, whatever notes still ring out afterwards.
    std::int64_t lengthMicros = 0;
};

// Reads a type 0 or type 1 file (type 2 tracks are played together too).
// Nothing if the data is not a MIDI file; a track cut short plays up to
// where it breaks off.
std::optional<MidiSong> parseMidi(const QByteArray &bytes);
std::optional<MidiSong> loadMidiFile(const QString &path);

} // namespace platform::audio
