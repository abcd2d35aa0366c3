#include "board/screen_store.h"
#include "support/test_support.h"

#include <QTest>

#include <unistd.h>

// The screen store in a scratch folder: what it keeps, and what others planted where it would go.
class ScreenStoreTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir;
    ScreenStore store;

    QString storePath() const { return dir->filePath(QStringLiteral("Screen.txt")); }

private Q_SLOTS:
    void init()
    {
        store.close();
        dir = std::make_unique<QTemporaryDir>();
    }

    // What an earlier run left is kept; a partial record reads padded with zeros.
    void keepsWhatItHoldsAndReadsAPartialRecordPadded()
    {
        const QByteArray old = rawrecord::make({{1, 1}}, 3, 4) + QByteArray(100, '\x01');
        writeWholeFile(storePath(), old);
        QCOMPARE(store.openInFirstUsable({dir->path()}), ScreenStore::OpenResult::Opened);
        QCOMPARE(readWholeFile(storePath()), old);
        RowRecord row;
        store.readRow(2, row);
        QCOMPARE(row.cell(1), 0x0101);
        QCOMPARE(row.cell(51), 0);
    }

    // What others left is passed over with the reason, never written through; a lock file is
    // no lock (the kernel's lock is).
    void plantedStoreIsPassedOver_data()
    {
        QTest::addColumn<QString>("plant");
        QTest::addColumn<bool>("passedOver");
        for (const char* plant : {"file where the folder goes", "link to another file",
                                  "hard link to another file", "FIFO", "someone else's file"})
            QTest::newRow(plant) << QString::fromLatin1(plant) << true;
        QTest::newRow("garbage lock file") << "garbage lock file" << false;
    }
    void plantedStoreIsPassedOver()
    {
        QFETCH(QString, plant);
        QFETCH(bool, passedOver);
        const QString shared = dir->filePath(QStringLiteral("shared"));
        const QString own = dir->filePath(QStringLiteral("data/own"));
        const QString planted = shared + QStringLiteral("/Screen.txt");
        const QString victim = dir->filePath(QStringLiteral("victim"));
        const QByteArray at = QFile::encodeName(planted);
        writeWholeFile(victim, "precious");
        QVERIFY(QDir().mkpath(shared));
        if (plant == QLatin1String("file where the folder goes")) {
            QVERIFY(QDir(shared).removeRecursively());
            writeWholeFile(shared, "x");
        } else if (plant == QLatin1String("link to another file")) {
            QVERIFY(QFile::link(victim, planted));
        } else if (plant == QLatin1String("hard link to another file")) {
            QCOMPARE(::link(QFile::encodeName(victim).constData(), at.constData()), 0);
        } else if (plant == QLatin1String("FIFO")) {
            QCOMPARE(::mkfifo(at.constData(), 0666), 0);
        } else if (plant == QLatin1String("someone else's file")) {
            writeWholeFile(planted, "theirs");
            if (::geteuid() != 0 || ::chown(at.constData(), 65534, 65534) != 0)
                QSKIP("only root can give a file away");
        } else {
            writeWholeFile(planted + QStringLiteral(".lock"), "\xff garbage");
        }
        const auto first
            = passedOver ? ScreenStore::OpenResult::Failed : ScreenStore::OpenResult::Opened;
        QCOMPARE(store.openInFirstUsable({shared}), first);
        QCOMPARE(store.error().contains(QDir::toNativeSeparators(shared)), passedOver);
        if (plant == QLatin1String("file where the folder goes"))
            QCOMPARE(store.error(), "Could not create the folder " + shared + ": Not a directory.");
        store.close();
        QCOMPARE(store.openInFirstUsable({shared, own}), ScreenStore::OpenResult::Opened);
        QCOMPARE(store.path(), (passedOver ? own : shared) + QStringLiteral("/Screen.txt"));
        RowRecord row;
        row.setCell(1, 1);
        store.writeRow(2, row);
        store.closeAndDelete();
        QCOMPARE(readWholeFile(victim), QByteArray("precious"));
        if (plant == QLatin1String("someone else's file"))
            QCOMPARE(readWholeFile(planted), QByteArray("theirs"));
    }
};

QTEST_GUILESS_MAIN(ScreenStoreTest)
#include "screen_store_test.moc"
