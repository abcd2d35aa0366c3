#pragma once

#include "platform/image_surface.h"

// frmPrintSketch: the hidden print surface, the grid's size, white with black ink whatever
// the desktop theme, so a dark theme never prints white on white.
class frmPrintSketch {
public:
    frmPrintSketch();
    ImageSurface& surface() { return surface_; }

private:
    ImageSurface surface_;
};
