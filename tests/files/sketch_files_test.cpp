#include "files/sketch_commands.h"
#include "support/board_rig.h"

#include <QTest>

#include <sys/file.h>

namespace {

constexpr int kGridBytes = 485 * rawrecord::kBytes;
using Answer = MessageService::SaveAnswer;

}  // namespace

// Save Sketch and Open Sketch on a scratch board; dialogs and the question answer from scripts.
class SketchFilesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<BoardRig> rig;
    ScriptedServices dialogs;
    RecordingPointer pointer;
    std::unique_ptr<SketchCommands> commands;

    QString path(const char* name) const { return rig->dir.filePath(QLatin1String(name)); }
    QStringList files() const { return QDir(rig->dir.path()).entryList(QDir::Files); }
    QPoint pen() const { return {rig->board.penX(), rig->board.penY()}; }
    void save(const QString& to)
    {
        dialogs.answers << to;
        commands->SaveSketch();
    }
    void open(const QString& from)
    {
        rig->messages.answers << Answer::Discard;  // should the board hold unsaved drawing
        dialogs.answers << from;
        commands->OpenSketch();
    }

private Q_SLOTS:
    void init()
    {
        rig = std::make_unique<BoardRig>();
        QVERIFY(rig->opened);
        dialogs = {};
        pointer = {};
        commands = std::make_unique<SketchCommands>(rig->board, dialogs, pointer, rig->messages);
    }

    // Saved over a longer file: its tail and permissions stay, and every record carries the pen.
    void savedOverALongerFileKeepsItsTail()
    {
        const QByteArray tail(600000 - kGridBytes, '\x7f');
        writeWholeFile(path("a.nsd"), QByteArray(kGridBytes, '\x01') + tail);
        QVERIFY(QFile::setPermissions(path("a.nsd"), QFile::ReadOwner | QFile::WriteOwner));
        const QFile::Permissions chosen = QFile::permissions(path("a.nsd"));
        rig->keys(kVkRight, 30);
        rig->keys(kVkUp, 20);
        save(path("a.nsd"));
        QByteArray grid = rig->storeBytes().leftJustified(kGridBytes, '\0');
        for (qsizetype at = 1164; at < kGridBytes; at += rawrecord::kBytes)
            grid.replace(at, 4, QByteArray::fromHex("4101de00"));  // every record's pen (321, 222)
        QCOMPARE(readWholeFile(path("a.nsd")), grid + tail);
        QCOMPARE(QFile::permissions(path("a.nsd")), chosen);
        rig->board.Shake();  // with the pen the save left in the row buffer
        QCOMPARE(rawrecord::field(rig->storeBytes(), 1, 1164), 321);
        commands->SaveSketch();
        QCOMPARE(dialogs.offered, path("a.nsd"));  // the sketch last saved
    }

    // Records 1 to 485 of any regular file; what it lacks reads as empty, the rest is ignored.
    void opensEachFileShape_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QPoint>("pen");
        const QByteArray empty = rawrecord::make({}, 7, 8);
        const QByteArray fifth = rawrecord::make({{5, 1}}, 100, 100);
        QTest::newRow("empty file") << QByteArray() << QPoint(1, 1);
        QTest::newRow("ten whole records, the pen from an empty one")
            << fifth.repeated(10) << QPoint(1, 1);
        QTest::newRow("partial last record") << fifth.repeated(3) + fifth.left(600) << QPoint(1, 1);
        QTest::newRow("odd cells are stored but not drawn")
            << empty.repeated(484) + rawrecord::make({{1, 2}, {2, -1}, {3, 1}}, 10, 20)
            << QPoint(10, 20);
        QTest::newRow("pen outside the board is clamped")
            << rawrecord::make({{582, 1}}, 600, -5).repeated(485) << QPoint(582, 1);
        QTest::newRow("a foreign tail after the 485th record is ignored")
            << empty.repeated(485) + rawrecord::make({{1, 1}}, 1, 1) + "tail" << QPoint(7, 8);
    }
    void opensEachFileShape()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QPoint, pen);
        rig->keys(kVkRight, 50);  // something that must go away
        writeWholeFile(path("hand.nsd"), bytes);
        open(path("hand.nsd"));
        QCOMPARE(rig->messages.errors, QStringList());
        QCOMPARE(this->pen(), pen);
        // the store holds the file's first 485 records, odd cells and all, zeros past its end
        const QByteArray grid = (bytes + QByteArray(kGridBytes, '\0')).left(kGridBytes);
        QCOMPARE(rig->storeBytes().left(kGridBytes), grid);
        QImage board(582, 485, QImage::Format_RGB32);  // only a cell holding 1 is drawn
        board.fill(Qt::lightGray);
        for (int row = 1; row <= 485; ++row)
            for (int column = 1; column <= 582; ++column)
                if (rawrecord::cell(grid, row, column) == 1)
                    board.setPixelColor(column - 1, row - 1, Qt::black);
        QCOMPARE(rig->boardImage(), board);
        commands->SaveSketch();
        QCOMPARE(dialogs.offered, path("hand.nsd"));  // the sketch last opened
    }

    // Refused with the reason (a cancel says nothing), leaving board, store, pen and folder.
    void refusedWithTheReasonAndNothingChanged_data()
    {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<QString>("target");  // a name in the scratch folder; "" cancels
        QTest::addColumn<QString>("reason");  // "" for no message
        const QString missing = QStringLiteral("No such file or directory");
        const QString notAFile = QStringLiteral("It is not a file");
        const QString store = QStringLiteral("It is the board's own screen store");
        QTest::newRow("open cancelled") << false << QString() << QString();
        QTest::newRow("open missing") << false << "gone.nsd" << missing;
        QTest::newRow("open a FIFO") << false << "fifo" << notAFile;
        QTest::newRow("save cancelled") << true << QString() << QString();
        QTest::newRow("save into a missing folder") << true << "gone/a.nsd" << missing;
        QTest::newRow("save over a link to the store") << true << "store-link" << store;
        QTest::newRow("save over a FIFO") << true << "fifo" << notAFile;
        QTest::newRow("save onto a full disk keeps the old file")
            << true << "old.nsd" << QStringLiteral("File too large");
    }
    void refusedWithTheReasonAndNothingChanged()
    {
        QFETCH(bool, saving);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0666), 0);
        QVERIFY(QFile::link(rig->store.path(), path("store-link")));
        const QByteArray old = QByteArray("an older sketch").repeated(100);
        writeWholeFile(path("old.nsd"), old);
        rig->keys(kVkRight, 12);
        const QByteArray storeBefore = rig->storeBytes();
        const QImage boardBefore = rig->boardImage();
        const QStringList filesBefore = files();
        const QString chosen = target.isEmpty() ? QString() : rig->dir.filePath(target);
        {
            const FileSizeLimit limit(100000);  // a save writes more: its write fails part-way
            saving ? save(chosen) : open(chosen);
        }
        const QString said
            = QStringLiteral("Could not %1 %2: %3.")
                  .arg(saving ? "save the sketch to" : "open the sketch", chosen, reason);
        QCOMPARE(rig->messages.errors, reason.isEmpty() ? QStringList() : QStringList{said});
        const std::vector busy{MousePointer::Hourglass, MousePointer::Default};
        QCOMPARE(pointer.shapes, saving && !target.isEmpty() ? busy : decltype(busy){});
        QCOMPARE(rig->storeBytes(), storeBefore);
        QCOMPARE(rig->boardImage(), boardBefore);
        QCOMPARE(pen(), QPoint(303, 242));
        QCOMPARE(files(), filesBefore);
        QCOMPARE(readWholeFile(path("old.nsd")), old);
    }

    // What a killed save left beside the file a link leads to goes at the next save; look-alikes,
    // names a user would type, a link, a file a running save holds and someone else's stay.
    void leftoverOfAKilledSaveIsRemoved()
    {
        QVERIFY(QFile::link(path("a.nsd"), path("link.nsd")));
        QVERIFY(QFile::link(QCoreApplication::applicationFilePath(), path("a.nsd.LiNkqw")));
        for (const char* name : {"a.nsd.AbxdEq", "a.nsd.AbxdEqx", "xa.nsd.AbxdEq", "a.nsd.Ab3dE9",
                                 "a.nsd.backup", "a.nsd.Before", "a.nsd.HeLdqw", "a.nsd.TheIrs"})
            writeWholeFile(path(name), "x");
        QFile held(path("a.nsd.HeLdqw"));
        QCOMPARE(held.open(QIODevice::ReadOnly) ? ::flock(held.handle(), LOCK_EX) : -1, 0);
        const QByteArray theirs = QFile::encodeName(path("a.nsd.TheIrs"));
        const bool givenAway = ::chown(theirs.constData(), 65534, 65534) == 0;  // as root
        save(path("link.nsd"));
        QStringList kept{"a.nsd",        "a.nsd.Ab3dE9", "a.nsd.AbxdEqx", "a.nsd.backup",
                         "a.nsd.Before", "a.nsd.HeLdqw", "a.nsd.LiNkqw",  "a.nsd.TheIrs",
                         "link.nsd",     "xa.nsd.AbxdEq"};
        if (!givenAway)
            kept.removeOne("a.nsd.TheIrs");  // ours after all
        QCOMPARE(files(), kept);
    }

    // Drawing made since the board was last blank, saved or opened is never lost unasked.
    void asksBeforeDrawingIsLost_data()
    {
        QTest::addColumn<QString>("board");  // what happened to it; asked only when "drawn"
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveTo");  // what the Save dialog answers; "" cancels
        QTest::addColumn<bool>("goesOn");
        const int save = int(Answer::Save);
        const int cancel = int(Answer::Cancel);
        QTest::newRow("re-marked after saving") << "re-marked" << cancel << "" << true;
        QTest::newRow("shaken") << "shaken" << cancel << "" << true;
        QTest::newRow("drawn, Save") << "drawn" << save << "kept.nsd" << true;
        QTest::newRow("drawn, Save cancelled") << "drawn" << save << "" << false;
        QTest::newRow("drawn, Save fails") << "drawn" << save << "gone/kept.nsd" << false;
    }
    void asksBeforeDrawingIsLost()
    {
        QFETCH(QString, board);
        QFETCH(int, answer);
        QFETCH(QString, saveTo);
        QFETCH(bool, goesOn);
        rig->keys(kVkRight, 3);
        if (board == QLatin1String("re-marked")) {
            save(path("s.nsd"));
            rig->board.Form_KeyDown(0);  // beeps and marks the pen's cell again
        } else if (board == QLatin1String("shaken")) {
            rig->board.Shake();
        }
        rig->messages.answers << Answer(answer);
        dialogs.answers << (saveTo.isEmpty() ? QString() : rig->dir.filePath(saveTo));
        QCOMPARE(commands->mayLoseDrawing(SketchCommands::kBeforeClosing), goesOn);
        const QStringList question{SketchCommands::kBeforeClosing};
        QCOMPARE(rig->messages.asked, board == QLatin1String("drawn") ? question : QStringList());
        QCOMPARE(QFile::exists(path("kept.nsd")), saveTo == QLatin1String("kept.nsd"));
        QCOMPARE(rig->board.hasUnsavedDrawing(), !goesOn);
    }
};

QTEST_GUILESS_MAIN(SketchFilesTest)
#include "sketch_files_test.moc"
