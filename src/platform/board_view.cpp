#include "platform/board_view.h"

#include "platform/image_surface.h"
#include "platform/virtual_keys.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <cmath>

BoardView::BoardView(ImageSurface& surface, QWidget* parent) : QWidget(parent), surface_(surface)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
    takePaletteColors();
    surface_.setChangeListener([this](const QRect& changed) { update(changed); });
}

QSize BoardView::sizeHint() const { return QSize(surface_.width(), surface_.height()); }

bool BoardView::event(QEvent* event)
{
    // Tab and Shift+Tab are keys for the board like any other, not focus moves.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

void BoardView::keyPressEvent(QKeyEvent* event)
{
    if (keyHandler_)
        keyHandler_(virtualKeyCode(*event), shiftState(event->modifiers()));
    event->accept();
}

void BoardView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // Each board pixel covers a whole number of device pixels, without smoothing, so lines
    // stay crisp and the board never grows beyond the grid on a high-DPI screen.
    const qreal ratio = devicePixelRatioF();
    const int factor = std::max(1, int(std::floor(ratio + 1e-6)));
    const qreal scale = factor / ratio;
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (scale == 1.0) {
        painter.drawImage(event->rect(), surface_.image(), event->rect());
        return;
    }
    painter.fillRect(event->rect(), palette().button());
    painter.scale(scale, scale);
    const QRect source = QRectF(QRectF(event->rect()).topLeft() / scale, QRectF(event->rect()).size() / scale)
                             .toAlignedRect()
                             .intersected(surface_.image().rect());
    painter.drawImage(source, surface_.image(), source);
}

void BoardView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        takePaletteColors();
    QWidget::changeEvent(event);
}

void BoardView::takePaletteColors()
{
    surface_.setColors(palette().color(QPalette::Button), palette().color(QPalette::ButtonText));
}
