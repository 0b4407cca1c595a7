// The title menu as the player uses it: flat buttons under real mouse
// events, the hidden click counters, and what START and EXIT do.
#include "game/torva1.h"
#include "platform/application.h"
#include "story/torva2.h"
#include "support/testsupport.h"

class TestTitle : public QObject {
    Q_OBJECT

    int storiesShown = 0;

    static QString bevels()
    {
        auto name = [](TPanel *panel) {
            switch (panel->BevelOuter()) {
            case bvRaised:
                return QStringLiteral("raised");
            case bvLowered:
                return QStringLiteral("lowered");
            default:
                return QStringLiteral("flat");
            }
        };
        return name(Form1->Panel1) + QLatin1Char(' ') + name(Form1->Panel3) + QLatin1Char(' ') +
               name(Form1->Panel4);
    }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::createForms();
        // START shows the story modally; here the story closes at once, as a
        // story already seen to its end may.
        Form2->Label3->Show();
        platform::services().modalShown = [this](TForm &form) {
            if (&form == Form2)
                ++storiesShown;
            form.Close();
        };
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        Form1->Panel3->Show(); // as if a record existed
    }

    // A round that START began is left for the title again: its countdown
    // would disable the window and tick on its own.
    static void leaveRound()
    {
        Form1->Timer1->setEnabled(false);
        Form1->setEnabled(true);
        Form1->Panel2->Show();
    }

    void cleanup() { leaveRound(); }

    void init()
    {
        testsupport::fakes().clear();
        QTest::mouseMove(Form1->Panel2, QPoint(5, 5));
        storiesShown = 0;
    }

    void firstShowingLeavesRoundFieldsSet()
    {
        QCOMPARE(Form1->TimeLimit, 10);
        QCOMPARE(Form1->PaperLineY, 10);
        QCOMPARE(Form1->PulledPixels, 0);
        QCOMPARE(Form1->ClientWidth(), 329);
        QCOMPARE(Form1->ClientHeight(), 377);
    }

    void hoverRaisesAndTheOthersGoFlat()
    {
        QTest::mouseMove(Form1->Panel1, QPoint(10, 10));
        QCOMPARE(bevels(), QStringLiteral("raised flat flat"));
        QTest::mouseMove(Form1->Panel3, QPoint(10, 10));
        QCOMPARE(bevels(), QStringLiteral("flat raised flat"));
        QTest::mouseMove(Form1->Panel2, QPoint(5, 5));
        QCOMPARE(bevels(), QStringLiteral("flat flat flat"));
    }

    void pressedButtonStaysLoweredUntilTheBackground()
    {
        QTest::mousePress(Form1->Panel1, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(bevels(), QStringLiteral("lowered flat flat"));
        QTest::mouseMove(Form1->Panel1, QPoint(20, 12));
        QCOMPARE(bevels(), QStringLiteral("lowered flat flat"));
        // Released beyond the button: nothing starts and it stays lowered.
        QTest::mouseRelease(Form1->Panel1, Qt::LeftButton, {}, QPoint(10, 60));
        QCOMPARE(storiesShown, 0);
        QCOMPARE(bevels(), QStringLiteral("lowered flat flat"));
        QTest::mouseMove(Form1->Panel3, QPoint(10, 10));
        QCOMPARE(bevels(), QStringLiteral("flat raised flat"));
    }

    void startCountsReleasesInsideEndsIncluded_data()
    {
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<int>("stories");
        QTest::newRow("middle") << QPoint(60, 12) << 1;
        QTest::newRow("right end") << QPoint(121, 12) << 1;
        QTest::newRow("bottom end") << QPoint(60, 25) << 1;
        QTest::newRow("left of it") << QPoint(-1, 12) << 0;
        QTest::newRow("above it") << QPoint(60, -1) << 0;
        QTest::newRow("past the right end") << QPoint(122, 12) << 0;
    }
    void startCountsReleasesInsideEndsIncluded()
    {
        QFETCH(QPoint, release);
        QFETCH(int, stories);
        Form1->Panel2->Show();
        QTest::mousePress(Form1->Panel1, Qt::RightButton, {}, QPoint(10, 10));
        QTest::mouseRelease(Form1->Panel1, Qt::RightButton, {}, release);
        QCOMPARE(storiesShown, stories);
    }

    void startCopiesTheSfcCheckBoxIntoTheStory()
    {
        Form1->CheckBox1->setChecked(true);
        QTest::mouseClick(Form1->Panel1, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(Form2->SfcMode);
        Form1->CheckBox1->setChecked(false);
        leaveRound();
        QTest::mouseClick(Form1->Panel1, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!Form2->SfcMode);
    }

    void versionCreditsOnTheFiftiethClickOnly()
    {
        Form1->Panel2->Show();
        auto click = [] { QTest::mouseClick(Form1->Label4, Qt::LeftButton, {}, QPoint(5, 5)); };
        while (VersionClicks < 49)
            click();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 0);
        click();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 1);
        QCOMPARE(testsupport::fakes().messages.shown[0].caption, QStringLiteral("Quillon"));
        QCOMPARE(testsupport::fakes().messages.shown[0].flags, 0u);
        click();
        click();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 1);
    }

    void titleHolyUpOnTheTwoHundredthClick()
    {
        Form1->Panel2->Show();
        auto click = [] { QTest::mouseClick(Form1->Label2, Qt::LeftButton, {}, QPoint(5, 5)); };
        Form1->TimeLimit = 30; // as if given on the command line
        while (TitleClicks < 199)
            click();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 0);
        QCOMPARE(Form1->TimeLimit, 30);
        click();
        QCOMPARE(testsupport::fakes().messages.texts(), QStringList{"ホーリーアップ!"});
        QCOMPARE(testsupport::fakes().messages.shown[0].caption, QStringLiteral("Kernel System"));
        QCOMPARE(testsupport::fakes().messages.shown[0].flags, 32u);
        QCOMPARE(Form1->TimeLimit, 99);
        Form1->TimeLimit = 10;
        click();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 1);
        QCOMPARE(Form1->TimeLimit, 10);
    }

    // Runs last: EXIT closes the main window.
    void exitClosesTheMainWindow()
    {
        Form1->Panel2->Show();
        QTest::mousePress(Form1->Panel4, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(Form1->Panel4, Qt::LeftButton, {}, QPoint(10, 60));
        QVERIFY(Form1->isVisible());
        QTest::mousePress(Form1->Panel4, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(Form1->Panel4, Qt::LeftButton, {}, QPoint(121, 25));
        QVERIFY(!Form1->isVisible());
    }
};

TORVA_TEST_MAIN(TestTitle)
#include "test_title.moc"
