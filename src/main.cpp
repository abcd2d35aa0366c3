#include "platform/app_info.h"
#include "platform/qt_message_service.h"
#include "platform/window_placement.h"
#include "registry/read_registry_value.h"
#include "registry/registry_api.h"
#include "shell/command_line.h"
#include "shell/frm_nimbolt_sketch.h"
#include "shell/frm_splash.h"
#include "shell/images/program_images.h"

#include <QApplication>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

// The owner's name and company, as the machine's registry holds them.
QString readOwnerValue(const QString& valueName)
{
    return NimboltSketchModule::ReadRegistryValue(
               advapi32::HKEY_LOCAL_MACHINE,
               QStringLiteral("Software\\Nimbolt Software\\Nimbolt Sketch\\1.0"), valueName)
        .toText();
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("nimbolt-sketch"));
    QCoreApplication::setApplicationVersion(AppInfo::version());
    QCoreApplication::setOrganizationDomain(QStringLiteral("nimbolt.example"));
    // The desktop entry's id, so that desktops group the windows under it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.nimbolt.NimboltSketch"));

    // Read before any application object exists: help, version, errors and --export-png
    // need no display, no window and no screen store.
    const CommandLine command = CommandLine::parseNative(argc, argv);
    if (command.action != CommandLine::Action::OpenWindow) {
        QCoreApplication app(argc, argv);
        QTextStream out(stdout);
        QTextStream err(stderr);
        return runWithoutWindow(command, out, err);
    }

    QApplication app(argc, argv);

    // The splash is all there is at first; its timer loads the main window. Dismissed
    // early, it is the last window gone and the program ends without a board.
    std::unique_ptr<frmNimboltSketch> mainWindow;
    auto* splash = new frmSplash(readOwnerValue, [&mainWindow, &command] {
        // the splash shows no icon; the windows from here on show the program's
        QApplication::setWindowIcon(ProgramImages::programIcon());
        mainWindow = std::make_unique<frmNimboltSketch>();
        if (!mainWindow->Form_Load(AppInfo::storeFolders())) {
            QCoreApplication::exit(1);
            return;
        }
        centreOnScreen(mainWindow.get());
        mainWindow->show();
        // A named file is opened, or why it cannot be is shown, once the splash has gone.
        QTimer::singleShot(0, mainWindow.get(), [window = mainWindow.get(), &command] {
            if (!command.error.isEmpty())
                QtMessageService(window).showError(command.error);
            else if (!command.sketchPath.isEmpty())
                window->openSketchFile(command.sketchPath);
        });
    });
    splash->show();
    return QApplication::exec();
}
