// The records survive whatever the records file held: after the game's own
// save over it, the next load reads the whole table without a message, and
// a huge or pathological file is read quickly and within bounded memory.
#include "game/torva1.h"
#include "platform/cp932.h"
#include "platform/regfile.h"
#include "platform/services.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <sys/resource.h>

namespace {

const QByteArray Header = "[HKEY_CURRENT_USER\\Software\\Marrowind\\TORVA\\CurrentVersion]\r\n";

QString registryFile()
{
    return platform::services().registryFile;
}

void writeFile(const QByteArray &bytes)
{
    QFile file(registryFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

void setTable()
{
    const QString names[] = {QStringLiteral("ﾄﾙｳﾞｧ"), QStringLiteral("花子"),
                             QStringLiteral("a\\\"b")};
    for (int i = 0; i < 3; ++i) {
        Form1->RecordLength[i] = 16001 - 1000 * i;
        Form1->RecordName[i] = names[i];
        Form1->RecordDate[i] = QStringLiteral("2001/03/0%1 09:07:03").arg(i + 5);
        Form1->RecordSex[i] = i + 1;
    }
}

QString tableText()
{
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        parts << QString::number(Form1->RecordLength[i]) << Form1->RecordName[i]
              << Form1->RecordDate[i] << QString::number(Form1->RecordSex[i]);
    }
    return parts.join('|');
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestRecordsSurvive : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::createForms(); }

    void init()
    {
        testsupport::startWithoutRecords();
        QFile::remove(registryFile() + ".bak");
    }

    void saveOverADamagedFileThenLoad_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not text") << QByteArray("\x00\xff\xfe\x01\r\n\x81", 6);
        QTest::newRow("no first line") << "junk\r\n" + Header + "\"Mts0\"=dword:1\r\n";
        // The cut-off list ended at a blank line; written back without it,
        // the value after it would be taken for its continuation.
        QTest::newRow("cut-off hex list")
            << "REGEDIT4\r\n" + Header + "\"Blob\"=hex:01,\\\r\n\r\n\"Mts0\"=dword:1\r\n";
        QTest::newRow("cut-off hex list at the end")
            << "REGEDIT4\r\n" + Header + "\"Blob\"=hex:01,\\";
        QTest::newRow("unclosed quote") << "REGEDIT4\r\n" + Header + "\"Name0\"=\"abc\r\n";
        QTest::newRow("deleted key") << "REGEDIT4\r\n" + Header + "[-" + Header.mid(1);
    }
    void saveOverADamagedFileThenLoad()
    {
        QFETCH(QByteArray, file);
        writeFile(file);
        setTable();
        const QString saved = tableText();
        Form1->SaveRecords();
        for (int i = 0; i < 3; ++i) {
            Form1->RecordLength[i] = Form1->RecordSex[i] = 0;
            Form1->RecordName[i].clear();
            Form1->RecordDate[i].clear();
        }
        Form1->LoadRecords();
        QCOMPARE(testsupport::fakes().messages.texts(), QStringList());
        QCOMPARE(tableText(), saved);
    }

    // Files far larger than the game ever writes, filled up to the size
    // limit: they read whole (how fast is for the benchmarks to say).
    void largeFilesReadWhole_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("keysLeft");
        QTest::newRow("many keys") << QByteArray("[HKEY_CURRENT_USER\\K%1]\r\n") << 1;
        QTest::newRow("many values") << QByteArray("\"v%1\"=dword:1\r\n") << 0;
        QTest::newRow("many deleted keys") << QByteArray("[HKEY_CURRENT_USER\\K%1]\r\n"
                                                         "[-HKEY_CURRENT_USER\\K%1]\r\n")
                                           << 0;
    }
    void largeFilesReadWhole()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, keysLeft);
        QByteArray text = "REGEDIT4\r\n" + Header;
        const int baseKeys = platform::RegHive::parse(text).keys.size();
        int count = 0;
        for (;; ++count) {
            const QByteArray next = QByteArray(line).replace("%1", QByteArray::number(count));
            if (text.size() + next.size() >= platform::kMaxHiveFileSize)
                break;
            text += next;
        }
        QVERIFY(count > 10000);
        const platform::RegHive hive = platform::RegHive::parse(text);
        QVERIFY(!hive.damaged);
        if (keysLeft == 1) {
            QCOMPARE(hive.keys.size(), baseKeys + count);
        } else if (line.startsWith('"')) {
            QCOMPARE(hive.keys.size(), baseKeys);
            QCOMPARE(hive.keys.last().values.size() >= count, true);
        } else {
            QCOMPARE(hive.keys.size(), baseKeys);
        }
    }

    void hugeFileIsNotRead()
    {
        {
            QFile file(registryFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(512LL * 1024 * 1024)); // sparse: no disk used
        }
        const long before = peakKilobytes();
        Form1->LoadRecords();
        QVERIFY2(peakKilobytes() - before < 32 * 1024,
                 qPrintable(QString::number(peakKilobytes() - before)));
        QCOMPARE(testsupport::fakes().messages.shown.size(), 1); // no key: the first run
        QFile::remove(registryFile());
    }
};

TORVA_TEST_MAIN(TestRecordsSurvive)
#include "test_records_survive.moc"
