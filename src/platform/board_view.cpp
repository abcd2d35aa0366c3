#include "platform/board_view.h"

#include "platform/board_accessible.h"
#include "platform/image_surface.h"
#include "platform/virtual_keys.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>

BoardView::BoardView(ImageSurface& surface, QWidget* parent) : QWidget(parent), surface_(surface)
{
    BoardAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(sizeHint());
    takePaletteColors();
    surface_.setChangeListener([this](const QRect& changed) { update(changed); });
}

QSize BoardView::sizeHint() const
{
    return QSize(surface_.width(), surface_.height());
}

void BoardView::setPenPosition(int column, int row)
{
    const QPoint pen(column, row);
    if (pen == pen_)
        return;
    pen_ = pen;
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

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
    // A modifier pressed on its own starts a shortcut or an access key, not a board key:
    // it neither beeps nor records the pen's cell.
    if (keyHandler_ && !isModifierKey(event->key()))
        keyHandler_(virtualKeyCode(*event));
    event->accept();
}

void BoardView::paintEvent(QPaintEvent* event)
{
    // One board pixel per device-independent pixel. On a high-density screen Qt scales the
    // image; without smoothing each board pixel becomes whole device pixels, never a blur.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(event->rect(), surface_.image(), event->rect());
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
