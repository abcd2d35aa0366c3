#pragma once

#include "help/chm_archive_check.h"
#include "platform/text_decoding.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

struct chmFile;

// A compiled HTML help (.chm) file opened read-only through chmlib. The file's header,
// directory and compression tables are checked before chmlib sees them, because chmlib
// trusts every length and offset it reads; a file that fails the checks is refused.
class ChmArchive {
public:
    // Larger than any page or index the help holds; a larger size read from a file is damage.
    static constexpr qint64 kMaxObjectBytes = 4 * 1024 * 1024;

    ChmArchive() = default;
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    // False when the file is missing, unreadable or damaged; errorString() says why.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    QString errorString() const { return error_; }

    // Paths of the files inside, each with a leading '/', in directory order.
    QStringList entries() const { return names_; }
    bool contains(const QString& path) const;
    // The object at path (leading '/' optional, case ignored, %xx decoded); nothing when it
    // is missing, larger than kMaxObjectBytes or cannot be decompressed.
    std::optional<QByteArray> read(const QString& path) const;

    // From /#SYSTEM, else /#WINDOWS, else the first .hhc / .hhk in the root; empty if none.
    QString contentsFile() const { return contentsFile_; }
    QString indexFile() const { return indexFile_; }
    QString defaultTopic() const { return defaultTopic_; }
    QString title() const { return title_; }
    // The codec name of the file's Windows code page, from the LCID in /#SYSTEM; its contents,
    // index and title are in it when they are not UTF-8.
    const char* codePage() const { return codePage_; }

    // The lookup key for a path inside the archive: leading '/', %xx decoded, "." and ".."
    // resolved, lower case. A URL's fragment must be removed first.
    static QString normalizedPath(const QString& path);

private:
    bool checkAndIndex(const QString& path);
    void readNames();
    std::optional<QByteArray> readObject(const ChmObject& object) const;

    chmFile* handle_ = nullptr;
    QString error_;
    QHash<QString, ChmObject> objects_;  // keyed by normalizedPath()
    QStringList names_;
    QString contentsFile_;
    QString indexFile_;
    QString defaultTopic_;
    QString title_;
    const char* codePage_ = kWesternCodePage;
};
