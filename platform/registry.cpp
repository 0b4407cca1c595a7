#include "platform/registry.h"

#include "platform/cp932.h"
#include "platform/services.h"

#include <QDir>
#include <QtEndian>

#include <pwd.h>
#include <unistd.h>

using platform::RegKey;
using platform::RegValue;

namespace {

constexpr char kRootName[] = "HKEY_CURRENT_USER";
constexpr char kFolderName[] = "TORVA";
constexpr char kFileName[] = "HKCU.reg";
constexpr qsizetype kDwordBytes = 4;

[[noreturn]] void fail(const QString &message)
{
    throw ERegistryException(message.toStdString());
}

} // namespace

namespace platform {

QString defaultRegistryFile()
{
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config)) {
        QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty()) {
            if (const passwd *account = getpwuid(getuid()))
                home = QString::fromLocal8Bit(account->pw_dir);
        }
        config = home.isEmpty() ? QDir::tempPath() + QStringLiteral("/TORVA-%1").arg(getuid())
                                : home + QStringLiteral("/.config");
    }
    return QDir::cleanPath(config + '/' + kFolderName + '/' + kFileName);
}

} // namespace platform

TRegistry::TRegistry()
    : TRegistry(platform::services().registryFile.isEmpty() ? platform::defaultRegistryFile()
                                                            : platform::services().registryFile)
{
}

TRegistry::TRegistry(const QString &hiveFile) : file_(hiveFile) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

bool TRegistry::OpenKey(const QString &key, bool canCreate)
{
    QString path =
        key.startsWith('\\') || currentPath_.isEmpty() ? QString(kRootName) : currentPath_;
    QString below = key;
    while (below.startsWith('\\'))
        below.remove(0, 1);
    while (below.endsWith('\\'))
        below.chop(1);
    if (!below.isEmpty())
        path += '\\' + below;
    CloseKey();
    if (RootKey != HKEY_CURRENT_USER || path.contains(QStringLiteral("\\\\")))
        return false;

    platform::HiveFile file = platform::readHiveFile(file_);
    if (file.state == platform::HiveFile::State::Unreadable)
        return false;
    hive_ = std::move(file.hive);
    const QByteArray bytes = platform::toCp932(path);
    if (!hive_.findKey(bytes)) {
        if (!canCreate)
            return false;
        hive_.createKey(bytes);
        created_ = true;
    }
    currentPath_ = path;
    return true;
}

void TRegistry::CloseKey()
{
    if (!writes_.isEmpty() || created_)
        lastSaveFailed_ = !save();
    writes_.clear();
    created_ = false;
    currentPath_.clear();
    hive_ = {};
}

bool TRegistry::save()
{
    // Read the file again, so that nothing written to it since is lost.
    platform::HiveFile file = platform::readHiveFile(file_);
    if (file.state == platform::HiveFile::State::Unreadable)
        return false;
    RegKey &key = file.hive.createKey(platform::toCp932(currentPath_));
    for (const Write &write : writes_)
        key.set(write.name, write.type, write.data);
    return platform::writeHiveFile(file_, file.hive, file.needsBackup);
}

RegKey &TRegistry::currentKey()
{
    RegKey *key = currentPath_.isEmpty() ? nullptr : hive_.findKey(platform::toCp932(currentPath_));
    if (!key)
        fail(QStringLiteral("No registry key is open"));
    return *key;
}

const RegValue *TRegistry::find(const QString &name)
{
    return currentKey().find(platform::toCp932(name));
}

int TRegistry::ReadInteger(const QString &name)
{
    const RegValue *value = find(name);
    if (!value || value->kind != RegValue::Kind::Data || value->data.size() > kDwordBytes)
        fail(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (value->type != platform::REG_DWORD)
        fail(QStringLiteral("Invalid data type for '%1'").arg(name));
    quint32 number = 0;
    for (qsizetype i = 0; i < value->data.size(); ++i)
        number |= quint32(static_cast<unsigned char>(value->data[i])) << (8 * i);
    return static_cast<int>(number);
}

QString TRegistry::ReadString(const QString &name)
{
    const RegValue *value = find(name);
    if (!value)
        return {};
    if (value->kind != RegValue::Kind::Data)
        fail(QStringLiteral("Failed to get data for '%1'").arg(name));
    if (value->type != platform::REG_SZ && value->type != platform::REG_EXPAND_SZ)
        fail(QStringLiteral("Invalid data type for '%1'").arg(name));
    const qsizetype nul = value->data.indexOf('\0');
    return platform::fromCp932(nul < 0 ? value->data : value->data.left(nul));
}

void TRegistry::WriteInteger(const QString &name, int value)
{
    QByteArray data(kDwordBytes, '\0');
    qToLittleEndian(static_cast<quint32>(value), data.data());
    write(name, platform::REG_DWORD, data);
}

void TRegistry::WriteString(const QString &name, const QString &value)
{
    write(name, platform::REG_SZ, platform::toCp932(value));
}

bool TRegistry::ValueExists(const QString &name)
{
    return !currentPath_.isEmpty() && find(name) != nullptr;
}

void TRegistry::write(const QString &name, quint32 type, const QByteArray &data)
{
    RegKey &key = currentKey();
    const QByteArray bytes = platform::toCp932(name);
    if (bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0'))
        fail(QStringLiteral("Invalid value name '%1'").arg(name));
    key.set(bytes, type, data);
    writes_.append({bytes, type, data});
}
