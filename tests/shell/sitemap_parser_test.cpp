#include "shell/sitemap_parser.h"

#include <QTest>

namespace {

// "Name(local)" per entry, children in brackets: "A(a.htm)[B(b.htm),C()]".
QString outline(const std::vector<SitemapEntry>& entries)
{
    QStringList parts;
    for (const SitemapEntry& entry : entries) {
        QString part = entry.name + QLatin1Char('(') + entry.local + QLatin1Char(')');
        if (!entry.children.empty())
            part += QLatin1Char('[') + outline(entry.children) + QLatin1Char(']');
        parts.append(part);
    }
    return parts.join(QLatin1Char(','));
}

QByteArray item(const QByteArray& name, const QByteArray& local)
{
    QByteArray html = "<LI><OBJECT type=\"text/sitemap\">";
    if (!name.isNull())
        html += "<param name=\"Name\" value=\"" + name + "\">";
    if (!local.isNull())
        html += "<param name=\"Local\" value=\"" + local + "\">";
    return html + "</OBJECT>\n";
}

int depthOf(const std::vector<SitemapEntry>& entries)
{
    int deepest = 0;
    for (const SitemapEntry& entry : entries)
        deepest = std::max(deepest, depthOf(entry.children));
    return entries.empty() ? 0 : deepest + 1;
}

} // namespace

class SitemapParserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsEntries_data();
    void readsEntries();
    void capsNestingDepthKeepingEntries();
    void capsEntryCount();
};

void SitemapParserTest::readsEntries_data()
{
    QTest::addColumn<QByteArray>("html");
    QTest::addColumn<QString>("expected");

    const QByteArray a = item("A", "a.htm"), b = item("B", "b.htm"), c = item("C", "c.htm");
    QTest::newRow("flat list") << "<HTML><BODY><UL>" + a + b + "</UL></BODY></HTML>" << "A(a.htm),B(b.htm)";
    QTest::newRow("nested") << "<UL>" + a + "<UL>" + b + "<UL>" + c + "</UL></UL></UL>" << "A(a.htm)[B(b.htm)[C(c.htm)]]";
    QTest::newRow("sibling after a sub-list") << "<UL>" + a + "<UL>" + b + "</UL>" + c + "</UL>"
                                              << "A(a.htm)[B(b.htm)],C(c.htm)";
    QTest::newRow("heading without a topic") << "<UL>" + item("Heading", QByteArray()) + "<UL>" + a + "</UL></UL>"
                                             << "Heading()[A(a.htm)]";
    QTest::newRow("missing name takes the topic") << "<UL>" + item(QByteArray(), "x.htm") + "</UL>" << "x.htm(x.htm)";
    QTest::newRow("object without params is skipped") << "<UL>" + item(QByteArray(), QByteArray()) + a + "</UL>"
                                                      << "A(a.htm)";
    QTest::newRow("site properties are not entries")
        << "<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"P\"></OBJECT><UL>" + a + "</UL>"
        << "A(a.htm)";
    QTest::newRow("entities") << "<UL>" + item("Tom &amp; Jerry &lt;3 &#233;&#x41; &bogus; &#0;", "a&amp;b.htm") + "</UL>"
                              << QString::fromUtf8("Tom & Jerry <3 \u00e9A &bogus; \uFFFD(a&b.htm)");
    QTest::newRow("case, quotes and unquoted values")
        << QByteArray("<ul><li><object TYPE='text/sitemap'><PARAM NAME=name VALUE='Single'><param name=local "
                      "value=s.htm></object></ul>")
        << "Single(s.htm)";
    QTest::newRow("'>' inside a quoted value") << "<UL>" + item("a > b", "a.htm") + "</UL>" << "a > b(a.htm)";
    QTest::newRow("first of several topics") << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                                                           "value=\"key\"><param name=\"Name\" value=\"Topic one\"><param "
                                                           "name=\"Local\" value=\"1.htm\"><param name=\"Local\" "
                                                           "value=\"2.htm\"></OBJECT></UL>")
                                             << "key(1.htm)";
    QTest::newRow("missing </OBJECT>") << QByteArray("<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                                                     "value=\"A\"><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" "
                                                     "value=\"B\"></UL>")
                                       << "A(),B()";
    QTest::newRow("unterminated tag at the end")
        << "<UL>" + a + "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Cut\"><param name=\"Local\" value=\"cut.h"
        << "A(a.htm),Cut()";
    QTest::newRow("unterminated comment") << "<UL>" + a + "<!-- " + b << "A(a.htm)";
    QTest::newRow("comment hides entries") << "<UL><!-- " + b + " -->" + a + "</UL>" << "A(a.htm)";
    QTest::newRow("stray closing lists") << "</UL></UL><UL>" + a + "</UL></UL>" + b << "A(a.htm),B(b.htm)";
    QTest::newRow("list with no item to hang on") << "<UL><UL>" + a + "</UL>" + b + "</UL>" << "A(a.htm),B(b.htm)";
    QTest::newRow("windows code page bytes") << "<UL>" + item("Caf\xe9", "a.htm") + "</UL>"
                                             << QString::fromUtf8("Caf\u00e9(a.htm)");
    QTest::newRow("utf-8 bytes") << "<UL>" + item("Caf\xc3\xa9", "a.htm") + "</UL>" << QString::fromUtf8("Caf\u00e9(a.htm)");
    static const char kNotSitemap[] = "\x00\x01<<<>>>\xff garbage <UL";
    QTest::newRow("not a sitemap") << QByteArray(kNotSitemap, sizeof kNotSitemap - 1) << "";
    QTest::newRow("empty") << QByteArray() << "";
}

void SitemapParserTest::readsEntries()
{
    QFETCH(QByteArray, html);
    QFETCH(QString, expected);
    const Sitemap sitemap = SitemapParser::parse(html);
    QCOMPARE(outline(sitemap.entries), expected);
    QVERIFY(!sitemap.truncated);
}

void SitemapParserTest::capsNestingDepthKeepingEntries()
{
    constexpr int kLevels = 100;
    QByteArray html;
    for (int level = 0; level < kLevels; ++level)
        html += "<UL>" + item("L" + QByteArray::number(level), "l.htm");
    for (int level = 0; level < kLevels; ++level)
        html += "</UL>";
    html += "<UL>" + item("After", "after.htm") + "</UL>";

    const Sitemap sitemap = SitemapParser::parse(html);
    QVERIFY(sitemap.truncated);
    QCOMPARE(depthOf(sitemap.entries), SitemapParser::kMaxDepth);
    // The levels past the cap are kept at the deepest level, and the closing tags still
    // bring the parser back to the root.
    const SitemapEntry* deepest = &sitemap.entries.front();
    while (!deepest->children.empty() && deepest->children.front().children.size() > 0)
        deepest = &deepest->children.front();
    QCOMPARE(int(deepest->children.size()), kLevels - SitemapParser::kMaxDepth + 1);
    QCOMPARE(sitemap.entries.back().name, QStringLiteral("After"));
}

void SitemapParserTest::capsEntryCount()
{
    QByteArray html = "<UL>";
    for (int i = 0; i < SitemapParser::kMaxEntries + 5; ++i)
        html += item("E", "e.htm");
    const Sitemap sitemap = SitemapParser::parse(html + "</UL>");
    QVERIFY(sitemap.truncated);
    QCOMPARE(int(sitemap.entries.size()), SitemapParser::kMaxEntries);
}

QTEST_GUILESS_MAIN(SitemapParserTest)
#include "sitemap_parser_test.moc"
