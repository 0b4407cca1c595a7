// The record table in the registry: loading it at the first showing from
// files as the game, an older run or a hand edit left them, and saving it at
// close.
#include "game/torva1.h"
#include "platform/cp932.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString Key = QStringLiteral("\\Software\\Marrowind\\TORVA\\CurrentVersion");
const QString Header =
    QStringLiteral("[HKEY_CURRENT_USER\\Software\\Marrowind\\TORVA\\CurrentVersion]");

const QString FirstRun = QStringLiteral(
    "TORVA.DOC は読みましたか?\n\nTORVA は、それを読んでから実行することをお勧めします。\n");
const QString ReadError =
    QStringLiteral("レジストリの読み込みに失敗しました。\n一度、このまま終了してください。");
const QString ReadErrorCaption = QStringLiteral("TORVA 実行時エラー");

// Registry file text: CRLF line ends, code page 932.
QByteArray regText(const QString &text)
{
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    return platform::toCp932(crlf);
}

// A file whose game key holds these value lines.
QByteArray hive(const QString &valueLines)
{
    return regText("REGEDIT4\n\n" + Header + "\n" + valueLines + "\n");
}

QString dword(const QString &name, int value)
{
    return QStringLiteral("\"%1\"=dword:%2\n").arg(name).arg(quint32(value), 8, 16, QChar('0'));
}

// Lengths, names and dates as an older run wrote them.
QString lengthsToDates(int m0, int m1, int m2)
{
    return dword("Mts0", m0) + dword("Mts1", m1) + dword("Mts2", m2) +
           "\"Name0\"=\"太郎\"\n\"Name1\"=\"花子\"\n\"Name2\"=\"ｶｵﾙ\"\n"
           "\"Td0\"=\"2001/3/5  9:07:03\"\n\"Td1\"=\"2001/3/6  10:00:00\"\n"
           "\"Td2\"=\"2001/3/7  23:59:59\"\n";
}

QString sexes()
{
    return dword("ESU", 2) + dword("II", 3) + dword("EKKUSU", 1);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString registryFile()
{
    return platform::services().registryFile;
}

// "1000 800 600 | a b c | d e f | 2 3 1" for the table in Form1.
QString table()
{
    QStringList lengths, sexCodes;
    for (int i = 0; i < 3; ++i) {
        lengths << QString::number(Form1->RecordLength[i]);
        sexCodes << QString::number(Form1->RecordSex[i]);
    }
    return lengths.join(' ') + " | " +
           QStringList(std::begin(Form1->RecordName), std::end(Form1->RecordName)).join(' ') +
           " | " +
           QStringList(std::begin(Form1->RecordDate), std::end(Form1->RecordDate)).join(' ') +
           " | " + sexCodes.join(' ');
}

// Catches what goes to standard error while it lives.
class StderrCapture {
public:
    StderrCapture() : file_(testsupport::tempFolder() + "/stderr.txt")
    {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        std::FILE *out = std::fopen(qPrintable(file_), "w");
        ::dup2(::fileno(out), STDERR_FILENO);
        std::fclose(out);
    }
    ~StderrCapture() { restore(); }
    QString text()
    {
        restore();
        return QString::fromUtf8(readFile(file_));
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    QString file_;
    int saved_ = -1;
};

} // namespace

class TestRecordStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { testsupport::createForms(); }

    void init()
    {
        testsupport::startWithoutRecords();
        clearTable();
    }

private:
    static void clearTable()
    {
        for (int i = 0; i < 3; ++i) {
            Form1->RecordLength[i] = 0;
            Form1->RecordSex[i] = 0;
            Form1->RecordName[i].clear();
            Form1->RecordDate[i].clear();
        }
        Form1->TimeLimit = 10;
        Form1->Panel3->Hide();
        Form1->CheckBox1->hide();
    }

private Q_SLOTS:

    void load_data()
    {
        QTest::addColumn<QByteArray>("file"); // none when empty
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<bool>("ranking");
        QTest::addColumn<bool>("sfc");

        const QString dates = "2001/3/5  9:07:03 2001/3/6  10:00:00 2001/3/7  23:59:59";
        const QString names = "太郎 花子 ｶｵﾙ";
        const QString empty = "0 0 0 |    |    | 0 0 0";

        QTest::newRow("no file") << QByteArray() << QStringList{FirstRun} << empty << false
                                 << false;
        QTest::newRow("other keys only")
            << regText(
                   "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Mts0\"=dword:00000005\n")
            << QStringList{FirstRun} << empty << false << false;
        QTest::newRow("key without values")
            << hive("") << QStringList{ReadError} << empty << false << false;
        QTest::newRow("up to Td2 only")
            << hive(lengthsToDates(1000, 800, 600)) << QStringList{ReadError}
            << "1000 800 600 | " + names + " | " + dates + " | 0 0 0" << true << false;
        QTest::newRow("complete") << hive(lengthsToDates(1000, 800, 600) + sexes()) << QStringList()
                                  << "1000 800 600 | " + names + " | " + dates + " | 2 3 1" << true
                                  << false;
        QTest::newRow("out of order: lengths zeroed, the rest kept")
            << hive(lengthsToDates(100, 200, 50) + sexes()) << QStringList()
            << "0 0 0 | " + names + " | " + dates + " | 2 3 1" << false << false;
        QTest::newRow("equal lengths pass")
            << hive(lengthsToDates(300, 300, 300) + sexes()) << QStringList()
            << "300 300 300 | " + names + " | " + dates + " | 2 3 1" << true << false;
        QTest::newRow("16000 shows RANKING only")
            << hive(lengthsToDates(16000, 0, 0) + sexes()) << QStringList()
            << "16000 0 0 | " + names + " | " + dates + " | 2 3 1" << true << false;
        QTest::newRow("16001 shows the SFC mode too")
            << hive(lengthsToDates(16001, 0, 0) + sexes()) << QStringList()
            << "16001 0 0 | " + names + " | " + dates + " | 2 3 1" << true << true;
        QTest::newRow("zero-length and missing names read as empty")
            << hive(dword("Mts0", 5) + dword("Mts1", 0) + dword("Mts2", 0) +
                    "\"Name0\"=\"\"\n\"Td0\"=\"d\"\n" + sexes())
            << QStringList() << "5 0 0 |    | d   | 2 3 1" << true << false;
        QTest::newRow("expandable text and a NUL inside")
            << hive(dword("Mts0", 5) + dword("Mts1", 0) + dword("Mts2", 0) +
                    "\"Name0\"=hex(2):41,00\n\"Name1\"=hex(1):42,00,43\n" + sexes())
            << QStringList() << "5 0 0 | A B  |    | 2 3 1" << true << false;
        QTest::newRow("length as text fails at once")
            << hive("\"Mts0\"=\"100\"\n") << QStringList{ReadError} << empty << false << false;
        QTest::newRow("length of five bytes")
            << hive(dword("Mts0", 7) + "\"Mts1\"=hex(4):01,00,00,00,00\n") << QStringList{ReadError}
            << "7 0 0 |    |    | 0 0 0" << true << false;
        QTest::newRow("name as a number")
            << hive(dword("Mts0", 9) + dword("Mts1", 8) + dword("Mts2", 7) + dword("Name0", 1))
            << QStringList{ReadError} << "9 8 7 |    |    | 0 0 0" << true << false;
        QTest::newRow("garbage value line")
            << hive(dword("Mts0", 9) + "\"Mts1\"=dword:zz\n" + dword("Mts2", 7))
            << QStringList{ReadError} << "9 0 0 |    |    | 0 0 0" << true << false;
        QTest::newRow("garbage file") << QByteArray("\x01\x02 this is no registry file\xff\r\n")
                                      << QStringList{FirstRun} << empty << false << false;
        QTest::newRow("bytes outside code page 932 in a name")
            << hive(dword("Mts0", 5) + dword("Mts1", 0) + dword("Mts2", 0)) +
                   QByteArray("\"Name0\"=\"a\xff\x81 b\"\r\n") + regText(sexes())
            << QStringList() << "5 0 0 | a\uFFFD\uFFFD b   |    | 2 3 1" << true << false;
    }

    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, messages);
        QFETCH(QString, loaded);
        QFETCH(bool, ranking);
        QFETCH(bool, sfc);
        if (!file.isEmpty())
            writeFile(registryFile(), file);

        Form1->LoadRecords();

        QCOMPARE(testsupport::fakes().messages.texts(), messages);
        for (const platform::ShownMessage &message : testsupport::fakes().messages.shown) {
            if (message.text == FirstRun) {
                QCOMPARE(message.caption, QStringLiteral("TORVA"));
                QCOMPARE(message.flags, unsigned(platform::MB_ICONEXCLAMATION));
            } else {
                QCOMPARE(message.caption, ReadErrorCaption);
                QCOMPARE(message.flags, unsigned(platform::MB_ICONERROR));
            }
        }
        QCOMPARE(table(), loaded);
        QCOMPARE(Form1->Panel3->Visible(), ranking);
        QCOMPARE(Form1->CheckBox1->Visible(), sfc);
        // Loading never writes.
        QCOMPARE(readFile(registryFile()), file);
    }

    // The first run shows its message until a close has created the key,
    // which then holds the whole empty table.
    void firstRunThenCloseWritesACompleteKey()
    {
        Form1->LoadRecords();
        QCOMPARE(testsupport::fakes().messages.texts(), QStringList{FirstRun});
        Form1->SaveRecords();

        const QString names[] = {"Mts0", "Mts1", "Mts2", "ESU", "II", "EKKUSU"};
        TRegistry registry;
        QVERIFY(registry.OpenKey(Key, false));
        for (const QString &name : names)
            QCOMPARE(registry.ReadInteger(name), 0);
        for (const char *name : {"Name0", "Name1", "Name2", "Td0", "Td1", "Td2"}) {
            QVERIFY(registry.ValueExists(name));
            QCOMPARE(registry.ReadString(name), QString());
        }
        QCOMPARE(registry.ReadString(""), QStringLiteral("TORVAデータ．解析不可(笑)"));
        QVERIFY(!registry.ValueExists("uwf"));
        registry.CloseKey();
        QVERIFY(readFile(registryFile()).contains("\"Name2\"=\"\"\r\n"));

        testsupport::fakes().clear();
        Form1->LoadRecords();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 0);
    }

    // A read error is repaired by the next close.
    void closeAfterAReadErrorCompletesTheKey()
    {
        writeFile(registryFile(), hive(lengthsToDates(1000, 800, 600)));
        Form1->LoadRecords();
        QCOMPARE(testsupport::fakes().messages.texts(), QStringList{ReadError});
        Form1->SaveRecords();
        testsupport::fakes().clear();
        Form1->LoadRecords();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 0);
        QCOMPARE(Form1->RecordLength[2], 600);
        QCOMPARE(Form1->RecordName[1], QStringLiteral("花子"));
    }

    void roundTripKeepsOtherKeysAndValues()
    {
        writeFile(
            registryFile(),
            regText("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"そのまま\"\n\n" +
                    Header + "\n\"Extra\"=dword:0000002a\n" + dword("Mts0", 1) + "\n"));
        const QString names[] = {"山田太郎", "ﾎｹﾞ～", ""};
        const QString dates[] = {"2001/3/5  9:07:03", "2010/12/31  23:59:59", ""};
        const int lengths[] = {16001, 777, 0};
        const int sexCodes[] = {3, 1, 0};
        for (int i = 0; i < 3; ++i) {
            Form1->RecordLength[i] = lengths[i];
            Form1->RecordName[i] = names[i];
            Form1->RecordDate[i] = dates[i];
            Form1->RecordSex[i] = sexCodes[i];
        }
        const QString saved = table();
        Form1->SaveRecords();
        clearTable();

        Form1->LoadRecords();
        QCOMPARE(testsupport::fakes().messages.shown.size(), 0);
        QCOMPARE(table(), saved);
        QVERIFY(Form1->Panel3->Visible());
        QVERIFY(Form1->CheckBox1->Visible());
        TRegistry registry;
        QVERIFY(registry.OpenKey("\\Software\\Other", false));
        QCOMPARE(registry.ReadString("Keep"), QStringLiteral("そのまま"));
        QVERIFY(registry.OpenKey(Key, false));
        QCOMPARE(registry.ReadInteger("Extra"), 42);
    }

    // "/TimeToWin 20" is stored at close as "uwf" and stays there when a
    // later run closes with the usual time limit.
    void timeLimitIsWrittenOnlyWhenChanged()
    {
        platform::setCommandLine({"torva", "/TimeToWin", "20"});
        Form1->FormShow();
        platform::setCommandLine({"torva"});
        QCOMPARE(Form1->TimeLimit, 20);
        Form1->FormClose();
        auto uwf = [] {
            TRegistry registry;
            return registry.OpenKey(Key, false) ? registry.ReadInteger("uwf") : -1;
        };
        QCOMPARE(uwf(), 20);

        Form1->TimeLimit = 10;
        Form1->RecordLength[0] = 5;
        Form1->SaveRecords();
        QCOMPARE(uwf(), 20);
        TRegistry registry;
        QVERIFY(registry.OpenKey(Key, false));
        QCOMPARE(registry.ReadInteger("Mts0"), 5);
    }

    // A file that cannot be written stays as it was; the player is told on
    // standard error, not with a message box.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("fileIsAFolder");
        QTest::newRow("disk full") << false;
        QTest::newRow("the file is a folder") << true;
    }

    void failedSaveKeepsTheOldFile()
    {
        QFETCH(bool, fileIsAFolder);
        const QByteArray old = hive(dword("Mts0", 1));
        if (fileIsAFolder)
            QVERIFY(QDir().mkpath(registryFile()));
        else
            writeFile(registryFile(), old);
        Form1->RecordName[0] = QString(4096, u'x');

        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = limit;
        small.rlim_cur = old.size() + 100;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString said;
        {
            StderrCapture capture;
            Form1->SaveRecords();
            said = capture.text();
        }
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldSignal);

        QCOMPARE(testsupport::fakes().messages.shown.size(), 0);
        QCOMPARE(said.count('\n'), 1);
        QVERIFY2(said.contains("not saved"), qPrintable(said));
        if (fileIsAFolder) {
            QVERIFY(QFileInfo(registryFile()).isDir());
            QVERIFY(QDir().rmdir(registryFile()));
        } else {
            QCOMPARE(readFile(registryFile()), old);
        }
    }
};

TORVA_TEST_MAIN(TestRecordStore)
#include "test_recordstore.moc"
