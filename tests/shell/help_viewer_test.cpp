#include "shell/help_viewer.h"
#include "shell/hyper_jump.h"

#include "support/test_support.h"

#include <QDesktopServices>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

// The .chm compiled by chmcmd from the pages in help/.
static const QString kHelpFile = QStringLiteral(NIMBOLT_HELP_CHM);

// Stands in for the desktop's browser: records the addresses handed to it.
class UrlRecorder : public QObject {
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

class HelpViewerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { delete viewer; }
    void contentsShowsWelcomeOnContentsTab();
    void indexShowsIndexTabWithEmptyKeywordBox();
    void secondRequestReusesTheViewer();
    void followingLinkShowsLinkedTopic_data();
    void followingLinkShowsLinkedTopic();
    void contentsItemShowsItsTopic();
    void keywordFindsAndShowsTopic();
    void webAddressesGoToTheDesktop();
    void unreadableFileIsReportedInTheViewer_data();
    void unreadableFileIsReportedInTheViewer();

private:
    QPointer<HelpViewer> viewer;
};

void HelpViewerTest::contentsShowsWelcomeOnContentsTab()
{
    viewer = HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic));
    QVERIFY(viewer->errorMessage().isEmpty());
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->isWindow());
    QCOMPARE(viewer->parentWidget(), nullptr);
    QVERIFY(!viewer->isModal());
    QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kContentsTab);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));
    QVERIFY(viewer->topicPane()->toPlainText().contains(QStringLiteral("Welcome to Nimbolt Sketch")));
    // The table of contents as a tree: four top-level items, the second a heading over four.
    QTreeWidget* tree = viewer->contentsTree();
    QCOMPARE(tree->topLevelItemCount(), 4);
    QCOMPARE(tree->topLevelItem(0)->text(0), QStringLiteral("Welcome to Nimbolt Sketch"));
    QCOMPARE(tree->topLevelItem(1)->childCount(), 4);
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    // Pictures come from inside the help file.
    const QVariant picture = viewer->topicPane()->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("board.png")));
    QCOMPARE(QImage::fromData(picture.toByteArray()).size(), QSize(64, 48));
}

void HelpViewerTest::indexShowsIndexTabWithEmptyKeywordBox()
{
    viewer = HelpViewer::displayIndex(kHelpFile);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kIndexTab);
    QVERIFY(viewer->keywordBox()->text().isEmpty());
    QCOMPARE(viewer->indexList()->count(), 22);
    QCOMPARE(viewer->indexList()->item(0)->text(), QStringLiteral("arrow keys"));
}

void HelpViewerTest::secondRequestReusesTheViewer()
{
    viewer = HelpViewer::displayToc(kHelpFile, QStringLiteral("printing.htm"));
    viewer->keywordBox()->setText(QStringLiteral("left over"));
    HelpViewer* again = HelpViewer::displayIndex(kHelpFile);
    QCOMPARE(again, viewer.data());
    QCOMPARE(again->tabs()->currentIndex(), HelpViewer::kIndexTab);
    QVERIFY(again->keywordBox()->text().isEmpty());
    QCOMPARE(again->currentTopic(), QStringLiteral("/printing.htm"));  // the index leaves the page alone

    QCOMPARE(HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic)), viewer.data());
    QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kContentsTab);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));
}

void HelpViewerTest::followingLinkShowsLinkedTopic_data()
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

void HelpViewerTest::followingLinkShowsLinkedTopic()
{
    QFETCH(QString, from);
    QFETCH(QString, link);
    QFETCH(QString, topic);
    QFETCH(QString, heading);
    viewer = HelpViewer::displayToc(kHelpFile, from);
    Q_EMIT viewer->topicPane()->anchorClicked(QUrl(link));
    QCOMPARE(viewer->currentTopic(), topic);
    QVERIFY(viewer->topicPane()->toPlainText().startsWith(heading));
}

void HelpViewerTest::contentsItemShowsItsTopic()
{
    viewer = HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic));
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    // Keyboard through the page's links: Tab selects the first, Return follows it.
    viewer->topicPane()->setFocus();
    QTest::keyClick(viewer->topicPane(), Qt::Key_Tab);
    QTest::keyClick(viewer->topicPane(), Qt::Key_Return);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/drawing.htm"));

    QTreeWidgetItem* shaking = viewer->contentsTree()->topLevelItem(1)->child(1);
    QCOMPARE(shaking->text(0), QStringLiteral("Shaking the board clean"));
    Q_EMIT viewer->contentsTree()->itemActivated(shaking, 0);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/shaking.htm"));
}

void HelpViewerTest::keywordFindsAndShowsTopic()
{
    viewer = HelpViewer::displayIndex(kHelpFile);
    QVERIFY(QTest::qWaitForWindowActive(viewer));
    QTest::keyClicks(viewer->keywordBox(), QStringLiteral("SHA"));
    QVERIFY(viewer->indexList()->currentItem());
    QCOMPARE(viewer->indexList()->currentItem()->text(), QStringLiteral("Shake"));
    QTest::keyClick(viewer->keywordBox(), Qt::Key_Return);
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/shaking.htm"));
}

void HelpViewerTest::webAddressesGoToTheDesktop()
{
    UrlRecorder browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "open");
    HyperJump(QString::fromLatin1(kMakerWebAddress));
    QCOMPARE(browser.opened, QList<QUrl>{QUrl(QStringLiteral("https://www.nimbolt.example/"))});

    // A web link in a topic leaves the page shown and goes to the browser instead.
    viewer = HelpViewer::displayToc(kHelpFile, QStringLiteral("drawing.htm"));
    Q_EMIT viewer->topicPane()->anchorClicked(QUrl(QStringLiteral("https://www.nimbolt.example/toys")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(browser.opened.size(), 2);
    QCOMPARE(browser.opened.last(), QUrl(QStringLiteral("https://www.nimbolt.example/toys")));
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/drawing.htm"));
}

void HelpViewerTest::unreadableFileIsReportedInTheViewer_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("create");
    const QByteArray chm = readWholeFile(kHelpFile);
    QByteArray garbage(5000, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) % 251);
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("garbage") << garbage << true;
    QTest::newRow("truncated") << chm.left(chm.size() / 2) << true;
    QTest::newRow("header then garbage") << chm.left(0x60) + garbage << true;
}

void HelpViewerTest::unreadableFileIsReportedInTheViewer()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, create);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nimbolt Sketch Help.chm"));
    if (create)
        writeWholeFile(path, bytes);

    viewer = HelpViewer::displayToc(path, QString::fromLatin1(kHelpStartTopic));
    QVERIFY(viewer->isVisible());
    QVERIFY(viewer->errorMessage().contains(path));
    QVERIFY(viewer->topicPane()->toPlainText().contains(path));
    QVERIFY(viewer->topicPane()->toPlainText().contains(QStringLiteral("cannot be opened")));
    QCOMPARE(viewer->contentsTree()->topLevelItemCount(), 0);
    QVERIFY(viewer->currentTopic().isEmpty());

    QCOMPARE(HelpViewer::displayIndex(path), viewer.data());
    QCOMPARE(viewer->indexList()->count(), 0);
    QVERIFY(viewer->errorMessage().contains(path));

    // The same viewer recovers once a good file is asked for.
    HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic));
    QVERIFY(viewer->errorMessage().isEmpty());
    QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));
}

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
