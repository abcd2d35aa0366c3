#pragma once

#include <QDate>
#include <QFont>
#include <QRect>
#include <QString>

class QLabel;
class QWidget;

// What the splash and the About box share: geometry designed in twips, their Comic Sans
// labels, the version caption and the copyright line.
namespace FormControls {

// The year the copyright line starts with.
inline constexpr int kFirstYear = 2000;

// Positions are designed in twips, 15 to a pixel.
constexpr int px(int twips)
{
    return twips / 15;
}
QRect twipRect(int left, int top, int width, int height);

QFont comicFont(qreal points, bool bold);
// A top-aligned label named `name` at `rect` in Comic Sans.
QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect,
                 qreal points, bool bold, Qt::Alignment align);
void setBlackText(QLabel* label);

QDate systemDate();
// "Version 1.0": the build's major and minor version.
QString versionCaption();
// The first year alone in 2000, the span from 2000 to today's year otherwise, then the maker.
QString copyrightLine(const QDate& today);

}  // namespace FormControls
