#include "platform/qt_sketch_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Save and Open run Qt's own file dialog (not the desktop's, on this platform): it is looked
// at and answered while it runs, in a scratch home folder.
class SketchDialogsTest : public QObject {
    Q_OBJECT
    QTemporaryDir home;

private Q_SLOTS:
    void initTestCase() { qputenv("HOME", home.path().toLocal8Bit()), qputenv("XDG_CONFIG_HOME", "/nonexistent"); }

    void startInDocumentsAskBeforeReplacingAndFilterSketches_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("documents");  // whether ~/Documents exists
        QTest::addColumn<QString>("typed");   // below home; empty: Cancel
        QTest::addColumn<QString>("chosen");
        QTest::newRow("save adds the suffix") << true << true << "Documents/drawing" << "Documents/drawing.nsd";
        QTest::newRow("cancelled open without Documents starts at home") << false << false << "" << "";
    }
    void startInDocumentsAskBeforeReplacingAndFilterSketches()
    {
        QFETCH(bool, save);
        QFETCH(bool, documents);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        const QString docs = home.filePath(QStringLiteral("Documents"));
        QVERIFY(documents ? QDir().mkpath(docs) : QDir(docs).removeRecursively());
        QFileDialog* seen = nullptr;
        QString folder;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog == seen)
                return dialog ? dialog->reject() : void();  // still up a turn later: the answer was refused
            seen = dialog;
            folder = dialog->directory().absolutePath();
            QCOMPARE(dialog->acceptMode(), save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->nameFilters(), QStringList{"Nimbolt Sketch Drawings (*.nsd)"});
            if (typed.isEmpty())
                return dialog->reject();
            dialog->selectFile(home.filePath(typed));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        poll.start(10);
        QtSketchDialogs dialogs(nullptr);
        const std::optional<QString> answer = save ? dialogs.ShowSave() : dialogs.ShowOpen();
        QVERIFY(seen);
        QCOMPARE(folder, documents ? docs : home.path());
        QCOMPARE(answer.value_or(QString()), chosen.isEmpty() ? QString() : home.filePath(chosen));
    }
};

QTEST_MAIN(SketchDialogsTest)
#include "sketch_dialogs_test.moc"
