#include "platform/qt_sketch_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {

const QString kFilter = QStringLiteral("Nimbolt Sketch Drawings (*.nsd)");
const QString kDefaultSuffix = QStringLiteral("nsd");

std::optional<QString> runFileDialog(QWidget* owner, const QString& title,
                                     QFileDialog::AcceptMode accept, const QString& suggested = {})
{
    QFileDialog dialog(owner, title, QtSketchDialogs::initialFolder(), kFilter);
    dialog.setAcceptMode(accept);
    dialog.setFileMode(accept == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                         : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(kDefaultSuffix);
    if (!suggested.isEmpty())
        dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

}  // namespace

QString QtSketchDialogs::initialFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

std::optional<QString> QtSketchDialogs::ShowSave(const QString& suggested)
{
    return runFileDialog(owner_, QStringLiteral("Save Sketch As"), QFileDialog::AcceptSave,
                         suggested);
}

std::optional<QString> QtSketchDialogs::ShowOpen()
{
    return runFileDialog(owner_, QStringLiteral("Open Sketch"), QFileDialog::AcceptOpen);
}
