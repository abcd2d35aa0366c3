#pragma once

#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "platform/image_surface.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class BoardView;
class HelpService;
class MessageService;
class QAction;
class QToolBar;
class MousePointer;
class PagePrinter;
class SketchCommands;
class SketchDialogs;
class SketchPrinting;

// What the main window talks to; tests pass recorders and scripted dialogs, null members
// get the real ones.
struct WindowServices {
    MessageService* messages = nullptr;
    SketchDialogs* dialogs = nullptr;
    PagePrinter* printer = nullptr;
    MousePointer* pointer = nullptr;
    HelpService* help = nullptr;
};

// frmNimboltSketch: the main window. Its board is a 582 x 485 area below the menu bar and
// toolbar; every key that reaches it goes to Form_KeyDown.
class frmNimboltSketch : public QMainWindow {
    Q_OBJECT
public:
    explicit frmNimboltSketch(const WindowServices& services = {}, QWidget* parent = nullptr);
    ~frmNimboltSketch() override;

    // Fixes the board, centres the pen, opens the screen store in the first usable folder
    // and shows what it holds. False when the program must end (the reason was shown).
    bool Form_Load(const QStringList& storeFolders);
    void Form_KeyDown(int KeyCode);

    void Shake();
    void OpenSketch();
    void SaveSketch();
    void PrintSketch();
    // Opens a sketch file as Open Sketch does, without the dialog; unsaved drawing is not
    // dropped without asking.
    bool openSketchFile(const QString& path);

    SketchBoard& board() { return board_; }
    BoardView* boardView() const { return view_; }
    QToolBar* toolbar() const { return toolbar_; }

public Q_SLOTS:
    void mnuShake_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuContents_Click();
    void mnuIndex_Click();
    void mnuNimbolt_Click();
    void mnuAbout_Click();
    // Runs each command whose key the button's "Key" property names; all five tests run.
    void Toolbar1_ButtonClick(QAction* Button);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Closes and deletes the screen store and ends the program.
    void Form_Unload();
    // Tells the board's view where the pen now stands, for screen readers.
    void followPen();
    void createMenus();
    void createToolbar();
    void showHelpContents();
    // Runs a step that touches the store; a store failure shows its message and ends the
    // program, as an error that escapes an event handler does.
    bool guarded(const std::function<void()>& step);

    template <typename Interface, typename Real>
    Interface& service(Interface* given, std::unique_ptr<Interface>& own);

    std::unique_ptr<MessageService> ownMessages_;
    std::unique_ptr<SketchDialogs> ownDialogs_;
    std::unique_ptr<PagePrinter> ownPrinter_;
    std::unique_ptr<MousePointer> ownPointer_;
    std::unique_ptr<HelpService> ownHelp_;
    MessageService& messages_;
    SketchDialogs& dialogs_;
    PagePrinter& printer_;
    MousePointer& pointer_;
    HelpService& help_;
    ImageSurface surface_;
    ScreenStore store_;
    SketchBoard board_;
    std::unique_ptr<SketchCommands> sketchCommands_;
    std::unique_ptr<SketchPrinting> printing_;
    BoardView* view_ = nullptr;
    QToolBar* toolbar_ = nullptr;
};
