#include "shell/frm_nimbolt_sketch.h"

#include "board/row_buffer.h"
#include "files/sketch_commands.h"
#include "files/sketch_printing.h"
#include "help/help_service.h"
#include "platform/app_info.h"
#include "platform/board_view.h"
#include "platform/file_error.h"
#include "platform/qt_message_service.h"
#include "platform/qt_mouse_pointer.h"
#include "platform/qt_page_printer.h"
#include "platform/qt_sketch_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>

#include <type_traits>

namespace {

QPalette boardPalette()
{
    return QApplication::palette();
}

}  // namespace

template <typename Interface, typename Real>
Interface& frmNimboltSketch::service(Interface* given, std::unique_ptr<Interface>& own)
{
    if (given)
        return *given;
    if constexpr (std::is_constructible_v<Real, QWidget*>)
        own = std::make_unique<Real>(this);  // dialogs and boxes owned by this window
    else
        own = std::make_unique<Real>();
    return *own;
}

frmNimboltSketch::frmNimboltSketch(const WindowServices& services, QWidget* parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                      | Qt::WindowCloseButtonHint),
      messages_(service<MessageService, QtMessageService>(services.messages, ownMessages_)),
      dialogs_(service<SketchDialogs, QtSketchDialogs>(services.dialogs, ownDialogs_)),
      printer_(service<PagePrinter, QtPagePrinter>(services.printer, ownPrinter_)),
      pointer_(service<MousePointer, QtMousePointer>(services.pointer, ownPointer_)),
      help_(service<HelpService, ViewerHelpService>(services.help, ownHelp_)),
      surface_(kGridColumns, kGridRows, boardPalette().color(QPalette::Button),
               boardPalette().color(QPalette::ButtonText)),
      board_(store_, surface_, messages_, NimboltSketchModule::RowBuffer),
      sketchCommands_(std::make_unique<SketchCommands>(board_, dialogs_, pointer_, messages_)),
      printing_(std::make_unique<SketchPrinting>(board_, printer_, pointer_, messages_))
{
    setObjectName(QStringLiteral("frmNimboltSketch"));
    setWindowTitle(AppInfo::title());
    // The window has its Game and Help menus and nothing else: no popup offering to hide the
    // toolbar, whichever part is right-clicked.
    setContextMenuPolicy(Qt::PreventContextMenu);
    view_ = new BoardView(surface_, this);
    view_->setObjectName(QStringLiteral("board"));
    view_->setKeyHandler([this](int keyCode) { Form_KeyDown(keyCode); });
    setCentralWidget(view_);
    createMenus();
    createToolbar();
    // Fixed single border: the window is exactly as large as its menu bar, toolbar and board.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    view_->setFocus();
}

frmNimboltSketch::~frmNimboltSketch() = default;

bool frmNimboltSketch::Form_Load(const QStringList& storeFolders)
{
    board_.Form_Load();
    followPen();
    switch (store_.openInFirstUsable(storeFolders)) {
    case ScreenStore::OpenResult::InUse:
        messages_.showError(QStringLiteral("Nimbolt Sketch is already running."));
        return false;
    case ScreenStore::OpenResult::Failed:
        messages_.showError(store_.error());
        return false;
    case ScreenStore::OpenResult::Opened:
        break;
    }
    // A store left by Exit or a crash still holds a drawing: show it.
    try {
        board_.drawStore();
    } catch (const FileError& e) {
        messages_.showError(e.message());
        return false;
    }
    return true;
}

bool frmNimboltSketch::guarded(const std::function<void()>& step)
{
    try {
        step();
        return true;
    } catch (const FileError& e) {
        messages_.showError(e.message());
        QCoreApplication::exit(1);
        return false;
    }
}

void frmNimboltSketch::Form_KeyDown(int KeyCode)
{
    guarded([&] { board_.Form_KeyDown(KeyCode); });
    followPen();
}

void frmNimboltSketch::Shake()
{
    guarded([&] { board_.Shake(); });
}

void frmNimboltSketch::OpenSketch()
{
    sketchCommands_->OpenSketch();
    followPen();
}

void frmNimboltSketch::SaveSketch()
{
    sketchCommands_->SaveSketch();
}

void frmNimboltSketch::PrintSketch()
{
    printing_->PrintSketch();
}

bool frmNimboltSketch::openSketchFile(const QString& path)
{
    const bool opened = sketchCommands_->mayLoseDrawing(SketchCommands::kBeforeOpening)
        && sketchCommands_->openSketchFile(path);
    followPen();
    return opened;
}

void frmNimboltSketch::followPen()
{
    view_->setPenPosition(board_.penX(), board_.penY());
}

void frmNimboltSketch::closeEvent(QCloseEvent* event)
{
    if (!sketchCommands_->mayLoseDrawing(SketchCommands::kBeforeClosing)) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmNimboltSketch::Form_Unload()
{
    if (guarded([&] { store_.closeAndDelete(); }))
        QCoreApplication::exit(0);
}
