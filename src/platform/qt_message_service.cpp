#include "platform/qt_message_service.h"

#include "platform/app_info.h"

#include <QApplication>
#include <QMessageBox>

void QtMessageService::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, AppInfo::title(), text, QMessageBox::Ok, owner_);
    box.exec();
}

void QtMessageService::beep() { QApplication::beep(); }
