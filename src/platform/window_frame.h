#pragma once

#include <QMargins>

class QWidget;

// Asks the window manager for a thin border with no title bar around a top-level window and
// keeps the window off the task bar and pager. Call it before the window is first shown.
// Only X11 needs asking: there Qt's flags turn every decoration off once the title is.
void useBorderOnlyFrame(QWidget* window);

// The frame the window manager will put around a window not yet shown: asked for under X11
// (_NET_REQUEST_FRAME_EXTENTS), none where nothing answers.
QMargins expectedFrameMargins(QWidget* window);
