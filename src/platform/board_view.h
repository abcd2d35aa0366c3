#pragma once

#include <QWidget>

#include <functional>

class ImageSurface;

// Shows an ImageSurface at one device-independent pixel per board pixel and hands every
// key that reaches it on as a virtual-key code. The view repaints only what changed.
class BoardView : public QWidget {
    Q_OBJECT
public:
    using KeyHandler = std::function<void(int keyCode)>;

    BoardView(ImageSurface& surface, QWidget* parent = nullptr);
    void setKeyHandler(KeyHandler handler) { keyHandler_ = std::move(handler); }
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void takePaletteColors();

    ImageSurface& surface_;
    KeyHandler keyHandler_;
};
