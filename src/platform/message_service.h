#pragma once

class QString;

// Modal messages and the system beep.
class MessageService {
public:
    enum class SaveAnswer { Save, Discard, Cancel };

    virtual ~MessageService() = default;
    // A plain modal box with the text, an OK button only and the program's title as caption.
    virtual void showMessage(const QString& text) = 0;
    // The same with the warning icon: something failed or was refused.
    virtual void showError(const QString& text) = 0;
    // Asks whether to save a drawing that would otherwise be lost; Escape answers Cancel.
    virtual SaveAnswer askToSave(const QString& question) = 0;
    virtual void beep() = 0;
};
