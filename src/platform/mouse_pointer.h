#pragma once

// The mouse pointer over the main window.
class MousePointer {
public:
    enum Shape { Default = 0, Hourglass = 11 };
    virtual ~MousePointer() = default;
    virtual void setMousePointer(Shape shape) = 0;
};

// Shows the hourglass for as long as it lives, so every way out restores the pointer.
class BusyPointer {
public:
    explicit BusyPointer(MousePointer& pointer) : pointer_(pointer)
    {
        pointer_.setMousePointer(MousePointer::Hourglass);
    }
    ~BusyPointer() { pointer_.setMousePointer(MousePointer::Default); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    MousePointer& pointer_;
};
