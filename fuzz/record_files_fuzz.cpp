// Feeds the board the record files it reads: the input, as edits to a grid, is first the screen
// store a previous run left, restored at start-up, then a sketch opened as Open Sketch does (read,
// copied into the store and drawn, its pen taken); one key press then draws from that pen.
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "files/sketch_commands.h"
#include "platform/file_error.h"
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
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Window* const window = new Window;  // for the whole run
    const QByteArray file = gridFromEdits(data, size);
    window->store.close();
    if (writeScratchFile(ScreenStore::kFileName, file).isEmpty()
        || window->store.openInFirstUsable({scratchFolder().path()})
            != ScreenStore::OpenResult::Opened)
        return 0;
    window->board.Form_Load();
    try {
        window->board.drawStore();
    } catch (const FileError&) {
        // A store that cannot be read is reported to the user, not a fault.
    }
    const QString path = writeScratchFile(QStringLiteral("sketch.nsd"), file);
    if (!path.isEmpty() && window->commands.openSketchFile(path))
        window->board.Form_KeyDown(kVkRight);
    return 0;
}
