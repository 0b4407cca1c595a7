// The title menu's rules: where a release counts, and the command line.
#include "game/titlerules.h"
#include "support/testsupport.h"

class TestTitleRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void releaseInside_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("inside");
        QTest::newRow("middle") << 60 << 12 << true;
        QTest::newRow("left and top ends") << 0 << 0 << true;
        QTest::newRow("right end") << 121 << 12 << true;
        QTest::newRow("bottom end") << 60 << 25 << true;
        QTest::newRow("one left") << -1 << 12 << false;
        QTest::newRow("one above") << 60 << -1 << false;
        QTest::newRow("one past right") << 122 << 12 << false;
        QTest::newRow("one past bottom") << 60 << 26 << false;
    }
    void releaseInside()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(bool, inside);
        QCOMPARE(title::ReleaseInside(x, y, 121, 25), inside);
    }

    void timeLimit_data()
    {
        QTest::addColumn<QStringList>("parameters");
        QTest::addColumn<int>("timeLimit");
        QTest::newRow("no parameters") << QStringList{} << 10;
        QTest::newRow("30 seconds") << QStringList{"/TimeToWin", "30"} << 30;
        QTest::newRow("not a number") << QStringList{"/TimeToWin", "abc"} << 10;
        QTest::newRow("other case") << QStringList{"/timetowin", "30"} << 10;
        QTest::newRow("option alone") << QStringList{"/TimeToWin"} << 10;
        QTest::newRow("two values") << QStringList{"/TimeToWin", "30", "40"} << 10;
        QTest::newRow("zero") << QStringList{"/TimeToWin", "0"} << 0;
        QTest::newRow("negative") << QStringList{"/TimeToWin", "-5"} << -5;
        QTest::newRow("plus sign") << QStringList{"/TimeToWin", "+7"} << 7;
        QTest::newRow("leading blanks") << QStringList{"/TimeToWin", "  12"} << 12;
        QTest::newRow("trailing garbage") << QStringList{"/TimeToWin", "12s"} << 10;
        QTest::newRow("hex dollar") << QStringList{"/TimeToWin", "$1E"} << 30;
        QTest::newRow("hex 0x") << QStringList{"/TimeToWin", "0x1e"} << 30;
        QTest::newRow("empty") << QStringList{"/TimeToWin", ""} << 10;
        QTest::newRow("largest safe") << QStringList{"/TimeToWin", "2147482"} << 2147482;
        QTest::newRow("smallest safe") << QStringList{"/TimeToWin", "-2147483"} << -2147483;
        QTest::newRow("would overflow") << QStringList{"/TimeToWin", "2147483"} << 10;
        QTest::newRow("would underflow") << QStringList{"/TimeToWin", "-2147484"} << 10;
        QTest::newRow("beyond 32 bits") << QStringList{"/TimeToWin", "99999999999"} << 10;
    }
    void timeLimit()
    {
        QFETCH(QStringList, parameters);
        QFETCH(int, timeLimit);
        QCOMPARE(title::TimeLimitFromParameters(parameters, 10), timeLimit);
    }
};

TORVA_TEST_MAIN(TestTitleRules)
#include "test_titlerules.moc"
