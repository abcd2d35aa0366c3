#include "platform/hyper_jump.h"

#include <QDesktopServices>
#include <QUrl>

void HyperJump(const QString& URL)
{
    QDesktopServices::openUrl(QUrl(URL));
}
