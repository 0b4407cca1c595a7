// The registry file: REGEDIT4 text in code page 932 as Windows' registry
// editor writes it, values of other programs kept byte for byte, the reads
// that fail and those that do not, damaged files, and saves that are all or
// nothing.
#include "platform/cp932.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <climits>
#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

using platform::fromCp932;
using platform::toCp932;

namespace {

const QString kKey = QStringLiteral("\\Software\\Marrowind\\TORVA\\CurrentVersion");
const QString kHeader =
    QStringLiteral("[HKEY_CURRENT_USER\\Software\\Marrowind\\TORVA\\CurrentVersion]");

// The file's bytes for text written with "\n": CRLF line ends, code page 932.
QByteArray regText(const QString &text)
{
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    return toCp932(crlf);
}

// A hive whose only key is the game's, holding the given value lines.
QByteArray hiveWith(const QByteArray &valueLines)
{
    return regText("REGEDIT4\n\n" + kHeader + "\n") + valueLines + regText("\n\n");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        folder_.reset(new QTemporaryDir);
        savedFile_ = platform::services().registryFile;
        platform::services().registryFile = folder_->path() + "/HKCU.reg";
    }

    void cleanup() { platform::services().registryFile = savedFile_; }

    // A full table saved over a Windows export: the game's values replaced
    // or added in place, every other key and value byte for byte as it was.
    void savesOverAnExportAndReadsBack()
    {
        const QString others = QStringLiteral(
            "REGEDIT4\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Another]\n"
            "\"Path\"=\"C:\\\\Program Files\\\\\\\"x\\\"\\\\\"\n"
            "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
            "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
            "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b\n"
            "\"Env\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\n"
            "\"List\"=hex(7):61,00,00,62,00,00,00\n"
            "\"Nothing\"=hex(0):\n"
            "\"Quad\"=hex(b):01,00,00,00,00,00,00,00\n"
            "\"ソ表\"=\"ソ表\\\\\"\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Marrowind]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Marrowind\\TORVA]\n"
            "\n");
        const QString zeta = QStringLiteral("[HKEY_CURRENT_USER\\Software\\Zeta]\n"
                                            "@=\"z\"\n"
                                            "\n");
        const QString before = kHeader + QStringLiteral("\n"
                                                        "\"Mts0\"=dword:00000001\n"
                                                        "\"Extra\"=\"kept\"\n"
                                                        "\"Name0\"=\"old\"\n"
                                                        "\n");
        const QString after = kHeader + QStringLiteral("\n"
                                                       "@=\"TORVAデータ．解析不可(笑)\"\n"
                                                       "\"Mts0\"=dword:00003e81\n"
                                                       "\"Extra\"=\"kept\"\n"
                                                       "\"Name0\"=\"ｵｶﾏ男\"\n"
                                                       "\"Mts1\"=dword:00000000\n"
                                                       "\"Mts2\"=dword:ffffffff\n"
                                                       "\"Name1\"=\"1～3位\"\n"
                                                       "\"Name2\"=\"\"\n"
                                                       "\"Td0\"=\"2024/1/2  3:04:05\"\n"
                                                       "\"ESU\"=dword:00000002\n"
                                                       "\"uwf\"=dword:00000014\n"
                                                       "\"名前\"=\"①\"\n"
                                                       "\n");
        QVERIFY(writeFile(path(), regText(others + before + zeta)));

        const QList<std::pair<QString, QVariant>> table = {
            {"Mts0", 16001},
            {"Mts1", 0},
            {"Mts2", -1},
            {"Name0", QStringLiteral("ｵｶﾏ男")},
            {"Name1", QStringLiteral("1～3位")},
            {"Name2", QString()},
            {"Td0", QStringLiteral("2024/1/2  3:04:05")},
            {"ESU", 2},
            {"uwf", 20},
            {QStringLiteral("名前"), QStringLiteral("①")},
            {QString(), QStringLiteral("TORVAデータ．解析不可(笑)")},
        };
        {
            TRegistry registry;
            QVERIFY(registry.OpenKey(kKey, true));
            for (const auto &[name, value] : table) {
                if (value.typeId() == QMetaType::Int)
                    registry.WriteInteger(name, value.toInt());
                else
                    registry.WriteString(name, value.toString());
            }
            registry.CloseKey();
            QVERIFY(!registry.LastSaveFailed());
        }

        const QByteArray saved = readFile(path());
        QCOMPARE(fromCp932(saved), fromCp932(regText(others + after + zeta)));
        QCOMPARE(saved, regText(others + after + zeta));
        bool decodes = false;
        fromCp932(saved, &decodes); // what `iconv -f CP932` would read
        QVERIFY(decodes);
        QVERIFY(!QFile::exists(path() + ".bak"));

        TRegistry registry;
        QVERIFY(registry.OpenKey(kKey, false));
        for (const auto &[name, value] : table) {
            if (value.typeId() == QMetaType::Int)
                QCOMPARE(registry.ReadInteger(name), value.toInt());
            else
                QCOMPARE(registry.ReadString(name), value.toString());
        }
        QCOMPARE(registry.ReadString("Extra"), QStringLiteral("kept"));
        QVERIFY(registry.OpenKey("\\Software\\Another", false));
        QCOMPARE(registry.ReadString("Path"), QStringLiteral("C:\\Program Files\\\"x\"\\"));
        QCOMPARE(registry.ReadString("Env"), QStringLiteral("%"));
        QCOMPARE(registry.ReadString(QStringLiteral("ソ表")), QStringLiteral("ソ表\\"));
    }

    // The save at the first close creates the key and those above it.
    void createsTheKeyAndItsParents()
    {
        TRegistry registry;
        QVERIFY(!registry.OpenKey(kKey, false));
        QVERIFY(!QFile::exists(path()));
        QVERIFY(registry.OpenKey(kKey, true));
        registry.WriteInteger("Mts0", 0);
        registry.CloseKey();
        QVERIFY(!registry.LastSaveFailed());
        QCOMPARE(readFile(path()), regText("REGEDIT4\n\n"
                                           "[HKEY_CURRENT_USER\\Software]\n\n"
                                           "[HKEY_CURRENT_USER\\Software\\Marrowind]\n\n"
                                           "[HKEY_CURRENT_USER\\Software\\Marrowind\\TORVA]\n\n" +
                                           kHeader + "\n\"Mts0\"=dword:00000000\n\n"));
    }

    // Text written as the registry editor escapes it, and read back.
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");

        QTest::newRow("plain") << "abc"
                               << "\"S\"=\"abc\"";
        QTest::newRow("empty") << ""
                               << "\"S\"=\"\"";
        QTest::newRow("backslash") << "a\\b"
                                   << "\"S\"=\"a\\\\b\"";
        QTest::newRow("quotes") << "say \"hi\""
                                << "\"S\"=\"say \\\"hi\\\"\"";
        QTest::newRow("backslash at the end") << "C:\\"
                                              << "\"S\"=\"C:\\\\\"";
        QTest::newRow("trail byte 0x5C is no backslash")
            << QStringLiteral("ソ表") << QStringLiteral("\"S\"=\"ソ表\"");
        QTest::newRow("line break as bytes") << "a\r\nb"
                                             << "\"S\"=hex(1):61,0d,0a,62";
    }

    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);

        QVERIFY(writeFile(path(), hiveWith({})));
        TRegistry registry;
        QVERIFY(registry.OpenKey(kKey, true));
        registry.WriteString("S", text);
        registry.CloseKey();
        QCOMPARE(readFile(path()), hiveWith(toCp932(line)));

        QVERIFY(writeFile(path(), hiveWith(toCp932(line))));
        QVERIFY(registry.OpenKey(kKey, false));
        QCOMPARE(registry.ReadString("S"), text);
    }

    void dwords_data()
    {
        QTest::addColumn<QString>("data");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("asWritten");

        QTest::newRow("zero") << "dword:00000000" << 0 << true;
        QTest::newRow("abcd") << "dword:0000abcd" << 0xabcd << true;
        QTest::newRow("minus one") << "dword:ffffffff" << -1 << true;
        QTest::newRow("lowest") << "dword:80000000" << INT_MIN << true;
        QTest::newRow("highest") << "dword:7fffffff" << INT_MAX << true;
        QTest::newRow("upper case, short") << "DWORD:ABCD" << 0xabcd << false;
    }

    void dwords()
    {
        QFETCH(QString, data);
        QFETCH(int, value);
        QFETCH(bool, asWritten);

        const QByteArray file = hiveWith(toCp932("\"D\"=" + data));
        QVERIFY(writeFile(path(), file));
        TRegistry registry;
        QVERIFY(registry.OpenKey(kKey, false));
        QCOMPARE(registry.ReadInteger("D"), value);
        if (asWritten) {
            QVERIFY(writeFile(path(), hiveWith({})));
            QVERIFY(registry.OpenKey(kKey, true));
            registry.WriteInteger("D", value);
            registry.CloseKey();
            QCOMPARE(readFile(path()), file);
        }
    }

    // Which reads fail (ERegistryException) and what the others give.
    void reads_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("result");

        const QByteArray sz = "\"V\"=\"12\"";
        QTest::newRow("integer missing") << sz << "W" << true << true << "";
        QTest::newRow("integer from REG_SZ") << sz << "V" << true << true << "";
        QTest::newRow("integer from 8-byte REG_BINARY")
            << QByteArray("\"V\"=hex:01,00,00,00,00,00,00,00") << "V" << true << true << "";
        QTest::newRow("integer from 4-byte REG_BINARY")
            << QByteArray("\"V\"=hex:01,00,00,00") << "V" << true << true << "";
        QTest::newRow("integer from 8-byte REG_DWORD")
            << QByteArray("\"V\"=hex(4):01,00,00,00,00,00,00,00") << "V" << true << true << "";
        QTest::newRow("integer from 2-byte REG_DWORD")
            << QByteArray("\"V\"=hex(4):01,02") << "V" << true << false << "513";
        QTest::newRow("integer from unreadable dword")
            << QByteArray("\"V\"=dword:12345678z") << "V" << true << true << "";
        QTest::newRow("integer after an unreadable value")
            << QByteArray("\"U\"=dword:\r\n\"V\"=dword:00000002") << "V" << true << false << "2";
        QTest::newRow("integer from odd hex")
            << QByteArray("\"V\"=hex(4):1,2,zz") << "V" << true << true << "";
        QTest::newRow("integer deleted by a later line")
            << QByteArray("\"V\"=dword:00000001\r\n\"V\"=-") << "V" << true << true << "";
        QTest::newRow("text from REG_DWORD")
            << QByteArray("\"V\"=dword:00000001") << "V" << false << true << "";
        QTest::newRow("text from REG_BINARY")
            << QByteArray("\"V\"=hex:41") << "V" << false << true << "";
        QTest::newRow("text missing") << sz << "W" << false << false << "";
        QTest::newRow("text of length zero")
            << QByteArray("\"V\"=\"\"") << "V" << false << false << "";
        QTest::newRow("text up to the first NUL")
            << QByteArray("\"V\"=hex(1):41,00,42,00") << "V" << false << false << "A";
        QTest::newRow("text from REG_EXPAND_SZ")
            << QByteArray("\"V\"=hex(2):41,42,00") << "V" << false << false << "AB";
        QTest::newRow("text with bytes outside the code page")
            << QByteArray("\"V\"=\"A\x80\x85\x40\xff\x82\"") << "V" << false << false
            << "A" + QString(4, QChar::ReplacementCharacter);
        QTest::newRow("text with unterminated quote")
            << QByteArray("\"V\"=\"abc") << "V" << false << true << "";
        QTest::newRow("text in other case of the name") << sz << "v" << false << false << "12";
    }

    void reads()
    {
        QFETCH(QByteArray, values);
        QFETCH(QString, name);
        QFETCH(bool, integer);
        QFETCH(bool, fails);
        QFETCH(QString, result);

        QVERIFY(writeFile(path(), hiveWith(values)));
        TRegistry registry;
        QVERIFY(registry.OpenKey(kKey, false));
        QString got;
        bool failed = false;
        try {
            got = integer ? QString::number(registry.ReadInteger(name)) : registry.ReadString(name);
        } catch (const ERegistryException &) {
            failed = true;
        }
        QCOMPARE(failed, fails);
        QCOMPARE(got, result);
    }

    // Damaged files: no crash, the key opens only where its header was found,
    // and the save keeps a copy of a damaged file before replacing it.
    void damagedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("backup");

        const QByteArray key = toCp932(kHeader) + "\r\n\"A\"=\"x\"\r\n";
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919 + 13) % 256));
        QTest::newRow("missing") << "missing" << QByteArray() << false << false;
        QTest::newRow("empty") << "file" << QByteArray() << false << false;
        QTest::newRow("binary garbage") << "file" << garbage << false << true;
        QTest::newRow("garbage with a key header")
            << "file" << garbage + "\n" + key << true << true;
        QTest::newRow("no REGEDIT4 line") << "file" << key << true << true;
        QTest::newRow("value before any key")
            << "file"
            << "REGEDIT4\r\n\"A\"=\"x\"\r\n" + key << true << true;
        QTest::newRow("LF line ends")
            << "file"
            << "REGEDIT4\n\n" + QByteArray(key).replace("\r\n", "\n") << true << false;
        QTest::newRow("unreadable value")
            << "file" << hiveWith("\"A\"=\"x\"\r\n\"B\"=dword:zz") << true << false;
        const QString utf16 = "Windows Registry Editor Version 5.00\r\n\r\n" + kHeader + "\r\n";
        QTest::newRow("UTF-16 export")
            << "file"
            << "\xff\xfe" +
                   QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2)
            << false << true;
        QTest::newRow("key deleted")
            << "file"
            << "REGEDIT4\r\n\r\n" + key + "\r\n[-" + toCp932(kHeader).mid(1) + "\r\n"
            << false << false;
        QTest::newRow("larger than the limit") << "huge" << QByteArray() << false << true;
        QTest::newRow("a directory") << "directory" << QByteArray() << false << false;
    }

    void damagedFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(bool, opens);
        QFETCH(bool, backup);

        if (kind == "file")
            QVERIFY(writeFile(path(), content));
        if (kind == "huge") {
            content = hiveWith("\"A\"=\"x\"");
            QFile file(path());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
            QVERIFY(file.resize(platform::kMaxHiveFileSize + 1));
            file.close();
            content = readFile(path());
        }
        if (kind == "directory")
            QVERIFY(QDir().mkpath(path()));

        TRegistry registry;
        QCOMPARE(registry.OpenKey(kKey, false), opens);
        if (opens)
            QCOMPARE(registry.ReadString("A"), QStringLiteral("x"));
        QCOMPARE(readFile(path()), content); // reading changes nothing
        QCOMPARE(QFile::exists(path()), kind != "missing");

        QCOMPARE(registry.OpenKey(kKey, true), kind != "directory");
        if (kind == "directory") {
            QVERIFY(QFileInfo(path()).isDir());
            return;
        }
        registry.WriteInteger("New", 7);
        registry.CloseKey();
        QVERIFY(!registry.LastSaveFailed());
        QCOMPARE(QFile::exists(path() + ".bak"), backup);
        if (backup)
            QVERIFY(readFile(path() + ".bak") == content);
        if (kind == "file" && opens)
            QVERIFY(readFile(path()).contains("\"A\"=\"x\"\r\n"));
        if (QTest::currentDataTag() == QByteArray("unreadable value"))
            QVERIFY(readFile(path()).contains("\"B\"=dword:zz\r\n"));
        QVERIFY(readFile(path()).startsWith("REGEDIT4\r\n\r\n"));
        QVERIFY(registry.OpenKey(kKey, false));
        QCOMPARE(registry.ReadInteger("New"), 7);
    }

    // What another program wrote between the open and the close stays.
    void saveKeepsWhatOthersWroteMeanwhile()
    {
        QVERIFY(writeFile(path(), hiveWith("\"Mts0\"=dword:00000001")));
        TRegistry registry;
        QVERIFY(registry.OpenKey(kKey, true));
        registry.WriteInteger("Mts0", 5);
        QVERIFY(writeFile(path(), hiveWith("\"Mts0\"=dword:00000001\r\n\"Other\"=\"o\"") +
                                      "[HKEY_CURRENT_USER\\Software\\New]\r\n\"N\"=\"n\"\r\n\r\n"));
        registry.CloseKey();
        QCOMPARE(readFile(path()), hiveWith("\"Mts0\"=dword:00000005\r\n\"Other\"=\"o\"") +
                                       "[HKEY_CURRENT_USER\\Software\\New]\r\n\"N\"=\"n\"\r\n\r\n");
    }

    // A save that cannot be completed leaves the old file as it was.
    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("read-only folder") << "read-only folder";
        QTest::newRow("disk full") << "disk full";
        QTest::newRow("target became a directory") << "directory";
    }

    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, obstacle);
        if (obstacle == "read-only folder" && geteuid() == 0)
            QSKIP("root writes into read-only folders");
        const QString folder = folder_->path() + "/TORVA";
        platform::services().registryFile = folder + "/HKCU.reg";
        QVERIFY(QDir().mkpath(folder));
        const QByteArray old = hiveWith("\"Mts0\"=dword:00000001");
        QVERIFY(writeFile(path(), old));

        TRegistry registry;
        QVERIFY(registry.OpenKey(kKey, true));
        registry.WriteString("Name0", QString(4096, u'x'));
        const QFile::Permissions permissions = QFile::permissions(folder);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        if (obstacle == "read-only folder") {
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        } else if (obstacle == "disk full") {
            rlimit small = limit;
            small.rlim_cur = old.size() + 100;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        } else {
            QVERIFY(QFile::remove(path()));
            QVERIFY(QDir().mkpath(path()));
        }
        registry.CloseKey();
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldSignal);
        QFile::setPermissions(folder, permissions);

        QVERIFY(registry.LastSaveFailed());
        const QStringList files = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QCOMPARE(files, QStringList{"HKCU.reg"}); // no temporary file left behind
        if (obstacle == "directory")
            QVERIFY(QFileInfo(path()).isDir());
        else
            QCOMPARE(readFile(path()), old);
    }

    void defaultFile_data()
    {
        QTest::addColumn<QByteArray>("xdgConfigHome");
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QString>("file");

        const passwd *account = getpwuid(getuid());
        const QString accountHome = account ? QString::fromLocal8Bit(account->pw_dir) : QString();
        QTest::newRow("XDG_CONFIG_HOME")
            << QByteArray("/x/cfg") << QByteArray("/home/h") << "/x/cfg/TORVA/HKCU.reg";
        QTest::newRow("HOME") << QByteArray() << QByteArray("/home/h")
                              << "/home/h/.config/TORVA/HKCU.reg";
        QTest::newRow("relative XDG_CONFIG_HOME ignored")
            << QByteArray("cfg") << QByteArray("/home/h") << "/home/h/.config/TORVA/HKCU.reg";
        QTest::newRow("neither: the account's home")
            << QByteArray() << QByteArray() << accountHome + "/.config/TORVA/HKCU.reg";
    }

    void defaultFile()
    {
        QFETCH(QByteArray, xdgConfigHome);
        QFETCH(QByteArray, home);
        QFETCH(QString, file);

        const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("XDG_CONFIG_HOME", xdgConfigHome);
        qputenv("HOME", home);
        const QString got = platform::defaultRegistryFile();
        qputenv("XDG_CONFIG_HOME", oldXdg);
        qputenv("HOME", oldHome);
        QCOMPARE(got, file);
    }

private:
    QString path() const { return platform::services().registryFile; }

    std::unique_ptr<QTemporaryDir> folder_;
    QString savedFile_;
};

TORVA_TEST_MAIN(TestRegistry)
#include "test_registry.moc"
