#pragma once

#include <QString>

#include <cstring>
#include <stdexcept>

// A failed file operation; message() is one sentence naming the file and the system's reason.
class FileError : public std::runtime_error {
public:
    explicit FileError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The system's own words for an errno value ("No space left on device").
inline QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
