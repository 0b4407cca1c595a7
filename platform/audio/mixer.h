// The one sound output of the program: an SDL2 audio device opened on first
// need, and a small mixer in its callback that adds the wave channel (the
// program's short sounds) and the music channel (a synthesiser) together.
// Without a device every call still works and simply makes no sound.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include <QPointer>
#include <QTimer>

namespace platform::audio {

// Mono samples in -1..1 at the output's sample rate.
using Samples = std::vector<float>;

// Something that plays into the music channel. render() is called on the
// audio thread with the mixer's lock held: it must add (not assign) its
// interleaved stereo frames to `out` and return quickly.
class MusicSource {
public:
    virtual ~MusicSource() = default;
    virtual void render(float *out, int frames) = 0;
};

class AudioOutput {
public:
    static constexpr int kPreferredRate = 44100;
    static constexpr int kChannels = 2;
    // 512 frames at 44.1 kHz are about 12 ms, so a sound starts at once.
    static constexpr int kBufferFrames = 512;

    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput &) = delete;
    AudioOutput &operator=(const AudioOutput &) = delete;

    // The process-wide output.
    static AudioOutput &shared();

    // Opens the device on first call; later calls return the first answer.
    // False when there is no device (one line on stderr says why).
    bool ensureOpen();
    bool isOpen() const { return state_ == State::Open; }
    // The device's rate, or the preferred rate while there is no device.
    int sampleRate() const { return rate_; }
    // Stops the device for good (called when the application ends).
    void close();
    // Closes the device once nothing has played for `after` (0: never), so
    // that a game waiting for the player costs no audio wake-ups; the next
    // sound or piece opens it again.
    void setIdleClose(std::chrono::milliseconds after);

    // Starts `samples` on the wave channel, replacing whatever plays there.
    // Returns an id for waitWave(). Does nothing useful without a device.
    std::uint64_t startWave(std::shared_ptr<const Samples> samples, bool loop);
    void stopWave();
    // Waits without spinning until wave `id` has been played to its end (or
    // was replaced or stopped); gives up after `timeout`. True if it ended.
    bool waitWave(std::uint64_t id, std::chrono::milliseconds timeout);
    // Whether the wave channel is playing something now.
    bool wavePlaying();

    // Connects the music channel (one source at a time). Once this returns,
    // the previous source is no longer called.
    void setMusicSource(MusicSource *source);
    // Disconnects `source` if it is the one connected.
    void detachMusicSource(MusicSource *source);
    // Runs `f` with the audio thread held off, for changes to a source.
    template <class F> void locked(F &&f)
    {
        std::lock_guard guard(mutex_);
        f();
    }

private:
    enum class State { Unopened, Open, Failed, Closed };

    void checkIdle();
    void closeDevice();
    static void callback(void *self, std::uint8_t *stream, int bytes);
    void mix(float *out, int frames);
    void mixWave(float *out, int frames);

    State state_ = State::Unopened;
    std::uint32_t device_ = 0;
    int rate_ = kPreferredRate;

    std::mutex mutex_;
    std::condition_variable waveEnded_;
    std::shared_ptr<const Samples> wave_;
    std::size_t wavePos_ = 0;
    bool waveLoop_ = false;
    std::uint64_t waveId_ = 0;
    std::uint64_t waveDoneId_ = 0;
    MusicSource *music_ = nullptr;

    std::chrono::milliseconds idleClose_{0};
    std::chrono::steady_clock::time_point lastBusy_{};
    QPointer<QTimer> idleTimer_; // owned by the application object
};

} // namespace platform::audio
