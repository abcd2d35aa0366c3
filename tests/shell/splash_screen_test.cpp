#include "shell/splash_screen.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMap>
#include <QPointer>
#include <QTest>
#include <QTimer>

// The splash on the offscreen platform, with the registry values, the date and the
// hand-over to the main window handed in.
class SplashScreenTest : public QObject {
    Q_OBJECT

private:
    QMap<QString, QString> stored;
    QStringList asked;
    int handOvers = 0;
    bool visibleAtHandOver = false;
    QPointer<frmSplash> splash;

    frmSplash* load(QDate today = QDate(2026, 3, 1))
    {
        splash = new frmSplash([this](const QString& name) {
                                   asked << name;
                                   return stored.value(name);
                               },
                               [this] {
                                   ++handOvers;
                                   visibleAtHandOver = splash && splash->isVisible();
                               },
                               [today] { return today; });
        splash->show();
        return splash;
    }
    QLabel* label(const char* name) const { return splash->findChild<QLabel*>(QLatin1String(name)); }
    QFrame* frame() const { return splash->findChild<QFrame*>(QStringLiteral("Frame1")); }
    QTimer* timer() const { return splash->findChild<QTimer*>(QStringLiteral("Timer1")); }
    // Deleting happens on the next turn of the event loop.
    bool unloaded()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return splash.isNull();
    }

private Q_SLOTS:
    void init()
    {
        stored.clear();
        asked.clear();
        handOvers = 0;
        visibleAtHandOver = false;
    }
    void cleanup() { delete splash.data(); }

    void labelsFilledFromTheRegistry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("company");
        QTest::addColumn<QString>("licenseTo");
        QTest::addColumn<QString>("companyLine");
        QTest::newRow("owner and company") << QStringLiteral("Ada Lovelace") << QStringLiteral("Analytical Engines Ltd")
                                           << QStringLiteral("License To: Ada Lovelace")
                                           << QStringLiteral("Company: Analytical Engines Ltd");
        QTest::newRow("nothing stored") << QString() << QString() << QStringLiteral("License To: ")
                                        << QStringLiteral("Company: ");
        QTest::newRow("company only") << QString() << QStringLiteral("Acme") << QStringLiteral("License To: ")
                                      << QStringLiteral("Company: Acme");
    }
    void labelsFilledFromTheRegistry()
    {
        QFETCH(QString, name);
        QFETCH(QString, company);
        QFETCH(QString, licenseTo);
        QFETCH(QString, companyLine);
        if (!name.isNull())
            stored.insert(QStringLiteral("Name"), name);
        if (!company.isNull())
            stored.insert(QStringLiteral("Company"), company);
        load();
        QCOMPARE(asked, (QStringList{QStringLiteral("Name"), QStringLiteral("Company")}));
        QCOMPARE(label("lblLicenseTo")->text(), licenseTo);
        QCOMPARE(label("lblCompany")->text(), companyLine);
        // Filled, yet nothing about the owner is on show.
        QVERIFY(label("lblLicenseTo")->isHidden());
        QVERIFY(label("lblCompany")->isHidden());
        QCOMPARE(label("lblVersion")->text(), QStringLiteral("Version 1.0"));
    }

    void copyrightLineFollowsTheYear_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("expected");
        QTest::newRow("2000") << QDate(2000, 1, 1) << QStringLiteral("Copyright (C) 2000 Nimbolt Software");
        QTest::newRow("2031") << QDate(2031, 5, 9) << QStringLiteral("Copyright (C) 2000 - 2031 Nimbolt Software");
    }
    void copyrightLineFollowsTheYear()
    {
        QFETCH(QDate, today);
        QFETCH(QString, expected);
        load(today);
        QCOMPARE(label("lblCopyright")->text(), expected);
    }

    void windowAsDesigned()
    {
        load();
        QCOMPARE(splash->size(), QSize(402, 227));
        QCOMPARE(splash->minimumSize(), splash->maximumSize());
        QVERIFY(!(splash->windowFlags() & Qt::WindowTitleHint));
        QCOMPARE(frame()->geometry(), QRect(10, 4, 383, 213));
        QVERIFY(frame()->frameWidth() > 0);
        QVERIFY(label("lblWarning")->text().contains(QStringLiteral("About")));
        // The one-line notice fits its label.
        QVERIFY(label("lblWarning")->sizeHint().width() <= label("lblWarning")->width());
        auto* logo = label("imgLogo");
        QCOMPARE(logo->geometry(), QRect(8, 16, 140, 112));
        QCOMPARE(logo->pixmap().size(), QSize(136, 108));
    }

    void labelsAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("designed");
        QTest::addColumn<bool>("fitsText");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<bool>("bold");
        QTest::newRow("lblCompanyProduct") << QStringLiteral("lblCompanyProduct") << QRect(160, 16, 206, 35) << true
                                           << 18.0 << true;
        QTest::newRow("lblProductName") << QStringLiteral("lblProductName") << QRect(160, 48, 201, 51) << true
                                        << 27.75 << true;
        QTest::newRow("lblVersion") << QStringLiteral("lblVersion") << QRect(160, 104, 203, 23) << true << 12.0
                                    << true;
        QTest::newRow("lblLicenseTo") << QStringLiteral("lblLicenseTo") << QRect(8, 136, 217, 17) << false << 8.25
                                      << false;
        QTest::newRow("lblCopyright") << QStringLiteral("lblCopyright") << QRect(16, 152, 361, 17) << false << 8.25
                                      << false;
        QTest::newRow("lblCompany") << QStringLiteral("lblCompany") << QRect(8, 152, 217, 17) << false << 8.25
                                    << false;
        QTest::newRow("lblWarning") << QStringLiteral("lblWarning") << QRect(8, 184, 363, 17) << false << 6.0
                                    << false;
    }
    void labelsAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QRect, designed);
        QFETCH(bool, fitsText);
        QFETCH(qreal, points);
        QFETCH(bool, bold);
        load();
        auto* control = splash->findChild<QLabel*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), frame());
        if (fitsText) {
            // Sized to its text around the designed centre line.
            QCOMPARE(control->size(), control->sizeHint());
            QCOMPARE(control->y(), designed.y());
            QVERIFY(qAbs(control->geometry().center().x() - designed.center().x()) <= 1);
        } else {
            QCOMPARE(control->geometry(), designed);
        }
        QCOMPARE(control->font().pointSizeF(), points);
        QCOMPARE(control->font().weight(), bold ? QFont::Bold : QFont::Normal);
    }

    void keysThatDismiss_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("dismisses");
        QTest::newRow("space") << int(Qt::Key_Space) << true;
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << true;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << true;
        QTest::newRow("letter") << int(Qt::Key_Q) << true;
        QTest::newRow("digit") << int(Qt::Key_7) << true;
        QTest::newRow("left arrow") << int(Qt::Key_Left) << false;
        QTest::newRow("down arrow") << int(Qt::Key_Down) << false;
        QTest::newRow("F1") << int(Qt::Key_F1) << false;
        QTest::newRow("F12") << int(Qt::Key_F12) << false;
        QTest::newRow("Shift alone") << int(Qt::Key_Shift) << false;
    }
    void keysThatDismiss()
    {
        QFETCH(int, key);
        QFETCH(bool, dismisses);
        load();
        QTest::keyClick(splash, Qt::Key(key));
        QCOMPARE(unloaded(), dismisses);
        if (!dismisses) {
            QVERIFY(splash->isVisible());
            QVERIFY(timer()->isActive());
        }
        QCOMPARE(handOvers, 0);
    }

    void clicksThatDismiss_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<bool>("dismisses");
        QTest::newRow("on Sketch") << QStringLiteral("lblProductName") << QPoint(-1, -1) << false;
        QTest::newRow("on the logo") << QStringLiteral("imgLogo") << QPoint(-1, -1) << false;
        QTest::newRow("on the copyright") << QStringLiteral("lblCopyright") << QPoint(-1, -1) << false;
        QTest::newRow("bare frame right") << QStringLiteral("Frame1") << QPoint(300, 140) << true;
        QTest::newRow("bare frame over the hidden licence label") << QStringLiteral("Frame1") << QPoint(100, 140)
                                                                  << true;
        QTest::newRow("margin outside the frame") << QStringLiteral("frmSplash") << QPoint(4, 100) << false;
    }
    void clicksThatDismiss()
    {
        QFETCH(QString, target);
        QFETCH(QPoint, at);
        QFETCH(bool, dismisses);
        load();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QWidget* widget = target == splash->objectName() ? splash.data() : splash->findChild<QWidget*>(target);
        QVERIFY(widget);
        const QPoint point = at == QPoint(-1, -1) ? widget->rect().center() : at;
        QVERIFY(widget->rect().contains(point));
        QTest::mouseClick(widget, Qt::LeftButton, {}, point);
        QCOMPARE(unloaded(), dismisses);
        QCOMPARE(handOvers, 0);
    }

    void dragOffTheFrameIsNoClick()
    {
        load();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QTest::mousePress(frame(), Qt::LeftButton, {}, QPoint(300, 140));
        QTest::mouseRelease(frame(), Qt::LeftButton, {}, QPoint(250, 60)); // over "Sketch"
        QVERIFY(!unloaded());
    }

    void timerHandsOverOnceAndUnloads()
    {
        load();
        QCOMPARE(timer()->interval(), 2000);
        QVERIFY(timer()->isActive());
        QTest::qWait(1000);
        QCOMPARE(handOvers, 0); // a timer never fires early
        QTRY_COMPARE_WITH_TIMEOUT(handOvers, 1, 20000);
        QVERIFY(visibleAtHandOver); // the main window comes up before the splash goes
        QVERIFY(unloaded());
    }

    void dismissedSplashNeverHandsOver()
    {
        load();
        QTest::keyClick(splash, Qt::Key_Space);
        QVERIFY(unloaded());
        QTest::qWait(frmSplash::kHandOverMilliseconds + 500);
        QCOMPARE(handOvers, 0);
    }

    void dismissingTheOnlyWindowEndsTheProgram()
    {
        load();
        // Should the splash not end the event loop, this ends it with a failure code.
        QTimer stuck;
        stuck.setSingleShot(true);
        connect(&stuck, &QTimer::timeout, qApp, [] { QCoreApplication::exit(3); });
        stuck.start(10000);
        QTimer::singleShot(0, splash, [this] { QTest::keyClick(splash, Qt::Key_Space); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(handOvers, 0);
    }
};

QTEST_MAIN(SplashScreenTest)
#include "splash_screen_test.moc"
