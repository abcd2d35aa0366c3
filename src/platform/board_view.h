#pragma once

#include <QWidget>

#include <functional>

class ImageSurface;

// Shows an ImageSurface at one device-independent pixel per board pixel and hands every
// key that reaches it on as a virtual-key code. The view repaints only what changed. Screen
// readers see it as a canvas that says where the pen is.
class BoardView : public QWidget {
    Q_OBJECT
public:
    using KeyHandler = std::function<void(int keyCode)>;

    BoardView(ImageSurface& surface, QWidget* parent = nullptr);
    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }
    QSize sizeHint() const override;

    // Where the pen stands (board column and row from 1), for screen readers; a change is
    // announced only while an assistive technology listens.
    void setPenPosition(int column, int row);
    QPoint penPosition() const { return pen_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void takePaletteColors();

    ImageSurface& surface_;
    KeyHandler keyHandler_;
    QPoint pen_;
};
