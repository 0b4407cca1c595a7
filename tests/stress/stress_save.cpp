// Kills a process with SIGKILL at random moments while it saves the record
// table, again and again, and checks after every kill that the records file
// reads as the whole of one table or the whole of the other: never a mix,
// never a cut-off file, never nothing.
//
//   torva_stress_save <kills> [folder]   the test (a temporary folder)
//   torva_stress_save --save <file>      the victim: saves the two tables in
//                                        turn until killed
#include "platform/regfile.h"
#include "platform/registry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <array>
#include <cstdio>
#include <cstring>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

const QString RecordKey = QStringLiteral("\\Software\\Marrowind\\TORVA\\CurrentVersion");
const QByteArray KeyPath = "HKEY_CURRENT_USER\\Software\\Marrowind\\TORVA\\CurrentVersion";

struct Table {
    std::array<int, 3> length;
    std::array<QString, 3> name;
    std::array<QString, 3> date;
    std::array<int, 3> sex;
};

// Two tables that differ in every value.
const Table Tables[2] = {
    {{16001, 4000, 12},
     {"ﾄﾙｳﾞｧ", "花子", "ABCDEFGHIJKLMN"},
     {"2001/03/05 09:07:03", "2001/03/06 10:00:00", "2001/03/07 23:59:59"},
     {2, 3, 1}},
    {{9999, 9998, 9997},
     {"太郎", "x", "表示名"},
     {"2024/12/31 23:59:59", "2025/01/01 00:00:00", "2025/01/02 12:34:56"},
     {3, 1, 2}},
};

void save(const QString &file, const Table &table)
{
    TRegistry registry(file);
    if (!registry.OpenKey(RecordKey, true))
        return;
    for (int i = 0; i < 3; ++i)
        registry.WriteInteger(QStringLiteral("Mts%1").arg(i), table.length[i]);
    for (int i = 0; i < 3; ++i)
        registry.WriteString(QStringLiteral("Name%1").arg(i), table.name[i]);
    for (int i = 0; i < 3; ++i)
        registry.WriteString(QStringLiteral("Td%1").arg(i), table.date[i]);
    const char *sexNames[] = {"ESU", "II", "EKKUSU"};
    for (int i = 0; i < 3; ++i)
        registry.WriteInteger(QString::fromLatin1(sexNames[i]), table.sex[i]);
    registry.WriteString(QString(), QStringLiteral("TORVAデータ．解析不可(笑)"));
}

// Which table the file holds whole: 0 or 1, or -1 with the reason.
int whichTable(const QString &file, QString *why)
{
    const platform::HiveFile read = platform::readHiveFile(file);
    if (read.state != platform::HiveFile::State::Loaded || read.hive.damaged) {
        *why = QStringLiteral("the file is missing, unreadable or damaged");
        return -1;
    }
    TRegistry registry(file);
    if (!registry.OpenKey(RecordKey, false)) {
        *why = QStringLiteral("the key is missing");
        return -1;
    }
    for (int t = 0; t < 2; ++t) {
        const Table &table = Tables[t];
        bool same = true;
        try {
            for (int i = 0; i < 3 && same; ++i) {
                same = registry.ReadInteger(QStringLiteral("Mts%1").arg(i)) == table.length[i] &&
                       registry.ReadString(QStringLiteral("Name%1").arg(i)) == table.name[i] &&
                       registry.ReadString(QStringLiteral("Td%1").arg(i)) == table.date[i];
            }
            const char *sexNames[] = {"ESU", "II", "EKKUSU"};
            for (int i = 0; i < 3 && same; ++i)
                same = registry.ReadInteger(QString::fromLatin1(sexNames[i])) == table.sex[i];
        } catch (const ERegistryException &error) {
            *why = QString::fromUtf8(error.what());
            return -1;
        }
        if (same)
            return t;
    }
    *why = QStringLiteral("the values are a mix of both tables");
    return -1;
}

[[noreturn]] void saveForever(const QString &file)
{
    for (unsigned round = 0;; ++round)
        save(file, Tables[round % 2]);
}

void sleepMicroseconds(long us)
{
    timespec wait{us / 1000000, (us % 1000000) * 1000};
    nanosleep(&wait, nullptr);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--save") == 0)
        saveForever(QString::fromLocal8Bit(argv[2]));
    if (argc < 2 || std::atoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: %s <kills> [folder]\n", argv[0]);
        return 2;
    }
    const int kills = std::atoi(argv[1]);
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    const QString file = folder + QStringLiteral("/TORVA/HKCU.reg");
    QDir(folder + QStringLiteral("/TORVA")).removeRecursively();
    save(file, Tables[0]);

    QElapsedTimer timer;
    timer.start();
    int seen[2] = {0, 0};
    auto *random = QRandomGenerator::global();
    for (int kill = 0; kill < kills; ++kill) {
        const pid_t child = fork();
        if (child == 0) {
            execl(argv[0], argv[0], "--save", qPrintable(file), static_cast<char *>(nullptr));
            _exit(127);
        }
        // Up to 30 ms: past the start of the program and into its saves.
        sleepMicroseconds(long(random->bounded(30000)));
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFSIGNALED(status)) {
            std::fprintf(stderr, "FAIL: the saver ended by itself (status %d)\n", status);
            return 1;
        }
        QString why;
        const int table = whichTable(file, &why);
        if (table < 0) {
            std::fprintf(stderr, "FAIL after kill %d: %s\n", kill + 1, qPrintable(why));
            return 1;
        }
        ++seen[table];
    }
    // Files that a kill left behind mid-save (the save's temporary copies).
    const QStringList left = QDir(folder + QStringLiteral("/TORVA"))
                                 .entryList(QDir::Files | QDir::Hidden | QDir::System);
    std::printf("%d kills in %.1f s: the file held the first table %d times, the second %d "
                "times, never anything else; %lld files in the folder afterwards\n",
                kills, double(timer.elapsed()) / 1000, seen[0], seen[1],
                static_cast<long long>(left.size()));
    return 0;
}
