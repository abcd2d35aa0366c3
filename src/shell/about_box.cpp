#include "shell/about_box.h"

#include "platform/window_placement.h"
#include "shell/images/program_images.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

namespace {

constexpr int kFirstYear = 2000;
const char* const kMaker = "Nimbolt Software";

// Positions are designed in twips, 15 to a pixel.
constexpr int px(int twips) { return twips / 15; }
QRect twipRect(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }

QFont comicFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect, qreal points,
                 bool bold, Qt::Alignment align, bool blackText)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(rect);
    label->setFont(comicFont(points, bold));
    label->setAlignment(align | Qt::AlignTop);
    if (blackText) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    return label;
}

QDate systemDate() { return QDate::currentDate(); }

} // namespace

QString copyrightLine(const QDate& today)
{
    const int year = today.year();
    const QString years = year == kFirstYear ? QString::number(kFirstYear)
                                             : QStringLiteral("%1 - %2").arg(kFirstYear).arg(year);
    return QStringLiteral("Copyright (C) %1 %2").arg(years, QLatin1String(kMaker));
}

frmAbout::Clock frmAbout::clock;

frmAbout::frmAbout(QWidget* owner, Clock dateSource)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      clock_(dateSource ? std::move(dateSource) : Clock(systemDate))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Nimbolt Sketch"));
    setWindowIcon(ProgramImages::programIcon());
    setModal(true);
    setFixedSize(px(6285), px(4500));
    createControls();
    Form_Load();
}

void frmAbout::createControls()
{
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(twipRect(120, 120, 2100, 1680));
    image->setPixmap(ProgramImages::logo());
    image->setScaledContents(true);

    addLabel(this, "lblTitle", QStringLiteral("Nimbolt"), twipRect(2520, 240, 3435, 720), 20.25, true,
             Qt::AlignHCenter, true);
    addLabel(this, "Label1", QStringLiteral("Sketch"), twipRect(2520, 1080, 3375, 375), 14.25, true,
             Qt::AlignHCenter, false);
    addLabel(this, "lblVersion", QStringLiteral("Version 1.0"), twipRect(2520, 1680, 3405, 345), 9.75, true,
             Qt::AlignHCenter, false);
    QLabel* disclaimer = addLabel(
        this, "lblDisclaimer",
        QStringLiteral("Warning: this computer program is protected by copyright law and international "
                       "treaties. Unauthorised copying or distribution of this program, or of any part of "
                       "it, may result in severe civil and criminal penalties, and will be prosecuted to "
                       "the maximum extent possible under the law."),
        twipRect(120, 2160, 5895, 1185), 8.25, false, Qt::AlignLeft, true);
    disclaimer->setWordWrap(true);
    lblCopyright_ = addLabel(this, "lblCopyright", copyrightLine(QDate(kFirstYear, 1, 1)),
                             twipRect(480, 3600, 3855, 345), 8.25, false, Qt::AlignHCenter, true);
    addLabel(this, "lblAllRightsReserved", QStringLiteral("All rights reserved."), twipRect(480, 3960, 3855, 255),
             8.25, false, Qt::AlignHCenter, false);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(twipRect(4680, 3720, 1260, 585));
    ok->setFont(comicFont(8.25, false));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

void frmAbout::Form_Load()
{
    const QDate today = clock_();
    if (today.year() != kFirstYear)
        lblCopyright_->setText(copyrightLine(today));
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // Line1: a grey line with a 2-pixel white line under it, drawn as an etched rule.
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(px(90), px(3405)), QPoint(px(6120) - 1, px(3405))), QColor(128, 128, 128));
    painter.fillRect(QRect(QPoint(px(105), px(3420)), QPoint(px(6120) - 1, px(3420) + 1)), Qt::white);
}

void frmAbout::showModal(QWidget* owner)
{
    QPointer<frmAbout> box = new frmAbout(owner, clock);
    centreOnScreen(box);
    box->exec();
    delete box.data();
}
