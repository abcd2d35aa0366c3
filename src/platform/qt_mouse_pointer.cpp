#include "platform/qt_mouse_pointer.h"

#include <QWidget>

void QtMousePointer::setMousePointer(Shape shape)
{
    if (shape == Hourglass)
        window_->setCursor(Qt::WaitCursor);
    else
        window_->unsetCursor();
}
