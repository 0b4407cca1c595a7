// The record table's rules without any window: where a result enters the
// table, the order check, the SFC threshold, the date stamp and the texts the
// high-score window shows.
#include "game/rankingrules.h"
#include "records/recordtexts.h"
#include "support/testsupport.h"

#include <QLocale>

using ranking::RecordEntry;
using ranking::RecordTable;

namespace {

// 1000, 800, 600 held by A, B and C.
RecordTable threeRecords()
{
    return {RecordEntry{1000, "A", "d1", 2}, RecordEntry{800, "B", "d2", 3},
            RecordEntry{600, "C", "d3", 1}};
}

// "1200 N, 1000 A, 800 B": the lengths and names of the table, best first.
QString describe(const RecordTable &table)
{
    QStringList parts;
    for (const RecordEntry &entry : table)
        parts << QStringLiteral("%1 %2/%3/%4")
                     .arg(entry.length)
                     .arg(entry.name, entry.date)
                     .arg(entry.sex);
    return parts.join(QStringLiteral(", "));
}

} // namespace

class TestRankingRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void insertRecord_data()
    {
        QTest::addColumn<RecordTable>("table");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("rank");
        QTest::addColumn<QString>("after");

        const RecordTable empty{};
        QTest::newRow("empty table, 2 px") << empty << 2 << 1 << "2 N/now/2, 0 //0, 0 //0";
        QTest::newRow("above the first")
            << threeRecords() << 1200 << 1 << "1200 N/now/2, 1000 A/d1/2, 800 B/d2/3";
        QTest::newRow("equal to the first goes below it")
            << threeRecords() << 1000 << 2 << "1000 A/d1/2, 1000 N/now/2, 800 B/d2/3";
        QTest::newRow("between first and second")
            << threeRecords() << 900 << 2 << "1000 A/d1/2, 900 N/now/2, 800 B/d2/3";
        QTest::newRow("equal to the second")
            << threeRecords() << 800 << 3 << "1000 A/d1/2, 800 B/d2/3, 800 N/now/2";
        QTest::newRow("equal to the third")
            << threeRecords() << 600 << 0 << "1000 A/d1/2, 800 B/d2/3, 600 C/d3/1";
        QTest::newRow("below the third")
            << threeRecords() << 1 << 0 << "1000 A/d1/2, 800 B/d2/3, 600 C/d3/1";
        QTest::newRow("one record, second place") << RecordTable{RecordEntry{500, "A", "d1", 2}}
                                                  << 300 << 2 << "500 A/d1/2, 300 N/now/2, 0 //0";
        // A hand-edited table with negative lengths in order.
        QTest::newRow("negative records")
            << RecordTable{RecordEntry{-5, "A", "d1", 2}, RecordEntry{-6, "B", "d2", 2},
                           RecordEntry{-7, "C", "d3", 2}}
            << 1 << 1 << "1 N/now/2, -5 A/d1/2, -6 B/d2/2";
    }

    void insertRecord()
    {
        QFETCH(RecordTable, table);
        QFETCH(int, length);
        QFETCH(int, rank);
        QFETCH(QString, after);
        QCOMPARE(ranking::InsertRecord(table, RecordEntry{length, "N", "now", 2}), rank);
        QCOMPARE(describe(table), after);
    }

    void lengthsInOrder_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("third");
        QTest::addColumn<bool>("inOrder");
        QTest::newRow("100 200 50") << 100 << 200 << 50 << false;
        QTest::newRow("300 300 300") << 300 << 300 << 300 << true;
        QTest::newRow("empty") << 0 << 0 << 0 << true;
        QTest::newRow("third above second") << 500 << 0 << 5 << false;
        QTest::newRow("negative, in order") << -1 << -2 << -3 << true;
        QTest::newRow("large and small") << 2147483647 << 0 << -2147483647 - 1 << true;
    }

    void lengthsInOrder()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, third);
        QFETCH(bool, inOrder);
        QCOMPARE(ranking::LengthsInOrder(first, second, third), inOrder);
    }

    void sfcModeBeyondFortyMetres()
    {
        QVERIFY(!ranking::UnlocksSfcMode(16000));
        QVERIFY(ranking::UnlocksSfcMode(16001));
        QVERIFY(!ranking::UnlocksSfcMode(-20000));
    }

    void millimetreTexts()
    {
        QCOMPARE(ranking::MillimetreText(0), QStringLiteral("0.0"));
        QCOMPARE(ranking::MillimetreText(1), QStringLiteral("2.5"));
        QCOMPARE(ranking::MillimetreText(2), QStringLiteral("5.0"));
        QCOMPARE(ranking::MillimetreText(3), QStringLiteral("7.5"));
        QCOMPARE(ranking::MillimetreText(4), QString());
        QCOMPARE(ranking::MillimetreText(-1), QString());
    }

    void dateText_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("text");
        QTest::newRow("no leading zeros but minutes and seconds")
            << QDateTime(QDate(2001, 3, 5), QTime(9, 7, 3)) << "2001/3/5  9:07:03";
        QTest::newRow("two-digit fields")
            << QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59)) << "1999/12/31  23:59:59";
        QTest::newRow("midnight") << QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0))
                                  << "2024/1/1  0:00:00";
    }

    void dateText()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, text);
        QCOMPARE(ranking::RecordDateText(moment), text);
        // Other separators and digits in the user's locale change nothing.
        const QLocale before;
        for (const QLocale &locale :
             {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::Arabic, QLocale::Egypt),
              QLocale(QLocale::Japanese, QLocale::Japan)}) {
            QLocale::setDefault(locale);
            QCOMPARE(ranking::RecordDateText(moment), text);
        }
        QLocale::setDefault(before);
    }

    void lengthTexts_data()
    {
        QTest::addColumn<int>("rankIndex");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<QString>("text");
        QTest::newRow("777") << 0 << 777 << "1m 94cm";
        QTest::newRow("401 drops the rest") << 1 << 401 << "1m 0cm";
        QTest::newRow("4 is one centimetre") << 2 << 4 << "0m 1cm";
        QTest::newRow("399") << 0 << 399 << "0m 99cm";
        QTest::newRow("16001") << 0 << 16001 << "40m 0cm";
        QTest::newRow("first rank empty") << 0 << 0 << "0.0mm";
        QTest::newRow("second rank empty") << 1 << 0 << "";
        QTest::newRow("third rank empty") << 2 << 0 << "";
        QTest::newRow("1 px") << 1 << 1 << "2.5mm";
        QTest::newRow("2 px") << 2 << 2 << "5.0mm";
        QTest::newRow("3 px") << 0 << 3 << "7.5mm";
        QTest::newRow("negative, hand-edited") << 0 << -1 << "?";
        QTest::newRow("most negative") << 2 << -2147483647 - 1 << "?";
    }

    void lengthTexts()
    {
        QFETCH(int, rankIndex);
        QFETCH(int, pixels);
        QFETCH(QString, text);
        QCOMPARE(records::RankLengthText(rankIndex, pixels), text);
    }

    void sexTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty slot") << 0 << "";
        QTest::newRow("hidden choice") << 1 << "ｵｶﾏ";
        QTest::newRow("male") << 2 << "男";
        QTest::newRow("female") << 3 << "女";
        QTest::newRow("above the table") << 4 << "?";
        QTest::newRow("below the table") << -1 << "?";
    }

    void sexTexts()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(records::SexText(code), text);
    }
};

TORVA_TEST_MAIN(TestRankingRules)
#include "test_rankingrules.moc"
