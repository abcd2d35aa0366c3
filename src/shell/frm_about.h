#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;

// frmAbout: the modal About box with the logo, name, version and legal notices.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    using Clock = std::function<QDate()>;

    // dateSource: where Form_Load takes today's date; empty means the system date.
    explicit frmAbout(QWidget* owner = nullptr, Clock dateSource = {});

    // Creates the box owned by owner, shows it modally and destroys it when it is closed.
    // Every showing takes its year afresh from frmAbout::clock.
    static void showModal(QWidget* owner);

    // The date source of showModal; empty means the system date. Tests replace it.
    static Clock clock;

    // Puts the current year on the legal notice.
    void Form_Load();

public Q_SLOTS:
    void cmdOK_Click();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void createControls();

    Clock clock_;
    QLabel* lblCopyright_ = nullptr;
};
