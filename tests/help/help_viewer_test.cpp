#include "help/help_viewer.h"
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
    QTemporaryDir outside;  // files a page might name outside the help file

public Q_SLOTS:
    void openUrl(const QUrl& url) { opened.append(url); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(outside.path()));  // where a bare picture name would be looked for
        QVERIFY(QImage(7, 5, QImage::Format_RGB32).save(QStringLiteral("local.png")));
        writeWholeFile(QStringLiteral("local.css"), "p { color: red }");
        QCOMPARE(mkfifo("fifo", 0600), 0);
    }
    void init() { opened.clear(); }
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
        QTreeWidget* tree
            = viewer->contentsTree();  // four top-level items, the second a heading over five
        QCOMPARE(tree->topLevelItemCount(), 4);
        QCOMPARE(tree->topLevelItem(1)->childCount(), 5);
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));

        viewer->keywordBox()->setText(QStringLiteral("left over"));
        QCOMPARE(HelpViewer::displayIndex(kHelpFile), viewer.data());
        QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kIndexTab);
        QVERIFY(viewer->keywordBox()->text().isEmpty());
        QCOMPARE(viewer->indexList()->count(), 24);
        QCOMPARE(viewer->currentTopic(),
                 QStringLiteral("/Welcome.htm"));  // the index leaves the page alone
        viewer->indexList()->setFocus();
        QTest::keyClick(viewer, Qt::Key_K, Qt::AltModifier);  // the keyword label's access key
        QVERIFY(viewer->keywordBox()->hasFocus());
        QTest::keyClicks(viewer->keywordBox(), QStringLiteral("PRI"));
        QCOMPARE(viewer->indexList()->currentItem()->text(), QStringLiteral("printing"));
        QTest::keyClick(viewer->keywordBox(), Qt::Key_Return);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/printing.htm"));
        Q_EMIT viewer->contentsTree()->itemActivated(
            viewer->contentsTree()->topLevelItem(1)->child(1), 0);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/shaking.htm"));
    }

    void linksShowTheirTopic_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("heading");
        QTest::newRow("relative") << "Welcome.htm"
                                  << "drawing.htm"
                                  << "/drawing.htm"
                                  << "Drawing with the arrow keys";
        QTest::newRow("with an anchor") << "keyboard_shortcuts.htm"
                                        << "saving_and_opening.htm#open"
                                        << "/saving_and_opening.htm"
                                        << "Saving and opening sketches";
        QTest::newRow("other viewers' form") << "Welcome.htm"
                                             << "ms-its:Nimbolt Sketch Help.chm::/printing.htm"
                                             << "/printing.htm"
                                             << "Printing a sketch";
        QTest::newRow("above the root") << "Welcome.htm"
                                        << "../../drawing.htm"
                                        << "/drawing.htm"
                                        << "Drawing with the arrow keys";
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

    void onlyWebAddressesLeaveTheHelpFile_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("handedOver");
        QTest::addColumn<QString>("notice");
        const QString refused = QStringLiteral(
            "Not opened: the help follows only its own pages and web addresses, not %1 links.");
        QTest::newRow("https") << "https://www.nimbolt.example/"
                               << "https://www.nimbolt.example/"
                               << "";
        QTest::newRow("http") << "http://nimbolt.example/"
                              << "http://nimbolt.example/"
                              << "";
        QTest::newRow("file") << "file:///etc/passwd"
                              << "" << refused.arg("file:");
        QTest::newRow("javascript") << "javascript:alert(1)"
                                    << "" << refused.arg("javascript:");
        QTest::newRow("smb") << "smb://server/share"
                             << "" << refused.arg("smb:");
    }
    void onlyWebAddressesLeaveTheHelpFile()
    {
        QFETCH(QString, link);
        QFETCH(QString, handedOver);
        QFETCH(QString, notice);
        const QString scheme = QUrl(link).scheme();
        QDesktopServices::setUrlHandler(scheme, this, "openUrl");
        viewer = HelpViewer::displayToc(kHelpFile, QStringLiteral("drawing.htm"));
        Q_EMIT viewer->topicPane()->anchorClicked(QUrl(link));
        QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(opened, handedOver.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(handedOver)});
        QCOMPARE(viewer->notice(), notice);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/drawing.htm"));
    }

    // A page is laid out, which loads its pictures and style sheets; what the help file lacks
    // loads as nothing (an empty 1 x 1 picture, an empty sheet), never as a local file.
    void pagesLoadOnlyFromTheHelpFile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("loaded");
        const QString local = QUrl::fromLocalFile(outside.path()).toString();
        const int picture = QTextDocument::ImageResource;
        const int sheet = QTextDocument::StyleSheetResource;
        const QString nothing = QStringLiteral("1 x 1 picture");
        QTest::newRow("picture in the file") << picture << "board.png"
                                             << "64 x 48 picture";
        QTest::newRow("local picture") << picture << local + "/local.png" << nothing;
        QTest::newRow("device") << picture << "file:///dev/zero" << nothing;
        QTest::newRow("fifo") << picture << local + "/fifo" << nothing;
        QTest::newRow("fifo by bare name") << picture << "fifo" << nothing;
        const QString css = readWholeFile(QStringLiteral(NIMBOLT_HELP_SOURCE "/help.css"));
        QTest::newRow("sheet in the file") << sheet << "help.css" << css;
        QTest::newRow("local sheet") << sheet << local + "/local.css"
                                     << "";
    }
    void pagesLoadOnlyFromTheHelpFile()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, loaded);
        viewer = HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic));
        const bool picture = type == QTextDocument::ImageResource;
        const QString html = picture ? "<img src='%1'>" : "<link rel=stylesheet href='%1'><p>x";
        viewer->topicPane()->setHtml(html.arg(name));
        QTextDocument* page = viewer->topicPane()->document();
        page->size();  // lays the page out, which loads its pictures
        const QVariant got = page->resource(type, QUrl(name));
        const QSize size = got.value<QPixmap>().size();
        const QString shown
            = QStringLiteral("%1 x %2 picture").arg(size.width()).arg(size.height());
        QCOMPARE(picture ? shown : got.toString(), loaded);
    }

    void damagedFileIsReportedInTheViewer()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Nimbolt Sketch Help.chm"));
        writeWholeFile(path, readWholeFile(kHelpFile).left(0x60) + QByteArray(5000, 'x'));
        viewer = HelpViewer::displayToc(path, QString::fromLatin1(kHelpStartTopic));
        QVERIFY(viewer->isVisible());
        QVERIFY(viewer->errorMessage().contains(path));
        QVERIFY(shownText().contains(path)
                && shownText().contains(QStringLiteral("cannot be opened")));
        QCOMPARE(viewer->contentsTree()->topLevelItemCount(), 0);
        QCOMPARE(HelpViewer::displayIndex(path), viewer.data());
        QCOMPARE(viewer->indexList()->count(), 0);
        HelpViewer::displayToc(kHelpFile,
                               QString::fromLatin1(kHelpStartTopic));  // a good file brings it back
        QVERIFY(viewer->errorMessage().isEmpty());
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
