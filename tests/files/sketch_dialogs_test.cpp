#include "platform/qt_sketch_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Qt's own file dialog (not the desktop's, here), looked at and answered while it runs, in a
// scratch home.
class SketchDialogsTest : public QObject {
    Q_OBJECT
    QTemporaryDir home;

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("HOME", home.path().toLocal8Bit()), qputenv("XDG_CONFIG_HOME", "/nonexistent");
    }

    void startInDocumentsAskBeforeReplacingAndFilterSketches_data()
    {
        QTest::addColumn<bool>(
            "save");  // into an existing ~/Documents; else an Open, without one, cancelled
        QTest::newRow("save offers the last sketch and adds the suffix") << true;
        QTest::newRow("cancelled open without Documents starts at home") << false;
    }
    void startInDocumentsAskBeforeReplacingAndFilterSketches()
    {
        QFETCH(bool, save);
        const QString docs = home.filePath(QStringLiteral("Documents"));
        QVERIFY(save ? QDir().mkpath(docs) : QDir(docs).removeRecursively());
        QFileDialog* seen = nullptr;
        QString folder;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog == seen)
                return dialog ? dialog->reject()
                              : void();  // still up a turn later: the answer was refused
            seen = dialog;
            folder = dialog->directory().absolutePath();
            QCOMPARE(dialog->acceptMode(),
                     save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->nameFilters(), QStringList{"Nimbolt Sketch Drawings (*.nsd)"});
            if (!save)
                return dialog->reject();
            QCOMPARE(dialog->selectedFiles(), QStringList{docs + QStringLiteral("/cat.nsd")});
            dialog->selectFile(docs + QStringLiteral("/drawing"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        poll.start(10);
        QtSketchDialogs dialogs(nullptr);
        const std::optional<QString> answer
            = save ? dialogs.ShowSave(docs + QStringLiteral("/cat.nsd")) : dialogs.ShowOpen();
        QVERIFY(seen);
        QCOMPARE(folder, save ? docs : home.path());
        QCOMPARE(answer.value_or(QString()),
                 save ? docs + QStringLiteral("/drawing.nsd") : QString());
    }
};

QTEST_MAIN(SketchDialogsTest)
#include "sketch_dialogs_test.moc"
