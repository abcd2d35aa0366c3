#include "platform/app_info.h"
#include "platform/registry_api.h"
#include "platform/window_placement.h"
#include "shell/images/program_images.h"
#include "shell/main_window.h"
#include "shell/nimbolt_sketch_module.h"
#include "shell/splash_screen.h"

#include <QApplication>

#include <memory>

namespace {

// The owner's name and company, as the machine's registry holds them.
QString readOwnerValue(const QString& valueName)
{
    return NimboltSketchModule::ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE,
                                                  QStringLiteral("Software\\Nimbolt Software\\Nimbolt Sketch\\1.0"),
                                                  valueName)
        .toText();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("nimbolt-sketch"));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(AppInfo::majorVersion()).arg(AppInfo::minorVersion()));
    QApplication::setOrganizationDomain(QStringLiteral("nimbolt.example"));
    QApplication::setWindowIcon(ProgramImages::programIcon());

    // The splash is all there is at first; its timer loads the main window. Dismissed
    // early, it is the last window gone and the program ends without a board.
    std::unique_ptr<frmNimboltSketch> mainWindow;
    auto* splash = new frmSplash(readOwnerValue, [&mainWindow] {
        mainWindow = std::make_unique<frmNimboltSketch>();
        if (!mainWindow->Form_Load(AppInfo::storeFolders())) {
            QCoreApplication::exit(1);
            return;
        }
        mainWindow->show();
        centreOnScreen(mainWindow.get());
    });
    splash->show();
    return QApplication::exec();
}
