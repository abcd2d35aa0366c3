#include "board/sketch_board.h"

#include "board/screen_store.h"
#include "platform/drawing_surface.h"
#include "platform/message_service.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The corner where every key shows the pen's column and row: beyond column 580 and row 480.
constexpr int kCornerColumn = 580;
constexpr int kCornerRow = 480;

bool anyDrawn(const GridRows& rows)
{
    return std::any_of(rows.begin(), rows.end(), [](const RowRecord& row) {
        for (int column = 1; column <= kGridColumns; ++column) {
            if (row.isDrawn(column))
                return true;
        }
        return false;
    });
}

}  // namespace

SketchBoard::SketchBoard(ScreenStore& store, DrawingSurface& surface, MessageService& messages,
                         RowRecord& rowBuffer)
    : store_(store), surface_(surface), messages_(messages), rowBuffer_(rowBuffer)
{}

void SketchBoard::Form_Load()
{
    boardWidth_ = surface_.width();
    boardHeight_ = surface_.height();
    // Halves round to nearest, ties to even: 485 / 2 = 242.5 starts the pen in row 242.
    penX_ = int(std::nearbyint(boardWidth_ / 2.0));
    penY_ = int(std::nearbyint(boardHeight_ / 2.0));
}

void SketchBoard::Form_KeyDown(int KeyCode)
{
    switch (KeyCode) {
    case kVkLeft:
        penX_ = penX_ > 1 ? penX_ - 1 : 1;
        break;
    case kVkRight:
        penX_ = penX_ < boardWidth_ ? penX_ + 1 : boardWidth_;
        break;
    case kVkUp:
        penY_ = penY_ > 1 ? penY_ - 1 : 1;
        break;
    case kVkDown:
        penY_ = penY_ < boardHeight_ ? penY_ + 1 : boardHeight_;
        break;
    default:
        messages_.beep();
        break;
    }
    // Every key, arrow or not, plots and records the pen's pixel.
    surface_.plot(penX_ - 1, penY_ - 1);
    store_.readRow(penY_, rowBuffer_);
    if (!rowBuffer_.isDrawn(penX_))
        unsaved_ = true;
    rowBuffer_.setCell(penX_, 1);
    if (penX_ > kCornerColumn && penY_ > kCornerRow) {
        messages_.showMessage(QString::number(penX_));
        messages_.showMessage(QString::number(penY_));
    }
    store_.writeRow(penY_, rowBuffer_);
}

void SketchBoard::Shake()
{
    surface_.clear();
    rowBuffer_.clearCells();
    // Every row becomes the cleared buffer, pen fields and all: one write instead of 485.
    const GridRows rows(kGridRows, rowBuffer_);
    store_.writeRows(1, rows);
    unsaved_ = false;
}

void SketchBoard::drawStore()
{
    const GridRows rows = readGrid();
    surface_.clear();
    plotGrid(surface_, rows);
    unsaved_ = anyDrawn(rows);
}

GridRows SketchBoard::readGrid()
{
    GridRows rows = store_.readGrid();
    rowBuffer_ = rows.back();
    return rows;
}

GridRows SketchBoard::gridWithPen()
{
    GridRows rows = store_.readGrid();
    for (RowRecord& row : rows)
        row.setPen(qint16(penX_), qint16(penY_));
    rowBuffer_ = rows.back();
    return rows;
}

void SketchBoard::loadGrid(const GridRows& rows)
{
    surface_.clear();
    store_.writeRows(1, rows);
    plotGrid(surface_, rows);
    // The pen comes from the last record; one outside the board is brought back in.
    rowBuffer_ = rows.back();
    placePen(rowBuffer_.penX(), rowBuffer_.penY());
    unsaved_ = false;
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
    penX_ = std::clamp(x, 1, boardWidth_);
    penY_ = std::clamp(y, 1, boardHeight_);
}
