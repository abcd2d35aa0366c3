#pragma once

#include "platform/message_service.h"

class QWidget;

// Message boxes owned by a window, captioned with the program's title.
class QtMessageService : public MessageService {
public:
    explicit QtMessageService(QWidget* owner) : owner_(owner) {}
    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    SaveAnswer askToSave(const QString& question) override;
    void beep() override;

private:
    QWidget* owner_;
};
