#include "platform/qt_message_service.h"

#include "platform/app_info.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

void QtMessageService::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, AppInfo::title(), text, QMessageBox::Ok, owner_);
    box.exec();
}

void QtMessageService::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, AppInfo::title(), text, QMessageBox::Ok, owner_);
    box.exec();
}

MessageService::SaveAnswer QtMessageService::askToSave(const QString& question)
{
    QMessageBox box(QMessageBox::Warning, AppInfo::title(), question, QMessageBox::NoButton,
                    owner_);
    // Access keys on every answer: the program is worked from the keyboard.
    QPushButton* save = box.addButton(QStringLiteral("&Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("&Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("&Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveAnswer::Save;
    if (box.clickedButton() == discard)
        return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

void QtMessageService::beep()
{
    QApplication::beep();
}
