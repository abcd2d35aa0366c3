#include "board/row_buffer.h"
#include "platform/board_view.h"
#include "shell/frm_about.h"
#include "shell/frm_nimbolt_sketch.h"
#include "support/test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenuBar>
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
    QByteArray store() const
    {
        return QFile::exists(storePath()) ? readWholeFile(storePath()) : QByteArray();
    }
    bool openWindow()
    {
        window = std::make_unique<frmNimboltSketch>(
            WindowServices{&messages, &services, &services, nullptr, &services});
        if (!window->Form_Load({dir->path()}))
            return false;
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    QString description() const  // what a screen reader hears of the board
    {
        return QAccessible::queryAccessibleInterface(window->boardView())
            ->text(QAccessible::Description);
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

    void toolbarSitsOnTheWholeBoardAndNoPartOpensAPopup()
    {
        QToolBar* bar = window->toolbar();
        QWidget* button = bar->widgetForAction(bar->actions().constFirst());
        QCOMPARE(bar->height(), 24);
        QCOMPARE(button->size(), QSize(23, 22));
        const QRect board = window->boardView()->geometry();
        QCOMPARE(board.size(), QSize(582, 485));
        QCOMPARE(board.top(), bar->geometry().bottom() + 1);
        QVERIFY(window->rect().contains(board));
        for (QAction* a : bar->actions())
            QVERIFY(a->isSeparator() || !a->icon().isNull());  // the pictures are built in
        bool popped = false;
        QTimer watch;  // a context menu runs its own event loop: note and close any popup
        watch.callOnTimeout([&popped] {
            if (QWidget* popup = QApplication::activePopupWidget())
                popped = true, popup->close();
        });
        watch.start(0);
        for (QWidget* part :
             QList<QWidget*>{window->menuBar(), bar, button, window->boardView(), window.get()}) {
            QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2),
                                    part->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(part, &click);
            QTest::qWait(10);
            QVERIFY2(!popped, part->metaObject()->className());
        }
        QVERIFY(bar->isVisible() && !bar->isMovable() && !bar->isFloatable()
                && !bar->toggleViewAction()->isVisible());
    }

    void keysPaintTheRightBoardPixel_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("pixel");  // the one pixel inked; null for none
        QTest::addColumn<int>("beeps");
        for (auto [name, key, pixel] : {std::tuple{"right", Qt::Key_Right, QPoint(291, 241)},
                                        {"left", Qt::Key_Left, QPoint(289, 241)},
                                        {"up", Qt::Key_Up, QPoint(290, 240)},
                                        {"down", Qt::Key_Down, QPoint(290, 242)}})
            QTest::newRow(name) << int(key) << pixel << 0;
        for (auto [name, key] : {std::pair{"Tab stays on the board", Qt::Key_Tab},
                                 {"letter", Qt::Key_Q},
                                 {"Caps Lock", Qt::Key_CapsLock},
                                 {"Insert", Qt::Key_Insert},
                                 {"Space", Qt::Key_Space}})
            QTest::newRow(name) << int(key) << QPoint(290, 241)
                                << 1;  // a dot where the pen stands, and a beep
        for (auto [name, key] : {std::pair{"Shift", Qt::Key_Shift},
                                 {"Ctrl", Qt::Key_Control},
                                 {"Alt", Qt::Key_Alt},
                                 {"AltGr", Qt::Key_AltGr},
                                 {"Meta", Qt::Key_Meta},
                                 {"Super", Qt::Key_Super_L}})
            QTest::newRow(name) << int(key) << QPoint() << 0;  // a modifier alone does nothing
    }
    // Also run with QT_SCALE_FACTOR=2: a board pixel is then a crisp 2 x 2 device square.
    void keysPaintTheRightBoardPixel()
    {
        QFETCH(int, key);
        QFETCH(QPoint, pixel);
        QFETCH(int, beeps);
        QTest::sendKeyEvent(QTest::Click, window->boardView(), Qt::Key(key), QString(),
                            Qt::NoModifier);
        const int n = qRound(window->boardView()->devicePixelRatioF());
        const QImage image = window->boardView()->grab().toImage();
        QCOMPARE(image.size(), QSize(582, 485) * n);
        const QPoint at
            = pixel.isNull() ? QPoint(290, 241) : pixel;  // a modifier leaves the pen's pixel blank
        for (int dy = -1; dy <= n; ++dy)
            for (int dx = -1; dx <= n; ++dx)
                QCOMPARE(image.pixelColor(at * n + QPoint(dx, dy)),
                         !pixel.isNull() && dx >= 0 && dx < n && dy >= 0 && dy < n ? ink()
                                                                                   : paper());
        QCOMPARE(store().size() > at.y() * rawrecord::kBytes
                     && rawrecord::cell(store(), at.y() + 1, at.x() + 1) == 1,
                 !pixel.isNull());
        QCOMPARE(messages.beeps, beeps);
        QCOMPARE(description(),
                 QStringLiteral("Pen at column %1, row %2").arg(at.x() + 1).arg(at.y() + 1));
        QVERIFY(key == Qt::Key_Alt
                || window->boardView()->hasFocus());  // Alt alone goes to the menu bar
    }

    void openSketchTellsAScreenReaderThePenFromTheFile()
    {
        const QString sketch = dir->filePath(QStringLiteral("pen.nsd"));
        writeWholeFile(sketch, rawrecord::make({}, 300, 200).repeated(485));
        services.answers = {sketch};
        window->findChild<QAction*>("mnuOpen")->trigger();
        QCOMPARE(description(), "Pen at column 300, row 200");
    }

    void commandsRunOnceFromTheirKeyMenuOrButton_data()
    {
        QTest::addColumn<QString>(
            "trigger");  // a key sequence, "button NAME" or a menu item's name
        QTest::addColumn<QString>("call");  // what the recorder saw, "" for Shake
        const char* toc = "toc Nimbolt Sketch Help.chm Welcome.htm";
        for (auto [trigger, call] : {std::pair{"F2", ""},
                                     {"button Shake", ""},
                                     {"Ctrl+O", "open"},
                                     {"button Open Sketch", "open"},
                                     {"Ctrl+S", "save"},
                                     {"button Save Sketch", "save"},
                                     {"Ctrl+P", "print"},
                                     {"button Print", "print"},
                                     {"F1", toc},
                                     {"button Help", toc},
                                     {"mnuIndex", "index Nimbolt Sketch Help.chm"},
                                     {"mnuNimbolt", "web https://www.nimbolt.example/"},
                                     {"mnuAbout", "about"}})
            QTest::newRow(trigger) << QString::fromLatin1(trigger) << QString::fromLatin1(call);
    }
    void commandsRunOnceFromTheirKeyMenuOrButton()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, call);
        QTest::keyClick(window->boardView(), Qt::Key_Right);
        messages.answers = {MessageService::SaveAnswer::Discard};  // Open asks about the drawing
        QTimer::singleShot(0, this, [this] {  // the About box is modal over the window
            if (auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
                box && box->parent() == window.get())
                services.calls << QStringLiteral("about"), box->reject();
        });
        if (trigger.startsWith(QLatin1String("button "))) {
            for (QAction* a : window->toolbar()->actions()) {
                QWidget* button = window->toolbar()->widgetForAction(a);
                if (QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name)
                    == trigger.mid(7))
                    QTest::mouseClick(button, Qt::LeftButton);
            }
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
        QVERIFY(!call.startsWith(QLatin1String("toc"))
                || services.helpFile.endsWith("/Help/Nimbolt Sketch Help.chm"));
    }

    void exitLeavesTheDrawingForTheNextStartASecondWindowIsRefusedAndClosingDeletesIt()
    {
        QTest::keyClick(window->boardView(), Qt::Key_Right);
        QTest::keyClick(window.get(), Qt::Key_F3);
        window.reset();
        QVERIFY(openWindow());
        QCOMPARE(window->boardView()->grab().toImage().pixelColor(291, 241), ink());
        frmNimboltSketch second(WindowServices{&messages});
        QVERIFY(!second.Form_Load({dir->path()}));
        QCOMPARE(messages.errors, QStringList{"Nimbolt Sketch is already running."});
        // the restored drawing is not dropped unasked: Cancel keeps window and store
        messages.answers
            = {MessageService::SaveAnswer::Cancel, MessageService::SaveAnswer::Discard};
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QVERIFY(QFile::exists(storePath()));
        QVERIFY(window->close());
        QCOMPARE(messages.asked.size(), 2);
        QVERIFY(!QFile::exists(storePath()));
    }

    void aFailingStoreEndsTheProgramWithItsMessage()
    {
        auto limit
            = std::make_unique<FileSizeLimit>(1000);  // row 242 lies far beyond: its write fails
        QVERIFY(limit->active());
        QTimer::singleShot(0, window.get(),
                           [&] { QTest::keyClick(window->boardView(), Qt::Key_Right); });
        QTimer::singleShot(10000, window.get(), [] { QCoreApplication::exit(99); });
        const int status = QCoreApplication::exec();
        limit.reset();
        QCOMPARE(status, 1);
        QCOMPARE(messages.errors.size(), 1);
        QVERIFY2(messages.errors[0].startsWith("Could not write ")
                     && messages.errors[0].contains("Screen.txt"),
                 qPrintable(messages.errors[0]));
    }
};

QTEST_MAIN(MainWindowTest)
#include "frm_nimbolt_sketch_test.moc"
