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
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", "/nonexistent");
    }

    // The dialogs start in ~/Documents, or at home without one; Save offers the last sketch's
    // name, asks before replacing a file and adds the suffix to a name typed without one; a
    // cancelled dialog gives nothing.
    void startInDocumentsOfferTheNameAndAddTheSuffix()
    {
        const QString docs = home.filePath(QStringLiteral("Documents"));
        QCOMPARE(QtSketchDialogs::initialFolder(), home.path());
        QVERIFY(QDir().mkpath(docs));
        QFileDialog* seen = nullptr;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog && dialog == seen)
                dialog->reject();  // still up a turn later: the answer was refused
            if (!dialog || dialog == seen)
                return;
            seen = dialog;
            QCOMPARE(dialog->directory().absolutePath(), docs);
            if (dialog->acceptMode() == QFileDialog::AcceptOpen)
                return dialog->reject();
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->nameFilters(), QStringList{"Nimbolt Sketch Drawings (*.nsd)"});
            QCOMPARE(dialog->selectedFiles(), QStringList{docs + QStringLiteral("/cat.nsd")});
            dialog->selectFile(docs + QStringLiteral("/drawing"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        poll.start(10);
        const auto answer = QtSketchDialogs(nullptr).ShowSave(docs + QStringLiteral("/cat.nsd"));
        QVERIFY(seen);
        QCOMPARE(answer.value_or(QString()), docs + QStringLiteral("/drawing.nsd"));
        seen = nullptr;
        QVERIFY(!QtSketchDialogs(nullptr).ShowOpen().has_value());
        QVERIFY(seen);
    }
};

QTEST_MAIN(SketchDialogsTest)
#include "sketch_dialogs_test.moc"
