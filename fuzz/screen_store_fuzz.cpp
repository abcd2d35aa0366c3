// Feeds arbitrary bytes to start-up as the screen store a previous run left: written as
// Screen.txt in a scratch folder, opened, read as one grid and plotted onto the board.
#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "platform/file_error.h"
#include "platform/image_surface.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QTemporaryDir folder;
    if (!folder.isValid())
        return 0;
    {
        QFile file(folder.filePath(ScreenStore::kFileName));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    ScreenStore store;
    if (store.openInFirstUsable({folder.path()}) != ScreenStore::OpenResult::Opened)
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
