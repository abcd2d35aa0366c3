#pragma once

#include "board/screen_store.h"
#include "board/sketch_board.h"
#include "platform/image_surface.h"
#include "support/test_support.h"

// A loaded board on a fresh screen store in a scratch folder, with a recording message box.
struct BoardRig {
    BoardRig() { board.Form_Load(); }
    QByteArray storeBytes() const { return readWholeFile(store.path()); }
    QImage boardImage() const { return surface.image().convertToFormat(QImage::Format_RGB32); }
    void keys(int keyCode, int times)
    {
        for (int i = 0; i < times; ++i)
            board.Form_KeyDown(keyCode);
    }

    QTemporaryDir dir;
    ScreenStore store;
    ImageSurface surface{kGridColumns, kGridRows, Qt::lightGray, Qt::black};
    RecordingMessages messages;
    RowRecord rowBuffer;
    SketchBoard board{store, surface, messages, rowBuffer};
    bool opened = store.openInFirstUsable({dir.filePath(QStringLiteral("app"))})
        == ScreenStore::OpenResult::Opened;
};
