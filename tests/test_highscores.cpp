// The high-score window: what it shows for each record, its keys, and the
// reset of the table with its question.
#include "game/torva1.h"
#include "platform/registry.h"
#include "records/torva4.h"
#include "support/testsupport.h"

namespace {

void setTable(const QList<int> &lengths, const QList<int> &sexCodes)
{
    const QString names[] = {"山田太郎", "", "ｶｵﾙ"};
    const QString dates[] = {"2001/3/5  9:07:03", "", "2010/12/31  23:59:59"};
    for (int i = 0; i < 3; ++i) {
        Form1->RecordLength[i] = lengths[i];
        Form1->RecordSex[i] = sexCodes[i];
        Form1->RecordName[i] = names[i];
        Form1->RecordDate[i] = dates[i];
    }
}

QString row(TLabel *a, TLabel *b, TLabel *c)
{
    return a->Caption() + QLatin1Char('|') + b->Caption() + QLatin1Char('|') + c->Caption();
}

} // namespace

class TestHighScores : public QObject {
    Q_OBJECT

    // What the test does once the window is up; it closes with OK otherwise.
    std::function<void()> whileShown;
    bool stillShownAfter = false;

    int showWindow()
    {
        platform::services().modalShown = [this](TForm &form) {
            if (&form != Form4)
                return;
            if (whileShown)
                whileShown();
            // A close asked for ends the modal showing once this returns.
            stillShownAfter = Form4->ModalResult() == mrNone;
            if (stillShownAfter)
                Form4->Button1->Click();
        };
        return Form4->ShowModal();
    }

private Q_SLOTS:
    void initTestCase() { testsupport::createForms(); }

    void init()
    {
        testsupport::fakes().clear();
        setTable({0, 0, 0}, {0, 0, 0});
        whileShown = nullptr;
        stillShownAfter = false;
    }

    void layout()
    {
        QCOMPARE(Form4->windowTitle(), QStringLiteral("ハイスコア"));
        QCOMPARE(Form4->ClientWidth(), 591);
        QCOMPARE(Form4->ClientHeight(), 199);
        QCOMPARE(Form4->Label1->Caption(), QStringLiteral("1st"));
        QCOMPARE(Form4->Label3->Caption(), QStringLiteral("3rd"));
        QCOMPARE(Form4->Button2->text(), QStringLiteral("冒険の書を消す(&D)"));
        QCOMPARE(Form4->Label15->Left(), 264);
        QCOMPARE(Form4->Label12->Top(), 104);
        QCOMPARE(Form4->Panel1->BevelOuter(), bvLowered);
        QCOMPARE(Form4->Panel1->Height(), 153);
    }

    void shownTexts_data()
    {
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<QList<int>>("sexCodes");
        QTest::addColumn<QString>("lengthTexts");
        QTest::addColumn<QString>("sexTexts");

        QTest::newRow("777, 401, 0")
            << QList<int>{777, 401, 0} << QList<int>{1, 2, 0} << "1m 94cm|1m 0cm|"
            << "ｵｶﾏ|男|";
        QTest::newRow("millimetres")
            << QList<int>{3, 2, 1} << QList<int>{3, 3, 2} << "7.5mm|5.0mm|2.5mm"
            << "女|女|男";
        QTest::newRow("empty table") << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << "0.0mm||"
                                     << "||";
        QTest::newRow("hand-edited values")
            << QList<int>{-4, -5, -6} << QList<int>{4, -1, 2147483647} << "?|?|?"
            << "?|?|?";
    }

    void shownTexts()
    {
        QFETCH(QList<int>, lengths);
        QFETCH(QList<int>, sexCodes);
        QFETCH(QString, lengthTexts);
        QFETCH(QString, sexTexts);
        setTable(lengths, sexCodes);

        QCOMPARE(showWindow(), int(mrOk));

        QCOMPARE(row(Form4->Label7, Form4->Label8, Form4->Label9), lengthTexts);
        QCOMPARE(row(Form4->Label13, Form4->Label14, Form4->Label15), sexTexts);
        QCOMPARE(row(Form4->Label4, Form4->Label5, Form4->Label6), QStringLiteral("山田太郎||ｶｵﾙ"));
        QCOMPARE(row(Form4->Label10, Form4->Label11, Form4->Label12),
                 QStringLiteral("2001/3/5  9:07:03||2010/12/31  23:59:59"));
    }

    void everyShowingReadsTheTableAfresh()
    {
        setTable({777, 0, 0}, {2, 0, 0});
        showWindow();
        QCOMPARE(Form4->Label7->Caption(), QStringLiteral("1m 94cm"));
        setTable({1200, 777, 0}, {3, 2, 0});
        Form1->RecordName[0] = QStringLiteral("新記録");
        showWindow();
        QCOMPARE(Form4->Label7->Caption(), QStringLiteral("3m 0cm"));
        QCOMPARE(Form4->Label8->Caption(), QStringLiteral("1m 94cm"));
        QCOMPARE(Form4->Label4->Caption(), QStringLiteral("新記録"));
        QCOMPARE(Form4->Label13->Caption(), QStringLiteral("女"));
    }

    // OK is the default and the cancel button: Enter and Esc both close.
    void enterAndEscapeClose_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }

    void enterAndEscapeClose()
    {
        QFETCH(int, key);
        setTable({777, 0, 0}, {2, 0, 0});
        whileShown = [key] { QTest::keyClick(Form4, Qt::Key(key)); };
        QCOMPARE(showWindow(), int(mrOk));
        QVERIFY(!stillShownAfter);
        QCOMPARE(Form1->RecordLength[0], 777);
    }

    void resetAnsweredNoChangesNothing()
    {
        setTable({777, 401, 0}, {1, 2, 0});
        Form1->Panel3->Show();
        Form1->CheckBox1->show();
        Form1->CheckBox1->setChecked(true);
        testsupport::fakes().messages.answers = {platform::IDNO};
        whileShown = [] { QTest::mouseClick(Form4->Button2, Qt::LeftButton); };

        QCOMPARE(showWindow(), int(mrOk)); // closed afterwards with OK

        QVERIFY(stillShownAfter);
        QCOMPARE(testsupport::fakes().messages.shown.size(), 1);
        const platform::ShownMessage question = testsupport::fakes().messages.shown[0];
        QCOMPARE(question.text, QStringLiteral("1～3位の記録を 0 に戻します。\nよろしいですか？"));
        QCOMPARE(question.caption, QStringLiteral("冒険の書を消す"));
        QCOMPARE(question.flags, unsigned(platform::MB_YESNO | platform::MB_ICONQUESTION));
        QCOMPARE(Form1->RecordLength[1], 401);
        QCOMPARE(Form1->RecordName[0], QStringLiteral("山田太郎"));
        QCOMPARE(Form1->RecordSex[0], 1);
        QVERIFY(Form1->Panel3->Visible());
        QVERIFY(Form1->CheckBox1->Visible());
        QVERIFY(Form1->CheckBox1->isChecked());
    }

    void resetAnsweredYesEmptiesTheTable()
    {
        platform::services().registryFile = testsupport::recordsFile();
        setTable({20000, 401, 3}, {1, 2, 3});
        Form1->Panel3->Show();
        Form1->CheckBox1->show();
        Form1->CheckBox1->setChecked(true);
        testsupport::fakes().messages.answers = {platform::IDYES};
        whileShown = [] { QTest::mouseClick(Form4->Button2, Qt::LeftButton); };

        QCOMPARE(showWindow(), int(mrCancel));

        QVERIFY(!stillShownAfter);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(Form1->RecordLength[i], 0);
            QCOMPARE(Form1->RecordSex[i], 0);
            QCOMPARE(Form1->RecordName[i], QString());
            QCOMPARE(Form1->RecordDate[i], QString());
        }
        QVERIFY(!Form1->Panel3->Visible());
        QVERIFY(!Form1->CheckBox1->Visible());
        QVERIFY(!Form1->CheckBox1->isChecked());

        // The emptied table reaches the registry at the next close.
        Form1->SaveRecords();
        TRegistry registry;
        QVERIFY(registry.OpenKey("\\Software\\Marrowind\\TORVA\\CurrentVersion", false));
        QCOMPARE(registry.ReadInteger("Mts0"), 0);
        QCOMPARE(registry.ReadInteger("ESU"), 0);
        QCOMPARE(registry.ReadString("Name0"), QString());
    }
};

TORVA_TEST_MAIN(TestHighScores)
#include "test_highscores.moc"
