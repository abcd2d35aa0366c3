#include "shell/form_controls.h"

#include "platform/app_info.h"

#include <QLabel>

namespace FormControls {

namespace {

const char* const kMaker = "Nimbolt Software";

}  // namespace

QRect twipRect(int left, int top, int width, int height)
{
    return {px(left), px(top), px(width), px(height)};
}

QFont comicFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect,
                 qreal points, bool bold, Qt::Alignment align)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setFont(comicFont(points, bold));
    label->setAlignment(align | Qt::AlignTop);
    return label;
}

void setBlackText(QLabel* label)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
}

QDate systemDate()
{
    return QDate::currentDate();
}

QString versionCaption()
{
    return QStringLiteral("Version %1.%2")
        .arg(AppInfo::majorVersion())
        .arg(AppInfo::minorVersion());
}

QString copyrightLine(const QDate& today)
{
    const int year = today.year();
    const QString years = year == kFirstYear ? QString::number(kFirstYear)
                                             : QStringLiteral("%1 - %2").arg(kFirstYear).arg(year);
    return QStringLiteral("Copyright (C) %1 %2").arg(years, QLatin1String(kMaker));
}

}  // namespace FormControls
