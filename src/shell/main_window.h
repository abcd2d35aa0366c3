#pragma once

#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "platform/image_surface.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class BoardView;
class MessageService;

// frmNimboltSketch: the main window. Its board is a 582 x 485 area below the menu bar and
// toolbar; every key that reaches it goes to Form_KeyDown.
class frmNimboltSketch : public QMainWindow {
    Q_OBJECT
public:
    // messages: where message boxes and beeps go (tests pass a recorder); null for real ones.
    explicit frmNimboltSketch(MessageService* messages = nullptr, QWidget* parent = nullptr);
    ~frmNimboltSketch() override;

    // Fixes the board, centres the pen, opens the screen store in the first usable folder
    // and shows what it holds. False when the program must end (the reason was shown).
    bool Form_Load(const QStringList& storeFolders);
    void Form_KeyDown(int KeyCode, int Shift);

    void Shake();

    SketchBoard& board() { return board_; }
    ImageSurface& surface() { return surface_; }
    BoardView* boardView() const { return view_; }

public Q_SLOTS:
    void mnuShake_Click();
    void mnuExit_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Unload(int& Cancel);
    void createMenus();
    // Runs a step that touches the store; a store failure shows its message and ends the
    // program, as an error that escapes an event handler does.
    void guarded(const std::function<void()>& step);

    std::unique_ptr<MessageService> ownMessages_;
    MessageService& messages_;
    ImageSurface surface_;
    ScreenStore store_;
    SketchBoard board_;
    BoardView* view_ = nullptr;
};
