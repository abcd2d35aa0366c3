#pragma once

#include "platform/mouse_pointer.h"

class QWidget;

// The wait cursor over a window.
class QtMousePointer : public MousePointer {
public:
    explicit QtMousePointer(QWidget* window) : window_(window) {}
    void setMousePointer(Shape shape) override;

private:
    QWidget* window_;
};
