#pragma once

#include <QString>

#include <optional>

// The file dialogs of the sketch commands; nullopt when the user cancels.
class SketchDialogs {
public:
    virtual ~SketchDialogs() = default;
    // "Save Sketch As": asks before replacing a file, appends ".nsd" to a bare name, and
    // offers `suggested` (the sketch last opened or saved; empty for none).
    virtual std::optional<QString> ShowSave(const QString& suggested) = 0;
    // "Open Sketch": the file must exist.
    virtual std::optional<QString> ShowOpen() = 0;
};
