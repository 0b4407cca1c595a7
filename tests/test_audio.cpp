// The real sound output, heard through SDL's "disk" driver: every test reads
// back what the mixer wrote to the file and checks it sample by sample.
#include "audio_fixtures.h"
#include "platform/audio/midimusic.h"
#include "platform/audio/wavesound.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

using platform::FluidMusic;
using platform::SdlSound;
using platform::audio::AudioOutput;

namespace {

constexpr int kRate = 44100;
constexpr qint64 kFrameBytes = 2 * sizeof(float);
constexpr float kSilence = 1e-4f;
const char *const kSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

int msOf(qint64 frames)
{
    return int(frames * 1000 / kRate);
}

// Where sound was in a stretch of the output.
struct Heard {
    qint64 first = -1; // frames from the start of the stretch
    qint64 last = -1;
    float peak = 0;
    bool silent() const { return first < 0; }
    int spanMs() const { return silent() ? 0 : msOf(last - first + 1); }
};

// Reads back the mix that the disk driver writes.
class DiskTap {
public:
    QString path;
    qint64 now() const { return QFileInfo(path).size() / kFrameBytes; }
    Heard since(qint64 frame) const
    {
        QFile file(path);
        Heard heard;
        if (!file.open(QIODevice::ReadOnly) || !file.seek(frame * kFrameBytes))
            return heard;
        const QByteArray bytes = file.readAll();
        const auto *samples = reinterpret_cast<const float *>(bytes.constData());
        const qint64 frames = bytes.size() / kFrameBytes;
        for (qint64 i = 0; i < frames; ++i) {
            const float v = std::max(std::abs(samples[2 * i]), std::abs(samples[2 * i + 1]));
            heard.peak = std::max(heard.peak, v);
            if (v > kSilence) {
                if (heard.first < 0)
                    heard.first = i;
                heard.last = i;
            }
        }
        return heard;
    }
};

struct Recorder : platform::MciNotifyTarget {
    QList<int> codes;
    QElapsedTimer clock;
    QList<qint64> times;
    void MciNotify(int wParam) override
    {
        codes << wParam;
        times << clock.elapsed();
    }
};

} // namespace

class TestAudio : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    DiskTap tap;
    std::unique_ptr<SdlSound> sound;
    // One player for all pieces, as in the game (the soundfont loads once).
    std::unique_ptr<FluidMusic> player;

    void quiet()
    {
        sound->playSound(QString(), 0);
        QTest::qWait(60);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        tap.path = dir.filePath(QStringLiteral("mix.raw"));
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(tap.path));
        QDir::setCurrent(dir.path());

        sound = std::make_unique<SdlSound>(AudioOutput::shared());
        QVERIFY(sound->registerSound(QStringLiteral("TONE"), fixtures::squareWav(200, 32)));
        QVERIFY(sound->registerSound(QStringLiteral("LOUD"), fixtures::squareWav(200, 64)));
        QVERIFY(sound->registerSound(QStringLiteral("LONG"), fixtures::squareWav(1000, 32)));
        QVERIFY(sound->registerSound(QStringLiteral("TICK"), fixtures::squareWav(50, 32)));
        QVERIFY(sound->registerSound(QStringLiteral("CRITICAL"), fixtures::squareWav(100, 32)));
        QVERIFY(!sound->registerSound(QStringLiteral("JUNK"), QByteArray("RIFFnonsense")));

        player = std::make_unique<FluidMusic>(AudioOutput::shared());
        QVERIFY2(AudioOutput::shared().ensureOpen(), "the disk audio driver should open");
        QCOMPARE(AudioOutput::shared().sampleRate(), kRate);
        QCOMPARE(sound->durationMs(QStringLiteral("TONE")), 200);
    }

    // Whatever a test leaves behind, even when it fails half-way.
    void cleanup()
    {
        player->sendString(QStringLiteral("close all"), nullptr);
        sound->playSound(QString(), 0);
    }

    void gameSoundsAreReadable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ms");
        QTest::newRow("DO") << QStringLiteral("DO") << 33;
        QTest::newRow("RA") << QStringLiteral("RA") << 69;
        QTest::newRow("PIRO") << QStringLiteral("PIRO") << 234;
    }

    void gameSoundsAreReadable()
    {
        QFETCH(QString, name);
        QFETCH(int, ms);
        if (!QFile::exists(QStringLiteral(":/sounds/%1.wav").arg(name)))
            QSKIP("the game's sounds are not compiled in");
        SdlSound fresh(AudioOutput::shared());
        QCOMPARE(fresh.durationMs(name), ms);
    }

    void asyncSoundComesOutWithItsLength()
    {
        const qint64 mark = tap.now();
        QElapsedTimer clock;
        clock.start();
        sound->playSound(QStringLiteral("tone"), platform::SND_ASYNC | platform::SND_NODEFAULT);
        QVERIFY(clock.elapsed() < 150); // returns long before the sound ends
        QTest::qWait(400);
        const Heard heard = tap.since(mark);
        QVERIFY(!heard.silent());
        QVERIFY2(msOf(heard.first) < 150, qPrintable(QString::number(msOf(heard.first))));
        QVERIFY2(std::abs(heard.spanMs() - 200) <= 5, qPrintable(QString::number(heard.spanMs())));
        QVERIFY(std::abs(heard.peak - 0.25f) < 0.01f);
    }

    void syncSoundTakesItsLength()
    {
        QElapsedTimer clock;
        clock.start();
        sound->playSound(QStringLiteral("TONE"), platform::SND_RESOURCE | platform::SND_NODEFAULT);
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= 170 && took < 2000, qPrintable(QString::number(took)));
        QVERIFY(!AudioOutput::shared().wavePlaying());
    }

    void loopingSoundGoesOnUntilStopped()
    {
        sound->playSound(QStringLiteral("TICK"), platform::SND_RESOURCE | platform::SND_ASYNC |
                                                     platform::SND_NODEFAULT | platform::SND_LOOP);
        QTest::qWait(50);
        const qint64 mark = tap.now();
        QTest::qWait(300);
        const Heard looping = tap.since(mark);
        QVERIFY2(looping.spanMs() >= 250, qPrintable(QString::number(looping.spanMs())));

        sound->playSound(QString(), 0);
        QTest::qWait(60);
        const qint64 afterStop = tap.now();
        QTest::qWait(150);
        QVERIFY(tap.since(afterStop).silent());
    }

    void newSoundReplacesThePlayingOne()
    {
        const qint64 mark = tap.now();
        sound->playSound(QStringLiteral("LONG"), platform::SND_ASYNC);
        QTest::qWait(100);
        sound->playSound(QStringLiteral("LOUD"), platform::SND_ASYNC);
        QTest::qWait(600);
        const Heard heard = tap.since(mark);
        // LONG would go on for a second; it stops when LOUD (200 ms) starts,
        // and the two are never heard together (0.25 + 0.5).
        QVERIFY2(heard.spanMs() > 250 && heard.spanMs() < 450,
                 qPrintable(QString::number(heard.spanMs())));
        QVERIFY(std::abs(heard.peak - 0.5f) < 0.01f);
    }

    void unknownOrEmptyNamePlaysNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<unsigned>("flags");
        QTest::newRow("unknown, no default")
            << QStringLiteral("NOSUCH") << unsigned(platform::SND_ASYNC | platform::SND_NODEFAULT);
        QTest::newRow("unknown, synchronous") << QStringLiteral("NOSUCH") << 0u;
        QTest::newRow("not a wave") << QStringLiteral("JUNK") << unsigned(platform::SND_ASYNC);
        QTest::newRow("empty") << QString() << 0u;
    }

    void unknownOrEmptyNamePlaysNothing()
    {
        QFETCH(QString, name);
        QFETCH(unsigned, flags);
        sound->playSound(QStringLiteral("LONG"), platform::SND_ASYNC);
        QTest::qWait(50);
        QElapsedTimer clock;
        clock.start();
        sound->playSound(name, flags);
        QVERIFY(clock.elapsed() < 150); // returns long before the sound ends
        QTest::qWait(60);
        const qint64 mark = tap.now();
        QTest::qWait(150);
        QVERIFY(tap.since(mark).silent());
    }

    void criticalStopBeeps()
    {
        quiet();
        qint64 mark = tap.now();
        sound->messageBeep(platform::MB_ICONINFORMATION);
        QTest::qWait(200);
        QVERIFY(tap.since(mark).silent());

        mark = tap.now();
        QElapsedTimer clock;
        clock.start();
        sound->messageBeep(platform::MB_ICONHAND);
        QVERIFY(clock.elapsed() < 150); // returns long before the sound ends
        QTest::qWait(250);
        const Heard heard = tap.since(mark);
        QVERIFY2(std::abs(heard.spanMs() - 100) <= 5, qPrintable(QString::number(heard.spanMs())));
    }

    // Music: half a second of notes, then the file ends.
    void musicEndsWhenItsDataEnds()
    {
        if (!QFile::exists(QString::fromLatin1(kSoundFont)))
            QSKIP("no General MIDI soundfont at /usr/share/sounds/sf2/default-GM.sf2");
        quiet();
        writeTune();
        FluidMusic &music = *player;
        Recorder target;
        music.sendString(QStringLiteral("open TUNE.MID"), nullptr);
        QCOMPARE(music.openPiece(), QStringLiteral("TUNE.MID"));
        QCOMPARE(music.lengthMs(), 500);

        const qint64 mark = tap.now();
        target.clock.start();
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        QVERIFY(QTest::qWaitFor([&] { return !target.codes.isEmpty(); }, 3000));
        QCOMPARE(target.codes, QList<int>{platform::MCI_NOTIFY_SUCCESSFUL});
        // The notes' release would ring on for a good while; the end comes
        // with the end of the data.
        QVERIFY2(target.times[0] >= 450 && target.times[0] < 750,
                 qPrintable(QString::number(target.times[0])));
        const qint64 atEnd = tap.now();
        QTest::qWait(100);
        QVERIFY2(!tap.since(atEnd).silent(), "the last notes still ring out after the end");
        const Heard played = tap.since(mark);
        QVERIFY(played.peak > 0.01f);
        QVERIFY(msOf(played.first) < 100);

        // The story's loop: back to the start and on again.
        music.sendString(QStringLiteral("seek TUNE.MID to start"), nullptr);
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        QVERIFY(QTest::qWaitFor([&] { return target.codes.size() == 2; }, 3000));
        QCOMPARE(target.codes[1], int(platform::MCI_NOTIFY_SUCCESSFUL));
        const qint64 second = target.times[1] - target.times[0];
        QVERIFY2(second >= 450 && second < 750, qPrintable(QString::number(second)));

        // Played to its end, a play without a seek ends at once.
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        QVERIFY(QTest::qWaitFor([&] { return target.codes.size() == 3; }, 1000));
        QVERIFY(target.times[2] - target.times[1] < 100);

        music.sendString(QStringLiteral("close TUNE.MID"), nullptr);
        QVERIFY(music.openPiece().isEmpty());
    }

    void stopAbortsAndSilences()
    {
        if (!QFile::exists(QString::fromLatin1(kSoundFont)))
            QSKIP("no General MIDI soundfont at /usr/share/sounds/sf2/default-GM.sf2");
        writeTune(2000);
        FluidMusic &music = *player;
        Recorder target;
        target.clock.start();
        music.sendString(QStringLiteral("open TUNE.MID"), nullptr);
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        QTest::qWait(300);
        QVERIFY(music.isPlaying());
        music.sendString(QStringLiteral("stop TUNE.MID"), nullptr);
        QVERIFY(!music.isPlaying());
        QVERIFY(QTest::qWaitFor([&] { return !target.codes.isEmpty(); }, 1000));
        QCOMPARE(target.codes, QList<int>{platform::MCI_NOTIFY_ABORTED});

        QTest::qWait(100);
        const qint64 mark = tap.now();
        QTest::qWait(300);
        const Heard after = tap.since(mark);
        QVERIFY2(after.silent(), qPrintable(QString::number(after.peak)));
        // and no late success for the stopped play
        QCOMPARE(target.codes.size(), 1);
        music.sendString(QStringLiteral("close TUNE.MID"), nullptr);
    }

    void newPlaySupersedesThePendingOne()
    {
        if (!QFile::exists(QString::fromLatin1(kSoundFont)))
            QSKIP("no General MIDI soundfont at /usr/share/sounds/sf2/default-GM.sf2");
        writeTune();
        FluidMusic &music = *player;
        Recorder first, second;
        first.clock.start();
        second.clock.start();
        music.sendString(QStringLiteral("open TUNE.MID"), nullptr);
        music.sendString(QStringLiteral("play TUNE.MID notify"), &first);
        music.sendString(QStringLiteral("play TUNE.MID notify"), &second);
        QVERIFY(QTest::qWaitFor([&] { return !second.codes.isEmpty(); }, 3000));
        QCOMPARE(first.codes, QList<int>{platform::MCI_NOTIFY_SUPERSEDED});
        QCOMPARE(second.codes, QList<int>{platform::MCI_NOTIFY_SUCCESSFUL});
        music.sendString(QStringLiteral("stop TUNE.MID"), nullptr);
        music.sendString(QStringLiteral("close TUNE.MID"), nullptr);
    }

    void missingOrUnopenedPieceDoesNothing_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("missing file") << QStringList{QStringLiteral("open NOFILE.MID"),
                                                     QStringLiteral("play NOFILE.MID notify")};
        QTest::newRow("not a MIDI file")
            << QStringList{QStringLiteral("open mix.raw"), QStringLiteral("play mix.raw notify")};
        QTest::newRow("not opened") << QStringList{QStringLiteral("play TUNE.MID notify")};
        QTest::newRow("closed") << QStringList{
            QStringLiteral("open TUNE.MID"), QStringLiteral("close TUNE.MID"),
            QStringLiteral("seek TUNE.MID to start"), QStringLiteral("play TUNE.MID notify")};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("open TUNE.MID"),
                                                        QStringLiteral("rewind TUNE.MID notify"),
                                                        QStringLiteral("close TUNE.MID")};
    }

    void missingOrUnopenedPieceDoesNothing()
    {
        QFETCH(QStringList, commands);
        quiet();
        writeTune();
        FluidMusic &music = *player;
        Recorder target;
        for (const QString &command : commands)
            music.sendString(command, &target);
        const qint64 mark = tap.now();
        QTest::qWait(800);
        QVERIFY(target.codes.isEmpty());
        QVERIFY(!music.isPlaying());
        QVERIFY(tap.since(mark).silent());
    }

    void musicWithoutSoundFontKeepsTime()
    {
        quiet();
        writeTune();
        qputenv(FluidMusic::kSoundFontVariable, QFile::encodeName(dir.filePath("none.sf2")));
        FluidMusic music(AudioOutput::shared());
        Recorder target;
        target.clock.start();
        const qint64 mark = tap.now();
        music.sendString(QStringLiteral("open TUNE.MID"), nullptr);
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        const bool notified = QTest::qWaitFor([&] { return !target.codes.isEmpty(); }, 3000);
        qunsetenv(FluidMusic::kSoundFontVariable);
        QVERIFY(notified);
        QCOMPARE(target.codes, QList<int>{platform::MCI_NOTIFY_SUCCESSFUL});
        QVERIFY2(target.times[0] >= 450 && target.times[0] < 750,
                 qPrintable(QString::number(target.times[0])));
        QVERIFY(tap.since(mark).silent());
        music.sendString(QStringLiteral("close TUNE.MID"), nullptr);
    }

private:
    void writeTune(int endMs = 500)
    {
        // 480 ticks are 500 ms; a slow-fading instrument (string ensemble)
        // makes the release tail plain to hear.
        constexpr int kStrings = 48;
        const int end = endMs * 480 / 500;
        std::vector<fixtures::Note> notes;
        for (int t = 0; t < end; t += 160)
            notes.push_back({t, 160, 60 + (t / 160) % 3 * 4});
        QFile file(dir.filePath(QStringLiteral("TUNE.MID")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fixtures::midiFile(notes, end, kStrings));
    }
};

TORVA_TEST_MAIN(TestAudio)
#include "test_audio.moc"
