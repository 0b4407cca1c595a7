// Reading wave files, MIDI files and music command strings.
#include "audio_fixtures.h"
#include "platform/audio/midifile.h"
#include "platform/audio/midimusic.h"
#include "platform/audio/wavesound.h"
#include "support/testsupport.h"

#include <QTest>

using namespace platform::audio;

namespace {

// A MIDI file from raw track bodies (delta times and events, as written).
QByteArray smf(int format, quint16 division, const QList<QByteArray> &tracks)
{
    QByteArray out("MThd");
    fixtures::putBig32(out, 6);
    out.append(char(0)).append(char(format));
    out.append(char(0)).append(char(tracks.size()));
    out.append(char(division >> 8)).append(char(division & 0xFF));
    for (const QByteArray &track : tracks) {
        out.append("MTrk");
        fixtures::putBig32(out, quint32(track.size()));
        out.append(track);
    }
    return out;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray wavWithFormat(quint16 format, int bits)
{
    QByteArray file = fixtures::wav(QByteArray(4, char(0)), 22050, 1, bits);
    file[20] = char(format & 0xFF);
    file[21] = char(format >> 8);
    return file;
}

} // namespace

class TestAudioFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodesPcm()
    {
        const auto bytes8 = decodeWav(fixtures::wav(hex("0080ff")));
        QVERIFY(bytes8);
        QCOMPARE(bytes8->rate, 22050);
        QCOMPARE(bytes8->frames(), 3);
        QCOMPARE(bytes8->samples, (std::vector<float>{-1.0f, 0.0f, 127.0f / 128}));

        const auto stereo16 = decodeWav(fixtures::wav(hex("00800040"), 44100, 2, 16));
        QVERIFY(stereo16);
        QCOMPARE(stereo16->channels, 2);
        QCOMPARE(stereo16->frames(), 1);
        QCOMPARE(stereo16->samples, (std::vector<float>{-1.0f, 0.5f}));
    }

    void findsDataPastOtherChunks()
    {
        // an odd-sized chunk is padded to an even length before the next one
        QByteArray file = fixtures::wav(hex("ff00"));
        const qsizetype data = file.indexOf("data");
        file.insert(data, QByteArray("LIST\x03\x00\x00\x00"
                                     "abc\x00",
                                     12));
        const auto wave = decodeWav(file);
        QVERIFY(wave);
        QCOMPARE(wave->frames(), 2);

        // a data chunk cut short plays what is there
        QByteArray cut = fixtures::wav(QByteArray(100, char(0x90)));
        cut.chop(40);
        const auto truncated = decodeWav(cut);
        QVERIFY(truncated);
        QCOMPARE(truncated->frames(), 60);
    }

    void refusesWhatItCannotPlay_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not RIFF") << QByteArray("RIFX\0\0\0\0WAVE", 12);
        QTest::newRow("no data chunk") << fixtures::wav(hex("80")).left(36);
        QTest::newRow("ADPCM") << wavWithFormat(2, 4);
        QTest::newRow("float") << wavWithFormat(3, 32);
        QTest::newRow("24-bit") << fixtures::wav(QByteArray(6, char(0)), 22050, 1, 24);
    }

    void refusesWhatItCannotPlay()
    {
        QFETCH(QByteArray, file);
        QVERIFY(!decodeWav(file));
    }

    void mixesDownAndResamples()
    {
        PcmWave stereo{22050, 2, {0.0f, 1.0f, 1.0f, 1.0f}};
        // two frames at 22050 Hz become four at 44100 Hz
        QCOMPARE(toMono(stereo, 44100), (Samples{0.5f, 0.75f, 1.0f, 1.0f}));
        QCOMPARE(toMono(stereo, 22050), (Samples{0.5f, 1.0f}));
        const PcmWave second{22050, 1, std::vector<float>(22050, 0.25f)};
        QCOMPARE(toMono(second, 48000).size(), std::size_t(48000));
    }

    void timesEventsByTheTempoMap()
    {
        // 480 ticks a quarter: 480 ticks at 120 bpm, then 240 bpm from there
        const QByteArray file = smf(0, 480,
                                    {hex("00903c64"       // note on at 0
                                         "8360803c00"     // note off at 480
                                         "00ff510303d090" // tempo 250000
                                         "8360903e64"     // note on at 960
                                         "00ff2f00")});
        const auto song = parseMidi(file);
        QVERIFY(song);
        QCOMPARE(song->events.size(), std::size_t(3));
        QCOMPARE(song->events[1].micros, 500000);
        QCOMPARE(song->events[2].micros, 750000);
        QCOMPARE(song->events[2].bytes, (std::vector<std::uint8_t>{0x90, 0x3e, 0x64}));
        QCOMPARE(song->lengthMicros, 750000);
    }

    void readsRunningStatusSysExAndCutTracks()
    {
        const auto song = parseMidi(smf(0, 96,
                                        {hex("00c005"           // program 5
                                             "00903c64"         // note on
                                             "603c00"           // running status: off
                                             "00f0057e7f0901f7" // GM on
                                             "00903e")}));      // cut short
        QVERIFY(song);
        QCOMPARE(song->events.size(), std::size_t(4));
        QCOMPARE(song->events[0].bytes, (std::vector<std::uint8_t>{0xc0, 0x05}));
        QCOMPARE(song->events[2].bytes, (std::vector<std::uint8_t>{0x90, 0x3c, 0x00}));
        QCOMPARE(song->events[2].micros, 500000);
        QCOMPARE(song->events[3].bytes, (std::vector<std::uint8_t>{0xf0, 0x7e, 0x7f, 0x09, 0x01}));
        QCOMPARE(song->lengthMicros, 500000); // no end of track: the last event
    }

    void endsWithTheLongestTrack()
    {
        // type 1: the tempo in the first track rules the second
        const auto song = parseMidi(smf(1, 480,
                                        {hex("00ff51030f4240" // 1 s a quarter
                                             "00ff2f00"),
                                         hex("00903c64"
                                             "8360803c00"
                                             "8360ff2f00")}));
        QVERIFY(song);
        QCOMPARE(song->events[1].micros, 1000000);
        QCOMPARE(song->lengthMicros, 2000000);
    }

    void readsSmpteTime()
    {
        // 25 frames a second, 40 ticks a frame: a tick is a millisecond
        const auto song = parseMidi(smf(0, 0xE728,
                                        {hex("8374903c64"
                                             "00ff2f00")}));
        QVERIFY(song);
        QCOMPARE(song->events[0].micros, 500000);
    }

    void refusesNonMidi_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("wave") << fixtures::squareWav(10, 10);
        QTest::newRow("no tracks") << smf(0, 480, {});
        QTest::newRow("division 0") << smf(0, 0, {hex("00ff2f00")});
        QTest::newRow("short header") << hex("4d546864000000020000");
    }

    void refusesNonMidi()
    {
        QFETCH(QByteArray, file);
        QVERIFY(!parseMidi(file));
    }

    void parsesCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("verb");
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("notify");
        QTest::addColumn<bool>("toEnd");
        using V = MusicCommand::Verb;
        QTest::newRow("open") << "open TORVAM1.MID" << true << int(V::Open) << "TORVAM1.MID"
                              << false << false;
        QTest::newRow("play notify")
            << "play TORVAM2.MID notify" << true << int(V::Play) << "TORVAM2.MID" << true << false;
        QTest::newRow("any case, blanks") << "  PLAY  torvam2.mid   Notify " << true << int(V::Play)
                                          << "torvam2.mid" << true << false;
        QTest::newRow("seek to start") << "seek TORVAM2.MID to start" << true << int(V::Seek)
                                       << "TORVAM2.MID" << false << false;
        QTest::newRow("seek to end")
            << "seek a.mid to end" << true << int(V::Seek) << "a.mid" << false << true;
        QTest::newRow("stop") << "stop TORVAM1.MID" << true << int(V::Stop) << "TORVAM1.MID"
                              << false << false;
        QTest::newRow("close") << "close TORVAM1.MID" << true << int(V::Close) << "TORVAM1.MID"
                               << false << false;
        QTest::newRow("quoted") << "play \"my song.mid\" notify" << true << int(V::Play)
                                << "my song.mid" << true << false;
        QTest::newRow("seek nowhere") << "seek a.mid" << false << 0 << "" << false << false;
        QTest::newRow("seek to a time")
            << "seek a.mid to 100" << false << 0 << "" << false << false;
        QTest::newRow("no device") << "play" << false << 0 << "" << false << false;
        QTest::newRow("empty") << "" << false << 0 << "" << false << false;
        QTest::newRow("other verb") << "status a.mid mode" << false << 0 << "" << false << false;
    }

    void parsesCommands()
    {
        QFETCH(QString, command);
        QFETCH(bool, valid);
        const auto parsed = parseMusicCommand(command);
        QCOMPARE(bool(parsed), valid);
        if (!valid)
            return;
        QTEST(int(parsed->verb), "verb");
        QTEST(parsed->device, "device");
        QTEST(parsed->notify, "notify");
        QTEST(parsed->seekToEnd, "toEnd");
    }
};

TORVA_TEST_MAIN(TestAudioFiles)
#include "test_audio_files.moc"
