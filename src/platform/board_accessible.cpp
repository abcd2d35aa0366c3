#include "platform/board_accessible.h"

#include "platform/board_view.h"

namespace {

QAccessibleInterface* boardFactory(const QString&, QObject* object)
{
    if (auto* view = qobject_cast<BoardView*>(object))
        return new BoardAccessible(view);
    return nullptr;
}

}  // namespace

BoardAccessible::BoardAccessible(BoardView* view) : QAccessibleWidget(view, QAccessible::Canvas) {}

QString BoardAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return QStringLiteral("Sketch board");
    if (t == QAccessible::Description) {
        const QPoint pen = static_cast<const BoardView*>(widget())->penPosition();
        return QStringLiteral("Pen at column %1, row %2").arg(pen.x()).arg(pen.y());
    }
    return QAccessibleWidget::text(t);
}

void BoardAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
