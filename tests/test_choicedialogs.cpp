// The sex and yes/no boxes shown modally and answered with real key and
// mouse events: selection, confirmation, the hidden strip, refused close
// requests, placement and the chime.
#include "dialogs/choicerules.h"
#include "dialogs/torva5.h"
#include "dialogs/torva6.h"
#include "platform/services.h"
#include "support/testsupport.h"

namespace {

// A box left open by a test fails it after this long instead of hanging.
constexpr int WatchdogMilliseconds = 5000;
constexpr int FirstPointerTop = 19;
constexpr int SecondPointerTop = 59;

// What the tests need of either box.
struct Box {
    TForm *form;
    TLabel *label1;
    TLabel *label2;
    TImage *pointer;
    int *value;
    bool *decided;
};

Box box(const QString &name)
{
    if (name == QLatin1String("sex"))
        return {Form5,         Form5->Label1,     Form5->Label2,
                Form5->Image1, &Form5->PlayerSex, &Form5->Decided};
    return {Form6, Form6->Label1, Form6->Label2, Form6->Image1, &Form6->Answer, &Form6->Decided};
}

void addBoxRows(const char *caseName)
{
    for (const char *dialog : {"sex", "yes/no"})
        QTest::addRow("%s: %s", dialog, caseName) << QString::fromLatin1(dialog);
}

} // namespace

class TestChoiceDialogs : public QObject {
    Q_OBJECT

    std::function<void(TForm &)> answer_;
    QTimer watchdog_;
    bool leftOpen_ = false;

    int run(const Box &b, std::function<void(TForm &)> answer)
    {
        answer_ = std::move(answer);
        leftOpen_ = false;
        watchdog_.start(WatchdogMilliseconds);
        const int result = b.form->ShowModal();
        watchdog_.stop();
        return result;
    }

    // A gesture of a row: "down", "up", "return", "space", "a", "move1",
    // "move2", "moveStrip", "moveFrame", "click1", "click2".
    static void gesture(const Box &b, const QString &step)
    {
        if (step == QLatin1String("down"))
            QTest::keyClick(b.form, Qt::Key_Down);
        else if (step == QLatin1String("up"))
            QTest::keyClick(b.form, Qt::Key_Up);
        else if (step == QLatin1String("return"))
            QTest::keyClick(b.form, Qt::Key_Return);
        else if (step == QLatin1String("space"))
            QTest::keyClick(b.form, Qt::Key_Space);
        else if (step == QLatin1String("a"))
            QTest::keyClick(b.form, Qt::Key_A);
        else if (step == QLatin1String("left"))
            QTest::keyClick(b.form, Qt::Key_Left);
        else if (step == QLatin1String("move1"))
            QTest::mouseMove(b.label1, QPoint(5, 5));
        else if (step == QLatin1String("move2"))
            QTest::mouseMove(b.label2, QPoint(5, 5));
        else if (step == QLatin1String("moveFrame"))
            QTest::mouseMove(b.form->childAt(50, 5), QPoint(2, 2));
        else if (step == QLatin1String("movePointer"))
            QTest::mouseMove(b.pointer, QPoint(4, 4));
        else if (step == QLatin1String("moveStrip"))
            QTest::mouseMove(b.form->childAt(50, 47), QPoint(2, 2));
        else if (step == QLatin1String("click1"))
            QTest::mouseClick(b.label1, Qt::LeftButton, {}, QPoint(5, 5));
        else if (step == QLatin1String("click2"))
            QTest::mouseClick(b.label2, Qt::LeftButton, {}, QPoint(5, 5));
        else if (step == QLatin1String("clickFrame"))
            QTest::mouseClick(b.form->childAt(50, 5), Qt::LeftButton, {}, QPoint(2, 2));
        else
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
    }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::createForms();
        platform::services().modalShown = [this](TForm &form) {
            if (answer_)
                answer_(form);
        };
        watchdog_.setSingleShot(true);
        connect(&watchdog_, &QTimer::timeout, this, [this] {
            leftOpen_ = true;
            for (const char *name : {"sex", "yes/no"}) {
                const Box b = box(QString::fromLatin1(name));
                *b.decided = true;
                b.form->Close();
            }
        });
    }

    void init()
    {
        testsupport::fakes().clear();
        testsupport::fakes().screen.screenSize = QSize(1024, 768);
        answer_ = {};
    }

    void looksAsDesigned_data()
    {
        QTest::addColumn<QString>("dialog");
        addBoxRows("layout");
    }
    void looksAsDesigned()
    {
        QFETCH(QString, dialog);
        const Box b = box(dialog);
        QCOMPARE(b.form->ClientWidth(), 104);
        QCOMPARE(b.form->ClientHeight(), 91);
        QVERIFY(b.form->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(b.form->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(b.label1->geometry().topLeft(), QPoint(32, 16));
        QCOMPARE(b.label2->geometry(), QRect(32, 56, 63, 21));
        QCOMPARE(b.pointer->geometry(), QRect(9, 19, 16, 16));
        QVERIFY(!b.pointer->Picture().isNull());
    }

    void keysSelectAndConfirm_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("pointerTop");

        struct Row {
            const char *name;
            QStringList steps;
            int value;
            int top;
        };
        const QList<Row> rows = {
            {"Return at once", {"return"}, 0, FirstPointerTop},
            {"Space at once", {"space"}, 0, FirstPointerTop},
            {"Down, Down, Up, Return", {"down", "down", "up", "return"}, 0, FirstPointerTop},
            {"Down, Return", {"down", "return"}, 1, SecondPointerTop},
            {"Down, Space", {"down", "space"}, 1, SecondPointerTop},
            {"Up on the first caption", {"up", "return"}, 0, FirstPointerTop},
            {"other keys change nothing", {"down", "a", "left", "return"}, 1, SecondPointerTop},
            {"mouse over the second", {"move2", "return"}, 1, SecondPointerTop},
            {"mouse back over the first", {"move2", "move1", "space"}, 0, FirstPointerTop},
            {"frame, pointer and strip select nothing",
             {"move2", "moveFrame", "movePointer", "moveStrip", "return"},
             1,
             SecondPointerTop},
            {"click on the second", {"click2"}, 1, FirstPointerTop},
            {"click on the first after selecting the second",
             {"down", "click1"},
             0,
             SecondPointerTop},
            {"click on the frame does nothing",
             {"down", "clickFrame", "return"},
             1,
             SecondPointerTop},
        };
        for (const char *dialog : {"sex", "yes/no"}) {
            for (const Row &row : rows)
                QTest::addRow("%s: %s", dialog, row.name)
                    << QString::fromLatin1(dialog) << row.steps << row.value << row.top;
        }
    }
    void keysSelectAndConfirm()
    {
        QFETCH(QString, dialog);
        QFETCH(QStringList, steps);
        QFETCH(int, value);
        QFETCH(int, pointerTop);
        const Box b = box(dialog);
        *b.value = 7; // a leftover of an earlier showing

        QList<bool> pointerShownAfterKey;
        const int result = run(b, [&](TForm &) {
            for (const QString &step : steps) {
                gesture(b, step);
                if (!b.form->isVisible() || *b.decided)
                    break;
                pointerShownAfterKey.append(b.pointer->Visible());
            }
        });

        QVERIFY(!leftOpen_);
        QCOMPARE(result, int(mrCancel));
        QVERIFY(!b.form->isVisible());
        QCOMPARE(*b.value, value);
        QCOMPARE(b.pointer->Top(), pointerTop);
        QVERIFY(!pointerShownAfterKey.contains(false));
    }

    void reopeningResetsBeforeAnyInput_data()
    {
        QTest::addColumn<QString>("dialog");
        addBoxRows("after the second caption");
    }
    void reopeningResetsBeforeAnyInput()
    {
        QFETCH(QString, dialog);
        const Box b = box(dialog);
        run(b, [&](TForm &) { gesture(b, QStringLiteral("click2")); });
        QCOMPARE(*b.value, 1);
        b.pointer->Hide(); // as the blinking may have left it

        int valueAtOpen = -2;
        int topAtOpen = 0;
        bool shownAtOpen = false;
        bool decidedAtOpen = true;
        run(b, [&](TForm &) {
            valueAtOpen = *b.value;
            topAtOpen = b.pointer->Top();
            shownAtOpen = b.pointer->Visible();
            decidedAtOpen = *b.decided;
            gesture(b, QStringLiteral("return"));
        });
        QCOMPARE(valueAtOpen, 0);
        QCOMPARE(topAtOpen, FirstPointerTop);
        QVERIFY(shownAtOpen);
        QVERIFY(!decidedAtOpen);
        QCOMPARE(*b.value, 0);
    }

    void closeRequestsAreRefusedUntilAnswered_data()
    {
        QTest::addColumn<QString>("dialog");
        addBoxRows("Alt+F4 and close");
    }
    void closeRequestsAreRefusedUntilAnswered()
    {
        QFETCH(QString, dialog);
        const Box b = box(dialog);
        bool openAfterAltF4 = false;
        bool openAfterClose = false;
        const int result = run(b, [&](TForm &form) {
            QTest::keyClick(&form, Qt::Key_Down);
            QTest::keyClick(&form, Qt::Key_F4, Qt::AltModifier);
            // The refusal is answered once the modal loop runs again.
            QTimer::singleShot(0, &form, [&] {
                openAfterAltF4 = form.isVisible() && !*b.decided;
                form.close();
                QTimer::singleShot(0, &form, [&] {
                    openAfterClose = form.isVisible() && !*b.decided;
                    QTest::keyClick(&form, Qt::Key_Return);
                });
            });
        });
        QVERIFY(!leftOpen_);
        QVERIFY(openAfterAltF4);
        QVERIFY(openAfterClose);
        QCOMPARE(result, int(mrCancel));
        QCOMPARE(*b.value, 1);
    }

    void placedOnTheRightOfTheScreen_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("topLeft");
        for (const char *dialog : {"sex", "yes/no"}) {
            const QString name = QString::fromLatin1(dialog);
            QTest::addRow("%s: 640 x 480", dialog) << name << QSize(640, 480) << QPoint(428, 194);
            QTest::addRow("%s: 800 x 600", dialog) << name << QSize(800, 600) << QPoint(556, 254);
            QTest::addRow("%s: 1024 x 768", dialog) << name << QSize(1024, 768) << QPoint(736, 338);
            // A fifth of the free width is taken before multiplying by four.
            QTest::addRow("%s: 1366 x 768", dialog)
                << name << QSize(1366, 768) << QPoint(1008, 338);
        }
    }
    void placedOnTheRightOfTheScreen()
    {
        QFETCH(QString, dialog);
        QFETCH(QSize, screen);
        QFETCH(QPoint, topLeft);
        const Box b = box(dialog);
        testsupport::fakes().screen.screenSize = screen;
        QPoint shownAt;
        run(b, [&](TForm &form) {
            shownAt = QPoint(form.Left(), form.Top());
            gesture(b, QStringLiteral("return"));
        });
        QCOMPARE(b.form->Width(), 104);
        QCOMPARE(b.form->Height(), 91);
        QCOMPARE(shownAt, topLeft);
    }

    void stripClickGivesTheHiddenChoice()
    {
        const Box b = box(QStringLiteral("sex"));
        run(b, [&](TForm &) {
            QTest::mousePress(Form5->Label3, Qt::LeftButton, {}, QPoint(1, 1));
            QTest::mouseRelease(Form5->Label3, Qt::LeftButton, {}, QPoint(40, 4));
        });
        QVERIFY(!leftOpen_);
        QCOMPARE(Form5->PlayerSex, -1);
        QVERIFY(!Form5->isVisible());
        QCOMPARE(Form5->Label3->geometry(), QRect(40, 45, 41, 5));
    }

    void stripPressReleasedOutsideOnlyHidesThePointer()
    {
        const Box b = box(QStringLiteral("sex"));
        bool open = false;
        bool hidden = false;
        int hiddenTop = 0;
        int topAfterBlinks = 0;
        bool selectionKept = false;
        int topAfterUp = 0;
        bool shownAfterUp = false;
        run(b, [&](TForm &) {
            QTest::keyClick(Form5, Qt::Key_Down);
            QTest::mousePress(Form5->Label3, Qt::LeftButton, {}, QPoint(10, 2));
            QTest::mouseRelease(Form5->Label3, Qt::LeftButton, {}, QPoint(10, 20));
            open = Form5->isVisible() && !Form5->Decided;
            hidden = !Form5->Image1->Visible();
            hiddenTop = Form5->Image1->Top();
            selectionKept = Form5->PlayerSex == 1;
            // The blinking goes on out of sight.
            Form5->Timer1->OnTimer();
            Form5->Timer1->OnTimer();
            topAfterBlinks = Form5->Image1->Top();
            QTest::keyClick(Form5, Qt::Key_Up);
            topAfterUp = Form5->Image1->Top();
            shownAfterUp = Form5->Image1->Visible();
            QTest::keyClick(Form5, Qt::Key_Down);
            QTest::keyClick(Form5, Qt::Key_Return);
        });
        QVERIFY(open);
        QVERIFY(hidden);
        QCOMPARE(hiddenTop, -16);
        QVERIFY(selectionKept);
        QCOMPARE(topAfterBlinks, -16);
        QCOMPARE(topAfterUp, FirstPointerTop);
        QVERIFY(shownAfterUp);
        QCOMPARE(Form5->PlayerSex, 1);
    }

    // Return after the strip has hidden the pointer confirms the selection
    // made before; no key reaches the hidden choice.
    void returnAfterTheStripConfirmsThePreviousChoice()
    {
        const Box b = box(QStringLiteral("sex"));
        run(b, [&](TForm &) {
            QTest::mousePress(Form5->Label3, Qt::LeftButton, {}, QPoint(10, 2));
            QTest::mouseRelease(Form5->Label3, Qt::LeftButton, {}, QPoint(10, -20));
            QTest::keyClick(Form5, Qt::Key_Return);
        });
        QVERIFY(!leftOpen_);
        QCOMPARE(Form5->PlayerSex, 0);
    }

    void pointerBlinksEveryThreeTenths_data()
    {
        QTest::addColumn<QString>("dialog");
        addBoxRows("blink");
    }
    void pointerBlinksEveryThreeTenths()
    {
        QFETCH(QString, dialog);
        const Box b = box(dialog);
        auto *timer = dialog == QLatin1String("sex") ? Form5->Timer1 : Form6->Timer1;
        QCOMPARE(timer->Interval(), 300);
        QVERIFY(timer->Enabled());
        QList<bool> shown;
        run(b, [&](TForm &) {
            for (int tick = 0; tick < 3; ++tick) {
                timer->OnTimer();
                shown.append(b.pointer->Visible());
            }
            gesture(b, QStringLiteral("return"));
        });
        QCOMPARE(shown, (QList<bool>{false, true, false}));
        QVERIFY(timer->Enabled());
    }

    void yesNoChimesAtEveryShowing()
    {
        const Box yesNo = box(QStringLiteral("yes/no"));
        int soundsWhenOpen = 0;
        for (int showing = 0; showing < 2; ++showing) {
            run(yesNo, [&](TForm &) {
                soundsWhenOpen = int(testsupport::fakes().sound.calls.size());
                gesture(yesNo, QStringLiteral("return"));
            });
            QCOMPARE(soundsWhenOpen, showing + 1);
        }
        const auto &calls = testsupport::fakes().sound.calls;
        QCOMPARE(calls.size(), 2);
        for (const auto &call : calls) {
            QCOMPARE(call.name, QStringLiteral("PIRO"));
            QCOMPARE(call.flags, 0x40007u);
        }

        const Box sex = box(QStringLiteral("sex"));
        run(sex, [&](TForm &) { gesture(sex, QStringLiteral("return")); });
        QCOMPARE(testsupport::fakes().sound.calls.size(), 2);
    }
};

TORVA_TEST_MAIN(TestChoiceDialogs)
#include "test_choicedialogs.moc"
