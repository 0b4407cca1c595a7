#include "platform/instanceguard.h"

#include <QDir>
#include <QStandardPaths>

#include <unistd.h>

namespace platform {

namespace {
// The user's runtime folder when there is one, else the temporary folder
// with the user's id in the name.
QString lockFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    const QString folder =
        QDir::tempPath() + QStringLiteral("/torva-%1").arg(static_cast<qulonglong>(getuid()));
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}
} // namespace

NamedMutex::NamedMutex(const QString &name)
    : lock_(std::make_unique<QLockFile>(lockFolder() + QLatin1Char('/') + name +
                                        QStringLiteral(".lock")))
{
    lock_->setStaleLockTime(0);
}

NamedMutex::~NamedMutex() = default;

bool NamedMutex::tryAcquire()
{
    if (lock_->tryLock(0))
        return true;
    // A lock left by a copy that no longer runs is removed and taken over.
    if (lock_->error() == QLockFile::LockFailedError && lock_->removeStaleLockFile())
        return lock_->tryLock(0);
    return false;
}

void NamedMutex::release() { lock_->unlock(); }

} // namespace platform
