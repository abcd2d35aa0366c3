#include "platform/board_view.h"
#include "platform/sketch_dialogs.h"
#include "shell/about_box.h"
#include "shell/help_service.h"
#include "shell/main_window.h"
#include "support/test_support.h"

#include <QApplication>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// Counts what the commands asked for; every dialog is cancelled.
class CountingServices : public SketchDialogs, public PagePrinter, public HelpService {
public:
    std::optional<QString> ShowSave() override { return calls << QStringLiteral("save"), std::nullopt; }
    std::optional<QString> ShowOpen() override { return calls << QStringLiteral("open"), std::nullopt; }
    bool ShowPrinter() override { return calls << QStringLiteral("print"), false; }
    void printPage(const QImage&) override { calls << QStringLiteral("printed"); }
    void displayToc(const QString& file, const QString& topic) override
    {
        calls << QStringLiteral("toc %1 %2").arg(QFileInfo(file).fileName(), topic);
        helpFile = file;
    }
    void displayIndex(const QString& file) override { calls << QStringLiteral("index %1").arg(QFileInfo(file).fileName()); }
    void hyperJump(const QString& url) override { calls << QStringLiteral("web %1").arg(url); }
    QStringList calls;
    QString helpFile;
};

// A menu or toolbar as one line per entry: "caption|shortcut", "-" for a separator.
QStringList describe(const QList<QAction*>& actions)
{
    QStringList lines;
    for (QAction* a : actions)
        lines << (a->isSeparator() ? QStringLiteral("-")
                                   : a->text() + QLatin1Char('|') + a->shortcut().toString(QKeySequence::PortableText));
    return lines;
}

} // namespace

class MainWindowCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    RecordingMessages messages;
    CountingServices services;
    std::unique_ptr<frmNimboltSketch> window;

    QMenu* menu(const char* name) { return window->findChild<QMenu*>(QLatin1String(name)); }
    QByteArray store() { return readWholeFile(dir->filePath(QStringLiteral("Screen.txt"))); }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        services.calls.clear();
        window = std::make_unique<frmNimboltSketch>(WindowServices{&messages, &services, &services, nullptr, &services});
        QVERIFY(window->Form_Load({dir->path()}));
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup() { window.reset(); }

    void menusMatchTheDesign()
    {
        QCOMPARE(describe(window->menuBar()->actions()), QStringList({"&Game|", "&Help|"}));
        QCOMPARE(describe(menu("mnuGame")->actions()),
                 QStringList({"&Shake|F2", "-", "&Open Sketch...|Ctrl+O", "&Save Sketch...|Ctrl+S", "-",
                              "&Print...|Ctrl+P", "-", "E&xit|F3"}));
        QCOMPARE(describe(menu("mnuHelp")->actions()),
                 QStringList({"&Contents|F1", "&Index|", "Nimbolt Software on the Web|", "&About...|"}));
    }

    void toolbarMatchesTheDesignAndSitsAboveTheBoard()
    {
        QToolBar* bar = window->toolbar();
        QStringList entries;
        for (QAction* a : bar->actions()) {
            entries << (a->isSeparator() ? QStringLiteral("-")
                                         : a->property("Key").toString() + QLatin1Char('|') + a->toolTip());
            if (!a->isSeparator()) {
                QCOMPARE(bar->widgetForAction(a)->size(), QSize(23, 22));
                QVERIFY(!a->icon().isNull());
                QVERIFY(a->text().isEmpty() || static_cast<QToolButton*>(bar->widgetForAction(a))->toolButtonStyle()
                                                   == Qt::ToolButtonIconOnly);
            }
        }
        QCOMPARE(entries, QStringList({"Shake|Shake", "Open|Open Sketch", "Save|Save Sketch", "-", "Print|Print", "-",
                                       "Help|Help", "-"}));
        QVERIFY(!bar->isMovable());
        const QRect barRect(bar->mapTo(window.get(), QPoint(0, 0)), bar->size());
        const QRect boardRect(window->boardView()->mapTo(window.get(), QPoint(0, 0)), window->boardView()->size());
        QVERIFY(barRect.bottom() < boardRect.top());
        QCOMPARE(boardRect.size(), QSize(582, 485));
    }

    void eachToolbarButtonRunsExactlyItsCommandOnce_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Open") << "Open" << QStringList{"open"};
        QTest::newRow("Save") << "Save" << QStringList{"save"};
        QTest::newRow("Print") << "Print" << QStringList{"print"};
        QTest::newRow("Help") << "Help" << QStringList{"toc Nimbolt Sketch Help.chm Welcome.htm"};
        QTest::newRow("Shake") << "Shake" << QStringList{};
    }
    void eachToolbarButtonRunsExactlyItsCommandOnce()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, expected);
        QTest::keyClick(window->boardView(), Qt::Key_Right);
        QAction* button = nullptr;
        for (QAction* a : window->toolbar()->actions())
            if (a->property("Key").toString() == key)
                button = a;
        QVERIFY(button);
        QTest::mouseClick(window->toolbar()->widgetForAction(button), Qt::LeftButton);
        QCOMPARE(services.calls, expected);
        QCOMPARE(store().size(), key == QLatin1String("Shake") ? 566480 : 242 * 1168);
        QVERIFY(messages.shown.isEmpty());
    }

    void aKeyThatMatchesNoneRunsNothing()
    {
        QAction stray(QStringLiteral("stray"));
        for (const char* key : {"shake", "OPEN", "", "Help "}) {
            stray.setProperty("Key", QLatin1String(key));
            window->Toolbar1_ButtonClick(&stray);
        }
        QVERIFY(services.calls.isEmpty());
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("Screen.txt"))) || store().isEmpty());
    }

    void menuShortcutsReachTheirCommands()
    {
        for (auto key : {Qt::Key_F1}) {
            QTest::keyClick(window.get(), key);
        }
        QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
        menu("mnuHelp")->actions().at(1)->trigger();
        menu("mnuHelp")->actions().at(2)->trigger();
        QCOMPARE(services.calls, QStringList({"toc Nimbolt Sketch Help.chm Welcome.htm", "open", "save", "print",
                                              "index Nimbolt Sketch Help.chm", "web https://www.nimbolt.example/"}));
        QVERIFY(services.helpFile.endsWith(QStringLiteral("/Help/Nimbolt Sketch Help.chm")));
        QCOMPARE(messages.beeps, 0);
    }

    void sharedAccessKeyMovesTheSelectionInsteadOfRunning()
    {
        QMenu* game = menu("mnuGame");
        game->popup(window->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(game));
        QTest::keyClick(game, Qt::Key_S);
        QCOMPARE(game->activeAction()->objectName(), QStringLiteral("mnuShake"));
        QTest::keyClick(game, Qt::Key_S);
        QCOMPARE(game->activeAction()->objectName(), QStringLiteral("mnuSave"));
        QVERIFY(game->isVisible());
        QVERIFY(services.calls.isEmpty());
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("Screen.txt"))) || store().isEmpty());
        game->hide();
    }

    void aboutBoxIsModalAndTheBoardTakesNoKeysMeanwhile()
    {
        bool sawBox = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            sawBox = box && box->parent() == window.get() && box->isModal();
            // Through the window system, as a real key arrives: the modal box blocks it.
            QTest::keyClick(window->windowHandle(), Qt::Key_Right);
            if (box)
                QTest::keyClick(box, Qt::Key_Escape);
        });
        window->mnuAbout_Click();
        QVERIFY(sawBox);
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("Screen.txt"))) || store().isEmpty());
        QTest::keyClick(window->windowHandle(), Qt::Key_Right);  // and afterwards it draws again
        QCOMPARE(rawrecord::cell(store(), 242, 292), qint16(1));
    }
};

QTEST_MAIN(MainWindowCommandsTest)
#include "main_window_commands_test.moc"
