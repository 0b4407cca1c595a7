// A game that waits for the player closes its sound device after a few quiet
// seconds, and the next sound opens it again.
#include "audio_fixtures.h"
#include "platform/audio/mixer.h"
#include "platform/audio/wavesound.h"
#include "support/testsupport.h"

using platform::audio::AudioOutput;
using namespace std::chrono_literals;

class TestAudioIdle : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void quietDeviceClosesAndReopensForTheNextSound()
    {
        AudioOutput &output = AudioOutput::shared();
        output.setIdleClose(200ms);
        platform::SdlSound sound(output);
        QVERIFY(sound.registerSound(QStringLiteral("TONE"), fixtures::squareWav(100, 32)));

        sound.playSound(QStringLiteral("TONE"), platform::SND_ASYNC);
        QVERIFY(output.isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!output.isOpen(), 5000);

        sound.playSound(QStringLiteral("TONE"), platform::SND_ASYNC);
        QVERIFY(output.isOpen());
        QVERIFY(output.wavePlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!output.wavePlaying(), 5000);
    }

    void deviceStaysOpenWhileSomethingPlays()
    {
        AudioOutput &output = AudioOutput::shared();
        output.setIdleClose(200ms);
        platform::SdlSound sound(output);
        QVERIFY(sound.registerSound(QStringLiteral("TONE"), fixtures::squareWav(100, 32)));

        sound.playSound(QStringLiteral("TONE"), platform::SND_ASYNC | platform::SND_LOOP);
        QTest::qWait(800); // four idle times
        QVERIFY(output.isOpen());
        QVERIFY(output.wavePlaying());
        sound.playSound(QString(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!output.isOpen(), 5000);
    }

    void withoutIdleCloseTheDeviceStaysOpen()
    {
        AudioOutput &output = AudioOutput::shared();
        output.setIdleClose(0ms);
        platform::SdlSound sound(output);
        QVERIFY(sound.registerSound(QStringLiteral("TONE"), fixtures::squareWav(50, 32)));
        sound.playSound(QStringLiteral("TONE"), platform::SND_ASYNC);
        QTest::qWait(600);
        QVERIFY(output.isOpen());
    }
};

TORVA_TEST_MAIN(TestAudioIdle)
#include "test_audio_idle.moc"
