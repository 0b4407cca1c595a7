// A round on the main window: the countdown, the clock of play, the time-out,
// and pulling and coasting paper, driven by the fake clock and real mouse
// events where the events' routing matters.
#include "game/torva1.h"
#include "platform/application.h"
#include "story/torva2.h"
#include "support/testsupport.h"

#include <QPaintEvent>
#include <QScreen>

namespace {
platform::FakeClock &fakeClock()
{
    return testsupport::fakes().clock;
}
QWindow *window()
{
    return Form1->windowHandle();
}

// Collects what the main window itself is asked to repaint.
class PaintSpy : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == Form1 && event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

QRegion row(int y)
{
    const int left = Form1->Shape1->Width();
    return QRegion(left, y, Form1->Shape2->Left() - left, 1);
}
} // namespace

class TestRound : public QObject {
    Q_OBJECT

    // START after the story, as the title menu's button does it.
    static void startRound() { Form1->RoundStart(); }

    // The four countdown ticks; the last one also runs the first play tick.
    static void countdown()
    {
        for (int i = 0; i < 4; ++i) {
            fakeClock().advance(1000);
            Form1->Timer1Timer();
        }
    }

    // Into play, with the test driving every tick: the real timer would
    // otherwise tick on its own while mouse events are processed.
    static void startPlay()
    {
        startRound();
        countdown();
        Form1->Timer1->setEnabled(false);
    }

    static void tick()
    {
        fakeClock().advance(50);
        Form1->Timer1Timer();
    }

    // A play tick at `elapsed` ms after play began.
    static void tickAt(int elapsed)
    {
        fakeClock().ticks = RoundStartTick + static_cast<std::uint32_t>(elapsed);
        Form1->Timer1Timer();
    }

    static void endRound() { tickAt(Form1->TimeLimit * 1000 + 1000); }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::createForms();
        // The story is left at once, as its skip hint allows after a first
        // story played to its end.
        platform::services().modalShown = [](TForm &form) {
            if (&form == Form2)
                Form2->Label3->Show();
            form.Close();
        };
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
    }

    void init()
    {
        testsupport::fakes().clear();
        Form1->TimeLimit = 10;
        Form1->RecordLength[0] = 5000; // no rules message
        Form1->RecordLength[1] = Form1->RecordLength[2] = 0;
    }

    // Whatever a test left running, back to the title.
    void cleanup()
    {
        if (!Form1->Panel2->isVisible())
            endRound();
    }

    void countdownThenPlay()
    {
        // Leftovers of an earlier round.
        Form1->PulledPixels = 77;
        Form1->Image1->Show();
        Form1->Image1->setTop(100);
        Form1->Image2->Hide();
        Form1->Shape3->setTop(300);

        startRound();
        QVERIFY(Form1->Timer1->Enabled());
        QCOMPARE(Form1->Timer1->Interval(), 1000);
        QVERIFY(!Form1->isEnabled());
        QCOMPARE(Form1->CursorShape(), int(crHourGlass));
        QVERIFY(!Form1->Panel2->isVisible());
        QCOMPARE(Form1->Label5->Caption(), QStringLiteral("Ready?"));
        QCOMPARE(Form1->Label6->Caption(), QStringLiteral("3"));
        QVERIFY(Form1->Label5->isVisible() && Form1->Label6->isVisible());
        QCOMPARE(Form1->Label8->Caption(), QStringLiteral("10"));
        QCOMPARE(Form1->PulledPixels, 0);
        QCOMPARE(Form1->Label1->Caption(), QStringLiteral("0"));
        QVERIFY(!Form1->Image1->isVisible());
        QVERIFY(Form1->Image2->isVisible());
        QCOMPARE(Form1->Image2->Top(), 0);
        QCOMPARE(Form1->Shape3->Top(), 64);
        QCOMPARE(Form1->Shape3->Height(), Form1->Height());
        Form1->Timer1->setEnabled(false);

        // The disabled window takes no pull during the countdown.
        QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(150, 20));
        QTest::mouseMove(window(), QPoint(150, 80));
        QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(150, 80));
        QVERIFY(!Form1->Pulling);
        QCOMPARE(Form1->PulledPixels, 0);

        const QStringList counts{"2", "1", "0"};
        const QStringList headings{"Ready?", "Ready?", " Start!"};
        for (int i = 0; i < 3; ++i) {
            fakeClock().advance(1000);
            Form1->Timer1Timer();
            QCOMPARE(Form1->Label6->Caption(), counts[i]);
            QCOMPARE(Form1->Label5->Caption(), headings[i]);
            QVERIFY(!Form1->isEnabled());
        }
        fakeClock().advance(1000);
        Form1->Timer1Timer();
        QVERIFY(!Form1->Label5->isVisible() && !Form1->Label6->isVisible());
        QCOMPARE(Form1->Timer1->Interval(), 50);
        QVERIFY(Form1->isEnabled());
        QCOMPARE(RoundStartTick, fakeClock().ticks);
    }

    void rulesMessageBeforeTheCountdown_data()
    {
        QTest::addColumn<int>("best");
        QTest::addColumn<bool>("shown");
        QTest::newRow("no best record") << 0 << true;
        QTest::newRow("a best record") << 1 << false;
    }
    void rulesMessageBeforeTheCountdown()
    {
        QFETCH(int, best);
        QFETCH(bool, shown);
        Form1->RecordLength[0] = best;
        bool timerRanDuringMessage = true;
        testsupport::fakes().messages.onShow = [&](const platform::ShownMessage &) {
            timerRanDuringMessage = Form1->Timer1->Enabled();
        };
        startRound();
        testsupport::fakes().messages.onShow = nullptr;
        QVERIFY(Form1->Timer1->Enabled());
        Form1->Timer1->setEnabled(false);
        const auto &messages = testsupport::fakes().messages.shown;
        QCOMPARE(messages.size(), shown ? 1 : 0);
        if (shown) {
            QVERIFY(!timerRanDuringMessage);
            QCOMPARE(messages[0].caption, QStringLiteral("ルール説明"));
            QCOMPARE(messages[0].flags, 0u);
            QVERIFY(messages[0].text.startsWith(QStringLiteral("白いトイレットペーパーの上で")));
            QVERIFY(messages[0].text.endsWith(QStringLiteral("同じ状況になります。")));
            QCOMPARE(messages[0].text.count(QLatin1Char('\n')), 2);
        }
    }

    // Each second shows its number for a whole second; time is up at the
    // first tick at or after the limit plus one second.
    void secondsLeftAndTimeUp_data()
    {
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<uint>("startTicks");
        QTest::newRow("10 s") << 10 << 1000u;
        QTest::newRow("0 s") << 0 << 1000u;
        QTest::newRow("negative") << -5 << 1000u;
        QTest::newRow("across the wrap") << 10 << 0xFFFFE000u;
    }
    void secondsLeftAndTimeUp()
    {
        QFETCH(int, timeLimit);
        QFETCH(uint, startTicks);
        Form1->TimeLimit = timeLimit;
        fakeClock().ticks = startTicks;
        startPlay();
        const int end = timeLimit * 1000 + 1000;
        if (end <= 0) {
            QCOMPARE(Form1->Label8->Tag, -1);
            QCOMPARE(Form1->Label8->Caption(), QString::number(timeLimit));
        } else {
            QCOMPARE(Form1->Label8->Caption(), QString::number(timeLimit));
            for (int second = 1; second * 1000 < end; ++second) {
                tickAt(second * 1000 - 1);
                QCOMPARE(Form1->Label8->Caption(), QString::number(timeLimit - second + 1));
                tickAt(second * 1000);
                QCOMPARE(Form1->Label8->Caption(), QString::number(timeLimit - second));
                QCOMPARE(Form1->Label8->Tag, timeLimit - second);
            }
            tickAt(end - 1);
            QCOMPARE(Form1->Label8->Tag, 0);
            QVERIFY(Form1->Timer1->Interval() == 50 && Form1->Panel2->isHidden());
            tickAt(end);
            QCOMPARE(Form1->Label8->Tag, -1);
            QCOMPARE(Form1->Label8->Caption(), QStringLiteral("0"));
        }
        QVERIFY(Form1->Panel2->isVisible());
        QCOMPARE(testsupport::fakes().messages.shown.value(0).text,
                 QStringLiteral("記録： 0m 0cm"));
    }

    void timeOutInOrder_data()
    {
        QTest::addColumn<int>("best");
        QTest::addColumn<int>("pulled");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("ranking");
        QTest::newRow("nothing, no record") << 0 << 0 << QStringLiteral("記録： 0m 0cm") << false;
        QTest::newRow("10 px under a record")
            << 500 << 10 << QStringLiteral("記録： 0m 2cm") << true;
    }
    void timeOutInOrder()
    {
        QFETCH(int, best);
        QFETCH(int, pulled);
        QFETCH(QString, result);
        QFETCH(bool, ranking);
        Form1->RecordLength[0] = best;
        testsupport::fakes().screen.screenSize = QSize(801, 601);
        Form1->move(3, 5);
        const QPoint before = Form1->frameGeometry().topLeft();
        startRound();
        countdown(); // the real timer stays on: the time-out must stop it
        testsupport::fakes().messages.shown.clear();
        if (pulled > 0) {
            Form1->FormMouseDown(mbLeft, {}, 150, 20);
            Form1->FormMouseMove({}, 150, 20 + pulled);
        }
        Form1->Panel1->setBevelOuter(bvRaised);

        struct Seen {
            bool timer, title;
            int seconds, cursor;
            QPoint place;
        };
        QList<Seen> seen;
        testsupport::fakes().messages.onShow = [&](const platform::ShownMessage &) {
            seen.append({Form1->Timer1->Enabled(), Form1->Panel2->isVisible(), Form1->Label8->Tag,
                         Form1->CursorShape(), Form1->frameGeometry().topLeft()});
        };
        endRound();
        testsupport::fakes().messages.onShow = nullptr;
        testsupport::fakes().screen.screenSize = QSize(1024, 768);

        const auto &messages = testsupport::fakes().messages.shown;
        QVERIFY(!messages.isEmpty());
        QCOMPARE(messages[0].text, result);
        QCOMPARE(messages[0].caption, QStringLiteral("記録の表示"));
        QCOMPARE(messages[0].flags, 0u);
        QVERIFY(!seen[0].timer);
        QVERIFY(!seen[0].title);
        QCOMPARE(seen[0].seconds, -1);
        QCOMPARE(seen[0].cursor, int(crNo));
        QCOMPARE(seen[0].place, before); // centred only after the message

        QVERIFY(!Form1->Timer1->Enabled());
        QCOMPARE(Form1->CoastSpeed, 0);
        QCOMPARE(Form1->PaperLineY, 10);
        QVERIFY(!Form1->Pulling);
        QCOMPARE(Form1->Top(), (601 - Form1->Height()) / 2);
        QCOMPARE(Form1->Left(), (801 - Form1->Width()) / 2);
        QVERIFY(Form1->Panel2->isVisible());
        QCOMPARE(Form1->Panel3->isVisible(), ranking);
        QCOMPARE(Form1->Panel1->BevelOuter(), bvNone);
        QCOMPARE(Form1->CursorShape(), int(crNo));
        QVERIFY(Form1->isEnabled());
    }

    // CURSOR1 for 4 ticks, CURSOR2 for 4, CURSOR3 for 5; the next round goes
    // on from the frame where this one stopped.
    void cursorCycleAcrossRounds()
    {
        CursorFrame = 0;
        startPlay();
        QList<int> shapes{Form1->CursorShape()};
        for (int i = 0; i < 13; ++i) {
            tick();
            shapes.append(Form1->CursorShape());
        }
        const int hourglass = crHourGlass;
        QCOMPARE(shapes, (QList<int>{hourglass, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3}));
        for (int i = 0; i < 5; ++i)
            tick(); // frames 1 to 5
        endRound();

        startPlay(); // frame 6
        shapes = {Form1->CursorShape()};
        for (int i = 0; i < 3; ++i) {
            tick();
            shapes.append(Form1->CursorShape());
        }
        QCOMPARE(shapes, (QList<int>{hourglass, hourglass, hourglass, 3}));
    }

    void pullSteps()
    {
        startPlay();
        Form1->FormMouseDown(mbLeft, {}, 150, 50);
        Form1->FormMouseMove({}, 150, 60);
        QCOMPARE(Form1->PulledPixels, 10);
        QCOMPARE(Form1->CoastSpeed, 10);
        // Up, and back down above the lowest point: nothing.
        Form1->FormMouseMove({}, 150, 40);
        Form1->FormMouseMove({}, 150, 55);
        QCOMPARE(Form1->PulledPixels, 10);
        QCOMPARE(Form1->CoastSpeed, 10);
        // Only what lies below the lowest point counts.
        Form1->FormMouseMove({}, 150, 65);
        QCOMPARE(Form1->PulledPixels, 15);
        QCOMPARE(Form1->CoastSpeed, 5);
        // Sideways: a step of 0 that stops the paper.
        Form1->FormMouseMove({}, 200, 65);
        QCOMPARE(Form1->CoastSpeed, 0);
        Form1->FormMouseUp(mbLeft, {}, 200, 65);
        tick();
        QCOMPARE(Form1->PulledPixels, 15);

        // Up and out of the strip keeps the pull; the next move down counts
        // and then ends it.
        Form1->FormMouseDown(mbLeft, {}, 150, 100);
        Form1->FormMouseMove({}, 60, 90);
        QVERIFY(Form1->Pulling);
        Form1->FormMouseMove({}, 60, 104);
        QCOMPARE(Form1->PulledPixels, 19);
        QVERIFY(!Form1->Pulling);

        // A second button restarts the pull where it is pressed.
        Form1->FormMouseDown(mbLeft, {}, 150, 100);
        Form1->FormMouseMove({}, 150, 110);
        Form1->FormMouseDown(mbRight, {}, 150, 105);
        QCOMPARE(Form1->CoastSpeed, 0);
        Form1->FormMouseMove({}, 150, 108);
        QCOMPARE(Form1->PulledPixels, 32);
        Form1->FormMouseUp(mbRight, {}, 150, 108);
        Form1->FormMouseMove({}, 150, 200);
        QCOMPARE(Form1->PulledPixels, 32);

        // The length display follows every counted step.
        Form1->FormMouseDown(mbLeft, {}, 150, 0);
        Form1->FormMouseMove({}, 150, 367);
        QCOMPARE(Form1->Label1->Caption(), QStringLiteral("0"));
        Form1->FormMouseMove({}, 150, 368);
        QCOMPARE(Form1->PulledPixels, 400);
        QCOMPARE(Form1->Label1->Caption(), QStringLiteral("1"));
    }

    void coastDistances_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("ticks");
        QTest::newRow("1") << 1 << 1 << 1;
        QTest::newRow("20") << 20 << 210 << 20;
        QTest::newRow("21") << 21 << 211 << 20;
        QTest::newRow("200") << 200 << 4119 << 62;
        QTest::newRow("201") << 201 << 3957 << 61;
        QTest::newRow("500") << 500 << 13019 << 87;
        QTest::newRow("501") << 501 << 10998 << 82;
    }
    void coastDistances()
    {
        QFETCH(int, speed);
        QFETCH(int, distance);
        QFETCH(int, ticks);
        startPlay();
        Form1->FormMouseDown(mbLeft, {}, 150, 0);
        Form1->FormMouseMove({}, 150, speed);
        Form1->FormMouseUp(mbLeft, {}, 150, speed);
        QCOMPARE(Form1->PulledPixels, speed);
        int coasted = 0;
        while (Form1->CoastSpeed > 0 && coasted < 1000) {
            tick();
            ++coasted;
        }
        QCOMPARE(coasted, ticks);
        QCOMPARE(Form1->PulledPixels - speed, distance);
        QCOMPARE(Form1->Label1->Caption(), QString::number((speed + distance) / 400));
    }

    void pressStopsCoasting()
    {
        startPlay();
        Form1->FormMouseDown(mbLeft, {}, 150, 0);
        Form1->FormMouseMove({}, 150, 30);
        Form1->FormMouseUp(mbLeft, {}, 150, 30);
        tick();
        QCOMPARE(Form1->PulledPixels, 60);
        Form1->FormMouseDown(mbLeft, {}, 150, 200);
        tick();
        Form1->FormMouseUp(mbLeft, {}, 150, 200);
        tick();
        QCOMPARE(Form1->PulledPixels, 60);
    }

    // The window holds the mouse from the press to the release, so the moves
    // of a pull reach it over the side areas and beyond the window.
    void leavingTheStripEndsThePull_data()
    {
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<bool>("stillPulling");
        QTest::newRow("left edge") << QPoint(88, 60) << true;
        QTest::newRow("right edge") << QPoint(232, 60) << true;
        QTest::newRow("left side area") << QPoint(87, 60) << false;
        QTest::newRow("right side area") << QPoint(233, 60) << false;
        QTest::newRow("left of the window") << QPoint(-30, 60) << false;
        QTest::newRow("right of the window") << QPoint(400, 60) << false;
        QTest::newRow("below the window") << QPoint(150, 420) << false;
    }
    void leavingTheStripEndsThePull()
    {
        QFETCH(QPoint, to);
        QFETCH(bool, stillPulling);
        startPlay();
        QTest::mousePress(window(), Qt::LeftButton, {}, QPoint(150, 20));
        QTest::mouseMove(window(), to);
        const int step = to.y() - 20;
        QCOMPARE(Form1->PulledPixels, step);
        QCOMPARE(Form1->CoastSpeed, step);
        QCOMPARE(Form1->Pulling, stillPulling);
        QTest::mouseMove(window(), QPoint(150, to.y() + 10));
        QCOMPARE(Form1->PulledPixels, stillPulling ? step + 10 : step);
        QTest::mouseRelease(window(), Qt::LeftButton, {}, QPoint(150, to.y() + 10));
        QVERIFY(!Form1->Pulling);
    }

    void pressesOnElementsPullNothing_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("pulled");
        QTest::newRow("paper") << QPoint(150, 20) << 30;
        QTest::newRow("left side area") << QPoint(40, 250) << 0;
        QTest::newRow("right side area") << QPoint(290, 250) << 0;
        QTest::newRow("black area") << QPoint(150, 300) << 0;
        QTest::newRow("length label") << QPoint(60, 110) << 0;
        QTest::newRow("seconds label") << QPoint(280, 110) << 0;
        QTest::newRow("hand") << QPoint(225, 10) << 0;
    }
    void pressesOnElementsPullNothing()
    {
        QFETCH(QPoint, at);
        QFETCH(int, pulled);
        startPlay();
        QTest::mousePress(window(), Qt::LeftButton, {}, at);
        QTest::mouseMove(window(), at + QPoint(0, 30));
        QCOMPARE(Form1->PulledPixels, pulled);
        QTest::mouseRelease(window(), Qt::LeftButton, {}, at + QPoint(0, 30));
    }

    // The hand that passes the bottom lets go and the other takes hold at the
    // top; the line starts again from the top; the black area follows the
    // paper's end until it has left the window.
    void handsLineAndBlackAreaAtTheBottom()
    {
        startPlay();
        const int bottom = Form1->Height();
        Form1->FormMouseDown(mbLeft, {}, 150, 0);
        Form1->FormMouseMove({}, 150, bottom - 64);
        QCOMPARE(Form1->Shape3->Top(), bottom);
        QCOMPARE(Form1->Image2->Top(), bottom - 64);
        QCOMPARE(Form1->PaperLineY, bottom - 54);
        Form1->FormMouseMove({}, 150, bottom);
        QCOMPARE(Form1->Shape3->Top(), bottom + 64);
        QVERIFY(Form1->Image2->isVisible()); // at the bottom, not past it
        QCOMPARE(Form1->PaperLineY, 0);
        Form1->FormMouseUp(mbLeft, {}, 150, bottom);
        tick(); // the last step's speed was 64
        QCOMPARE(Form1->PaperLineY, 64);
        QCOMPARE(Form1->Shape3->Top(), bottom + 64);

        Form1->FormMouseDown(mbLeft, {}, 150, 0);
        Form1->FormMouseMove({}, 150, 1);
        QVERIFY(!Form1->Image2->isVisible());
        QVERIFY(Form1->Image1->isVisible());
        QCOMPARE(Form1->Image1->Top(), 0);
        QCOMPARE(Form1->PaperLineY, 65);
        Form1->FormMouseMove({}, 150, 11);
        QCOMPARE(Form1->Image1->Top(), 10);
    }

    // A button still held at the time-out, its release lost: the next round
    // must not pull with no button held.
    void pullingEndsWithTheRound()
    {
        startPlay();
        Form1->FormMouseDown(mbLeft, {}, 150, 20);
        Form1->FormMouseMove({}, 150, 40);
        endRound();
        QVERIFY(!Form1->Pulling);
        startPlay();
        Form1->FormMouseMove({}, 150, 100);
        QCOMPARE(Form1->PulledPixels, 0);
    }

    // A step repaints the moved hand and the line's two rows, never the
    // whole window; the picture left on screen has the line only where it
    // now stands.
    void stepRepaintsOnlyWhatMoved()
    {
        startPlay();
        QCoreApplication::processEvents();
        PaintSpy spy;
        Form1->installEventFilter(&spy);

        const QRect handBefore = Form1->Image2->geometry();
        const QRect blackBefore = Form1->Shape3->geometry();
        Form1->FormMouseDown(mbLeft, {}, 150, 20);
        Form1->FormMouseMove({}, 150, 27);
        QCoreApplication::processEvents();
        // The hand and the black area moved with the paper.
        const QRegion allowed = row(10) + row(17) + handBefore + Form1->Image2->geometry() +
                                blackBefore + Form1->Shape3->geometry();
        QVERIFY(spy.painted.contains(row(17).boundingRect()));
        QVERIFY(spy.painted.subtracted(allowed).isEmpty());
        QVERIFY(!spy.painted.intersects(Form1->Label1->geometry()));
        QVERIFY(!spy.painted.intersects(Form1->Label8->geometry()));

        // Coasting leaves the hands where they are.
        Form1->FormMouseUp(mbLeft, {}, 150, 27);
        spy.painted = QRegion();
        const QRect blackCoasting = Form1->Shape3->geometry();
        tick();
        QCoreApplication::processEvents();
        QVERIFY(spy.painted.contains(row(24).boundingRect()));
        QVERIFY(
            spy.painted.subtracted(row(17) + row(24) + blackCoasting + Form1->Shape3->geometry())
                .isEmpty());
        Form1->removeEventFilter(&spy);

        const QImage screen = Form1->screen()->grabWindow(Form1->winId()).toImage();
        QCOMPARE(screen.size(), Form1->size());
        auto blackPixels = [&](int y) {
            int black = 0;
            for (int x = 100; x < 200; ++x)
                black += screen.pixelColor(x, y) == clr::Black;
            return black;
        };
        QCOMPARE(blackPixels(10), 0);
        QCOMPARE(blackPixels(17), 0);
        QVERIFY(blackPixels(24) > 30);
        QVERIFY(blackPixels(24) < 100); // dashed
    }
};

TORVA_TEST_MAIN(TestRound)
#include "test_round.moc"
