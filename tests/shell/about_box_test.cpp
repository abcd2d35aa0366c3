#include "platform/app_info.h"
#include "shell/about_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The About box on the offscreen platform, with the date handed in.
class AboutBoxTest : public QObject {
    Q_OBJECT
    static QString textOf(const QWidget& box, const char* name) { return box.findChild<QLabel*>(name)->text(); }

private Q_SLOTS:
    void eachShowingIsOverItsOwnerTakesTheYearAfreshAndCloses()
    {
        QWidget owner;
        owner.show();
        QDate today(2000, 12, 31);
        frmAbout::clock = [&today] { return today; };
        QStringList seen;
        for (int showing = 0; showing < 2; ++showing) {
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                QVERIFY(box && box->parentWidget() == &owner);
                seen << textOf(*box, "lblCopyright");
                QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            });
            frmAbout::showModal(&owner);
            today = QDate(2027, 1, 1);
        }
        frmAbout::clock = {};
        QCOMPARE(seen, QStringList({"Copyright (C) 2000 Nimbolt Software", "Copyright (C) 2000 - 2027 Nimbolt Software"}));
        QVERIFY(owner.findChildren<frmAbout*>().isEmpty());  // each closed box was destroyed
    }

    void showsTheBuildsVersionLogoAndWholeNotices()
    {
        frmAbout box;
        QVERIFY(box.isModal() && box.findChild<QPushButton*>("cmdOK")->isDefault());  // Enter closes it
        QVERIFY(!box.windowIcon().isNull());
        QCOMPARE(textOf(box, "lblVersion"), QStringLiteral("Version %1.%2").arg(AppInfo::majorVersion()).arg(AppInfo::minorVersion()));
        QVERIFY(!box.findChild<QLabel*>("Image1")->pixmap().isNull());
        auto* disclaimer = box.findChild<QLabel*>("lblDisclaimer");  // the legal paragraph fits once wrapped
        QVERIFY(disclaimer->heightForWidth(disclaimer->width()) <= disclaimer->height());
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
