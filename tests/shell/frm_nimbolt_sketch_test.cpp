#include "board/row_buffer.h"
#include "platform/board_view.h"
#include "shell/frm_about.h"
#include "shell/frm_nimbolt_sketch.h"
#include "support/test_support.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QToolBar>

// The main window on the offscreen platform; its dialogs, printer and help record and cancel.
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
        window = std::make_unique<frmNimboltSketch>(
            WindowServices{&messages, &services, &services, nullptr, &services});
        QVERIFY(window->Form_Load({dir->path()}));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void toolbarIsItsDesignedHeightAboveTheBoard()
    {
        QCOMPARE(window->toolbar()->height(), 24);
        QCOMPARE(window->boardView()->y(), window->toolbar()->geometry().bottom() + 1);
    }

    // Keys other than arrows (the end-to-end tests type those); also run with QT_SCALE_FACTOR=2,
    // where a board pixel is a crisp 2 x 2 device square.
    void keysPaintTheRightBoardPixel_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("inked");  // a dot where the pen stands, and a beep
        QTest::newRow("Tab stays on the board") << int(Qt::Key_Tab) << true;
        QTest::newRow("a modifier alone") << int(Qt::Key_Shift) << false;
    }
    void keysPaintTheRightBoardPixel()
    {
        QFETCH(int, key);
        QFETCH(bool, inked);
        QTest::sendKeyEvent(QTest::Click, window->boardView(), Qt::Key(key), QString(),
                            Qt::NoModifier);
        const int n = qRound(window->boardView()->devicePixelRatioF());
        const QImage image = window->boardView()->grab().toImage();
        QCOMPARE(image.size(), QSize(582, 485) * n);
        const QPoint pen(290, 241);  // the pixel of cell (291, 242)
        for (int dy = -1; dy <= n; ++dy)
            for (int dx = -1; dx <= n; ++dx)
                QCOMPARE(image.pixelColor(pen * n + QPoint(dx, dy)),
                         inked && dx >= 0 && dx < n && dy >= 0 && dy < n ? ink() : paper());
        const QByteArray bytes = store().leftJustified(485 * rawrecord::kBytes, '\0');
        QCOMPARE(rawrecord::cell(bytes, 242, 291), inked ? 1 : 0);
        QCOMPARE(messages.beeps, inked ? 1 : 0);
        QVERIFY(window->boardView()->hasFocus());
    }

    // The shortcuts of Shake, Open, Save and Print are the keys a real process is driven with.
    void commandsRunOnceFromTheirKeyMenuOrButton_data()
    {
        QTest::addColumn<QString>("trigger");  // a key, "button NAME" or a menu item's name
        QTest::addColumn<QString>("call");  // what the recorder saw, "" for Shake
        const char* toc = "toc Nimbolt Sketch Help.chm Welcome.htm";
        for (auto [trigger, call] : {std::pair{"button Shake", ""},
                                     {"button Open Sketch", "open"},
                                     {"button Save Sketch", "save"},
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
            auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            if (box && box->parent() == window.get()) {
                services.calls << QStringLiteral("about");
                box->reject();
            }
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
            QTest::keyClick(window.get(), Qt::Key_F1);
        }
        QCOMPARE(services.calls, call.isEmpty() ? QStringList() : QStringList{call});
        const QByteArray bytes = store();
        QCOMPARE(bytes.size(), (call.isEmpty() ? 485 : 242) * rawrecord::kBytes);
        QCOMPARE(bytes.count('\0') == bytes.size(), call.isEmpty());  // Shake cleared the drawing
        QCOMPARE(messages.beeps, 0);  // no command reached the board as a key
        if (call.startsWith(QLatin1String("toc")))
            QVERIFY(services.helpFile.endsWith("/Help/Nimbolt Sketch Help.chm"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "frm_nimbolt_sketch_test.moc"
