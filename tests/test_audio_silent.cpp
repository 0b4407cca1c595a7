// Without a sound device and without a soundfont nothing is heard, but every
// call works and keeps its timing: synchronous sounds take their length and
// music reports its end, so the story runs the same way.
#include "audio_fixtures.h"
#include "platform/audio/midimusic.h"
#include "platform/audio/wavesound.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using platform::FluidMusic;
using platform::SdlSound;
using platform::audio::AudioOutput;

namespace {

struct Recorder : platform::MciNotifyTarget {
    QList<int> codes;
    QList<qint64> times;
    QElapsedTimer clock;
    void MciNotify(int wParam) override
    {
        codes << wParam;
        times << clock.elapsed();
    }
};

} // namespace

class TestAudioSilent : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        qputenv(FluidMusic::kSoundFontVariable, QFile::encodeName(dir.filePath("none.sf2")));
        QDir::setCurrent(dir.path());
        QFile file(dir.filePath(QStringLiteral("TUNE.MID")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fixtures::midiFile({{0, 240, 60}, {240, 240, 64}}, 480)); // 500 ms
        file.close();
        QVERIFY(QFile::copy(dir.filePath(QStringLiteral("TUNE.MID")),
                            dir.filePath(QStringLiteral("OTHER.MID"))));
    }

    void soundsKeepTheirTiming()
    {
        SdlSound sound(AudioOutput::shared());
        QVERIFY(sound.registerSound(QStringLiteral("TONE"), fixtures::squareWav(200, 32)));
        QVERIFY(!AudioOutput::shared().ensureOpen());

        QElapsedTimer clock;
        clock.start();
        sound.playSound(QStringLiteral("TONE"), platform::SND_ASYNC | platform::SND_LOOP);
        sound.playSound(QStringLiteral("TONE"), platform::SND_ASYNC);
        sound.messageBeep(platform::MB_ICONHAND);
        sound.playSound(QString(), 0);
        QVERIFY(clock.elapsed() < 150); // returns long before the sound ends

        clock.restart();
        sound.playSound(QStringLiteral("TONE"), platform::SND_NODEFAULT);
        QVERIFY2(clock.elapsed() >= 190 && clock.elapsed() < 2000,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!AudioOutput::shared().wavePlaying());
    }

    void musicStillReportsItsEnd()
    {
        FluidMusic music(AudioOutput::shared());
        Recorder target;
        target.clock.start();
        music.sendString(QStringLiteral("open TUNE.MID"), nullptr);
        QCOMPARE(music.openPiece(), QStringLiteral("TUNE.MID"));
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        QVERIFY(music.isPlaying());
        QVERIFY(QTest::qWaitFor([&] { return !target.codes.isEmpty(); }, 3000));
        QCOMPARE(target.codes, QList<int>{platform::MCI_NOTIFY_SUCCESSFUL});
        QVERIFY2(target.times[0] >= 480 && target.times[0] < 800,
                 qPrintable(QString::number(target.times[0])));

        // loop once, then stop half way: aborted, and no success later
        music.sendString(QStringLiteral("seek TUNE.MID to start"), nullptr);
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        QTest::qWait(250);
        music.sendString(QStringLiteral("stop TUNE.MID"), nullptr);
        QVERIFY(!music.isPlaying());
        QVERIFY(QTest::qWaitFor([&] { return target.codes.size() == 2; }, 1000));
        QCOMPARE(target.codes[1], int(platform::MCI_NOTIFY_ABORTED));

        // a play after a stop goes on from where it stopped
        const qint64 resumed = target.clock.elapsed();
        music.sendString(QStringLiteral("play TUNE.MID notify"), &target);
        QVERIFY(QTest::qWaitFor([&] { return target.codes.size() == 3; }, 3000));
        QCOMPARE(target.codes[2], int(platform::MCI_NOTIFY_SUCCESSFUL));
        const qint64 rest = target.times[2] - resumed;
        QVERIFY2(rest >= 200 && rest < 450, qPrintable(QString::number(rest)));

        music.sendString(QStringLiteral("close TUNE.MID"), nullptr);
        QVERIFY(music.openPiece().isEmpty());
        QTest::qWait(100);
        QCOMPARE(target.codes.size(), 3);
    }

    void onePieceIsOpenAtATime()
    {
        FluidMusic music(AudioOutput::shared());
        Recorder target;
        music.sendString(QStringLiteral("open TUNE.MID"), nullptr);
        music.sendString(QStringLiteral("play tune.mid notify"),
                         &target); // names match in any case
        QVERIFY(music.isPlaying());
        music.sendString(QStringLiteral("open TUNE.MID"), nullptr); // already open: plays on
        QVERIFY(music.isPlaying());
        music.sendString(QStringLiteral("open OTHER.MID"), nullptr); // takes over
        QCOMPARE(music.openPiece(), QStringLiteral("OTHER.MID"));
        QVERIFY(!music.isPlaying());
        QVERIFY(QTest::qWaitFor([&] { return !target.codes.isEmpty(); }, 1000));
        QCOMPARE(target.codes, QList<int>{platform::MCI_NOTIFY_ABORTED});

        music.sendString(QStringLiteral("close TUNE.MID"), nullptr); // not the open one
        QCOMPARE(music.openPiece(), QStringLiteral("OTHER.MID"));
        music.sendString(QStringLiteral("close all"), nullptr);
        QVERIFY(music.openPiece().isEmpty());
    }
};

TORVA_TEST_MAIN(TestAudioSilent)
#include "test_audio_silent.moc"
