#include "shell/frm_splash.h"

#include "platform/window_frame.h"
#include "platform/window_placement.h"
#include "shell/form_controls.h"
#include "shell/images/program_images.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

using namespace FormControls;

namespace {

// A label that sizes itself to its text keeps its designed top and horizontal centre, so
// centred text stays where it was placed whatever the font's real width.
void fitToText(QLabel* label)
{
    const QRect designed = label->geometry();
    QRect fitted(QPoint(0, designed.top()), label->sizeHint());
    fitted.moveLeft(designed.left() + (designed.width() - fitted.width()) / 2);
    label->setGeometry(fitted);
}

}  // namespace

frmSplash::frmSplash(ValueReader readValue, HandOver handOver, Clock clock)
    // A fixed thin frame with no title bar, kept off the task bar.
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint),
      readValue_(std::move(readValue)),
      handOver_(std::move(handOver)),
      clock_(clock ? std::move(clock) : Clock(systemDate))
{
    setObjectName(QStringLiteral("frmSplash"));
    // A tool window keeps out of the task bar, but Qt would not end the program when it
    // closes; the splash must, while it is the only window.
    setAttribute(Qt::WA_QuitOnClose, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    setFixedSize(px(6030), px(3405));
    setFocusPolicy(Qt::StrongFocus);
    createControls();
    Form_Load();
    timer1_->start();
    useBorderOnlyFrame(this);
    centreOnScreen(this);
}

void frmSplash::createControls()
{
    frame1_ = new QFrame(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame1_->setGeometry(twipRect(150, 60, 5745, 3195));
    frame1_->installEventFilter(this);

    auto* logo = new QLabel(frame1_);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setGeometry(twipRect(120, 240, 2100, 1680));
    logo->setPixmap(ProgramImages::logo());
    logo->setScaledContents(true);

    fitToText(addLabel(frame1_, "lblCompanyProduct", QStringLiteral("Nimbolt"),
                       twipRect(2400, 240, 3090, 525), 18, true, Qt::AlignHCenter));
    fitToText(addLabel(frame1_, "lblProductName", QStringLiteral("Sketch"),
                       twipRect(2400, 720, 3015, 765), 27.75, true, Qt::AlignHCenter));
    lblVersion_ = addLabel(frame1_, "lblVersion", versionCaption(), twipRect(2400, 1560, 3045, 345),
                           12, true, Qt::AlignHCenter);
    lblLicenseTo_ = addLabel(frame1_, "lblLicenseTo", QStringLiteral("License To:"),
                             twipRect(120, 2040, 3255, 255), 8.25, false, Qt::AlignLeft);
    lblLicenseTo_->hide();
    lblCopyright_ = addLabel(frame1_, "lblCopyright", copyrightLine(QDate(kFirstYear, 1, 1)),
                             twipRect(240, 2280, 5415, 255), 8.25, false, Qt::AlignHCenter);
    lblCompany_ = addLabel(frame1_, "lblCompany", QStringLiteral("Company:"),
                           twipRect(120, 2280, 3255, 255), 8.25, false, Qt::AlignLeft);
    lblCompany_->hide();
    addLabel(
        frame1_, "lblWarning",
        QStringLiteral(
            "Warning: this program is protected by copyright law. See Help, About for details."),
        twipRect(120, 2760, 5445, 255), 6, false, Qt::AlignLeft);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setTimerType(Qt::PreciseTimer);  // never hand over before the full two seconds
    timer1_->setInterval(kHandOverMilliseconds);
    connect(timer1_, &QTimer::timeout, this, &frmSplash::Timer1_Timer);

    // Keyboard preview: the window sees every key before any of its controls.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

void frmSplash::Form_Load()
{
    lblVersion_->setText(versionCaption());
    fitToText(lblVersion_);
    lblLicenseTo_->setText(QStringLiteral("License To: ") + readValue_(QStringLiteral("Name")));
    lblCompany_->setText(QStringLiteral("Company: ") + readValue_(QStringLiteral("Company")));
    const QDate today = clock_();
    if (today.year() != kFirstYear)
        lblCopyright_->setText(copyrightLine(today));
}

void frmSplash::Form_KeyPress(int /*keyAscii*/)
{
    unload();
}

void frmSplash::Frame1_Click()
{
    unload();
}

void frmSplash::Timer1_Timer()
{
    if (unloaded_)
        return;
    handOver_();
    timer1_->stop();
    unload();
}

void frmSplash::unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    timer1_->stop();
    close();
}

bool frmSplash::handleKey(QKeyEvent* event)
{
    // Qt hands Delete the DEL control character, yet Delete types nothing.
    const QString text = event->text();
    if (text.isEmpty() || event->key() == Qt::Key_Delete || text.front() == QChar(0x7f))
        return false;
    Form_KeyPress(text.at(0).unicode());
    return true;
}

void frmSplash::keyPressEvent(QKeyEvent* event)
{
    if (!handleKey(event))
        QWidget::keyPressEvent(event);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKey(static_cast<QKeyEvent*>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        break;
    default:
        return QWidget::eventFilter(watched, event);
    }
    if (watched != frame1_)
        return false;
    // A label or the logo ignores the mouse, so its clicks pass up to the frame: only a
    // point with no visible control under it is the frame's own.
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    const bool bare = frame1_->rect().contains(at) && frame1_->childAt(at) == nullptr;
    if (mouse->button() != Qt::LeftButton)
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        pressedOnBareFrame_ = bare;
        return bare;
    }
    const bool clicked = pressedOnBareFrame_ && bare;
    pressedOnBareFrame_ = false;
    if (clicked)
        Frame1_Click();
    return clicked;
}
