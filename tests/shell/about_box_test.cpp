#include "platform/app_info.h"
#include "shell/about_box.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The About box on the offscreen platform, with the date handed in.
class AboutBoxTest : public QObject {
    Q_OBJECT
    static QString textOf(const QWidget& box, const char* name) { return box.findChild<QLabel*>(name)->text(); }

private Q_SLOTS:
    void copyrightLineFollowsTheYear_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2000") << QDate(2000, 12, 31) << QStringLiteral("Copyright (C) 2000 Nimbolt Software");
        QTest::newRow("2001") << QDate(2001, 1, 1) << QStringLiteral("Copyright (C) 2000 - 2001 Nimbolt Software");
    }
    void copyrightLineFollowsTheYear()
    {
        QFETCH(QDate, today);
        QFETCH(QString, expected);
        QCOMPARE(copyrightLine(today), expected);
    }

    void eachShowingIsModalOverItsOwnerTakesTheYearAfreshAndGoes()
    {
        QWidget owner;
        owner.show();
        QDate today(2026, 12, 31);
        frmAbout::clock = [&today] { return today; };
        QStringList seen;
        for (int showing = 0; showing < 2; ++showing) {
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                QVERIFY(box && box->parentWidget() == &owner);
                seen << textOf(*box, "lblCopyright");
                QTest::keyClick(box, Qt::Key_Return);
            });
            frmAbout::showModal(&owner);
            today = QDate(2027, 1, 1);
        }
        frmAbout::clock = {};
        QCOMPARE(seen, QStringList({"Copyright (C) 2000 - 2026 Nimbolt Software", "Copyright (C) 2000 - 2027 Nimbolt Software"}));
        QVERIFY(owner.findChildren<frmAbout*>().isEmpty());
    }

    void closesOnEnterEscOrOk_data()
    {
        QTest::addColumn<int>("key");  // 0: a click on OK
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
        QTest::newRow("OK") << 0 << true;
        QTest::newRow("a letter") << int(Qt::Key_A) << false;
    }
    void closesOnEnterEscOrOk()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        if (key)
            QTest::keyClick(&box, Qt::Key(key));
        else
            QTest::mouseClick(box.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QCOMPARE(box.isVisible(), !closes);
    }

    void showsTheBuildsVersionLogoAndWholeNotices()
    {
        frmAbout box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.windowTitle(), QStringLiteral("About Nimbolt Sketch"));
        QVERIFY(box.isModal());
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(!box.windowIcon().isNull());
        QCOMPARE(textOf(box, "lblVersion"),
                 QStringLiteral("Version %1.%2").arg(AppInfo::majorVersion()).arg(AppInfo::minorVersion()));
        QVERIFY(!box.findChild<QLabel*>("Image1")->pixmap().isNull());
        auto* disclaimer = box.findChild<QLabel*>("lblDisclaimer");  // the legal paragraph fits once wrapped
        QVERIFY(disclaimer->heightForWidth(disclaimer->width()) <= disclaimer->height());
        // The installed look-alike's alias must catch the family.
        QVERIFY(QFontInfo(box.findChild<QLabel*>("lblTitle")->font()).family().contains(QStringLiteral("Comic")));
        const QImage image = box.grab().toImage();  // the etched rule: grey over white
        QCOMPARE(image.pixelColor(200, 227), QColor(128, 128, 128));
        QCOMPARE(image.pixelColor(200, 228), QColor(Qt::white));
        QCOMPARE(image.pixelColor(200, 230), box.palette().color(QPalette::Window));
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
