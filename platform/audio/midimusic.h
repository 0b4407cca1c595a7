// MIDI music played by a FluidSynth synthesiser in the shared output, driven
// by the MCI-like command strings the story window sends.
#pragma once

#include "midifile.h"
#include "mixer.h"
#include "platform/services.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <fluidsynth/types.h>

#include <functional>
#include <memory>
#include <optional>

namespace platform::audio {

struct MusicCommand {
    enum class Verb { Open, Play, Seek, Stop, Close };
    Verb verb = Verb::Open;
    QString device; // the file name, case as given
    bool notify = false;
    bool seekToEnd = false; // "seek F to end"; otherwise "to start"
};

// Reads "open F", "play F [notify]", "seek F to start|end", "stop F" and
// "close F" (F may be quoted); nothing for any other command.
std::optional<MusicCommand> parseMusicCommand(const QString &command);

// Plays one song into the music channel. Every member is used under the
// output's lock: render() on the audio thread, the rest on the GUI thread.
class Sequencer : public MusicSource {
public:
    // `ended` is called on the audio thread, with the play's id, when a
    // playing song reaches the end of its data.
    Sequencer(int rate, std::function<void(std::uint64_t)> ended);

    void render(float *out, int frames) override;

    void setSynth(fluid_synth_t *synth) { synth_ = synth; }
    void load(std::shared_ptr<const MidiSong> song);
    void unload();
    void play(std::uint64_t id);
    void pause(); // silent at once, reverberation and all
    void seek(bool toEnd);
    bool playing() const { return playing_; }

private:
    std::int64_t frameOf(std::int64_t micros) const;
    void dispatch(const MidiEvent &event);

    int rate_;
    std::function<void(std::uint64_t)> ended_;
    fluid_synth_t *synth_ = nullptr;
    std::shared_ptr<const MidiSong> song_;
    std::size_t next_ = 0;
    std::int64_t position_ = 0; // frames from the start of the song
    std::int64_t end_ = 0;
    bool playing_ = false;
    // From a play to the next pause the synthesiser is heard, so the last
    // notes of a piece that has ended ring out.
    bool sounding_ = false;
    std::uint64_t playId_ = 0;
    std::vector<float> scratch_;
};

} // namespace platform::audio

namespace platform {

// Music is silent without a device or a soundfont, but a piece played with
// "notify" still reports its end after its length, so a looping caller runs
// the same way with or without sound.
class FluidMusic : public Music {
public:
    static constexpr const char *kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    static constexpr const char *kSoundFontVariable = "TORVA_SOUNDFONT";

    explicit FluidMusic(audio::AudioOutput &output = audio::AudioOutput::shared());
    ~FluidMusic() override;
    FluidMusic(const FluidMusic &) = delete;
    FluidMusic &operator=(const FluidMusic &) = delete;

    void sendString(const QString &command, MciNotifyTarget *callback) override;

    // The name of the open piece as it was opened, or empty.
    QString openPiece() const { return openName_; }
    bool isPlaying() const;
    // The open piece's length in milliseconds, or -1.
    int lengthMs() const;

private:
    struct Pending {
        MciNotifyTarget *target = nullptr;
        std::uint64_t playId = 0;
    };

    void open(const QString &name);
    void play(bool notify, MciNotifyTarget *callback);
    void seek(bool toEnd);
    void stop();
    void close();
    bool ensureSynth();
    void finishPending(int code);
    void post(MciNotifyTarget *target, int code);
    void onEnded(std::uint64_t playId);
    // Without a device the piece's time is kept by a clock and a timer.
    void startSilentClock();
    void stopSilentClock();

    audio::AudioOutput &output_;
    QObject context_; // queued calls into the GUI thread die with this object
    std::unique_ptr<audio::Sequencer> sequencer_;
    fluid_settings_t *settings_ = nullptr;
    fluid_synth_t *synth_ = nullptr;
    bool synthTried_ = false;

    QString openName_;
    std::shared_ptr<const audio::MidiSong> song_;
    std::uint64_t lastPlayId_ = 0;
    std::optional<Pending> pending_;

    QTimer silentEnd_;
    QElapsedTimer silentClock_;
    std::int64_t silentPosition_ = 0; // microseconds
    bool silentPlaying_ = false;
};

} // namespace platform
