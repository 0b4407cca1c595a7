#include "mixer.h"

#include <QCoreApplication>
#include <QTimer>

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace platform::audio {

namespace {

const char *const kAppName = "TORVA";

void closeSharedOutput()
{
    AudioOutput::shared().close();
}

} // namespace

AudioOutput &AudioOutput::shared()
{
    static AudioOutput output;
    static const bool closesWithApp = [] {
        // Stop the audio thread while the application object still exists.
        if (QCoreApplication::instance())
            qAddPostRoutine(closeSharedOutput);
        return true;
    }();
    Q_UNUSED(closesWithApp);
    return output;
}

AudioOutput::~AudioOutput()
{
    close();
}

bool AudioOutput::ensureOpen()
{
    if (state_ != State::Unopened)
        return state_ == State::Open;
    state_ = State::Failed;

    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, kAppName);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "TORVA: no sound output, playing silently (SDL audio: %s)\n",
                     SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = kPreferredRate;
    want.format = AUDIO_F32SYS;
    want.channels = kChannels;
    want.samples = kBufferFrames;
    want.callback = &AudioOutput::callback;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device_ == 0) {
        std::fprintf(stderr,
                     "TORVA: no sound output, playing silently (cannot open audio device: %s)\n",
                     SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    rate_ = have.freq;
    state_ = State::Open;
    SDL_PauseAudioDevice(device_, 0);
    lastBusy_ = std::chrono::steady_clock::now();
    if (idleTimer_)
        idleTimer_->start();
    return true;
}

void AudioOutput::setIdleClose(std::chrono::milliseconds after)
{
    idleClose_ = after;
    if (after.count() <= 0 || !QCoreApplication::instance()) {
        if (idleTimer_)
            idleTimer_->stop();
        return;
    }
    if (!idleTimer_) {
        idleTimer_ = new QTimer(QCoreApplication::instance());
        QObject::connect(idleTimer_, &QTimer::timeout, idleTimer_, [this] { checkIdle(); });
    }
    // Looked at a few times within the idle time, at most once a second.
    using namespace std::chrono_literals;
    idleTimer_->setInterval(std::clamp<std::chrono::milliseconds>(after / 4, 20ms, 1000ms));
    if (state_ == State::Open)
        idleTimer_->start();
}

// The device stays open while a sound or a piece is there; after the idle
// time with neither it closes, and the next ensureOpen() opens it again.
void AudioOutput::checkIdle()
{
    if (state_ != State::Open || idleClose_.count() <= 0) {
        idleTimer_->stop();
        return;
    }
    bool busy = false;
    {
        std::lock_guard guard(mutex_);
        busy = wave_ != nullptr || music_ != nullptr;
    }
    const auto now = std::chrono::steady_clock::now();
    if (busy) {
        lastBusy_ = now;
        return;
    }
    if (now - lastBusy_ < idleClose_)
        return;
    // SDL's disk driver records the mix into one file: closing it would
    // start the recording anew, so it stays open.
    if (const char *driver = SDL_GetCurrentAudioDriver(); driver && qstrcmp(driver, "disk") == 0)
        return;
    idleTimer_->stop();
    closeDevice();
    state_ = State::Unopened;
}

void AudioOutput::closeDevice()
{
    SDL_CloseAudioDevice(device_);
    device_ = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioOutput::close()
{
    if (idleTimer_)
        idleTimer_->stop();
    if (state_ == State::Open)
        closeDevice();
    state_ = State::Closed;
    std::lock_guard guard(mutex_);
    wave_.reset();
    waveDoneId_ = waveId_;
    music_ = nullptr;
    waveEnded_.notify_all();
}

std::uint64_t AudioOutput::startWave(std::shared_ptr<const Samples> samples, bool loop)
{
    if (!isOpen())
        return 0;
    std::lock_guard guard(mutex_);
    waveDoneId_ = waveId_;
    wave_ = std::move(samples);
    wavePos_ = 0;
    waveLoop_ = loop;
    waveEnded_.notify_all();
    return ++waveId_;
}

void AudioOutput::stopWave()
{
    std::lock_guard guard(mutex_);
    wave_.reset();
    waveDoneId_ = waveId_;
    waveEnded_.notify_all();
}

bool AudioOutput::waitWave(std::uint64_t id, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return waveEnded_.wait_for(lock, timeout, [&] { return waveDoneId_ >= id; });
}

bool AudioOutput::wavePlaying()
{
    std::lock_guard guard(mutex_);
    return wave_ != nullptr;
}

void AudioOutput::setMusicSource(MusicSource *source)
{
    std::lock_guard guard(mutex_);
    music_ = source;
}

void AudioOutput::detachMusicSource(MusicSource *source)
{
    std::lock_guard guard(mutex_);
    if (music_ == source)
        music_ = nullptr;
}

void AudioOutput::callback(void *self, std::uint8_t *stream, int bytes)
{
    auto *out = reinterpret_cast<float *>(stream);
    const int frames = bytes / int(sizeof(float) * kChannels);
    std::fill(out, out + frames * kChannels, 0.0f);
    static_cast<AudioOutput *>(self)->mix(out, frames);
    for (int i = 0; i < frames * kChannels; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void AudioOutput::mix(float *out, int frames)
{
    std::lock_guard guard(mutex_);
    mixWave(out, frames);
    if (music_)
        music_->render(out, frames);
}

void AudioOutput::mixWave(float *out, int frames)
{
    if (!wave_)
        return;
    const Samples &samples = *wave_;
    for (int i = 0; i < frames; ++i) {
        if (wavePos_ >= samples.size()) {
            if (!waveLoop_ || samples.empty())
                break;
            wavePos_ = 0;
        }
        const float value = samples[wavePos_++];
        out[i * kChannels] += value;
        out[i * kChannels + 1] += value;
    }
    if (wavePos_ >= samples.size() && (!waveLoop_ || samples.empty())) {
        wave_.reset();
        waveDoneId_ = waveId_;
        waveEnded_.notify_all();
    }
}

} // namespace platform::audio
