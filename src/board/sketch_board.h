#pragma once

#include "board/row_record.h"
#include "platform/virtual_keys.h"

class DrawingSurface;
class MessageService;
class ScreenStore;

// The main window's drawing logic: the pen, the board's pixels and its screen store. Every
// row passes through rowBuffer, which keeps whatever the last row left in it. Store failures
// throw FileError.
class SketchBoard {
public:
    SketchBoard(ScreenStore& store, DrawingSurface& surface, MessageService& messages,
                RowRecord& rowBuffer);

    // Fixes the board size from the surface and centres the pen. The store is opened by
    // the caller; drawStore() then shows what an earlier run left in it.
    void Form_Load();
    // One key that reached the window, as a virtual-key code; which modifiers were held
    // makes no difference.
    void Form_KeyDown(int KeyCode);
    // Clears the board and every row of the store; the pen stays where it was.
    void Shake();

    // Plots every set cell of the store's rows 1..485 on a cleared board. A drawing found
    // there counts as unsaved.
    void drawStore();
    // The store's rows 1..485, as a pass over them leaves the row buffer: holding row 485.
    GridRows readGrid();
    // The same rows, each stamped with the pen, as a sketch file holds them.
    GridRows gridWithPen();
    // Replaces the store's rows 1..485 and the board with rows, and takes the pen from the
    // last one, brought into the board.
    void loadGrid(const GridRows& rows);

    // Plots the set cells of one row, as the store or a sketch file holds it.
    static void plotRow(DrawingSurface& surface, int row, const RowRecord& record);
    // Plots the set cells of every row of a grid, row 1 first.
    static void plotGrid(DrawingSurface& surface, const GridRows& rows);

    int boardWidth() const { return boardWidth_; }
    int boardHeight() const { return boardHeight_; }
    int penX() const { return penX_; }
    int penY() const { return penY_; }
    // Puts the pen at (x, y), clamped into the board.
    void placePen(int x, int y);

    // Whether the board holds drawing made since it was last blank, saved or opened.
    bool hasUnsavedDrawing() const { return unsaved_; }
    void markSaved() { unsaved_ = false; }

    ScreenStore& store() { return store_; }

private:
    ScreenStore& store_;
    DrawingSurface& surface_;
    MessageService& messages_;
    RowRecord& rowBuffer_;
    int boardWidth_ = 0;
    int boardHeight_ = 0;
    int penX_ = 0;
    int penY_ = 0;
    bool unsaved_ = false;
};
