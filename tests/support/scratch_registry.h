#pragma once

#include "platform/registry_api.h"
#include "support/test_support.h"

#include <QTemporaryDir>

// A registry export file in a scratch folder, read by the registry operations while it lives.
class ScratchRegistry {
public:
    static inline const QString kSketchSubKey = QStringLiteral(R"(Software\Nimbolt Software\Nimbolt Sketch\1.0)");

    ScratchRegistry() { RegistryStore::setFilePath(path()); }
    ~ScratchRegistry() { RegistryStore::setFilePath(QString::fromLatin1(RegistryStore::kDefaultPath)); }
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;
    QString path() const { return dir_.filePath(QStringLiteral("registry.reg")); }
    void write(const QByteArray& bytes) const { writeWholeFile(path(), bytes); }
    // A version 5.00 file, CR LF line ends, the given lines under the program's own key.
    static QByteArray sketchFile(const QByteArrayList& values)
    {
        return "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\Software\\Nimbolt Software\\Nimbolt Sketch\\1.0]\r\n" + values.join("\r\n") + "\r\n";
    }

private:
    QTemporaryDir dir_;
};
