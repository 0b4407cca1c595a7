#include "midimusic.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QStringList>

#include <fluidsynth.h>

#include <algorithm>
#include <cstdio>

namespace platform::audio {

namespace {

constexpr int kScratchFrames = 4096;
constexpr std::int64_t kMicrosPerSecond = 1000000;
constexpr int kAllChannels = -1;

// Splits at blanks; a double-quoted part is one word.
QStringList words(const QString &command)
{
    QStringList out;
    QString word;
    bool quoted = false, inWord = false;
    for (const QChar c : command) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                out << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        out << word;
    return out;
}

} // namespace

std::optional<MusicCommand> parseMusicCommand(const QString &command)
{
    const QStringList parts = words(command);
    if (parts.size() < 2 || parts[1].isEmpty())
        return std::nullopt;
    const QString verb = parts[0].toLower();
    QStringList options;
    for (qsizetype i = 2; i < parts.size(); ++i)
        options << parts[i].toLower();

    MusicCommand parsed;
    parsed.device = parts[1];
    parsed.notify = options.contains(QStringLiteral("notify"));
    if (verb == u"open")
        parsed.verb = MusicCommand::Verb::Open;
    else if (verb == u"play")
        parsed.verb = MusicCommand::Verb::Play;
    else if (verb == u"stop")
        parsed.verb = MusicCommand::Verb::Stop;
    else if (verb == u"close")
        parsed.verb = MusicCommand::Verb::Close;
    else if (verb == u"seek") {
        parsed.verb = MusicCommand::Verb::Seek;
        const qsizetype to = options.indexOf(QStringLiteral("to"));
        const QString where = to >= 0 && to + 1 < options.size() ? options[to + 1] : QString();
        if (where != u"start" && where != u"end")
            return std::nullopt;
        parsed.seekToEnd = where == u"end";
    } else {
        return std::nullopt;
    }
    return parsed;
}

Sequencer::Sequencer(int rate, std::function<void(std::uint64_t)> ended)
    : rate_(rate), ended_(std::move(ended)), scratch_(kScratchFrames * AudioOutput::kChannels)
{
}

std::int64_t Sequencer::frameOf(std::int64_t micros) const
{
    return micros * rate_ / kMicrosPerSecond;
}

void Sequencer::load(std::shared_ptr<const MidiSong> song)
{
    song_ = std::move(song);
    next_ = 0;
    position_ = 0;
    end_ = frameOf(song_->lengthMicros);
    playing_ = false;
    sounding_ = false;
}

void Sequencer::unload()
{
    pause();
    if (synth_)
        fluid_synth_system_reset(synth_); // the next piece starts afresh
    song_.reset();
}

void Sequencer::play(std::uint64_t id)
{
    if (!song_)
        return;
    playing_ = true;
    sounding_ = true;
    playId_ = id;
}

void Sequencer::pause()
{
    playing_ = false;
    sounding_ = false;
    if (synth_)
        fluid_synth_all_sounds_off(synth_, kAllChannels);
}

void Sequencer::seek(bool toEnd)
{
    if (!song_)
        return;
    playing_ = false;
    // Notes still held are let go; their release may ring on.
    if (synth_)
        fluid_synth_all_notes_off(synth_, kAllChannels);
    next_ = toEnd ? song_->events.size() : 0;
    position_ = toEnd ? end_ : 0;
}

void Sequencer::render(float *out, int frames)
{
    if (!song_ || !sounding_)
        return; // the synthesiser is left idle
    int done = 0;
    while (done < frames) {
        std::int64_t chunk = std::min(frames - done, kScratchFrames);
        if (playing_) {
            const auto &events = song_->events;
            while (next_ < events.size() && frameOf(events[next_].micros) <= position_)
                dispatch(events[next_++]);
            if (position_ >= end_) {
                playing_ = false;
                ended_(playId_);
                continue;
            }
            std::int64_t until = end_;
            if (next_ < events.size())
                until = std::min(until, frameOf(events[next_].micros));
            chunk = std::min(chunk, until - position_);
            position_ += chunk;
        }
        if (synth_) {
            float *buffer = scratch_.data();
            fluid_synth_write_float(synth_, int(chunk), buffer, 0, AudioOutput::kChannels, buffer,
                                    1, AudioOutput::kChannels);
            float *target = out + std::size_t(done) * AudioOutput::kChannels;
            for (std::int64_t i = 0; i < chunk * AudioOutput::kChannels; ++i)
                target[i] += buffer[i];
        }
        done += int(chunk);
    }
}

void Sequencer::dispatch(const MidiEvent &event)
{
    if (!synth_ || event.bytes.empty())
        return;
    const std::uint8_t status = event.bytes[0];
    if (status == 0xF0) {
        if (event.bytes.size() > 1)
            fluid_synth_sysex(synth_, reinterpret_cast<const char *>(event.bytes.data() + 1),
                              int(event.bytes.size() - 1), nullptr, nullptr, nullptr, 0);
        return;
    }
    const int channel = status & 0x0F;
    const int a = event.bytes.size() > 1 ? event.bytes[1] : 0;
    const int b = event.bytes.size() > 2 ? event.bytes[2] : 0;
    switch (status & 0xF0) {
    case 0x80:
        fluid_synth_noteoff(synth_, channel, a);
        break;
    case 0x90:
        if (b == 0)
            fluid_synth_noteoff(synth_, channel, a);
        else
            fluid_synth_noteon(synth_, channel, a, b);
        break;
    case 0xA0:
        fluid_synth_key_pressure(synth_, channel, a, b);
        break;
    case 0xB0:
        fluid_synth_cc(synth_, channel, a, b);
        break;
    case 0xC0:
        fluid_synth_program_change(synth_, channel, a);
        break;
    case 0xD0:
        fluid_synth_channel_pressure(synth_, channel, a);
        break;
    case 0xE0:
        fluid_synth_pitch_bend(synth_, channel, a | (b << 7));
        break;
    default:
        break;
    }
}

} // namespace platform::audio

namespace platform {

using audio::MusicCommand;

FluidMusic::FluidMusic(audio::AudioOutput &output) : output_(output)
{
    silentEnd_.setSingleShot(true);
    silentEnd_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&silentEnd_, &QTimer::timeout, &context_, [this] {
        silentPosition_ = song_ ? song_->lengthMicros : 0;
        silentPlaying_ = false;
        onEnded(lastPlayId_);
    });
}

FluidMusic::~FluidMusic()
{
    if (sequencer_)
        output_.detachMusicSource(sequencer_.get()); // the audio thread lets go of us here
    sequencer_.reset();
    if (synth_)
        delete_fluid_synth(synth_);
    if (settings_)
        delete_fluid_settings(settings_);
}

void FluidMusic::sendString(const QString &command, MciNotifyTarget *callback)
{
    const auto parsed = audio::parseMusicCommand(command);
    if (!parsed)
        return;
    const bool all = parsed->verb == MusicCommand::Verb::Close &&
                     parsed->device.compare(QStringLiteral("all"), Qt::CaseInsensitive) == 0;
    const bool isOpenPiece =
        !openName_.isEmpty() && parsed->device.compare(openName_, Qt::CaseInsensitive) == 0;

    if (parsed->verb == MusicCommand::Verb::Open) {
        if (!isOpenPiece)
            open(parsed->device);
        if (openName_.isEmpty() || !parsed->notify)
            return;
    } else {
        if (!isOpenPiece && !(all && !openName_.isEmpty()))
            return; // not open: nothing to do
        switch (parsed->verb) {
        case MusicCommand::Verb::Play:
            play(parsed->notify, callback);
            return; // its notification comes at the end of the piece
        case MusicCommand::Verb::Seek:
            seek(parsed->seekToEnd);
            break;
        case MusicCommand::Verb::Stop:
            stop();
            break;
        case MusicCommand::Verb::Close:
            close();
            break;
        case MusicCommand::Verb::Open:
            break;
        }
    }
    // Other commands asked to notify are complete at once.
    if (parsed->notify && callback)
        post(callback, MCI_NOTIFY_SUCCESSFUL);
}

bool FluidMusic::isPlaying() const
{
    if (!output_.isOpen())
        return silentPlaying_;
    bool playing = false;
    if (sequencer_)
        output_.locked([&] { playing = sequencer_->playing(); });
    return playing;
}

int FluidMusic::lengthMs() const
{
    return song_ ? int(song_->lengthMicros / 1000) : -1;
}

void FluidMusic::open(const QString &name)
{
    auto song = audio::loadMidiFile(name);
    if (!song) {
        // Missing or not a MIDI file: no music, said once per piece.
        static QStringList reported;
        if (!reported.contains(name, Qt::CaseInsensitive)) {
            reported.append(name);
            std::fprintf(stderr, "TORVA: cannot play %s (missing or not a MIDI file in %s), no music\n",
                         qPrintable(name), qPrintable(QDir::currentPath()));
        }
        return;
    }
    if (!openName_.isEmpty())
        close(); // one piece at a time: the new one takes over
    openName_ = name;
    song_ = std::make_shared<const audio::MidiSong>(std::move(*song));
    silentPosition_ = 0;
    silentPlaying_ = false;

    if (!output_.ensureOpen())
        return;
    ensureSynth();
    if (!sequencer_) {
        sequencer_ =
            std::make_unique<audio::Sequencer>(output_.sampleRate(), [this](std::uint64_t playId) {
                QMetaObject::invokeMethod(
                    &context_, [this, playId] { onEnded(playId); }, Qt::QueuedConnection);
            });
        output_.locked([&] { sequencer_->setSynth(synth_); });
    }
    output_.locked([&] { sequencer_->load(song_); });
    output_.setMusicSource(sequencer_.get());
}

void FluidMusic::play(bool notify, MciNotifyTarget *callback)
{
    if (pending_ && notify)
        finishPending(MCI_NOTIFY_SUPERSEDED);
    const std::uint64_t playId = ++lastPlayId_;
    if (notify && callback)
        pending_ = Pending{callback, playId};
    else if (pending_)
        pending_->playId = playId; // the earlier request now waits for this play's end

    if (output_.isOpen())
        output_.locked([&] { sequencer_->play(playId); });
    else
        startSilentClock();
}

void FluidMusic::seek(bool toEnd)
{
    finishPending(MCI_NOTIFY_ABORTED);
    if (output_.isOpen()) {
        output_.locked([&] { sequencer_->seek(toEnd); });
    } else {
        stopSilentClock();
        silentPosition_ = toEnd ? song_->lengthMicros : 0;
    }
}

void FluidMusic::stop()
{
    finishPending(MCI_NOTIFY_ABORTED);
    if (output_.isOpen())
        output_.locked([&] { sequencer_->pause(); });
    else
        stopSilentClock();
}

void FluidMusic::close()
{
    finishPending(MCI_NOTIFY_ABORTED);
    if (output_.isOpen())
        output_.locked([&] { sequencer_->unload(); });
    else
        stopSilentClock();
    openName_.clear();
    song_.reset();
}

bool FluidMusic::ensureSynth()
{
    if (synthTried_)
        return synth_ != nullptr;
    synthTried_ = true;
    const QByteArray fromEnvironment = qgetenv(kSoundFontVariable);
    const QByteArray path =
        fromEnvironment.isEmpty() ? QByteArray(kDefaultSoundFont) : fromEnvironment;
    if (!QFileInfo::exists(QFile::decodeName(path)) || !fluid_is_soundfont(path.constData())) {
        std::fprintf(stderr, "TORVA: no soundfont at %s, the music is silent\n", path.constData());
        return false;
    }
    settings_ = new_fluid_settings();
    fluid_settings_setnum(settings_, "synth.sample-rate", output_.sampleRate());
    // Only the instruments a piece selects are read from the soundfont, not
    // all of its 140 MB of samples.
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    synth_ = new_fluid_synth(settings_);
    if (!synth_ || fluid_synth_sfload(synth_, path.constData(), 1) == FLUID_FAILED) {
        std::fprintf(stderr, "TORVA: cannot load the soundfont %s, the music is silent\n",
                     path.constData());
        if (synth_)
            delete_fluid_synth(synth_);
        synth_ = nullptr;
        return false;
    }
    return true;
}

void FluidMusic::finishPending(int code)
{
    if (!pending_)
        return;
    post(pending_->target, code);
    pending_.reset();
}

void FluidMusic::post(MciNotifyTarget *target, int code)
{
    QMetaObject::invokeMethod(
        &context_, [target, code] { target->MciNotify(code); }, Qt::QueuedConnection);
}

void FluidMusic::onEnded(std::uint64_t playId)
{
    if (!pending_ || pending_->playId != playId)
        return; // stopped, superseded or replayed meanwhile
    MciNotifyTarget *target = pending_->target;
    pending_.reset();
    target->MciNotify(MCI_NOTIFY_SUCCESSFUL);
}

void FluidMusic::startSilentClock()
{
    if (!song_)
        return;
    stopSilentClock(); // a play while playing goes on from here
    silentPlaying_ = true;
    silentClock_.start();
    const std::int64_t left = std::max<std::int64_t>(song_->lengthMicros - silentPosition_, 0);
    silentEnd_.start(int(left / 1000));
}

void FluidMusic::stopSilentClock()
{
    if (silentPlaying_ && song_) {
        silentPosition_ = std::min<std::int64_t>(
            silentPosition_ + silentClock_.nsecsElapsed() / 1000, song_->lengthMicros);
    }
    silentPlaying_ = false;
    silentEnd_.stop();
}

} // namespace platform
