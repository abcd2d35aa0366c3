#pragma once

#include <span>

// A surface the board logic plots on. Pixels count from (0, 0) at the top left.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Sets one pixel in the surface's ink colour; pixels outside the surface are ignored.
    virtual void plot(int x, int y) = 0;
    // Sets the pixels of row y whose flag is non-zero; flag i stands for pixel (i, y).
    virtual void plotRow(int y, std::span<const unsigned char> flags) = 0;
    // Fills the whole surface with its background colour.
    virtual void clear() = 0;
};
