#pragma once

#include <QDate>
#include <QString>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QTimer;

// frmSplash: the start-up window. It shows the logo, name, version and copyright for two
// seconds, then hands over to the main window and unloads itself; a character key or a
// click on the frame's bare area unloads it at once.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    // Yields the text of a value of the program's registry key ("Name", "Company").
    using ValueReader = std::function<QString(const QString& valueName)>;
    // Loads and shows the main window.
    using HandOver = std::function<void()>;
    using Clock = std::function<QDate()>;

    static constexpr int kHandOverMilliseconds = 2000;

    // clock: where Form_Load takes today's date; empty means the system date. Runs
    // Form_Load, starts Timer1 and centres the window; the caller shows it. Create it with
    // new: it deletes itself when it unloads.
    frmSplash(ValueReader readValue, HandOver handOver, Clock clock = {});

    void Form_Load();
    void Form_KeyPress(int keyAscii);
    void Frame1_Click();
    void Timer1_Timer();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    // Character keys only: arrows, function keys, Delete and lone modifiers type nothing.
    bool handleKey(QKeyEvent* event);
    void unload();

    ValueReader readValue_;
    HandOver handOver_;
    Clock clock_;
    QFrame* frame1_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblLicenseTo_ = nullptr;
    QLabel* lblCompany_ = nullptr;
    QLabel* lblCopyright_ = nullptr;
    QTimer* timer1_ = nullptr;
    bool pressedOnBareFrame_ = false;
    bool unloaded_ = false;
};
