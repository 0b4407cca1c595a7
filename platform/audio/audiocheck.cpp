// torva_audiocheck: plays the game's sounds and music pieces through the real
// output and tells what happened, for checking a machine's sound by ear or
// (with SDL_AUDIODRIVER=disk) by file.
//
//   torva_audiocheck [--seconds N] [NAME | FILE.MID]...
//
// NAME is a sound ("DO", "RA", "PIRO", "CRITICAL"), played synchronously;
// FILE.MID is opened from the current folder and played with a completion
// notice, or stopped after N seconds (default 10). Without arguments it
// checks all of the game's sounds and both pieces.
#include "platform/application.h"
#include "platform/audio/audio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kDefaultSeconds = 10;

struct Notice : platform::MciNotifyTarget {
    int code = 0;
    QEventLoop *loop = nullptr;
    void MciNotify(int wParam) override
    {
        code = wParam;
        if (loop)
            loop->quit();
    }
};

void checkSound(const QString &name)
{
    platform::SdlSound &sound = platform::realSound();
    const int length = sound.durationMs(name);
    if (length < 0) {
        std::printf("%s: no such sound\n", qPrintable(name));
        return;
    }
    QElapsedTimer clock;
    clock.start();
    sound.playSound(name, platform::SND_RESOURCE | platform::SND_NODEFAULT);
    std::printf("%s: %d ms long, played in %lld ms\n", qPrintable(name), length,
                static_cast<long long>(clock.elapsed()));
}

void checkPiece(const QString &file, int seconds)
{
    platform::FluidMusic &music = platform::realMusic();
    music.sendString(QStringLiteral("open ") + file, nullptr);
    if (music.openPiece().isEmpty()) {
        std::printf("%s: cannot be opened\n", qPrintable(file));
        return;
    }
    QEventLoop loop;
    Notice notice;
    notice.loop = &loop;
    QElapsedTimer clock;
    clock.start();
    music.sendString(QStringLiteral("play ") + file + QStringLiteral(" notify"), &notice);
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 took = clock.elapsed();
    const int length = music.lengthMs();
    music.sendString(QStringLiteral("stop ") + file, nullptr);
    music.sendString(QStringLiteral("close ") + file, nullptr);
    if (notice.code == platform::MCI_NOTIFY_SUCCESSFUL)
        std::printf("%s: %d ms long, ended after %lld ms\n", qPrintable(file), length,
                    static_cast<long long>(took));
    else
        std::printf("%s: stopped after %lld ms\n", qPrintable(file), static_cast<long long>(took));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    platform::initResources();
    QStringList items = app.arguments().mid(1);
    int seconds = kDefaultSeconds;
    if (items.size() >= 2 && items[0] == QStringLiteral("--seconds")) {
        seconds = std::max(1, items[1].toInt());
        items = items.mid(2);
    }
    if (items.isEmpty())
        items = {QStringLiteral("DO"),          QStringLiteral("RA"),
                 QStringLiteral("PIRO"),        QStringLiteral("CRITICAL"),
                 QStringLiteral("TORVAM1.MID"), QStringLiteral("TORVAM2.MID")};

    const bool device = platform::audio::AudioOutput::shared().ensureOpen();
    std::printf("output: %s\n",
                device ? qPrintable(QStringLiteral("%1 Hz stereo")
                                        .arg(platform::audio::AudioOutput::shared().sampleRate()))
                       : "none (silent)");
    for (const QString &item : items) {
        if (item.endsWith(QStringLiteral(".mid"), Qt::CaseInsensitive))
            checkPiece(item, seconds);
        else
            checkSound(item);
    }
    return 0;
}
