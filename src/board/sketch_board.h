#pragma once

#include "board/row_record.h"

#include <QString>

class DrawingSurface;
class MessageService;
class ScreenStore;

// Windows virtual-key codes of the four arrows.
inline constexpr int kVkLeft = 37;
inline constexpr int kVkUp = 38;
inline constexpr int kVkRight = 39;
inline constexpr int kVkDown = 40;

// The main window's drawing logic: the pen, the board's pixels and its screen store.
// Store failures throw FileError.
class SketchBoard {
public:
    SketchBoard(ScreenStore& store, DrawingSurface& surface, MessageService& messages, RowRecord& rowBuffer);

    // Fixes the board size from the surface and centres the pen. The store is opened by
    // the caller; drawStore() then shows what an earlier run left in it.
    void Form_Load();
    // One key that reached the window, as a virtual-key code; the shift state is unused.
    void Form_KeyDown(int KeyCode, int Shift);
    // Clears the board and every row of the store; the pen stays where it was.
    void Shake();

    // Plots every set cell of the store's rows 1..485 on a cleared board.
    void drawStore();
    // Plots the set cells of one row, as the store or a sketch file holds it.
    static void plotRow(DrawingSurface& surface, int row, const RowRecord& record);
    // Plots the set cells of every row of a grid, row 1 first.
    static void plotGrid(DrawingSurface& surface, const GridRows& rows);

    // Puts the pen at (x, y), clamped into the board.
    void placePen(int x, int y);

    int BoardWidth = 0;
    int BoardHeight = 0;
    int PenX = 0;
    int PenY = 0;

    // Kept by the sketch file commands.
    int SketchFileNumber = 0;
    QString OpenFileName;
    QString SaveFileName;

    ScreenStore& store() { return store_; }
    DrawingSurface& surface() { return surface_; }
    RowRecord& rowBuffer() { return rowBuffer_; }

private:
    ScreenStore& store_;
    DrawingSurface& surface_;
    MessageService& messages_;
    RowRecord& rowBuffer_;
};
