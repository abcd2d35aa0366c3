#include "registry/read_registry_value.h"
#include "shell/frm_about.h"
#include "shell/frm_splash.h"
#include "support/test_support.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The splash and the About box on the offscreen platform; the splash reads the owner from a scratch
// registry file, the About box takes the date handed in.
class SplashAndAboutTest : public QObject {
    Q_OBJECT
    ScratchRegistry registry;
    int handOvers = 0;
    bool visibleAtHandOver = false;
    QPointer<frmSplash> splash;

    void load(QDate today = QDate(2026, 1, 1))
    {
        const auto read = [](const QString& name) {
            return NimboltSketchModule::ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE,
                                                          ScratchRegistry::kSketchSubKey, name)
                .toText();
        };
        splash = new frmSplash(
            read,
            [this] {
                ++handOvers;
                visibleAtHandOver = splash && splash->isVisible();
            },
            [today] { return today; });
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
    }
    static QLabel* label(const QWidget* window, const char* name)
    {
        return window->findChild<QLabel*>(QLatin1String(name));
    }
    bool unloaded()  // deleting happens on the next turn of the event loop
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return splash.isNull();
    }

private Q_SLOTS:
    void init()
    {
        handOvers = 0;
        visibleAtHandOver = false;
        registry.write("");
    }
    void cleanup() { delete splash.data(); }

    void splashShowsTheBuildsVersionKeepsTheOwnerHiddenAndHandsOverOnce()
    {
        registry.write(ScratchRegistry::sketchFile(
            {R"("Name"="Ada Lovelace")", R"("Company"="Analytical Engines")"}));
        load(QDate(2031, 5, 9));
        QCOMPARE(label(splash, "lblCopyright")->text(),
                 QStringLiteral("Copyright (C) 2000 - 2031 Nimbolt Software"));
        QCOMPARE(label(splash, "lblVersion")->text(),
                 QStringLiteral("Version " NIMBOLT_EXPECTED_VERSION));
        QCOMPARE(label(splash, "lblLicenseTo")->text(), QStringLiteral("License To: Ada Lovelace"));
        QCOMPARE(label(splash, "lblCompany")->text(),
                 QStringLiteral("Company: Analytical Engines"));
        QVERIFY(label(splash, "lblLicenseTo")->isHidden());
        QVERIFY(label(splash, "lblCompany")->isHidden());
        QVERIFY(label(splash, "lblWarning")->sizeHint().width()
                <= label(splash, "lblWarning")->width());  // the notice fits
        QVERIFY(!label(splash, "imgLogo")->pixmap().isNull());
        QTest::qWait(1000);
        QCOMPARE(handOvers, 0);  // not before two seconds
        QTRY_COMPARE_WITH_TIMEOUT(handOvers, 1, 20000);
        QVERIFY(visibleAtHandOver);  // the main window comes up before the splash goes
        QVERIFY(unloaded());
    }

    void characterKeysAndClicksOnTheBareFrameDismiss_data()
    {
        QTest::addColumn<int>("key");  // 0: a click instead
        QTest::addColumn<QString>("target");  // what is clicked, or the text X11 hands with the key
        QTest::addColumn<QPoint>("at");  // where; (-1, -1) for its centre
        QTest::addColumn<bool>("dismisses");
        const QPoint centre(-1, -1);
        QTest::newRow("letter") << int(Qt::Key_Q) << "q" << centre << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << "\x1b" << centre << true;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << "\x7f" << centre << false;
        QTest::newRow("arrow, typing nothing") << int(Qt::Key_Left) << "" << centre << false;
        QTest::newRow("Ctrl alone") << int(Qt::Key_Control) << "" << centre << false;
        QTest::newRow("on Sketch") << 0 << "lblProductName" << centre << false;
        QTest::newRow("bare frame") << 0 << "Frame1" << QPoint(300, 140) << true;
        QTest::newRow("bare frame over the hidden licence")
            << 0 << "Frame1" << QPoint(100, 140) << true;
        QTest::newRow("margin outside the frame") << 0 << "frmSplash" << QPoint(4, 100) << false;
    }
    void characterKeysAndClicksOnTheBareFrameDismiss()
    {
        QFETCH(int, key);
        QFETCH(QString, target);
        QFETCH(QPoint, at);
        QFETCH(bool, dismisses);
        load();
        if (key) {
            QTest::sendKeyEvent(QTest::Click, splash, Qt::Key(key), target, Qt::NoModifier);
        } else {
            QWidget* widget = target == splash->objectName() ? splash.data()
                                                             : splash->findChild<QWidget*>(target);
            QTest::mouseClick(widget, Qt::LeftButton, {},
                              at == QPoint(-1, -1) ? widget->rect().center() : at);
        }
        QCOMPARE(unloaded(), dismisses);
        QVERIFY(dismisses || splash->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
        QCOMPARE(handOvers, 0);
    }

    void eachAboutBoxIsOverItsOwnerTakesTheYearAfreshAndCloses()
    {
        QWidget owner;
        owner.show();
        QDate today(2000, 12, 31);
        frmAbout::clock = [&today] { return today; };
        QStringList seen;
        for (int showing = 0; showing < 2; ++showing) {
            QTimer::singleShot(0, this, [&] {
                auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                QVERIFY(box);
                QCOMPARE(box->parentWidget(), &owner);
                seen << label(box, "lblCopyright")->text();
                QTest::mouseClick(box->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            });
            frmAbout::showModal(&owner);
            today = QDate(2027, 1, 1);
        }
        frmAbout::clock = {};
        QCOMPARE(seen,
                 QStringList({"Copyright (C) 2000 Nimbolt Software",
                              "Copyright (C) 2000 - 2027 Nimbolt Software"}));
        QVERIFY(owner.findChildren<frmAbout*>().isEmpty());  // each closed box was destroyed
    }

    void aboutBoxHasADefaultButtonAndTheWholeNotice()
    {
        frmAbout box;
        QVERIFY(box.findChild<QPushButton*>("cmdOK")->isDefault());  // Enter closes it
        QLabel* disclaimer = label(&box, "lblDisclaimer");  // the legal paragraph fits once wrapped
        QVERIFY(disclaimer->heightForWidth(disclaimer->width()) <= disclaimer->height());
    }
};

QTEST_MAIN(SplashAndAboutTest)
#include "splash_and_about_test.moc"
