#include "platform/window_placement.h"

#include "platform/window_frame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void centreOnScreen(QWidget* window)
{
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window->adjustSize();
    // Centred by its whole frame, title bar included: a visible window's frame is known, a
    // new one's is asked of the window manager.
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    const QMargins margins = window->isVisible()
        ? QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                   outer.right() - inner.right(), outer.bottom() - inner.bottom())
        : expectedFrameMargins(window);
    QRect frame = window->geometry().marginsAdded(margins);
    frame.moveCenter(screen->availableGeometry().center());
    window->setGeometry(frame.marginsRemoved(margins));
}
