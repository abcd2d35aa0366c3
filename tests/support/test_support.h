#pragma once

#include "help/help_service.h"
#include "platform/message_service.h"
#include "platform/mouse_pointer.h"
#include "platform/page_printer.h"
#include "platform/sketch_dialogs.h"
#include "registry/registry_api.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <csignal>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

// Records message boxes and beeps instead of showing them; answers the save question from
// `answers` (Cancel when it runs out).
struct RecordingMessages : MessageService {
    void showMessage(const QString& text) override { shown.push_back(text); }
    void showError(const QString& text) override { errors.push_back(text); }
    SaveAnswer askToSave(const QString& question) override
    {
        asked.push_back(question);
        return answers.isEmpty() ? SaveAnswer::Cancel : answers.takeFirst();
    }
    void beep() override { ++beeps; }
    QStringList shown;
    QStringList errors;
    QStringList asked;
    QList<SaveAnswer> answers;
    int beeps = 0;
};

// Records the pointer shapes it is asked for.
struct RecordingPointer : MousePointer {
    void setMousePointer(Shape shape) override { shapes.push_back(shape); }
    std::vector<Shape> shapes;
};

// Answers the dialogs from a script ("" or none is Cancel) and the printer; records each request.
struct ScriptedServices : SketchDialogs, PagePrinter, HelpService {
    std::optional<QString> ShowSave(const QString& suggested) override
    {
        offered = suggested;
        return answer(QStringLiteral("save"));
    }
    std::optional<QString> ShowOpen() override { return answer(QStringLiteral("open")); }
    bool ShowPrinter() override
    {
        calls << QStringLiteral("print");
        return false;  // cancelled
    }
    QString outputFileName() const override { return {}; }
    QString printerName() const override { return {}; }
    std::optional<QString> printPage(const QImage&) override
    {
        calls << QStringLiteral("printed");
        return std::nullopt;
    }
    void displayToc(const QString& file, const QString& topic) override
    {
        calls << QStringLiteral("toc %1 %2").arg(QFileInfo(helpFile = file).fileName(), topic);
    }
    void displayIndex(const QString& file) override
    {
        calls << QStringLiteral("index ") + QFileInfo(file).fileName();
    }
    void hyperJump(const QString& url) override { calls << QStringLiteral("web ") + url; }
    QStringList answers, calls;
    QString helpFile;
    QString offered;  // the name the last Save dialog offered
    std::optional<QString> answer(const QString& call)
    {
        calls << call;
        const QString next = answers.isEmpty() ? QString() : answers.takeFirst();
        return next.isEmpty() ? std::nullopt : std::optional(next);
    }
};

// Raw row records by the file layout, not the program's RowRecord: 582 int16 LE cells, PenX, PenY.
namespace rawrecord {
inline constexpr int kBytes = 1168;
inline QByteArray make(const std::vector<std::pair<int, std::int16_t>>& cells, std::int16_t penX,
                       std::int16_t penY)
{
    QByteArray record(kBytes, '\0');
    for (const auto& [column, value] : cells)
        qToLittleEndian(value, record.data() + (column - 1) * 2);
    qToLittleEndian(penX, record.data() + 1164);
    qToLittleEndian(penY, record.data() + 1166);
    return record;
}
inline std::int16_t field(const QByteArray& file, int record, int byteOffset)  // record from 1
{
    const qsizetype at = qsizetype(record - 1) * kBytes + byteOffset;
    if (at + 1 >= file.size())
        throw std::out_of_range("record field beyond the end of the file");
    return std::int16_t(quint8(file.at(at)) | quint8(file.at(at + 1)) << 8);
}
inline std::int16_t cell(const QByteArray& file, int record, int column)
{
    return field(file, record, (column - 1) * 2);
}
}  // namespace rawrecord

// While it lives, a write past `bytes` into any file fails with "File too large" (no SIGXFSZ).
class FileSizeLimit {
public:
    explicit FileSizeLimit(long bytes) : active_(getrlimit(RLIMIT_FSIZE, &saved_) == 0)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(bytes), saved_.rlim_max};
        active_ = active_ && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { (void)(active_ && setrlimit(RLIMIT_FSIZE, &saved_) == 0); }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    bool active_ = false;
};

inline QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
        ? file.readAll()
        : throw std::runtime_error("cannot read " + path.toStdString());
}
inline void writeWholeFile(const QString& path, const QByteArray& bytes)
{
    if (QFile file(path);
        !file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

// A registry export file in a scratch folder, read by the registry operations while it lives.
class ScratchRegistry {
public:
    static inline const QString kSketchSubKey
        = QStringLiteral(R"(Software\Nimbolt Software\Nimbolt Sketch\1.0)");
    ScratchRegistry() { RegistryStore::setFilePath(path()); }
    ~ScratchRegistry()
    {
        RegistryStore::setFilePath(QString::fromLatin1(RegistryStore::kDefaultPath));
    }
    QString path() const { return dir_.filePath(QStringLiteral("registry.reg")); }
    void write(const QByteArray& bytes) const { writeWholeFile(path(), bytes); }
    // A version 5.00 file, CR LF line ends, the given lines under the program's own key.
    static QByteArray sketchFile(const QByteArrayList& values)
    {
        return "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\Software\\Nimbolt Software\\Nimbolt Sketch\\1.0]\r\n"
            + values.join("\r\n") + "\r\n";
    }

private:
    QTemporaryDir dir_;
};
