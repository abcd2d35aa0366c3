// Opens arbitrary sketch files on a board, as Open Sketch does: the file is read, copied into
// the screen store and drawn, and the pen is taken from it; one key press then draws from
// that pen.
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "files/sketch_commands.h"
#include "platform/image_surface.h"
#include "platform/message_service.h"
#include "platform/mouse_pointer.h"
#include "platform/sketch_dialogs.h"
#include "scratch_file.h"

namespace {

// The main window's board over a store in the scratch folder. A refused file is shown in a
// message box: a correct answer, not a finding.
struct Window : MessageService, SketchDialogs, MousePointer {
    void showMessage(const QString&) override {}
    void showError(const QString&) override {}
    SaveAnswer askToSave(const QString&) override { return SaveAnswer::Discard; }
    void beep() override {}
    void setMousePointer(Shape) override {}
    std::optional<QString> ShowSave(const QString&) override { return std::nullopt; }
    std::optional<QString> ShowOpen() override { return std::nullopt; }

    ScreenStore store;
    ImageSurface surface{kGridColumns, kGridRows, Qt::white, Qt::black};
    RowRecord rowBuffer;
    SketchBoard board{store, surface, *this, rowBuffer};
    SketchCommands commands{board, *this, *this, *this};
    bool opened
        = store.openInFirstUsable({scratchFolder().path()}) == ScreenStore::OpenResult::Opened;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Window* const window = new Window;  // for the whole run
    const QString path = writeScratchFile(QStringLiteral("sketch.nsd"), gridFromEdits(data, size));
    if (!window->opened || path.isEmpty())
        return 0;
    window->board.Form_Load();
    if (window->commands.openSketchFile(path))
        window->board.Form_KeyDown(kVkRight);
    return 0;
}
