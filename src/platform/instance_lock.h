#pragma once

#include <QString>

#include <memory>

class QLockFile;

// A lock file held for the program's lifetime, so that two running copies never share
// one screen store. A lock left by a crashed copy is taken over.
class InstanceLock {
public:
    enum class Result { Locked, HeldByAnother, Unavailable };

    InstanceLock();
    ~InstanceLock();

    Result tryLock(const QString& lockPath);
    void unlock();

private:
    std::unique_ptr<QLockFile> lock_;
};
