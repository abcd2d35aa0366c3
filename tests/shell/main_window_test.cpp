#include "board/row_buffer.h"
#include "platform/board_view.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <QApplication>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The main window with real key events, on the offscreen platform.
class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QString storePath() const { return dir->filePath(QStringLiteral("Screen.txt")); }
    std::unique_ptr<frmNimboltSketch> openWindow()
    {
        auto window = std::make_unique<frmNimboltSketch>(WindowServices{&messages});
        if (!window->Form_Load({dir->path()}))
            return nullptr;
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return nullptr;
        return window;
    }
    QImage grabBoard(frmNimboltSketch& window) { return window.boardView()->grab().toImage(); }
    QColor ink() const { return QApplication::palette().color(QPalette::ButtonText); }
    QColor paper() const { return QApplication::palette().color(QPalette::Button); }

    std::unique_ptr<QTemporaryDir> dir;
    RecordingMessages messages;

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        messages = {};
        NimboltSketchModule::RowBuffer = RowRecord{};
    }

    void windowIsFixedAroundTheWholeBoard()
    {
        auto window = openWindow();
        QVERIFY(window);
        QCOMPARE(window->boardView()->size(), QSize(582, 485));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(window->windowTitle(), QStringLiteral("Nimbolt Sketch"));
        // The board sits below the menu bar, not under it.
        QVERIFY(window->boardView()->geometry().top() >= window->menuBar()->geometry().bottom());
    }

    void arrowKeysPaintTheRightBoardPixel_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("pixel");
        QTest::newRow("right") << int(Qt::Key_Right) << QPoint(291, 241);
        QTest::newRow("left") << int(Qt::Key_Left) << QPoint(289, 241);
        QTest::newRow("up") << int(Qt::Key_Up) << QPoint(290, 240);
        QTest::newRow("down") << int(Qt::Key_Down) << QPoint(290, 242);
        QTest::newRow("tab re-records the centre") << int(Qt::Key_Tab) << QPoint(290, 241);
        QTest::newRow("letter re-records the centre") << int(Qt::Key_Q) << QPoint(290, 241);
    }
    void arrowKeysPaintTheRightBoardPixel()
    {
        QFETCH(int, key);
        QFETCH(QPoint, pixel);
        auto window = openWindow();
        QVERIFY(window);
        QTest::keyClick(window->boardView(), Qt::Key(key));
        const QImage shown = grabBoard(*window);
        QCOMPARE(shown.pixelColor(pixel), ink());
        QCOMPARE(shown.pixelColor(pixel + QPoint(2, 2)), paper());
        const QByteArray store = readWholeFile(storePath());
        QCOMPARE(rawrecord::cell(store, pixel.y() + 1, pixel.x() + 1), qint16(1));
        QCOMPARE(messages.beeps, key == Qt::Key_Tab || key == Qt::Key_Q ? 1 : 0);
        QVERIFY(window->boardView()->hasFocus());  // Tab did not move the focus away
    }

    // Also run with QT_SCALE_FACTOR=2: a board pixel is then a crisp 2 x 2 device square.
    void boardPixelsAreWholeDevicePixels()
    {
        auto window = openWindow();
        QVERIFY(window);
        QTest::keyClick(window->boardView(), Qt::Key_Right);
        const qreal ratio = window->boardView()->devicePixelRatioF();
        const QImage shown = window->boardView()->grab().toImage();
        QCOMPARE(shown.size(), QSize(qRound(582 * ratio), qRound(485 * ratio)));
        const int n = qRound(ratio);
        const QPoint corner(qRound(291 * ratio), qRound(241 * ratio));  // cell (292, 242)
        for (int dy = -1; dy <= n; ++dy) {
            for (int dx = -1; dx <= n; ++dx) {
                const bool inside = dx >= 0 && dx < n && dy >= 0 && dy < n;
                QCOMPARE(shown.pixelColor(corner + QPoint(dx, dy)), inside ? ink() : paper());
            }
        }
    }

    void f2ShakesTheBoardClean()
    {
        auto window = openWindow();
        QVERIFY(window);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(window->boardView(), Qt::Key_Down);
        QCOMPARE(grabBoard(*window).pixelColor(290, 245), ink());
        QTest::keyClick(window.get(), Qt::Key_F2);
        QCOMPARE(grabBoard(*window).pixelColor(290, 245), paper());
        QCOMPARE(window->board().PenY, 252);
        const QByteArray store = readWholeFile(storePath());
        QCOMPARE(store.size(), 566480);
        QCOMPARE(store.count('\0'), store.size());
        QCOMPARE(messages.beeps, 0);  // the shortcut never reached the board as a key
    }

    void closingDeletesTheStoreAndExitLeavesIt()
    {
        {
            auto window = openWindow();
            QVERIFY(window);
            QTest::keyClick(window->boardView(), Qt::Key_Right);
            QTest::keyClick(window.get(), Qt::Key_F3);
        }
        QVERIFY(QFile::exists(storePath()));
        QCOMPARE(rawrecord::cell(readWholeFile(storePath()), 242, 292), qint16(1));

        auto window = openWindow();  // the drawing left by Exit comes back
        QVERIFY(window);
        QCOMPARE(grabBoard(*window).pixelColor(291, 241), ink());
        QVERIFY(window->close());
        QVERIFY(!QFile::exists(storePath()));
        QVERIFY(!QFile::exists(storePath() + QStringLiteral(".lock")));
    }

    void aFailingStoreEndsTheProgramWithItsMessage()
    {
        auto window = openWindow();
        QVERIFY(window);
        // Row 242 lies far past a 1,000-byte file size limit: its write fails.
        auto limit = std::make_unique<FileSizeLimit>(1000);
        QVERIFY(limit->active());
        QTimer::singleShot(0, window.get(), [&] { QTest::keyClick(window->boardView(), Qt::Key_Right); });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(10000);
        const int status = QCoreApplication::exec();
        limit.reset();
        QCOMPARE(status, 1);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY2(messages.shown[0].startsWith(QStringLiteral("Could not write ")), qPrintable(messages.shown[0]));
        QVERIFY(messages.shown[0].contains(QStringLiteral("Screen.txt")));
    }

    void aSecondWindowOnTheSameStoreIsRefused()
    {
        auto first = openWindow();
        QVERIFY(first);
        frmNimboltSketch second(WindowServices{&messages});
        QVERIFY(!second.Form_Load({dir->path()}));
        QCOMPARE(messages.shown, QStringList{QStringLiteral("Nimbolt Sketch is already running.")});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
