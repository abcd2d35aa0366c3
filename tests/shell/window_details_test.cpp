#include "board/row_buffer.h"
#include "platform/board_view.h"
#include "shell/about_box.h"
#include "shell/help_viewer.h"
#include "shell/main_window.h"
#include "shell/splash_screen.h"
#include "support/test_support.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

// What a careful user notices around the windows: popups, lone keys, frames, sizes, captions.
class WindowDetailsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmNimboltSketch> openWindow()
    {
        auto window = std::make_unique<frmNimboltSketch>(WindowServices{&messages});
        if (!window->Form_Load({dir.path()}))
            return nullptr;
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get()) ? std::move(window) : nullptr;
    }
    QWidget* part(frmNimboltSketch& window, const QString& name)
    {
        if (name == QLatin1String("menu bar"))
            return window.menuBar();
        if (name == QLatin1String("toolbar"))
            return window.toolbar();
        if (name == QLatin1String("toolbar button"))
            return window.toolbar()->widgetForAction(window.toolbar()->actions().constFirst());
        return name == QLatin1String("board") ? static_cast<QWidget*>(window.boardView()) : &window;
    }

    QTemporaryDir dir;
    RecordingMessages messages;

private Q_SLOTS:
    void init()
    {
        messages = {};
        NimboltSketchModule::RowBuffer = RowRecord{};
    }

    void rightClickOpensNoPopup_data()
    {
        QTest::addColumn<QString>("where");
        for (const char* where : {"menu bar", "toolbar", "toolbar button", "board", "window"})
            QTest::newRow(where) << QString::fromLatin1(where);
    }
    void rightClickOpensNoPopup()
    {
        QFETCH(QString, where);
        auto window = openWindow();
        QVERIFY(window);
        const QSize before = window->size();
        bool popped = false;
        QTimer::singleShot(0, [&popped] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popped = true;
                popup->close();
            }
        });
        QWidget* target = part(*window, where);
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(target, &click);
        QTest::qWait(10);
        QVERIFY2(!popped, "a context menu opened");
        QToolBar* bar = window->toolbar();
        QVERIFY(!bar->isMovable() && !bar->isFloatable() && !bar->toggleViewAction()->isVisible());
        QVERIFY(bar->isVisible());
        QCOMPARE(window->size(), before);
    }

    void onlyRealKeysDraw_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("draws");
        QTest::newRow("Shift") << int(Qt::Key_Shift) << false;
        QTest::newRow("Ctrl") << int(Qt::Key_Control) << false;
        QTest::newRow("Alt") << int(Qt::Key_Alt) << false;
        QTest::newRow("AltGr") << int(Qt::Key_AltGr) << false;
        QTest::newRow("Meta") << int(Qt::Key_Meta) << false;
        QTest::newRow("Super") << int(Qt::Key_Super_L) << false;
        QTest::newRow("Caps Lock") << int(Qt::Key_CapsLock) << true;
        QTest::newRow("Insert") << int(Qt::Key_Insert) << true;
        QTest::newRow("Space") << int(Qt::Key_Space) << true;
    }
    void onlyRealKeysDraw()
    {
        QFETCH(int, key);
        QFETCH(bool, draws);
        auto window = openWindow();
        QVERIFY(window);
        QTest::sendKeyEvent(QTest::Click, window->boardView(), Qt::Key(key), QString(), Qt::NoModifier);
        QCOMPARE(messages.beeps, draws ? 1 : 0);
        const QByteArray store = readWholeFile(dir.filePath(QStringLiteral("Screen.txt")));
        const bool recorded = store.size() >= 242 * rawrecord::kBytes && rawrecord::cell(store, 242, 291) == 1;
        QCOMPARE(recorded, draws);
        const QColor ink = QApplication::palette().color(QPalette::ButtonText);
        QCOMPARE(window->boardView()->grab().toImage().pixelColor(290, 241) == ink, draws);
    }

    void splashIgnoresKeysWithoutACharacter_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");  // what X11 hands with the key
        QTest::newRow("Delete") << int(Qt::Key_Delete) << QStringLiteral("\x7f");
        for (const auto& [name, key] : std::initializer_list<std::pair<const char*, Qt::Key>>{
                 {"Insert", Qt::Key_Insert}, {"Home", Qt::Key_Home}, {"End", Qt::Key_End},
                 {"Page Up", Qt::Key_PageUp}, {"Page Down", Qt::Key_PageDown}, {"Ctrl", Qt::Key_Control},
                 {"AltGr", Qt::Key_AltGr}, {"Meta", Qt::Key_Meta}})
            QTest::newRow(name) << int(key) << QString();
    }
    void splashIgnoresKeysWithoutACharacter()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QPointer<frmSplash> splash = new frmSplash([](const QString&) { return QString(); }, [] {});
        splash->show();
        QTest::sendKeyEvent(QTest::Click, splash, Qt::Key(key), text, Qt::NoModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(splash && splash->isVisible());
        delete splash.data();
    }

    void splashHasAFrameButNoTitleBar()
    {
        frmSplash splash([](const QString&) { return QString(); }, [] {});
        const Qt::WindowFlags flags = splash.windowFlags();
        QCOMPARE(splash.windowType(), Qt::Tool);  // kept off the task bar
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(!(flags & (Qt::FramelessWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint)));
        QVERIFY(!(flags & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)));
    }

    void altKTakesTheHelpIndexToTheKeywordBox()
    {
        QPointer<HelpViewer> viewer = new HelpViewer;
        viewer->show();
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        viewer->tabs()->setCurrentIndex(HelpViewer::kIndexTab);
        viewer->indexList()->setFocus();
        QTest::keyClick(viewer, Qt::Key_K, Qt::AltModifier);
        QVERIFY(viewer->keywordBox()->hasFocus());
        delete viewer.data();
    }

    void toolbarIsTwentyFourPixelsHigh()
    {
        QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
        auto window = openWindow();
        QVERIFY(window);
        QToolBar* bar = window->toolbar();
        QCOMPARE(bar->height(), 24);
        QCOMPARE(bar->widgetForAction(bar->actions().constFirst())->size(), QSize(23, 22));
        QCOMPARE(window->boardView()->size(), QSize(582, 485));
        QCOMPARE(window->boardView()->y(), bar->geometry().bottom() + 1);
        QCOMPARE(window->minimumSize(), window->maximumSize());
    }

    void versionCaptionsNameTheBuild()
    {
        const QString expected = QStringLiteral("Version " NIMBOLT_EXPECTED_VERSION);
        frmAbout about;
        QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), expected);
        frmSplash splash([](const QString&) { return QString(); }, [] {});
        QCOMPARE(splash.findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), expected);
    }
};

QTEST_MAIN(WindowDetailsTest)
#include "window_details_test.moc"
