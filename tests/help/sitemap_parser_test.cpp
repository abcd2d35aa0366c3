#include "help/sitemap_parser.h"

#include <QTest>

namespace {

// "Name(local)" per entry, children in brackets: "A(a.htm)[B(b.htm),C()]".
QString outline(const std::vector<SitemapEntry>& entries)
{
    QStringList parts;
    for (const SitemapEntry& entry : entries)
        parts << entry.name + '(' + entry.local + ')'
                + (entry.children.empty() ? QString() : '[' + outline(entry.children) + ']');
    return parts.join(',');
}

QByteArray item(const QByteArray& name, const QByteArray& local = {})
{
    return "<LI><OBJECT type=\"text/sitemap\">"
        + (name.isNull() ? "" : "<param name=\"Name\" value=\"" + name + "\">")
        + (local.isNull() ? "" : "<param name=\"Local\" value=\"" + local + "\">") + "</OBJECT>\n";
}

}  // namespace

// The contents and index files of a help file: the entries and their nesting, whatever the markup's
// faults.
class SitemapParserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsEntries_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("expected");
        const QByteArray a = item("A", "a.htm"), b = item("B", "b.htm"), c = item("C", "c.htm");
        QTest::newRow("nested, then a sibling")
            << "<HTML><UL>" + a + "<UL>" + b + "<UL>" + c + "</UL></UL>" + c + "</UL>"
            << "A(a.htm)[B(b.htm)[C(c.htm)]],C(c.htm)";
        QTest::newRow("heading without a topic") << "<UL>" + item("H") + "<UL>" + a + "</UL></UL>"
                                                 << "H()[A(a.htm)]";
        QTest::newRow("missing name takes the topic") << "<UL>" + item({}, "x.htm") + "</UL>"
                                                      << "x.htm(x.htm)";
        QTest::newRow("site properties")
            << "<OBJECT type=\"text/site properties\"><param name=\"Name\" value=\"P\"></OBJECT>"
                + a
            << "A(a.htm)";
        QTest::newRow("entities") << item(
            "Tom &amp; Jerry &lt;3 &#233;&#x41; &bogus; &#0;",
            "a&amp;b.htm") << QString::fromUtf8("Tom & Jerry <3 \u00e9A &bogus; \uFFFD(a&b.htm)");
        QTest::newRow("case, quotes, bare values and '>'")
            << QByteArray("<ul><li><object TYPE='text/sitemap'><PARAM NAME=name VALUE='a > "
                          "b'><param name=local value=s.htm>")
            << "a > b(s.htm)";
        QTest::newRow("missing </OBJECT>")
            << item("A").replace("</OBJECT>", "") + item("B") << "A(),B()";
        QTest::newRow("comments") << "<!-- " + b + " -->" + a + "<!-- " + c << "A(a.htm)";
        QTest::newRow("stray and early closing lists")
            << "</UL><UL><UL>" + a + "</UL></UL></UL>" + b << "A(a.htm),B(b.htm)";
        QTest::newRow("entity ten characters long")
            << item("&&&&amp;&#x010FFFF;&#x0010FFFF;")
            << "&&&&" + QString::fromUcs4(U"\U0010FFFF", 1) + "&#x0010FFFF;()";
        QTest::newRow("Windows-1252 bytes")
            << item("Caf\xe9 \x93new\x94 \x80") << QString::fromUtf8("Caf\u00e9 “new” €()");
        QTest::newRow("not a sitemap") << QByteArray("\x00\x01<<<>>>\xff garbage <UL", 21) << "";
    }
    void readsEntries()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, expected);
        const Sitemap sitemap = SitemapParser::parse(html);
        QCOMPARE(outline(sitemap.entries), expected);
        QVERIFY(!sitemap.truncated);
    }

    void tooDeepOrTooManyEntriesAreCutAndSaidSo()
    {
        QByteArray deep = QByteArray("<UL>" + item("L", "l.htm")).repeated(100)
            + QByteArray("</UL>").repeated(100) + item("After");
        const Sitemap nested = SitemapParser::parse(deep);
        QVERIFY(nested.truncated);
        QCOMPARE(outline(nested.entries).count(u'['), SitemapParser::kMaxDepth - 1);
        QCOMPARE(nested.entries.back().name,
                 QStringLiteral("After"));  // the closing tags still reach the root
        const Sitemap many
            = SitemapParser::parse(item("E").repeated(SitemapParser::kMaxEntries + 5));
        QVERIFY(many.truncated);
        QCOMPARE(int(many.entries.size()), SitemapParser::kMaxEntries);
    }
};

QTEST_GUILESS_MAIN(SitemapParserTest)
#include "sitemap_parser_test.moc"
