#include "help/help_viewer.h"

#include "help/sitemap_parser.h"
#include "platform/app_info.h"
#include "platform/hyper_jump.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kScheme = QStringLiteral("chm");
constexpr int kTopicRole = Qt::UserRole;

QUrl topicUrl(const QString& topic)
{
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    const QString path = hash < 0 ? topic : topic.left(hash);
    QUrl url;
    url.setScheme(kScheme);
    url.setPath(path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
    if (hash >= 0)
        url.setFragment(topic.mid(hash + 1));
    return url;
}

// The topic pane: pages, pictures and style sheets come from the open help file only.
// Every request gets an answer, even for what the file lacks: given nothing, the document
// would read the name as a local file itself, and the picture handler would load a picture
// that does not decode by its name.
class TopicBrowser : public QTextBrowser {
public:
    TopicBrowser(const ChmArchive& archive, QWidget* parent)
        : QTextBrowser(parent), archive_(archive)
    {}

    QVariant loadResource(int type, const QUrl& name) override
    {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        QByteArray bytes;
        if (url.scheme() == kScheme)
            bytes = archive_.read(url.path()).value_or(QByteArray(""));
        if (type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(bytes);
        if (type != QTextDocument::ImageResource)
            return bytes;
        QPixmap picture;
        if (!picture.loadFromData(bytes)) {
            // Missing or damaged: shown as nothing.
            picture = QPixmap(1, 1);
            picture.fill(Qt::transparent);
        }
        return picture;
    }

private:
    const ChmArchive& archive_;
};

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

void addContentsItems(QTreeWidgetItem* parent, QTreeWidget* tree,
                      const std::vector<SitemapEntry>& entries)
{
    for (const SitemapEntry& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, entry.name);
        item->setData(0, kTopicRole, entry.local);
        addContentsItems(item, tree, entry.children);
    }
}

}  // namespace

QString helpFilePath()
{
    return AppInfo::applicationFolder() + QStringLiteral("/Help/Nimbolt Sketch Help.chm");
}

HelpViewer* HelpViewer::shared(const QString& chmPath)
{
    static QPointer<HelpViewer> viewer;
    if (!viewer)
        viewer = new HelpViewer;
    viewer->openFile(chmPath);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

HelpViewer* HelpViewer::displayToc(const QString& chmPath, const QString& topic)
{
    HelpViewer* viewer = shared(chmPath);
    viewer->tabs_->setCurrentIndex(kContentsTab);
    viewer->showTopic(topic);
    return viewer;
}

HelpViewer* HelpViewer::displayIndex(const QString& chmPath)
{
    HelpViewer* viewer = shared(chmPath);
    viewer->tabs_->setCurrentIndex(kIndexTab);
    viewer->keyword_->clear();
    viewer->keyword_->setFocus();
    if (viewer->currentTopic().isEmpty())
        viewer->showTopic(QString());
    return viewer;
}

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);  // the main window alone keeps the program running
    setWindowTitle(QStringLiteral("Nimbolt Sketch Help"));
    resize(820, 580);

    topic_ = new TopicBrowser(archive_, this);
    topic_->setOpenLinks(false);  // every link goes through followLink()
    connect(topic_, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);

    contents_ = new QTreeWidget;
    contents_->setHeaderHidden(true);
    const auto showItem = [this](QTreeWidgetItem* item) {
        if (const QString local = item->data(0, kTopicRole).toString(); !local.isEmpty())
            showTopic(local);
    };
    connect(contents_, &QTreeWidget::itemClicked, this, showItem);
    connect(contents_, &QTreeWidget::itemActivated, this, showItem);

    auto* indexPage = new QWidget;
    keyword_ = new QLineEdit;
    index_ = new QListWidget;
    auto* display = new QPushButton(tr("&Display"));
    auto* indexLayout = new QVBoxLayout(indexPage);
    auto* keywordLabel = new QLabel(tr("Type in the &keyword to find:"));
    keywordLabel->setBuddy(keyword_);  // Alt+K goes to the keyword box
    indexLayout->addWidget(keywordLabel);
    indexLayout->addWidget(keyword_);
    indexLayout->addWidget(index_);
    indexLayout->addWidget(display, 0, Qt::AlignRight);
    connect(keyword_, &QLineEdit::textEdited, this, &HelpViewer::findKeyword);
    connect(keyword_, &QLineEdit::returnPressed, this, &HelpViewer::displayIndexEntry);
    connect(index_, &QListWidget::itemActivated, this, &HelpViewer::displayIndexEntry);
    connect(display, &QPushButton::clicked, this, &HelpViewer::displayIndexEntry);

    tabs_ = new QTabWidget;
    tabs_->insertTab(kContentsTab, contents_, tr("&Contents"));
    tabs_->insertTab(kIndexTab, indexPage, tr("I&ndex"));

    auto* toolBar = new QToolBar;
    toolBar->addAction(tr("Back"), topic_, &QTextBrowser::backward);
    toolBar->addAction(tr("Forward"), topic_, &QTextBrowser::forward);
    toolBar->addAction(tr("Home"), this, [this] { showTopic(QString()); });

    notice_ = new QLabel;
    notice_->setTextFormat(Qt::PlainText);
    notice_->setWordWrap(true);
    notice_->setContentsMargins(6, 3, 6, 3);
    notice_->hide();

    auto* splitter = new QSplitter;
    splitter->addWidget(tabs_);
    splitter->addWidget(topic_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({250, 570});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toolBar);
    layout->addWidget(notice_);
    layout->addWidget(splitter, 1);  // the notice takes only the height of its text
}

HelpViewer::~HelpViewer() = default;

bool HelpViewer::openFile(const QString& chmPath)
{
    if (chmPath == path_ && archive_.isOpen())
        return true;
    path_ = chmPath;
    contents_->clear();
    index_->clear();
    topic_->clearHistory();
    topic_->setSource(QUrl());
    if (!archive_.open(chmPath)) {
        error_ = tr("The help file %1 cannot be opened: %2.").arg(chmPath, archive_.errorString());
        showMessage(QStringLiteral("<h3>%1</h3><p>%2</p>")
                        .arg(tr("Help is not available"), escaped(error_)));
        return false;
    }
    error_.clear();
    if (!archive_.title().isEmpty())
        setWindowTitle(archive_.title());
    buildContents();
    buildIndex();
    return true;
}

void HelpViewer::buildContents()
{
    const auto bytes = archive_.read(archive_.contentsFile());
    if (!bytes)
        return;
    const Sitemap contents = SitemapParser::parse(*bytes, archive_.codePage());
    addContentsItems(nullptr, contents_, contents.entries);
    contents_->expandAll();
}

void HelpViewer::buildIndex()
{
    if (const auto bytes = archive_.read(archive_.indexFile()))
        addIndexEntries(SitemapParser::parse(*bytes, archive_.codePage()).entries, 0);
}

void HelpViewer::addIndexEntries(const std::vector<SitemapEntry>& entries, int depth)
{
    // Sub-keywords follow their keyword, indented.
    for (const SitemapEntry& entry : entries) {
        auto* item = new QListWidgetItem(QString(depth * 4, QLatin1Char(' ')) + entry.name, index_);
        item->setData(kTopicRole, entry.local);
        addIndexEntries(entry.children, depth + 1);
    }
}

void HelpViewer::showTopic(const QString& topic)
{
    if (!archive_.isOpen())
        return;
    const QUrl url = topicUrl(topic.isEmpty() ? defaultTopic() : topic);
    if (!archive_.contains(url.path())) {
        showMessage(tr("<p>The topic %1 is not in this help file.</p>").arg(escaped(url.path())));
        return;
    }
    notice_->hide();
    topic_->setSource(url, QTextDocument::HtmlResource);
    // Keep the contents tree on the page being read.
    const QString key = ChmArchive::normalizedPath(url.path());
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QString local = (*it)->data(0, kTopicRole).toString();
        if (!local.isEmpty() && ChmArchive::normalizedPath(topicUrl(local).path()) == key) {
            contents_->setCurrentItem(*it);
            break;
        }
    }
}

QString HelpViewer::defaultTopic() const
{
    return archive_.defaultTopic().isEmpty() ? QString::fromLatin1(kHelpStartTopic)
                                             : archive_.defaultTopic();
}

QString HelpViewer::currentTopic() const
{
    const QUrl source = topic_->source();
    return source.scheme() == kScheme ? source.path() : QString();
}

void HelpViewer::followLink(const QUrl& link)
{
    const QUrl url = topic_->source().resolved(link);
    const QString scheme = url.scheme().toLower();
    if (scheme == kScheme) {
        showTopic(url.path() + (url.hasFragment() ? QLatin1Char('#') + url.fragment() : QString()));
        return;
    }
    // Links into a help file written for other viewers: "ms-its:file.chm::/topic.htm".
    const QString text = url.toString();
    const qsizetype inside = text.indexOf(QLatin1String("::"));
    if (inside >= 0
        && (scheme == QLatin1String("ms-its") || scheme == QLatin1String("mk")
            || scheme == QLatin1String("its"))) {
        showTopic(text.mid(inside + 2));
        return;
    }
    // Only the browser may take a link out of the help file; file:, smb:, javascript: and
    // the like would hand local files or programs to the desktop.
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        notice_->hide();
        HyperJump(url.toString());
        return;
    }
    notice_->setText(tr("Not opened: the help follows only its own pages and web addresses, "
                        "not %1 links.")
                         .arg(scheme + QLatin1Char(':')));
    notice_->show();
}

QString HelpViewer::notice() const
{
    return notice_->isHidden() ? QString() : notice_->text();
}

void HelpViewer::findKeyword(const QString& text)
{
    if (text.isEmpty())
        return;
    for (int row = 0; row < index_->count(); ++row) {
        QListWidgetItem* item = index_->item(row);
        if (item->text().trimmed().startsWith(text, Qt::CaseInsensitive)) {
            index_->setCurrentItem(item);
            index_->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpViewer::displayIndexEntry()
{
    if (const QListWidgetItem* item = index_->currentItem())
        showTopic(item->data(kTopicRole).toString());
}

void HelpViewer::showMessage(const QString& html)
{
    topic_->setSource(QUrl());
    topic_->setHtml(html);
}
