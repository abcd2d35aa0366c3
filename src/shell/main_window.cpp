#include "shell/main_window.h"

#include "board/row_buffer.h"
#include "platform/app_info.h"
#include "platform/board_view.h"
#include "platform/file_error.h"
#include "platform/qt_message_service.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>

namespace {

QPalette boardPalette() { return QApplication::palette(); }

} // namespace

frmNimboltSketch::frmNimboltSketch(MessageService* messages, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      ownMessages_(messages ? nullptr : std::make_unique<QtMessageService>(this)),
      messages_(messages ? *messages : *ownMessages_),
      surface_(kGridColumns, kGridRows, boardPalette().color(QPalette::Button),
               boardPalette().color(QPalette::ButtonText)),
      board_(store_, surface_, messages_, NimboltSketchModule::RowBuffer)
{
    setObjectName(QStringLiteral("frmNimboltSketch"));
    setWindowTitle(AppInfo::title());
    view_ = new BoardView(surface_, this);
    view_->setObjectName(QStringLiteral("board"));
    view_->setKeyHandler([this](int keyCode, int shift) { Form_KeyDown(keyCode, shift); });
    setCentralWidget(view_);
    createMenus();
    // Fixed single border: the window is exactly as large as its menu bar and board.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    view_->setFocus();
}

frmNimboltSketch::~frmNimboltSketch() = default;

void frmNimboltSketch::createMenus()
{
    QMenu* game = menuBar()->addMenu(QStringLiteral("&Game"));
    game->setObjectName(QStringLiteral("mnuGame"));
    auto add = [this](QMenu* menu, const char* name, const QString& caption, const QKeySequence& key,
                      void (frmNimboltSketch::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
    };
    add(game, "mnuShake", QStringLiteral("&Shake"), Qt::Key_F2, &frmNimboltSketch::mnuShake_Click);
    game->addSeparator()->setObjectName(QStringLiteral("mnuSpacer3"));
    add(game, "mnuExit", QStringLiteral("E&xit"), Qt::Key_F3, &frmNimboltSketch::mnuExit_Click);
}

bool frmNimboltSketch::Form_Load(const QStringList& storeFolders)
{
    board_.Form_Load();
    switch (store_.openInFirstUsable(storeFolders)) {
    case ScreenStore::OpenResult::InUse:
        messages_.showMessage(QStringLiteral("Nimbolt Sketch is already running."));
        return false;
    case ScreenStore::OpenResult::Failed:
        messages_.showMessage(store_.error());
        return false;
    case ScreenStore::OpenResult::Opened:
        break;
    }
    // A store left by Exit or a crash still holds a drawing: show it.
    try {
        board_.drawStore();
    } catch (const FileError& e) {
        messages_.showMessage(e.message());
        return false;
    }
    return true;
}

void frmNimboltSketch::guarded(const std::function<void()>& step)
{
    try {
        step();
    } catch (const FileError& e) {
        messages_.showMessage(e.message());
        QCoreApplication::exit(1);
    }
}

void frmNimboltSketch::Form_KeyDown(int KeyCode, int Shift)
{
    guarded([&] { board_.Form_KeyDown(KeyCode, Shift); });
}

void frmNimboltSketch::Shake()
{
    guarded([&] { board_.Shake(); });
}

void frmNimboltSketch::mnuShake_Click() { Shake(); }

void frmNimboltSketch::mnuExit_Click()
{
    // Ends at once: no close events, so the store stays on disk for the next start.
    QCoreApplication::exit(0);
}

void frmNimboltSketch::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_Unload(cancel);
    event->accept();
}

void frmNimboltSketch::Form_Unload(int& /*Cancel*/)
{
    guarded([&] { store_.closeAndDelete(); });
    QCoreApplication::exit(0);
}
