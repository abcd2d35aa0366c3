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
    static QWidget* firstButton(QToolBar* bar) { return bar->widgetForAction(bar->actions().constFirst()); }
    static frmSplash* newSplash() { return new frmSplash([](const QString&) { return QString(); }, [] {}); }

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
        QTest::addColumn<int>("part");
        int part = 0;
        for (const char* name : {"menu bar", "toolbar", "toolbar button", "board", "window"})
            QTest::newRow(name) << part++;
    }
    void rightClickOpensNoPopup()
    {
        QFETCH(int, part);
        auto window = openWindow();
        QVERIFY(window);
        bool popped = false;
        QTimer::singleShot(0, [&popped] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popped = true;
                popup->close();
            }
        });
        QToolBar* bar = window->toolbar();
        QWidget* target = std::array<QWidget*, 5>{window->menuBar(), bar, firstButton(bar), window->boardView(),
                                                  window.get()}[std::size_t(part)];
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), target->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(target, &click);
        QTest::qWait(10);
        QVERIFY2(!popped, "a context menu opened");
        QVERIFY(bar->isVisible() && !bar->isMovable() && !bar->isFloatable() && !bar->toggleViewAction()->isVisible());
    }

    void onlyRealKeysDraw_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("draws");
        for (const auto& [name, key, draws] : std::initializer_list<std::tuple<const char*, Qt::Key, bool>>{
                 {"Shift", Qt::Key_Shift, false}, {"Ctrl", Qt::Key_Control, false}, {"Alt", Qt::Key_Alt, false},
                 {"AltGr", Qt::Key_AltGr, false}, {"Meta", Qt::Key_Meta, false}, {"Super", Qt::Key_Super_L, false},
                 {"Caps Lock", Qt::Key_CapsLock, true}, {"Insert", Qt::Key_Insert, true}, {"Space", Qt::Key_Space, true}})
            QTest::newRow(name) << int(key) << draws;
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
        QCOMPARE(store.size() >= 242 * rawrecord::kBytes && rawrecord::cell(store, 242, 291) == 1, draws);
        const QColor shown = window->boardView()->grab().toImage().pixelColor(290, 241);
        QCOMPARE(shown == QApplication::palette().color(QPalette::ButtonText), draws);
    }

    void splashIgnoresKeysWithoutACharacter_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");  // what X11 hands with the key
        for (const auto& [name, key, text] : std::initializer_list<std::tuple<const char*, Qt::Key, const char*>>{
                 {"Delete", Qt::Key_Delete, "\x7f"}, {"Insert", Qt::Key_Insert, ""}, {"Home", Qt::Key_Home, ""},
                 {"End", Qt::Key_End, ""}, {"Page Up", Qt::Key_PageUp, ""}, {"Page Down", Qt::Key_PageDown, ""},
                 {"Ctrl", Qt::Key_Control, ""}, {"AltGr", Qt::Key_AltGr, ""}, {"Meta", Qt::Key_Meta, ""}})
            QTest::newRow(name) << int(key) << QString::fromLatin1(text);
    }
    void splashIgnoresKeysWithoutACharacter()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QPointer<frmSplash> splash = newSplash();
        splash->show();
        QTest::sendKeyEvent(QTest::Click, splash, Qt::Key(key), text, Qt::NoModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(splash && splash->isVisible());
        delete splash.data();
    }

    void splashHasAFrameButNoTitleBar()
    {
        std::unique_ptr<frmSplash> splash(newSplash());
        const Qt::WindowFlags flags = splash->windowFlags();
        QCOMPARE(splash->windowType(), Qt::Tool);  // kept off the task bar
        QVERIFY(flags & Qt::CustomizeWindowHint);  // a thin frame, not none
        QVERIFY(!(flags & (Qt::FramelessWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)));
    }

    void altKTakesTheHelpIndexToTheKeywordBox()
    {
        auto viewer = std::make_unique<HelpViewer>();
        viewer->show();
        QVERIFY(QTest::qWaitForWindowActive(viewer.get()));
        viewer->tabs()->setCurrentIndex(HelpViewer::kIndexTab);
        viewer->indexList()->setFocus();
        QTest::keyClick(viewer.get(), Qt::Key_K, Qt::AltModifier);
        QVERIFY(viewer->keywordBox()->hasFocus());
    }

    void toolbarIsTwentyFourPixelsHigh()
    {
        QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
        auto window = openWindow();
        QVERIFY(window);
        QToolBar* bar = window->toolbar();
        QCOMPARE(bar->height(), 24);
        QCOMPARE(firstButton(bar)->size(), QSize(23, 22));
        QCOMPARE(window->boardView()->size(), QSize(582, 485));
        QCOMPARE(window->boardView()->y(), bar->geometry().bottom() + 1);
    }

    void versionCaptionsNameTheBuild()
    {
        const QString expected = QStringLiteral("Version " NIMBOLT_EXPECTED_VERSION);
        std::unique_ptr<QWidget> about(new frmAbout), splash(newSplash());
        for (QWidget* window : {about.get(), splash.get()})
            QCOMPARE(window->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), expected);
    }
};

QTEST_MAIN(WindowDetailsTest)
#include "window_details_test.moc"
