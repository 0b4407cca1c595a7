#include "wavesound.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace platform::audio {

namespace {

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatExtensible = 0xFFFE;
constexpr float kByteMidpoint = 128.0f;
constexpr float kShortScale = 32768.0f;
constexpr int kFmtMinSize = 16;
constexpr int kChunkHeader = 8;

quint16 le16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 le32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

} // namespace

std::optional<PcmWave> decodeWav(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    const qsizetype size = bytes.size();
    if (size < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;

    int format = 0, channels = 0, rate = 0, bits = 0;
    const char *pcm = nullptr;
    qsizetype pcmBytes = 0;
    for (qsizetype pos = 12; pos + kChunkHeader <= size;) {
        const QByteArray id = bytes.mid(pos, 4);
        const qsizetype length = le32(data + pos + 4);
        const qsizetype body = pos + kChunkHeader;
        const qsizetype available = std::min(length, size - body);
        if (id == "fmt " && available >= kFmtMinSize) {
            format = le16(data + body);
            channels = le16(data + body + 2);
            rate = int(le32(data + body + 4));
            bits = le16(data + body + 14);
        } else if (id == "data") {
            pcm = data + body;
            pcmBytes = available; // a truncated file plays what it has
        }
        pos = body + length + (length & 1);
    }
    const bool pcmFormat = format == kFormatPcm || format == kFormatExtensible;
    if (!pcm || !pcmFormat || channels < 1 || rate < 1 || (bits != 8 && bits != 16))
        return std::nullopt;

    PcmWave wave;
    wave.rate = rate;
    wave.channels = channels;
    const int bytesPerFrame = channels * bits / 8;
    const qsizetype count = pcmBytes / bytesPerFrame * channels;
    wave.samples.resize(count);
    for (qsizetype i = 0; i < count; ++i) {
        wave.samples[i] = bits == 8 ? (quint8(pcm[i]) - kByteMidpoint) / kByteMidpoint
                                    : qFromLittleEndian<qint16>(pcm + 2 * i) / kShortScale;
    }
    return wave;
}

Samples toMono(const PcmWave &wave, int rate)
{
    const int frames = wave.frames();
    Samples mono(frames);
    for (int f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < wave.channels; ++c)
            sum += wave.samples[f * wave.channels + c];
        mono[f] = sum / wave.channels;
    }
    if (rate == wave.rate || frames == 0)
        return mono;

    const double step = double(wave.rate) / rate;
    const auto outFrames = std::size_t(std::llround(double(frames) * rate / wave.rate));
    Samples out(outFrames);
    for (std::size_t i = 0; i < outFrames; ++i) {
        const double at = i * step;
        const auto left = std::min(std::size_t(at), mono.size() - 1);
        const auto right = std::min(left + 1, mono.size() - 1);
        const float t = float(at - double(left));
        out[i] = mono[left] + (mono[right] - mono[left]) * t;
    }
    return out;
}

} // namespace platform::audio

namespace platform {

namespace {

const char *const kCriticalStop = "CRITICAL";
// How much longer than its length a synchronous sound may take before the
// caller is let go anyway (the device may have stalled).
constexpr int kSyncSlackMs = 500;

QString resourcePath(const QString &key)
{
    return QStringLiteral(":/sounds/") + key + QStringLiteral(".wav");
}

} // namespace

SdlSound::SdlSound(audio::AudioOutput &output) : output_(output) {}

void SdlSound::playSound(const QString &name, unsigned flags)
{
    if (name.isEmpty()) {
        output_.stopWave();
        return;
    }
    output_.ensureOpen();
    const auto samples = find(name);
    if (!samples) {
        // There is no default sound to fall back on, so an unknown name
        // only stops what plays, whether SND_NODEFAULT is given or not.
        output_.stopWave();
        return;
    }
    const bool loop = flags & SND_LOOP;
    // A looping sound can't be waited for: it always runs asynchronously.
    const bool async = (flags & SND_ASYNC) || loop;
    QElapsedTimer clock;
    clock.start();
    const std::uint64_t id = output_.startWave(samples, loop);
    if (async)
        return;
    // The end is mixed up to a buffer ahead of being heard, so the call
    // lasts at least the sound's length. Without a device nothing is heard,
    // but the caller keeps its pace.
    const int ms = int(samples->size() * 1000 / output_.sampleRate());
    if (output_.isOpen())
        output_.waitWave(id, std::chrono::milliseconds(ms + kSyncSlackMs));
    const qint64 left = ms - clock.elapsed();
    if (left > 0)
        QThread::msleep(std::uint32_t(left));
}

void SdlSound::messageBeep(unsigned type)
{
    if (type == MB_ICONHAND)
        playSound(QString::fromLatin1(kCriticalStop), SND_ASYNC | SND_NODEFAULT);
}

bool SdlSound::registerSound(const QString &name, const QByteArray &wav)
{
    if (!audio::decodeWav(wav))
        return false;
    const QString key = name.toUpper();
    registered_.insert(key, wav);
    cache_.remove(key);
    return true;
}

bool SdlSound::registerSoundFile(const QString &name, const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && registerSound(name, file.readAll());
}

int SdlSound::durationMs(const QString &name)
{
    const auto samples = find(name);
    return samples ? int(samples->size() * 1000 / output_.sampleRate()) : -1;
}

std::shared_ptr<const audio::Samples> SdlSound::find(const QString &name)
{
    if (cacheRate_ != output_.sampleRate()) {
        cache_.clear();
        cacheRate_ = output_.sampleRate();
    }
    const QString key = name.toUpper();
    if (const auto cached = cache_.constFind(key); cached != cache_.cend())
        return *cached;
    QByteArray bytes = registered_.value(key);
    if (bytes.isEmpty()) {
        QFile file(resourcePath(key));
        if (!file.open(QIODevice::ReadOnly))
            return nullptr;
        bytes = file.readAll();
    }
    const auto wave = audio::decodeWav(bytes);
    if (!wave)
        return nullptr;
    auto samples =
        std::make_shared<const audio::Samples>(audio::toMono(*wave, output_.sampleRate()));
    cache_.insert(key, samples);
    return samples;
}

} // namespace platform
