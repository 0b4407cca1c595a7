// The program's wave sounds ("DO", "RA", "PIRO", ...) played through the
// shared output with the behaviour of the system's PlaySound.
#pragma once

#include "mixer.h"
#include "platform/services.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>

namespace platform::audio {

// PCM read from a RIFF WAVE file: interleaved samples in -1..1.
struct PcmWave {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;
    int frames() const { return channels > 0 ? int(samples.size()) / channels : 0; }
};

// Reads uncompressed 8-bit (unsigned) or 16-bit (signed) PCM WAVE data;
// anything else gives nothing.
std::optional<PcmWave> decodeWav(const QByteArray &bytes);

// Mixes down to mono and resamples (linearly) to `rate`.
Samples toMono(const PcmWave &wave, int rate);

} // namespace platform::audio

namespace platform {

class SdlSound : public Sound {
public:
    explicit SdlSound(audio::AudioOutput &output = audio::AudioOutput::shared());

    // `name` names a sound registered here or the resource
    // ":/sounds/<NAME>.wav". Flags as PlaySound's: see Sound.
    void playSound(const QString &name, unsigned flags) override;
    // MB_ICONHAND plays ":/sounds/CRITICAL.wav"; other alerts have no sound.
    void messageBeep(unsigned type) override;

    // Makes `name` play the given WAVE data (or file) instead of a resource.
    // False, and nothing registered, if the data is not a readable wave.
    bool registerSound(const QString &name, const QByteArray &wav);
    bool registerSoundFile(const QString &name, const QString &path);

    // The length of a sound in milliseconds, or -1 if there is none.
    int durationMs(const QString &name);

private:
    // The decoded sound at the output's rate, cached; nullptr if unknown.
    std::shared_ptr<const audio::Samples> find(const QString &name);

    audio::AudioOutput &output_;
    QHash<QString, QByteArray> registered_;
    QHash<QString, std::shared_ptr<const audio::Samples>> cache_;
    int cacheRate_ = 0;
};

} // namespace platform
