// The ranking at the end of a round: the messages in their order, where the
// result enters the table, and the unlocking of the SFC mode.
#include "dialogs/torva3.h"
#include "dialogs/torva5.h"
#include "game/torva1.h"
#include "story/torva2.h"
#include "support/testsupport.h"

namespace {

// "text / caption / flags" for each message box shown, in order.
QStringList messages()
{
    QStringList shown;
    for (const platform::ShownMessage &message : testsupport::fakes().messages.shown)
        shown
            << QStringLiteral("%1 / %2 / %3").arg(message.text, message.caption).arg(message.flags);
    return shown;
}

void setLengths(const QList<int> &lengths)
{
    const QString names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i) {
        Form1->RecordLength[i] = lengths[i];
        Form1->RecordName[i] = lengths[i] ? names[i] : QString();
        Form1->RecordDate[i] = lengths[i] ? "d" + names[i] : QString();
        Form1->RecordSex[i] = lengths[i] ? 2 : 0;
    }
}

// "1200 N, 1000 A, 800 B": lengths and names, best first.
QString table()
{
    QStringList parts;
    for (int i = 0; i < 3; ++i)
        parts << QStringLiteral("%1 %2").arg(Form1->RecordLength[i]).arg(Form1->RecordName[i]);
    return parts.join(QStringLiteral(", "));
}

const QString Info = QStringLiteral(" / TORVA / 64");

} // namespace

class TestRanking : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::createForms(); }

    void init()
    {
        testsupport::fakes().clear();
        setLengths({0, 0, 0});
        Form1->TimeLimit = 10;
        Form1->CheckBox1->hide();
        Form2->Label3->Show();
        Form3->Edit1->setText(QStringLiteral("N"));
        Form5->PlayerSex = 0;
    }

    void rankingUpdate_data()
    {
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<bool>("sfcShown");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<int>("pulled");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("sfcAfter");
        QTest::addColumn<bool>("hintAfter");

        const QList<int> three{1000, 800, 600};
        const QString unchanged = "1000 A, 800 B, 600 C";
        const QString scolding = "やる気あんのかぁ / なめてんのかぁ!! / 48";
        const QString struckOut = "この記録は抹消されます。 / uwf / 0";

        QTest::newRow("nothing pulled")
            << three << false << 10 << 0 << QStringList{scolding} << unchanged << false << true;
        QTest::newRow("nothing pulled, 20 s")
            << three << false << 20 << 0 << QStringList{scolding} << unchanged << false << true;
        QTest::newRow("20 s would have been first")
            << three << false << 20 << 5000 << QStringList{struckOut} << unchanged << false << true;
        QTest::newRow("99 s on an empty table")
            << QList<int>{0, 0, 0} << false << 99 << 2 << QStringList{struckOut} << "0 , 0 , 0 "
            << false << true;
        QTest::newRow("empty table, 2 px")
            << QList<int>{0, 0, 0} << false << 10 << 2
            << QStringList{"この記録は、詳しくは 5.0mm です。 / 詳しい記録 / 64"} << "2 N, 0 , 0 "
            << false << true;
        QTest::newRow("1 px below the third")
            << three << false << 10 << 1
            << QStringList{"この記録は、詳しくは 2.5mm です。 / 詳しい記録 / 64"} << unchanged
            << false << true;
        QTest::newRow("3 px as a third")
            << QList<int>{1000, 800, 0} << false << 10 << 3
            << QStringList{"この記録は、詳しくは 7.5mm です。 / 詳しい記録 / 64",
                           "3位にランキング！" + Info}
            << "1000 A, 800 B, 3 N" << false << true;
        QTest::newRow("equal to the second: third")
            << three << false << 10 << 800 << QStringList{"3位にランキング！" + Info}
            << "1000 A, 800 B, 800 N" << false << true;
        QTest::newRow("equal to the third: nothing")
            << three << false << 10 << 600 << QStringList() << unchanged << false << true;
        QTest::newRow("second") << three << false << 10 << 900
                                << QStringList{"2位にランキング！" + Info} << "1000 A, 900 N, 800 B"
                                << false << true;
        QTest::newRow("first") << three << false << 10 << 1200
                               << QStringList{"1位にランキング！" + Info} << "1200 N, 1000 A, 800 B"
                               << false << true;
        QTest::newRow("over 40 m unlocks the SFC mode")
            << QList<int>{4000, 0, 0} << false << 10 << 16001
            << QStringList{"1位にランキング！" + Info, "SFCモードが出現しました。" + Info}
            << "16001 N, 4000 A, 0 " << true << false;
        QTest::newRow("first record ever over 40 m")
            << QList<int>{0, 0, 0} << false << 10 << 20000
            << QStringList{"SFCモードが出現しました。" + Info} << "20000 N, 0 , 0 " << true
            << false;
        QTest::newRow("40 m exactly unlocks nothing")
            << QList<int>{4000, 0, 0} << false << 10 << 16000
            << QStringList{"1位にランキング！" + Info} << "16000 N, 4000 A, 0 " << false << true;
        QTest::newRow("SFC mode already shown")
            << QList<int>{17000, 0, 0} << true << 10 << 20000
            << QStringList{"1位にランキング！" + Info} << "20000 N, 17000 A, 0 " << true << true;
        QTest::newRow("second place over 40 m unlocks nothing")
            << QList<int>{30000, 0, 0} << false << 10 << 20000
            << QStringList{"2位にランキング！" + Info} << "30000 A, 20000 N, 0 " << false << true;
    }

    void rankingUpdate()
    {
        QFETCH(QList<int>, before);
        QFETCH(bool, sfcShown);
        QFETCH(int, timeLimit);
        QFETCH(int, pulled);
        QFETCH(QStringList, shown);
        QFETCH(QString, after);
        QFETCH(bool, sfcAfter);
        QFETCH(bool, hintAfter);
        setLengths(before);
        Form1->CheckBox1->setVisible(sfcShown);
        Form1->TimeLimit = timeLimit;
        Form1->PulledPixels = pulled;

        Form1->RankingUpdate();

        QCOMPARE(messages(), shown);
        QCOMPARE(table(), after);
        QCOMPARE(Form1->CheckBox1->Visible(), sfcAfter);
        QCOMPARE(Form2->Label3->Visible(), hintAfter);
    }

    // The new entry carries the name in the entry box, the sex code and the
    // moment; the entries below move along whole.
    void newEntryCarriesNameSexAndDate()
    {
        setLengths({1000, 800, 600});
        Form1->RecordSex[0] = 3;
        Form3->Edit1->setText(QStringLiteral("勇者ああああ"));
        Form5->PlayerSex = -1;
        testsupport::fakes().clock.now = QDateTime(QDate(2001, 3, 5), QTime(9, 7, 3));
        Form1->PulledPixels = 1200;

        Form1->RankingUpdate();

        QCOMPARE(Form1->RecordName[0], QStringLiteral("勇者ああああ"));
        QCOMPARE(Form1->RecordSex[0], 1);
        QCOMPARE(Form1->RecordDate[0], QStringLiteral("2001/3/5  9:07:03"));
        QCOMPARE(Form1->RecordName[1], QStringLiteral("A"));
        QCOMPARE(Form1->RecordSex[1], 3);
        QCOMPARE(Form1->RecordDate[1], QStringLiteral("dA"));
        QCOMPARE(Form1->RecordDate[2], QStringLiteral("dB"));

        Form5->PlayerSex = 1;
        Form1->PulledPixels = 1100;
        Form1->RankingUpdate();
        QCOMPARE(Form1->RecordSex[1], 3);
        QCOMPARE(Form1->RecordName[2], QStringLiteral("A"));
    }
};

TORVA_TEST_MAIN(TestRanking)
#include "test_ranking.moc"
