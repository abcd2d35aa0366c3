#pragma once

#include "platform/sketch_dialogs.h"
#include "shell/help_service.h"
#include "support/test_support.h"

#include <QFileInfo>
#include <QStringList>

#include <vector>

// Answers the file dialogs from a script ("" or an empty script is Cancel), says
// yes or no to the printer, and records every request as one line.
class ScriptedServices : public SketchDialogs, public PagePrinter, public HelpService {
public:
    std::optional<QString> ShowSave() override { return answer(QStringLiteral("save")); }
    std::optional<QString> ShowOpen() override { return answer(QStringLiteral("open")); }
    bool ShowPrinter() override { return calls << QStringLiteral("print"), printerChosen; }
    void printPage(const QImage&) override { calls << QStringLiteral("printed"); }
    void displayToc(const QString& file, const QString& topic) override
    {
        calls << QStringLiteral("toc %1 %2").arg(QFileInfo(file).fileName(), topic);
        helpFile = file;
    }
    void displayIndex(const QString& file) override { calls << QStringLiteral("index ") + QFileInfo(file).fileName(); }
    void hyperJump(const QString& url) override { calls << QStringLiteral("web ") + url; }

    QStringList answers;  // "" is Cancel
    bool printerChosen = false;
    QStringList calls;
    QString helpFile;

private:
    std::optional<QString> answer(const QString& call)
    {
        calls << call;
        const QString next = answers.isEmpty() ? QString() : answers.takeFirst();
        return next.isEmpty() ? std::nullopt : std::optional(next);
    }
};

// Records the pointer shapes it is asked for.
class RecordingPointer : public MousePointer {
public:
    void setMousePointer(Shape shape) override { shapes.push_back(shape); }
    std::vector<Shape> shapes;
};
