#pragma once

#include "help/chm_archive.h"

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QUrl;
struct SitemapEntry;

inline constexpr char kHelpStartTopic[] = "Welcome.htm";

// The help file: the application folder followed by "/Help/Nimbolt Sketch Help.chm".
QString helpFilePath();

// The help window: a Contents tab (the table of contents as a tree), an Index tab (keyword
// box and list) and a topic pane showing pages from inside a compiled help file. It is a
// top-level window of its own, neither owned by the main window nor modal.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    static constexpr int kContentsTab = 0;
    static constexpr int kIndexTab = 1;

    // HH_DISPLAY_TOC: the one shared viewer on chmPath with its Contents tab current,
    // showing topic. Opens the viewer or reuses and raises the open one.
    static HelpViewer* displayToc(const QString& chmPath, const QString& topic);
    // HH_DISPLAY_INDEX: the shared viewer on chmPath with its Index tab current and the
    // keyword box empty.
    static HelpViewer* displayIndex(const QString& chmPath);

    explicit HelpViewer(QWidget* parent = nullptr);
    ~HelpViewer() override;

    // Loads chmPath unless it is the file already open. A file that cannot be read leaves
    // the tabs empty and the reason in the topic pane; false then.
    bool openFile(const QString& chmPath);
    // Shows a topic of the open file ("Welcome.htm", "/sub/page.htm#part"); empty: the
    // file's default topic.
    void showTopic(const QString& topic);

    QString currentTopic() const;  // the shown topic's path inside the file, "" if none
    QString errorMessage() const { return error_; }
    // Why the last link followed was refused; empty once a topic or web address is shown.
    QString notice() const;
    QTabWidget* tabs() const { return tabs_; }
    QTreeWidget* contentsTree() const { return contents_; }
    QLineEdit* keywordBox() const { return keyword_; }
    QListWidget* indexList() const { return index_; }
    QTextBrowser* topicPane() const { return topic_; }

private:
    static HelpViewer* shared(const QString& chmPath);
    // The file's own default topic, or "Welcome.htm" when it names none.
    QString defaultTopic() const;
    void buildContents();
    void buildIndex();
    void addIndexEntries(const std::vector<SitemapEntry>& entries, int depth);
    void followLink(const QUrl& link);
    void findKeyword(const QString& text);
    void displayIndexEntry();
    void showMessage(const QString& html);

    ChmArchive archive_;
    QString path_;
    QString error_;
    QTabWidget* tabs_ = nullptr;
    QTreeWidget* contents_ = nullptr;
    QLineEdit* keyword_ = nullptr;
    QListWidget* index_ = nullptr;
    QTextBrowser* topic_ = nullptr;
    QLabel* notice_ = nullptr;
};
