#include "midifile.h"

#include <QFile>

#include <algorithm>

namespace platform::audio {

namespace {

constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kSysEx = 0xF0;
constexpr std::uint8_t kSysExEscape = 0xF7;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaTempo = 0x51;
constexpr std::uint32_t kDefaultTempo = 500000; // microseconds per quarter note
constexpr int kHeaderSize = 6;
constexpr int kChunkHeader = 8;
constexpr std::int64_t kMicrosPerSecond = 1000000;

struct TimedEvent {
    std::uint64_t tick = 0;
    bool isTempo = false;
    std::uint32_t tempo = 0;
    std::vector<std::uint8_t> bytes;
};

class Reader {
public:
    Reader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
    bool atEnd() const { return pos_ >= size_; }
    bool byte(std::uint8_t &out)
    {
        if (pos_ >= size_)
            return false;
        out = data_[pos_++];
        return true;
    }
    std::uint8_t peek() const { return data_[pos_]; }
    bool varLen(std::uint32_t &out)
    {
        out = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint8_t b;
            if (!byte(b))
                return false;
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return true;
        }
        return false;
    }
    bool take(std::uint32_t count, std::vector<std::uint8_t> &out)
    {
        if (count > size_ - pos_)
            return false;
        out.insert(out.end(), data_ + pos_, data_ + pos_ + count);
        pos_ += count;
        return true;
    }

private:
    const std::uint8_t *data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

int dataBytes(std::uint8_t status)
{
    const std::uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Reads one track's events into `out`; returns the tick where it ends.
std::uint64_t readTrack(Reader in, std::vector<TimedEvent> &out)
{
    std::uint64_t tick = 0;
    std::uint8_t running = 0;
    while (!in.atEnd()) {
        std::uint32_t delta;
        if (!in.varLen(delta))
            break;
        tick += delta;
        if (in.atEnd())
            break;
        std::uint8_t status = in.peek();
        if (status < 0x80) {
            if (!running)
                break;
            status = running;
        } else {
            in.byte(status);
        }

        if (status == kMeta) {
            running = 0;
            std::uint8_t type;
            std::uint32_t length;
            std::vector<std::uint8_t> body;
            if (!in.byte(type) || !in.varLen(length) || !in.take(length, body))
                break;
            if (type == kMetaEndOfTrack)
                return tick;
            if (type == kMetaTempo && body.size() >= 3) {
                TimedEvent tempo{tick, true, 0, {}};
                tempo.tempo = (std::uint32_t(body[0]) << 16) | (body[1] << 8) | body[2];
                if (tempo.tempo > 0)
                    out.push_back(std::move(tempo));
            }
        } else if (status == kSysEx || status == kSysExEscape) {
            running = 0;
            std::uint32_t length;
            TimedEvent sysex{tick, false, 0, {kSysEx}};
            if (!in.varLen(length) || !in.take(length, sysex.bytes))
                break;
            if (!sysex.bytes.empty() && sysex.bytes.back() == kSysExEscape)
                sysex.bytes.pop_back();
            if (status == kSysEx)
                out.push_back(std::move(sysex));
        } else if (status >= 0xF0) {
            break; // not allowed in a file
        } else {
            running = status;
            TimedEvent event{tick, false, 0, {status}};
            if (!in.take(dataBytes(status), event.bytes))
                break;
            out.push_back(std::move(event));
        }
    }
    return tick;
}

std::uint32_t be32(const std::uint8_t *p)
{
    return (std::uint32_t(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

std::uint16_t be16(const std::uint8_t *p)
{
    return std::uint16_t((p[0] << 8) | p[1]);
}

} // namespace

std::optional<MidiSong> parseMidi(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const std::uint8_t *>(bytes.constData());
    const std::size_t size = bytes.size();
    if (size < kChunkHeader + kHeaderSize || !bytes.startsWith("MThd"))
        return std::nullopt;
    const std::uint32_t headerLength = be32(data + 4);
    if (headerLength < kHeaderSize)
        return std::nullopt;
    const std::uint16_t division = be16(data + kChunkHeader + 4);
    if (division == 0)
        return std::nullopt;

    std::vector<TimedEvent> events;
    std::uint64_t endTick = 0;
    bool anyTrack = false;
    for (std::size_t pos = kChunkHeader + std::size_t(headerLength); pos + kChunkHeader <= size;) {
        const std::size_t body = pos + kChunkHeader;
        const std::size_t length = std::min<std::size_t>(be32(data + pos + 4), size - body);
        if (bytes.mid(qsizetype(pos), 4) == "MTrk") {
            anyTrack = true;
            std::vector<TimedEvent> track;
            endTick = std::max(endTick, readTrack(Reader(data + body, length), track));
            events.insert(events.end(), std::make_move_iterator(track.begin()),
                          std::make_move_iterator(track.end()));
        }
        pos = body + length;
    }
    if (!anyTrack)
        return std::nullopt;
    // Tracks were appended in order, so at equal times the first track's
    // events (the tempo map of a type 1 file) come first.
    std::stable_sort(events.begin(), events.end(),
                     [](const TimedEvent &a, const TimedEvent &b) { return a.tick < b.tick; });

    // Ticks to microseconds: by the tempo map, or fixed for SMPTE timing.
    const bool smpte = division & 0x8000;
    std::uint64_t baseTick = 0;
    std::int64_t baseMicros = 0;
    std::uint32_t tempo = kDefaultTempo;
    auto micros = [&](std::uint64_t tick) -> std::int64_t {
        if (smpte) {
            const int fps = -std::int8_t(division >> 8);
            const double framesPerSecond = fps == 29 ? 29.97 : fps;
            const int ticksPerFrame = division & 0xFF;
            return std::int64_t(double(tick) * kMicrosPerSecond /
                                (framesPerSecond * std::max(ticksPerFrame, 1)));
        }
        return baseMicros + std::int64_t((tick - baseTick) * tempo / division);
    };

    MidiSong song;
    for (TimedEvent &event : events) {
        if (event.isTempo) {
            baseMicros = micros(event.tick);
            baseTick = event.tick;
            tempo = event.tempo;
            continue;
        }
        song.events.push_back(MidiEvent{micros(event.tick), std::move(event.bytes)});
    }
    song.lengthMicros = micros(endTick);
    return song;
}

std::optional<MidiSong> loadMidiFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseMidi(file.readAll());
}

} // namespace platform::audio
