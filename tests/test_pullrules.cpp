// The pull game's rules without a window: slowing down, the texts of the
// length, the clock and the cursor frames.
#include "game/pullrules.h"
#include "support/testsupport.h"

#include <cstdint>

class TestPullRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void decelerationStep_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("step");
        QTest::newRow("stopped") << 0 << 0;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("20") << 20 << 1;
        QTest::newRow("21") << 21 << 2;
        QTest::newRow("40") << 40 << 2;
        QTest::newRow("41") << 41 << 3;
        QTest::newRow("60") << 60 << 3;
        QTest::newRow("61") << 61 << 4;
        QTest::newRow("80") << 80 << 4;
        QTest::newRow("81") << 81 << 5;
        QTest::newRow("100") << 100 << 5;
        QTest::newRow("101") << 101 << 6;
        QTest::newRow("200") << 200 << 6;
        QTest::newRow("201") << 201 << 12;
        QTest::newRow("500") << 500 << 12;
        QTest::newRow("501") << 501 << 60;
        QTest::newRow("huge") << 100000 << 60;
    }
    void decelerationStep()
    {
        QFETCH(int, speed);
        QFETCH(int, step);
        QCOMPARE(pull::DecelerationStep(speed), step);
    }

    void resultText_data()
    {
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("metres");
        QTest::newRow("nothing") << 0 << QStringLiteral("記録： 0m 0cm") << "0";
        QTest::newRow("under a centimetre") << 3 << QStringLiteral("記録： 0m 0cm") << "0";
        QTest::newRow("just under a metre") << 399 << QStringLiteral("記録： 0m 99cm") << "0";
        QTest::newRow("one metre") << 400 << QStringLiteral("記録： 1m 0cm") << "1";
        QTest::newRow("799") << 799 << QStringLiteral("記録： 1m 99cm") << "1";
        QTest::newRow("1234") << 1234 << QStringLiteral("記録： 3m 8cm") << "3";
    }
    void resultText()
    {
        QFETCH(int, pixels);
        QFETCH(QString, text);
        QFETCH(QString, metres);
        QCOMPARE(pull::ResultText(pixels), text);
        QCOMPARE(pull::MetresText(pixels), metres);
    }

    void clock_data()
    {
        QTest::addColumn<uint>("start");
        QTest::addColumn<uint>("now");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("left");
        QTest::addColumn<bool>("up");
        QTest::newRow("first tick") << 5000u << 5000u << 10 << 0 << 10 << false;
        QTest::newRow("just under a second") << 5000u << 5999u << 10 << 999 << 10 << false;
        QTest::newRow("one second") << 5000u << 6000u << 10 << 1000 << 9 << false;
        QTest::newRow("last moment") << 5000u << 15999u << 10 << 10999 << 0 << false;
        QTest::newRow("eleven seconds") << 5000u << 16000u << 10 << 11000 << -1 << true;
        QTest::newRow("across the wrap") << 0xFFFFF000u << 0x00001000u << 10 << 8192 << 2 << false;
        QTest::newRow("up across the wrap")
            << 0xFFFFF000u << 0x00001EF8u << 10 << 12024 << -2 << true;
        QTest::newRow("limit 0") << 0u << 999u << 0 << 999 << 0 << false;
        QTest::newRow("limit 0 up") << 0u << 1000u << 0 << 1000 << -1 << true;
        QTest::newRow("negative limit") << 0u << 0u << -1 << 0 << -1 << true;
        QTest::newRow("largest limit") << 0u << 0x7FFFFFFFu << 2147482 << 2147483647 << -1 << true;
    }
    void clock()
    {
        QFETCH(uint, start);
        QFETCH(uint, now);
        QFETCH(int, timeLimit);
        QFETCH(int, elapsed);
        QFETCH(int, left);
        QFETCH(bool, up);
        QCOMPARE(pull::ElapsedSince(now, start), elapsed);
        QCOMPARE(pull::SecondsLeft(timeLimit, elapsed), left);
        QCOMPARE(pull::TimeIsUp(elapsed, timeLimit), up);
    }

    // Frames 1, 5 and 9 switch to cursors 1, 2 and 3; 12 goes back to 0.
    void cursorFrames()
    {
        QList<int> cursors;
        int frame = 0;
        for (int tick = 0; tick < 14; ++tick) {
            const pull::CursorTick next = pull::NextCursorFrame(frame);
            cursors.append(next.cursor);
            frame = next.nextFrame;
        }
        QCOMPARE(cursors, (QList<int>{0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 0}));
        QCOMPARE(frame, 1);
    }

    void strip_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("leaves");
        QTest::newRow("middle") << 150 << 100 << false;
        QTest::newRow("left edge") << 88 << 100 << false;
        QTest::newRow("right edge") << 232 << 100 << false;
        QTest::newRow("left of it") << 87 << 100 << true;
        QTest::newRow("right of it") << 233 << 100 << true;
        QTest::newRow("at the bottom") << 150 << 377 << false;
        QTest::newRow("below the bottom") << 150 << 378 << true;
        QTest::newRow("above the top") << 150 << -5 << false;
    }
    void strip()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(bool, leaves);
        QCOMPARE(pull::LeavesStrip(x, y, 88, 232, 377), leaves);
    }

    void lineAndBlackArea()
    {
        QCOMPARE(pull::WrapLine(377, 377), 377);
        QCOMPARE(pull::WrapLine(378, 377), 0);
        // 313 px bring the black area to the bottom; it follows once more,
        // then stays below the window.
        QCOMPARE(pull::FollowBlackArea(300, 313, 377), 377);
        QCOMPARE(pull::FollowBlackArea(377, 320, 377), 384);
        QCOMPARE(pull::FollowBlackArea(384, 400, 377), 384);
    }
};

TORVA_TEST_MAIN(TestPullRules)
#include "test_pullrules.moc"
