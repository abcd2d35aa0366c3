#include "platform/app_info.h"
#include "shell/nimbolt_sketch_module.h"
#include "shell/splash_screen.h"
#include "support/test_support.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

// The splash on the offscreen platform, reading the owner from a scratch registry file.
class SplashScreenTest : public QObject {
    Q_OBJECT
    ScratchRegistry registry;
    int handOvers = 0;
    bool visibleAtHandOver = false;
    QPointer<frmSplash> splash;

    void load(QDate today = QDate(2026, 1, 1))
    {
        splash = new frmSplash(
            [](const QString& name) {
                return NimboltSketchModule::ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, ScratchRegistry::kSketchSubKey, name)
                    .toText();
            },
            [this] { ++handOvers, visibleAtHandOver = splash && splash->isVisible(); }, [today] { return today; });
        splash->show();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
    }
    QLabel* label(const char* name) const { return splash->findChild<QLabel*>(QLatin1String(name)); }
    bool unloaded()  // deleting happens on the next turn of the event loop
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return splash.isNull();
    }

private Q_SLOTS:
    void init() { handOvers = 0, visibleAtHandOver = false, registry.write(""); }
    void cleanup() { delete splash.data(); }

    void showsTheBuildsVersionAndKeepsTheRegisteredOwnerHidden()
    {
        registry.write(ScratchRegistry::sketchFile({R"("Name"="Ada Lovelace")", R"("Company"="Analytical Engines")"}));
        load(QDate(2031, 5, 9));
        QCOMPARE(label("lblCopyright")->text(), QStringLiteral("Copyright (C) 2000 - 2031 Nimbolt Software"));
        QCOMPARE(label("lblVersion")->text(),
                 QStringLiteral("Version %1.%2").arg(AppInfo::majorVersion()).arg(AppInfo::minorVersion()));
        QCOMPARE(label("lblLicenseTo")->text(), QStringLiteral("License To: Ada Lovelace"));
        QCOMPARE(label("lblCompany")->text(), QStringLiteral("Company: Analytical Engines"));
        QVERIFY(label("lblLicenseTo")->isHidden() && label("lblCompany")->isHidden());
        QVERIFY(label("lblWarning")->sizeHint().width() <= label("lblWarning")->width());  // the notice fits
        QVERIFY(!label("imgLogo")->pixmap().isNull());
    }

    void characterKeysAndClicksOnTheBareFrameDismiss_data()
    {
        QTest::addColumn<int>("key");        // 0: a click instead
        QTest::addColumn<QString>("target");  // what is clicked
        QTest::addColumn<QPoint>("at");       // where; (-1, -1) for its centre
        QTest::addColumn<bool>("dismisses");
        const QPoint centre(-1, -1);
        QTest::newRow("letter") << int(Qt::Key_Q) << "" << centre << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << "" << centre << true;
        QTest::newRow("arrow") << int(Qt::Key_Left) << "" << centre << false;
        QTest::newRow("on Sketch") << 0 << "lblProductName" << centre << false;
        QTest::newRow("bare frame") << 0 << "Frame1" << QPoint(300, 140) << true;
        QTest::newRow("bare frame over the hidden licence") << 0 << "Frame1" << QPoint(100, 140) << true;
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
            QTest::keyClick(splash, Qt::Key(key));
        } else {
            QWidget* widget = target == splash->objectName() ? splash.data() : splash->findChild<QWidget*>(target);
            QTest::mouseClick(widget, Qt::LeftButton, {}, at == QPoint(-1, -1) ? widget->rect().center() : at);
        }
        QCOMPARE(unloaded(), dismisses);
        QVERIFY(dismisses || splash->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
        QCOMPARE(handOvers, 0);
    }

    void dragOffTheFrameIsNoClick()
    {
        load();
        auto* frame = splash->findChild<QFrame*>(QStringLiteral("Frame1"));
        QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(300, 140));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(250, 60));  // over "Sketch"
        QVERIFY(!unloaded());
    }

    void timerHandsOverOnceAfterTwoSecondsThenUnloads()
    {
        load();
        QTest::qWait(1000);
        QCOMPARE(handOvers, 0);
        QTRY_COMPARE_WITH_TIMEOUT(handOvers, 1, 20000);
        QVERIFY(visibleAtHandOver);  // the main window comes up before the splash goes
        QVERIFY(unloaded());
    }

    void dismissingTheOnlyWindowEndsTheProgramWithoutHandingOver()
    {
        load();
        QTimer::singleShot(10000, splash, [] { QCoreApplication::exit(3); });  // should the program not end
        QTimer::singleShot(0, splash, [this] { QTest::keyClick(splash, Qt::Key_Space); });
        QCOMPARE(QApplication::exec(), 0);
        QTest::qWait(frmSplash::kHandOverMilliseconds + 500);
        QCOMPARE(handOvers, 0);
    }
};

QTEST_MAIN(SplashScreenTest)
#include "splash_screen_test.moc"
