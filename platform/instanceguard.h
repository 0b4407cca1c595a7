// A named, per-user single-instance guard. Taking it is one atomic step, and
// a copy that crashed or was killed never blocks the next start: the lock
// file names its owner's process, and a lock whose owner is gone is stale.
#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace platform {

class NamedMutex {
public:
    explicit NamedMutex(const QString &name);
    ~NamedMutex();
    // True when this process now owns the name; false when another copy does.
    bool tryAcquire();
    void release();

private:
    std::unique_ptr<QLockFile> lock_;
};

} // namespace platform
