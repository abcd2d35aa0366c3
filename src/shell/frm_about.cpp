#include "shell/frm_about.h"

#include "platform/window_placement.h"
#include "shell/form_controls.h"
#include "shell/images/program_images.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

using namespace FormControls;

frmAbout::Clock frmAbout::clock;

frmAbout::frmAbout(QWidget* owner, Clock dateSource)
    : QDialog(owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
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

    setBlackText(addLabel(this, "lblTitle", QStringLiteral("Nimbolt"),
                          twipRect(2520, 240, 3435, 720), 20.25, true, Qt::AlignHCenter));
    addLabel(this, "Label1", QStringLiteral("Sketch"), twipRect(2520, 1080, 3375, 375), 14.25, true,
             Qt::AlignHCenter);
    addLabel(this, "lblVersion", versionCaption(), twipRect(2520, 1680, 3405, 345), 9.75, true,
             Qt::AlignHCenter);
    QLabel* disclaimer = addLabel(
        this, "lblDisclaimer",
        QStringLiteral(
            "Warning: this computer program is protected by copyright law and international "
            "treaties. Unauthorised copying or distribution of this program, or of any part of "
            "it, may result in severe civil and criminal penalties, and will be prosecuted to "
            "the maximum extent possible under the law."),
        twipRect(120, 2160, 5895, 1185), 8.25, false, Qt::AlignLeft);
    disclaimer->setWordWrap(true);
    setBlackText(disclaimer);
    lblCopyright_ = addLabel(this, "lblCopyright", copyrightLine(QDate(kFirstYear, 1, 1)),
                             twipRect(480, 3600, 3855, 345), 8.25, false, Qt::AlignHCenter);
    setBlackText(lblCopyright_);
    addLabel(this, "lblAllRightsReserved", QStringLiteral("All rights reserved."),
             twipRect(480, 3960, 3855, 255), 8.25, false, Qt::AlignHCenter);

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

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // Line1: a grey line with a 2-pixel white line under it, drawn as an etched rule.
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(px(90), px(3405)), QPoint(px(6120) - 1, px(3405))),
                     QColor(128, 128, 128));
    painter.fillRect(QRect(QPoint(px(105), px(3420)), QPoint(px(6120) - 1, px(3420) + 1)),
                     Qt::white);
}

void frmAbout::showModal(QWidget* owner)
{
    QPointer<frmAbout> box = new frmAbout(owner, clock);
    centreOnScreen(box);
    box->exec();
    delete box.data();
}
