// Five hundred rounds in one process, each with its whole story, through the
// fakes: the game's resident memory may not grow by more than 1 MB once it
// has warmed up, and every round still ranks its result.
#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "dialogs/torva6.h"
#include "game/torva1.h"
#include "story/torva2.h"
#include "support/testsupport.h"

#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace {

constexpr int WarmUpRounds = 50;
constexpr int Rounds = 500;
constexpr long AllowedGrowthKb = 1024;
constexpr int StoryClickLimit = 200;

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression vmRss(QStringLiteral("^VmRSS:\\s+(\\d+) kB"),
                                   QRegularExpression::MultilineOption);
    const auto match = vmRss.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() : -1;
}

} // namespace

class TestLongPlay : public QObject {
    Q_OBJECT

    int round_ = 0;

    // One round: the whole story (SFC mode every other round, both sexes,
    // yes and no answers), the countdown, a pull, the time-out.
    void playRound()
    {
        ++round_;
        Form1->CheckBox1->setChecked(round_ % 2 == 0);
        Form1->RoundStart();
        for (int i = 0; i < 4; ++i) {
            testsupport::fakes().clock.advance(1000);
            Form1->Timer1Timer();
        }
        Form1->Timer1->setEnabled(false);
        Form1->FormMouseDown(mbLeft, {}, 150, 20);
        Form1->FormMouseMove({}, 150, 20 + round_ % 200 + 1);
        Form1->FormMouseUp(mbLeft, {}, 150, 20 + round_ % 200 + 1);
        testsupport::fakes().clock.advance(Form1->TimeLimit * 1000 + 1000);
        Form1->Timer1Timer();
        // What the fakes recorded is the test's, not the game's, memory.
        testsupport::fakes().clear();
    }

private Q_SLOTS:
    void initTestCase()
    {
        testsupport::createForms();
        platform::services().modalShown = [this](TForm &form) {
            if (&form == Form2) {
                for (int clicks = 0; Form2->ModalResult() == mrNone && clicks < StoryClickLimit;
                     ++clicks)
                    QTest::mouseClick(Form2, Qt::LeftButton, {}, QPoint(1, 1));
            } else if (&form == Form3) {
                Form3->Edit1->setText(QStringLiteral("ﾄﾙｳﾞｧ%1").arg(round_ % 10));
                Form5->PlayerSex = round_ % 2;
                Form3->Decided = true;
                Form3->Close();
            } else if (&form == Form5) {
                Form5->PlayerSex = round_ % 2;
                Form5->Decided = true;
                Form5->Close();
            } else if (&form == Form6) {
                Form6->Answer = (round_ + Form2->YesCount) % 2;
                Form6->Decided = true;
                Form6->Close();
            }
        };
        Form1->TimeLimit = 10;
        Form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
    }

    void residentMemoryStaysFlat()
    {
        for (int i = 0; i < WarmUpRounds; ++i)
            playRound();
        QVERIFY(Form1->RecordLength[0] > 0);
        const long before = residentKilobytes();
        QVERIFY(before > 0);
        for (int i = 0; i < Rounds; ++i)
            playRound();
        QCoreApplication::processEvents();
        const long after = residentKilobytes();
        // Said on standard error: the offscreen platform's warnings use up
        // QtTest's quota of messages.
        std::fprintf(stderr,
                     "VmRSS %ld kB after %d warm-up rounds, %ld kB after %d more (%+ld kB)\n",
                     before, WarmUpRounds, after, Rounds, after - before);
        QVERIFY(Form1->RecordLength[0] >= 200); // the longest pull was ranked
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("AddressSanitizer keeps freed memory in quarantine: resident memory tells nothing");
#endif
        QVERIFY2(after - before <= AllowedGrowthKb, qPrintable(QString::number(after - before)));
        QVERIFY(Form1->Panel2->isVisible()); // back at the title
    }
};

TORVA_TEST_MAIN(TestLongPlay)
#include "test_longplay.moc"
