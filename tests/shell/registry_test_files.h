#pragma once

#include "platform/registry_api.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>
#include <stdexcept>

// Registry export files written line by line from the .reg format, for the registry suites.
namespace regtest {

inline const QByteArray kHeader = "Windows Registry Editor Version 5.00";
inline const QByteArray kSketchKey = R"([HKEY_LOCAL_MACHINE\Software\Nimbolt Software\Nimbolt Sketch\1.0])";
inline const QString kSketchPath = QStringLiteral(R"(HKEY_LOCAL_MACHINE\Software\Nimbolt Software\Nimbolt Sketch\1.0)");
inline const QString kSketchSubKey = QStringLiteral(R"(Software\Nimbolt Software\Nimbolt Sketch\1.0)");

// The lines joined with CR LF, as Windows writes them.
inline QByteArray lines(std::initializer_list<QByteArray> all)
{
    QByteArray out;
    for (const QByteArray& line : all)
        out += line + "\r\n";
    return out;
}

// A version 5.00 file holding the given lines under the program's own key.
inline QByteArray sketchFile(std::initializer_list<QByteArray> values)
{
    QByteArray out = lines({kHeader, "", kSketchKey});
    out += lines(values);
    return out;
}

// UTF-16LE with a byte-order mark, from UTF-8 text.
inline QByteArray utf16le(const QByteArray& utf8)
{
    QByteArray out("\xFF\xFE");
    for (char16_t unit : QString::fromUtf8(utf8).toStdU16String()) {
        out.append(char(unit & 0xFF));
        out.append(char(unit >> 8));
    }
    return out;
}

// A registry file in a scratch folder that the registry operations read while it lives.
class ScratchRegistry {
public:
    ScratchRegistry()
    {
        if (!dir_.isValid())
            throw std::runtime_error("no scratch folder");
        RegistryStore::setFilePath(path());
    }
    ~ScratchRegistry() { RegistryStore::setFilePath(QString::fromLatin1(RegistryStore::kDefaultPath)); }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    QString path() const { return dir_.filePath(QStringLiteral("registry.reg")); }

    void write(const QByteArray& bytes) const
    {
        QFile file(path());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write the registry file");
    }

private:
    QTemporaryDir dir_;
};

} // namespace regtest
