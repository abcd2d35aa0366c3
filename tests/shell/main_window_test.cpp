#include "board/row_buffer.h"
#include "platform/board_view.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

// The main window on the offscreen platform with real key and mouse events; its dialogs,
// printer and help are a recorder that cancels everything.
class MainWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    RecordingMessages messages;
    ScriptedServices services;
    std::unique_ptr<frmNimboltSketch> window;

    QString storePath() const { return dir->filePath(QStringLiteral("Screen.txt")); }
    QByteArray store() const { return QFile::exists(storePath()) ? readWholeFile(storePath()) : QByteArray(); }
    bool openWindow()
    {
        window = std::make_unique<frmNimboltSketch>(WindowServices{&messages, &services, &services, nullptr, &services});
        if (!window->Form_Load({dir->path()}))
            return false;
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    static QColor ink() { return QApplication::palette().color(QPalette::ButtonText); }
    static QColor paper() { return QApplication::palette().color(QPalette::Button); }

private Q_SLOTS:
    void init()
    {
        window.reset();
        dir = std::make_unique<QTemporaryDir>();
        messages = {};
        services.calls.clear();
        NimboltSketchModule::RowBuffer = RowRecord{};
        QVERIFY(openWindow());
    }

    void wholeBoardShowsBelowTheToolbar()
    {
        QToolBar* bar = window->toolbar();
        const QRect board(window->boardView()->mapTo(window.get(), QPoint(0, 0)), window->boardView()->size());
        QCOMPARE(board.size(), QSize(582, 485));
        QVERIFY(board.top() > bar->mapTo(window.get(), QPoint(0, bar->height() - 1)).y());
        QVERIFY(window->rect().contains(board));
        for (QAction* a : bar->actions())
            QVERIFY(a->isSeparator() || !a->icon().isNull());  // the pictures are built in
    }

    void keysPaintTheRightBoardPixel_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("pixel");
        QTest::newRow("right") << int(Qt::Key_Right) << QPoint(291, 241);
        QTest::newRow("left") << int(Qt::Key_Left) << QPoint(289, 241);
        QTest::newRow("up") << int(Qt::Key_Up) << QPoint(290, 240);
        QTest::newRow("down") << int(Qt::Key_Down) << QPoint(290, 242);
        QTest::newRow("Tab beeps and stays on the board") << int(Qt::Key_Tab) << QPoint(290, 241);
        QTest::newRow("letter beeps") << int(Qt::Key_Q) << QPoint(290, 241);
    }
    // Also run with QT_SCALE_FACTOR=2: a board pixel is then a crisp 2 x 2 device square.
    void keysPaintTheRightBoardPixel()
    {
        QFETCH(int, key);
        QFETCH(QPoint, pixel);
        QTest::keyClick(window->boardView(), Qt::Key(key));
        const int n = qRound(window->boardView()->devicePixelRatioF());
        const QImage image = window->boardView()->grab().toImage();
        QCOMPARE(image.size(), QSize(582, 485) * n);
        for (int dy = -1; dy <= n; ++dy)
            for (int dx = -1; dx <= n; ++dx)
                QCOMPARE(image.pixelColor(pixel * n + QPoint(dx, dy)), dx >= 0 && dx < n && dy >= 0 && dy < n ? ink() : paper());
        QCOMPARE(messages.beeps, key == Qt::Key_Tab || key == Qt::Key_Q ? 1 : 0);
        QVERIFY(window->boardView()->hasFocus());
    }

    void commandsRunOnceFromTheirKeyMenuOrButton_data()
    {
        QTest::addColumn<QString>("trigger");  // a key sequence, "button KEY" or a menu item's name
        QTest::addColumn<QString>("call");     // what the recorder saw, "" for Shake
        const char* toc = "toc Nimbolt Sketch Help.chm Welcome.htm";
        for (auto [trigger, call] : {std::pair{"F2", ""}, {"button Shake", ""}, {"Ctrl+O", "open"}, {"button Open", "open"},
                                     {"Ctrl+S", "save"}, {"button Save", "save"}, {"Ctrl+P", "print"}, {"button Print", "print"},
                                     {"F1", toc}, {"button Help", toc}, {"mnuIndex", "index Nimbolt Sketch Help.chm"},
                                     {"mnuNimbolt", "web https://www.nimbolt.example/"}, {"mnuAbout", "about"}})
            QTest::newRow(trigger) << QString::fromLatin1(trigger) << QString::fromLatin1(call);
    }
    void commandsRunOnceFromTheirKeyMenuOrButton()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, call);
        QTest::keyClick(window->boardView(), Qt::Key_Right);
        QTimer::singleShot(0, this, [this] {  // the About box is modal over the window
            if (auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget()); box && box->parent() == window.get())
                services.calls << QStringLiteral("about"), box->reject();
        });
        if (trigger.startsWith(QLatin1String("button "))) {
            for (QAction* a : window->toolbar()->actions())
                if (a->property("Key").toString() == trigger.mid(7))
                    QTest::mouseClick(window->toolbar()->widgetForAction(a), Qt::LeftButton);
        } else if (trigger.startsWith(QLatin1String("mnu"))) {
            window->findChild<QAction*>(trigger)->trigger();
        } else {
            const QKeyCombination key = QKeySequence(trigger)[0];
            QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
        }
        QCOMPARE(services.calls, call.isEmpty() ? QStringList() : QStringList{call});
        const QByteArray bytes = store();
        QCOMPARE(bytes.size(), (call.isEmpty() ? 485 : 242) * rawrecord::kBytes);
        QCOMPARE(bytes.count('\0') == bytes.size(), call.isEmpty());  // Shake cleared the drawing
        QCOMPARE(messages.beeps, 0);  // no shortcut reached the board as a key
        QVERIFY(!call.startsWith(QLatin1String("toc")) || services.helpFile.endsWith("/Help/Nimbolt Sketch Help.chm"));
    }

    void exitLeavesTheDrawingForTheNextStartAndClosingDeletesIt()
    {
        QTest::keyClick(window->boardView(), Qt::Key_Right);
        QTest::keyClick(window.get(), Qt::Key_F3);
        window.reset();
        QVERIFY(openWindow());
        QCOMPARE(window->boardView()->grab().toImage().pixelColor(291, 241), ink());
        QVERIFY(window->close());
        QVERIFY(!QFile::exists(storePath()));
    }

    void aFailingStoreEndsTheProgramWithItsMessage()
    {
        auto limit = std::make_unique<FileSizeLimit>(1000);  // row 242 lies far beyond: its write fails
        QVERIFY(limit->active());
        QTimer::singleShot(0, window.get(), [&] { QTest::keyClick(window->boardView(), Qt::Key_Right); });
        QTimer::singleShot(10000, window.get(), [] { QCoreApplication::exit(99); });
        const int status = QCoreApplication::exec();
        limit.reset();
        QCOMPARE(status, 1);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].startsWith("Could not write ") && messages.shown[0].contains("Screen.txt"),
                 qPrintable(messages.shown[0]));
    }

    void aSecondWindowOnTheSameStoreIsRefused()
    {
        frmNimboltSketch second(WindowServices{&messages});
        QVERIFY(!second.Form_Load({dir->path()}));
        QCOMPARE(messages.shown, QStringList{"Nimbolt Sketch is already running."});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
