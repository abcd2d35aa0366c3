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

using namespace Qt::Literals::StringLiterals;

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
        QVERIFY(
            QImage(7, 5, QImage::Format_RGB32).save(outside.filePath(QStringLiteral("local.png"))));
    }
    void init() { opened.clear(); }
    void cleanup() { delete viewer; }

    void contentsAndIndexShareOneWindowAndReachTopics()
    {
        viewer = HelpViewer::displayToc(kHelpFile, QString::fromLatin1(kHelpStartTopic));
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kContentsTab);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/Welcome.htm"));
        QVERIFY(shownText().contains(QStringLiteral("Welcome to Nimbolt Sketch")));
        QCOMPARE(viewer->contentsTree()->currentItem(), viewer->contentsTree()->topLevelItem(0));

        viewer->keywordBox()->setText(QStringLiteral("left over"));
        QCOMPARE(HelpViewer::displayIndex(kHelpFile), viewer.data());
        QCOMPARE(viewer->tabs()->currentIndex(), HelpViewer::kIndexTab);
        QVERIFY(viewer->keywordBox()->text().isEmpty());
        QCOMPARE(viewer->currentTopic(),
                 QStringLiteral("/Welcome.htm"));  // the index leaves the page alone
        QTest::keyClicks(viewer->keywordBox(), QStringLiteral("PRI"));
        QCOMPARE(viewer->indexList()->currentItem()->text(), QStringLiteral("printing"));
        QTest::keyClick(viewer->keywordBox(), Qt::Key_Return);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/printing.htm"));
        Q_EMIT viewer->contentsTree()->itemActivated(
            viewer->contentsTree()->topLevelItem(1)->child(1), 0);
        QCOMPARE(viewer->currentTopic(), QStringLiteral("/shaking.htm"));
    }

    // Links from drawing.htm: into the help file, or web addresses handed to the browser.
    void linksShowTheirTopicOrOnlyWebAddressesLeave_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("handedOver");
        QTest::addColumn<QString>("notice");
        const QString refused = QStringLiteral(
            "Not opened: the help follows only its own pages and web addresses, not %1 links.");
        const QString stay = QStringLiteral("/drawing.htm");
        const QString https = QStringLiteral("https://www.nimbolt.example/");
        const QString http = QStringLiteral("http://nimbolt.example/");
        const QString none;
        QTest::newRow("above the root")
            << u"../../printing.htm"_s << u"/printing.htm"_s << none << none;
        QTest::newRow("with an anchor")
            << u"saving_and_opening.htm#open"_s << u"/saving_and_opening.htm"_s << none << none;
        QTest::newRow("other viewers' form") << u"ms-its:Nimbolt Sketch Help.chm::/printing.htm"_s
                                             << u"/printing.htm"_s << none << none;
        QTest::newRow("https") << https << stay << https << none;
        QTest::newRow("http") << http << stay << http << none;
        QTest::newRow("file") << u"file:///etc/passwd"_s << stay << none << refused.arg("file:");
    }
    void linksShowTheirTopicOrOnlyWebAddressesLeave()
    {
        QFETCH(QString, link);
        QFETCH(QString, topic);
        QFETCH(QString, handedOver);
        QFETCH(QString, notice);
        const QString scheme = QUrl(link).scheme();
        QDesktopServices::setUrlHandler(scheme, this, "openUrl");
        viewer = HelpViewer::displayToc(kHelpFile, QStringLiteral("drawing.htm"));
        Q_EMIT viewer->topicPane()->anchorClicked(QUrl(link));
        QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(viewer->currentTopic(), topic);
        QCOMPARE(opened, handedOver.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(handedOver)});
        QCOMPARE(viewer->notice(), notice);
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
        QTest::newRow("picture in the file") << picture << u"board.png"_s << u"64 x 48 picture"_s;
        QTest::newRow("local picture") << picture << local + "/local.png" << nothing;
        const QString css = readWholeFile(QStringLiteral(NIMBOLT_HELP_SOURCE "/help.css"));
        QTest::newRow("sheet in the file") << sheet << u"help.css"_s << css;
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
        const QString path = outside.filePath(QStringLiteral("Nimbolt Sketch Help.chm"));
        writeWholeFile(path, readWholeFile(kHelpFile).left(0x60) + QByteArray(5000, 'x'));
        viewer = HelpViewer::displayToc(path, QString::fromLatin1(kHelpStartTopic));
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->errorMessage(),
                 "The help file " + path + " cannot be opened: its directory is damaged.");
        QVERIFY(shownText().endsWith(viewer->errorMessage()));
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
