// The records file as the game finds it on disk, whatever it holds: parsing
// must not crash, what is read must be written back so that it reads the
// same, and the game's own save must always leave its whole table readable.
#include "platform/regfile.h"
#include "platform/registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString RecordKey = QStringLiteral("\\Software\\Marrowind\\TORVA\\CurrentVersion");
const char *const IntegerValues[] = {"Mts0", "Mts1", "Mts2", "ESU", "II", "EKKUSU", "uwf"};
const char *const StringValues[] = {"Name0", "Name1", "Name2", "Td0", "Td1", "Td2", ""};

[[noreturn]] void fault(const char *what)
{
    std::fprintf(stderr, "FAULT: %s\n", what);
    std::abort();
}

bool sameValue(const platform::RegValue &a, const platform::RegValue &b)
{
    return a.kind == b.kind && a.name == b.name && a.type == b.type && a.data == b.data &&
           a.lines == b.lines;
}

bool sameHive(const platform::RegHive &a, const platform::RegHive &b)
{
    if (a.keys.size() != b.keys.size())
        return false;
    for (qsizetype k = 0; k < a.keys.size(); ++k) {
        const platform::RegKey &x = a.keys[k];
        const platform::RegKey &y = b.keys[k];
        if (x.path != y.path || x.values.size() != y.values.size())
            return false;
        for (qsizetype v = 0; v < x.values.size(); ++v) {
            if (!sameValue(x.values[v], y.values[v]))
                return false;
        }
    }
    return true;
}

QString hiveFile()
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
                                    ? QStringLiteral("/dev/shm/torva-fuzz-XXXXXX")
                                    : QDir::tempPath() + QStringLiteral("/torva-fuzz-XXXXXX"));
    return folder.filePath(QStringLiteral("HKCU.reg"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path + QStringLiteral(".bak"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fault("cannot write the input file");
}

// What the game's load does: every value it reads, each failure caught.
void readAsTheGameDoes(const QString &path)
{
    TRegistry registry(path);
    if (!registry.OpenKey(RecordKey, false))
        return;
    for (const char *name : IntegerValues) {
        try {
            (void)registry.ReadInteger(QString::fromLatin1(name));
        } catch (const ERegistryException &) {
        }
    }
    for (const char *name : StringValues) {
        try {
            (void)registry.ReadString(QString::fromLatin1(name));
        } catch (const ERegistryException &) {
        }
    }
}

// What the game's save does, then what the next load must find.
void saveAndReadBack(const QString &path)
{
    const QString name = QStringLiteral("ﾄﾙｳﾞｧ\\\"%");
    const QString date = QStringLiteral("2001/03/05 09:07:03");
    {
        TRegistry registry(path);
        if (!registry.OpenKey(RecordKey, true))
            fault("the save could not open the key");
        for (int i = 0; i < 3; ++i) {
            registry.WriteInteger(QString::fromLatin1(IntegerValues[i]), 16001 - i);
            registry.WriteString(QString::fromLatin1(StringValues[i]), name);
            registry.WriteString(QString::fromLatin1(StringValues[3 + i]), date);
            registry.WriteInteger(QString::fromLatin1(IntegerValues[3 + i]), i + 1);
        }
        registry.CloseKey();
        if (registry.LastSaveFailed())
            fault("the save failed");
    }
    TRegistry registry(path);
    if (!registry.OpenKey(RecordKey, false))
        fault("the saved key is missing");
    for (int i = 0; i < 3; ++i) {
        if (registry.ReadInteger(QString::fromLatin1(IntegerValues[i])) != 16001 - i ||
            registry.ReadString(QString::fromLatin1(StringValues[i])) != name ||
            registry.ReadString(QString::fromLatin1(StringValues[3 + i])) != date ||
            registry.ReadInteger(QString::fromLatin1(IntegerValues[3 + i])) != i + 1)
            fault("the saved table does not read back");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const platform::RegHive hive = platform::RegHive::parse(input);
    const QByteArray written = hive.serialise();
    const platform::RegHive again = platform::RegHive::parse(written);
    if (again.damaged)
        fault("what was written reads as damaged");
    if (!sameHive(hive, again))
        fault("what was written reads differently");
    if (again.serialise() != written)
        fault("writing is not stable");

    const QString path = hiveFile();
    writeFile(path, input);
    readAsTheGameDoes(path);
    saveAndReadBack(path);
    return 0;
}
