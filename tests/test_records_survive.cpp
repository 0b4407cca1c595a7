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
        testsupport::fakes().clear();
        platform::services().registryFile = testsupport::tempFolder() + "/HKCU.reg";
        QFile::remove(registryFile());
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

    // Files far larger than the game ever writes: the ones within the size
    // limit read in about linear time; the one beyond it is not read at all.
    void largeFilesReadQuickly_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("count");
        QTest::newRow("many keys") << QByteArray("[HKEY_CURRENT_USER\\K%1]\r\n") << 200000;
        QTest::newRow("many values") << QByteArray("\"v%1\"=dword:1\r\n") << 200000;
        QTest::newRow("many deleted keys") << QByteArray("[HKEY_CURRENT_USER\\K%1]\r\n"
                                                         "[-HKEY_CURRENT_USER\\K%1]\r\n")
                                           << 100000;
    }
    void largeFilesReadQuickly()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, count);
        QByteArray text = "REGEDIT4\r\n" + Header;
        for (int i = 0; i < count; ++i)
            text += QByteArray(line).replace("%1", QByteArray::number(i));
        QVERIFY(text.size() < platform::kMaxHiveFileSize);
        QElapsedTimer timer;
        timer.start();
        const platform::RegHive hive = platform::RegHive::parse(text);
        // Quadratic reading took minutes here.
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!hive.damaged);
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
