// Opens arbitrary sketch files on a board, as Open Sketch does: the file is read, copied into
// the screen store and drawn, and the pen is taken from it; one key press then draws from
// that pen.
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "files/sketch_commands.h"
#include "platform/image_surface.h"
#include "scratch_file.h"
#include "support/test_support.h"

namespace {

// The main window's board over a store in the scratch folder. A refused file is shown in a
// message box: a correct answer, not a finding.
struct Window {
    RecordingMessages messages;
    ScriptedServices dialogs;
    RecordingPointer pointer;
    ScreenStore store;
    ImageSurface surface{kGridColumns, kGridRows, Qt::white, Qt::black};
    RowRecord rowBuffer;
    SketchBoard board{store, surface, messages, rowBuffer};
    SketchCommands commands{board, dialogs, pointer, messages};
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
