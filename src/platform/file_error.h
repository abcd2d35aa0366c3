#pragma once

#include <QString>

#include <stdexcept>

// A failed file operation; message() is one sentence naming the file and the system's reason.
class FileError : public std::runtime_error {
public:
    explicit FileError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};
