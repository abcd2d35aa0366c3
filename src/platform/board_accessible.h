#pragma once

#include <QAccessibleWidget>

class BoardView;

// What a screen reader is told about a BoardView: a canvas named "Sketch board" whose
// description says where the pen stands. The description is built only when asked for.
class BoardAccessible : public QAccessibleWidget {
public:
    explicit BoardAccessible(BoardView* view);
    QString text(QAccessible::Text t) const override;

    // Makes every BoardView answer through this interface; once is enough.
    static void install();
};
