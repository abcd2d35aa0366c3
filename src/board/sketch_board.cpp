#include "board/sketch_board.h"

#include "board/screen_store.h"
#include "platform/drawing_surface.h"
#include "platform/message_service.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

SketchBoard::SketchBoard(ScreenStore& store, DrawingSurface& surface, MessageService& messages,
                         RowRecord& rowBuffer)
    : store_(store), surface_(surface), messages_(messages), rowBuffer_(rowBuffer)
{
}

void SketchBoard::Form_Load()
{
    BoardWidth = surface_.width();
    BoardHeight = surface_.height();
    // Halves round to nearest, ties to even: 485 / 2 = 242.5 starts the pen in row 242.
    PenX = int(std::nearbyint(BoardWidth / 2.0));
    PenY = int(std::nearbyint(BoardHeight / 2.0));
}

void SketchBoard::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    switch (KeyCode) {
    case kVkLeft: PenX = PenX > 1 ? PenX - 1 : 1; break;
    case kVkRight: PenX = PenX < BoardWidth ? PenX + 1 : BoardWidth; break;
    case kVkUp: PenY = PenY > 1 ? PenY - 1 : 1; break;
    case kVkDown: PenY = PenY < BoardHeight ? PenY + 1 : BoardHeight; break;
    default: messages_.beep(); break;
    }
    // Every key, arrow or not, plots and records the pen's pixel.
    surface_.plot(PenX - 1, PenY - 1);
    store_.readRow(PenY, rowBuffer_);
    rowBuffer_.setCell(PenX, 1);
    if (PenX > 580 && PenY > 480) {
        messages_.showMessage(QString::number(PenX));
        messages_.showMessage(QString::number(PenY));
    }
    store_.writeRow(PenY, rowBuffer_);
}

void SketchBoard::Shake()
{
    surface_.clear();
    rowBuffer_.clearCells();
    // Every row becomes the cleared buffer, pen fields and all: one write instead of 485.
    const GridRows rows(kGridRows, rowBuffer_);
    store_.writeRows(1, rows);
}

void SketchBoard::drawStore()
{
    surface_.clear();
    plotGrid(surface_, store_.readGrid());
}

void SketchBoard::plotRow(DrawingSurface& surface, int row, const RowRecord& record)
{
    std::array<unsigned char, kGridColumns> inked;
    for (int column = 1; column <= kGridColumns; ++column)
        inked[std::size_t(column - 1)] = record.isDrawn(column);
    surface.plotRow(row - 1, inked);
}

void SketchBoard::plotGrid(DrawingSurface& surface, const GridRows& rows)
{
    const int count = std::min(kGridRows, int(rows.size()));
    for (int row = 1; row <= count; ++row)
        plotRow(surface, row, rows[std::size_t(row - 1)]);
}

void SketchBoard::placePen(int x, int y)
{
    PenX = std::clamp(x, 1, BoardWidth);
    PenY = std::clamp(y, 1, BoardHeight);
}
