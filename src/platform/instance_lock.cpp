#include "platform/instance_lock.h"

#include <QLockFile>

InstanceLock::InstanceLock() = default;
InstanceLock::~InstanceLock() = default;

InstanceLock::Result InstanceLock::tryLock(const QString& lockPath)
{
    unlock();
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Staleness is decided by the owner's process id alone, never by the lock's age:
    // the lock is held for as long as the program runs.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        lock_ = std::move(lock);
        return Result::Locked;
    }
    return lock->error() == QLockFile::LockFailedError ? Result::HeldByAnother : Result::Unavailable;
}

void InstanceLock::unlock() { lock_.reset(); }
