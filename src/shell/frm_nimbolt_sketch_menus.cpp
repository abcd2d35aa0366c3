// The main window's menus and toolbar, and the commands they run.
#include "help/help_service.h"
#include "help/help_viewer.h"
#include "platform/hyper_jump.h"
#include "shell/frm_about.h"
#include "shell/frm_nimbolt_sketch.h"
#include "shell/images/program_images.h"

#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QToolBar>
#include <QToolButton>

namespace {

// The maker's web site, opened by Help > Nimbolt Software on the Web.
const QString kMakerWebAddress = QStringLiteral("https://www.nimbolt.example/");

// The application's style with a toolbar frame of one pixel and no item margin, so that
// Toolbar1 is its designed 24 pixels high around 22-pixel buttons.
class ToolbarStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        if (metric == PM_ToolBarFrameWidth)
            return 1;
        if (metric == PM_ToolBarItemMargin)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// One instance for the program: a widget does not own its style, which must outlive it.
QStyle* toolbarStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new ToolbarStyle(QStyleFactory::create(QApplication::style()->name()));
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

void frmNimboltSketch::createMenus()
{
    auto add = [this](QMenu* menu, const char* name, const QString& caption,
                      const QKeySequence& key, void (frmNimboltSketch::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, handler);
    };
    auto separator = [](QMenu* menu, const char* name) {
        menu->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu* game = menuBar()->addMenu(QStringLiteral("&Game"));
    game->setObjectName(QStringLiteral("mnuGame"));
    add(game, "mnuShake", QStringLiteral("&Shake"), Qt::Key_F2, &frmNimboltSketch::mnuShake_Click);
    separator(game, "mnuSpacer1");
    add(game, "mnuOpen", QStringLiteral("&Open Sketch..."), Qt::CTRL | Qt::Key_O,
        &frmNimboltSketch::mnuOpen_Click);
    add(game, "mnuSave", QStringLiteral("&Save Sketch..."), Qt::CTRL | Qt::Key_S,
        &frmNimboltSketch::mnuSave_Click);
    separator(game, "mnuSpacer2");
    add(game, "mnuPrint", QStringLiteral("&Print..."), Qt::CTRL | Qt::Key_P,
        &frmNimboltSketch::mnuPrint_Click);
    separator(game, "mnuSpacer3");
    add(game, "mnuExit", QStringLiteral("E&xit"), Qt::Key_F3, &frmNimboltSketch::mnuExit_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, "mnuContents", QStringLiteral("&Contents"), Qt::Key_F1,
        &frmNimboltSketch::mnuContents_Click);
    add(help, "mnuIndex", QStringLiteral("&Index"), {}, &frmNimboltSketch::mnuIndex_Click);
    add(help, "mnuNimbolt", QStringLiteral("Nimbolt Software on the Web"), {},
        &frmNimboltSketch::mnuNimbolt_Click);
    add(help, "mnuAbout", QStringLiteral("&About..."), {}, &frmNimboltSketch::mnuAbout_Click);
}

void frmNimboltSketch::createToolbar()
{
    toolbar_ = new QToolBar(this);
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setStyle(toolbarStyle());
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    toolbar_->toggleViewAction()->setVisible(false);  // the toolbar is always shown
    addToolBar(Qt::TopToolBarArea, toolbar_);

    struct Entry {
        const char* key;  // empty: a separator
        const char* toolTip;
        int image;
    };
    static constexpr Entry kEntries[] = {
        {"Shake", "Shake", 1},      {"Open", "Open Sketch", 2},
        {"Save", "Save Sketch", 3}, {"", "", 0},
        {"Print", "Print", 4},      {"", "", 0},
        {"Help", "Help", 5},        {"", "", 0},
    };
    for (const Entry& entry : kEntries) {
        if (!*entry.key) {
            toolbar_->addSeparator();
            continue;
        }
        QAction* button = toolbar_->addAction(ProgramImages::toolbarImage(entry.image), QString());
        button->setProperty("Key", QLatin1String(entry.key));
        button->setToolTip(QLatin1String(entry.toolTip));
        button->setObjectName(QStringLiteral("Toolbar1_%1").arg(QLatin1String(entry.key)));
        if (QWidget* widget = toolbar_->widgetForAction(button)) {
            widget->setFixedSize(23, 22);
            widget->setAccessibleName(button->toolTip());  // a screen reader's only clue
            widget->setFocusPolicy(Qt::NoFocus);  // the board keeps the keys
        }
    }
    connect(toolbar_, &QToolBar::actionTriggered, this, &frmNimboltSketch::Toolbar1_ButtonClick);
}

void frmNimboltSketch::Toolbar1_ButtonClick(QAction* Button)
{
    // Each test reads the key afresh and runs after the previous command has returned.
    auto key = [Button] { return Button->property("Key").toString(); };
    if (key() == QLatin1String("Shake"))
        Shake();
    if (key() == QLatin1String("Open"))
        OpenSketch();
    if (key() == QLatin1String("Save"))
        SaveSketch();
    if (key() == QLatin1String("Print"))
        PrintSketch();
    if (key() == QLatin1String("Help"))
        showHelpContents();
}

void frmNimboltSketch::showHelpContents()
{
    help_.displayToc(helpFilePath(), QLatin1String(kHelpStartTopic));
}

void frmNimboltSketch::mnuShake_Click()
{
    Shake();
}

void frmNimboltSketch::mnuOpen_Click()
{
    OpenSketch();
}

void frmNimboltSketch::mnuSave_Click()
{
    SaveSketch();
}

void frmNimboltSketch::mnuPrint_Click()
{
    PrintSketch();
}

void frmNimboltSketch::mnuExit_Click()
{
    // Ends at once: no close events, so the store stays on disk for the next start.
    QCoreApplication::exit(0);
}

void frmNimboltSketch::mnuContents_Click()
{
    showHelpContents();
}

void frmNimboltSketch::mnuIndex_Click()
{
    help_.displayIndex(helpFilePath());
}

void frmNimboltSketch::mnuNimbolt_Click()
{
    help_.hyperJump(kMakerWebAddress);
}

void frmNimboltSketch::mnuAbout_Click()
{
    frmAbout::showModal(this);
}
