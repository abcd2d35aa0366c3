// Feeds start-up the screen store a previous run left: written as Screen.txt in a scratch
// folder, opened, read as one grid and plotted onto the board.
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "platform/file_error.h"
#include "platform/image_surface.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (writeScratchFile(ScreenStore::kFileName, gridFromEdits(data, size)).isEmpty())
        return 0;
    ScreenStore store;
    if (store.openInFirstUsable({scratchFolder().path()}) != ScreenStore::OpenResult::Opened)
        return 0;
    try {
        ImageSurface board(kGridColumns, kGridRows, Qt::white, Qt::black);
        SketchBoard::plotGrid(board, store.readGrid());
    } catch (const FileError&) {
        // A store that cannot be read is reported to the user, not a fault.
    }
    store.close();
    return 0;
}
