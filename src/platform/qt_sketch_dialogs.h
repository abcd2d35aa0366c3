#pragma once

#include "platform/sketch_dialogs.h"

class QWidget;

// Qt's own file dialogs, owned by the main window, starting in the user's Documents folder.
class QtSketchDialogs : public SketchDialogs {
public:
    explicit QtSketchDialogs(QWidget* owner) : owner_(owner) {}
    std::optional<QString> ShowSave(const QString& suggested) override;
    std::optional<QString> ShowOpen() override;

    static QString initialFolder();

private:
    QWidget* owner_;
};
