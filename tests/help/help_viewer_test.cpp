#include "help/help_viewer.h"
#include "platform/hyper_jump.h"
#include "support/test_support.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

// The .chm compiled by chmcmd from the pages in help/.
static const QString kHelpFile = QStringLiteral(NIMBOLT_HELP_CHM);

class HelpViewerTest : public QObject {
    Q_OBJECT
    QPointer<HelpViewer> viewer;
    QString shownText() const { return viewer->topicPane()->toPlainText(); }
    QList<QUrl> opened;  // by the desktop's browser, which the test stands in for

public Q_SLOTS:
    void openUrl(const QUrl& url) { opened.append(url); }

private Q_SLOTS:
    void cleanup() { delete viewer; }

    void contentsAndIndexShareOneWindowAndReachTopics()
    {
        viewer = HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic));
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        QVERIFY(viewer->errorMessage().isEmpty());
        QVERIFY(viewer->isVisible() && viewer->isWindow() && !viewer->isModal());
        QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kContentsTab);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));
        QVERIFY(shownText().contains(QStringLiteral("Welcome to Nimbolt Sketch")));
        QTreeWidget* tree = viewer->contentsTree();  // four top-level items, the second a heading over five
        QCOMPARE(tree->topLevelItemCount(), 4);
        QCOMPARE(tree->topLevelItem(1)->childCount(), 5);
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        const QVariant picture = viewer->topicPane()->loadResource(QTextDocument::ImageResource, QUrl("board.png"));
        QCOMPARE(QImage::fromData(picture.toByteArray()).size(), QSize(64, 48));  // from inside the help file

        viewer->keywordBox()->setText(QStringLiteral("left over"));
        QCOMPARE(HelpViewer::displayIndex(kHelpFile), viewer.data());
        QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kIndexTab);
        QVERIFY(viewer->keywordBox()->text().isEmpty());
        QCOMPARE(viewer->indexList()->count(), 24);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));  // the index leaves the page alone
        viewer->indexList()->setFocus();
        QTest::keyClick(viewer, Qt::Key_K, Qt::AltModifier);  // the keyword label's access key
        QVERIFY(viewer->keywordBox()->hasFocus());
        QTest::keyClicks(viewer->keywordBox(), QStringLiteral("PRI"));
        QCOMPARE(viewer->indexList()->currentItem()->text(), QStringLiteral("printing"));
        QTest::keyClick(viewer->keywordBox(), Qt::Key_Return);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/printing.htm"));
        Q_EMIT viewer->contentsTree()->itemActivated(viewer->contentsTree()->topLevelItem(1)->child(1), 0);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/shaking.htm"));
    }

    void linksShowTheirTopic_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("heading");
        QTest::newRow("relative") << "Welcome.htm" << "drawing.htm" << "/drawing.htm" << "Drawing with the arrow keys";
        QTest::newRow("with an anchor") << "keyboard_shortcuts.htm" << "saving_and_opening.htm#open"
                                        << "/saving_and_opening.htm" << "Saving and opening sketches";
        QTest::newRow("other viewers' form") << "Welcome.htm" << "ms-its:Nimbolt Sketch Help.chm::/printing.htm"
                                             << "/printing.htm" << "Printing a sketch";
    }
    void linksShowTheirTopic()
    {
        QFETCH(QString, from);
        QFETCH(QString, link);
        QFETCH(QString, topic);
        QFETCH(QString, heading);
        viewer = HelpViewer::displayToc(kHelpFile, from);
        Q_EMIT viewer->topicPane()->anchorClicked(QUrl(link));
        QCOMPARE(viewer->currentTopic(), topic);
        QVERIFY(shownText().startsWith(heading));
    }

    void webAddressesGoToTheDesktop()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "openUrl");
        HyperJump(QStringLiteral("https://www.nimbolt.example/"));
        viewer = HelpViewer::displayToc(kHelpFile, QStringLiteral("drawing.htm"));
        Q_EMIT viewer->topicPane()->anchorClicked(QUrl(QStringLiteral("https://www.nimbolt.example/toys")));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(opened, QList<QUrl>({QUrl("https://www.nimbolt.example/"), QUrl("https://www.nimbolt.example/toys")}));
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/drawing.htm"));
    }

    void damagedFileIsReportedInTheViewer()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Nimbolt Sketch Help.chm"));
        writeWholeFile(path, readWholeFile(kHelpFile).left(0x60) + QByteArray(5000, 'x'));
        viewer = HelpViewer::displayToc(path, QString::fromLatin1(kHelpStartTopic));
        QVERIFY(viewer->isVisible());
        QVERIFY(viewer->errorMessage().contains(path));
        QVERIFY(shownText().contains(path) && shownText().contains(QStringLiteral("cannot be opened")));
        QCOMPARE(viewer->contentsTree()->topLevelItemCount(), 0);
        QCOMPARE(HelpViewer::displayIndex(path), viewer.data());
        QCOMPARE(viewer->indexList()->count(), 0);
        HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic));  // a good file brings it back
        QVERIFY(viewer->errorMessage().isEmpty());
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
