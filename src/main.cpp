#include "platform/app_info.h"
#include "platform/window_placement.h"
#include "shell/main_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nimbolt-sketch"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(AppInfo::majorVersion()).arg(AppInfo::minorVersion()));
    QApplication::setOrganizationDomain(QStringLiteral("nimbolt.example"));

    frmNimboltSketch window;
    if (!window.Form_Load(AppInfo::storeFolders()))
        return 1;
    window.show();
    centreOnScreen(&window);
    return QApplication::exec();
}
