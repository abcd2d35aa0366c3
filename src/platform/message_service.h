#pragma once

class QString;

// Modal messages and the system beep.
class MessageService {
public:
    virtual ~MessageService() = default;
    // A modal box with the text, an OK button only and the program's title as caption.
    virtual void showMessage(const QString& text) = 0;
    virtual void beep() = 0;
};
