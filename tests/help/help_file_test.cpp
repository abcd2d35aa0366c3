#include "help/chm_archive.h"
#include "help/little_endian.h"
#include "help/sitemap_parser.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QTest>

// The .chm compiled by chmcmd from the pages in help/, and those pages.
static const QString kHelpFile = QStringLiteral(NIMBOLT_HELP_CHM);
static const QString kHelpSources = QStringLiteral(NIMBOLT_HELP_SOURCE);
static const QString kGreekHelpFile = QStringLiteral(NIMBOLT_GREEK_HELP_CHM);

namespace {

// Where the structures lie, from the format: the ITSF header, the ITSP directory header at the
// offset stored at 0x48 and its first block 0x54 further; the LZX control data 4 bytes before
// "LZXC"; the reset table with its fixed fields 2, ?, 8, 0x28.
enum Base { FileStart, Directory, ControlData, ResetTable };

qsizetype baseOffset(const QByteArray& chm, Base base)
{
    LittleEndianFields fields(chm);
    switch (base) {
    case FileStart:
        return 0;
    case Directory:
        return static_cast<qsizetype>(fields.u64(0x48));
    case ControlData:
        return chm.contains("LZXC") ? chm.indexOf("LZXC") - 4 : -1;
    case ResetTable:
        for (qsizetype at = 0; at + 16 <= chm.size(); at += 4)
            if (fields.u32(at) == 2 && fields.u32(at + 8) == 8 && fields.u32(at + 12) == 0x28)
                return at;
    }
    return -1;
}

// The help file cut to `length` bytes.
void cutRow(const char* name, int length, const QString& reason)
{
    QTest::newRow(name) << length << -1 << 0 << 0 << qint64{0} << reason;
}
// The help file with the `width`-byte field `offset` bytes into `base` set to `value`.
void fieldRow(const char* name, Base base, int offset, int width, qint64 value,
              const QString& reason)
{
    QTest::newRow(name) << -1 << int(base) << offset << width << value << reason;
}

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

// The help file's container, and the contents and index it holds whatever their markup's faults.
class HelpFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir scratch;

private Q_SLOTS:
    void readsEveryPageAndFindsContentsIndexAndTopic()
    {
        ChmArchive archive;
        QVERIFY2(archive.open(kHelpFile), qPrintable(archive.errorString()));
        const QStringList pages
            = QDir(kHelpSources).entryList({"*.htm", "*.css", "*.png", "*.hhc", "*.hhk"});
        QVERIFY(pages.contains(QStringLiteral("Welcome.htm")));
        for (const QString& page : pages) {
            QVERIFY2(archive.entries().contains('/' + page), qPrintable(page));
            QCOMPARE(archive.read(page).value_or("<missing>"),
                     readWholeFile(kHelpSources + '/' + page));
        }
        QVERIFY(!archive.read(QStringLiteral("/missing.htm")).has_value());
        QVERIFY(!archive.entries().contains(
            QStringLiteral("/#SYSTEM")));  // internal files are no pages
        QCOMPARE(archive.contentsFile(), QStringLiteral("/contents.hhc"));
        QCOMPARE(archive.indexFile(), QStringLiteral("/index.hhk"));
        QCOMPARE(archive.defaultTopic(), QStringLiteral("/Welcome.htm"));
        QCOMPARE(archive.title(), QStringLiteral("Nimbolt Sketch Help"));
    }

    // Text that is not UTF-8 is in the code page of the file's locale (LCID 0x408, Greek).
    void readsTextInItsLocalesCodePage()
    {
        ChmArchive archive;
        QVERIFY2(archive.open(kGreekHelpFile), qPrintable(archive.errorString()));
        QCOMPARE(archive.title(), QStringLiteral("Βοήθεια “Smart” – help"));
        const auto contents = archive.read(archive.contentsFile()).value_or("");
        QCOMPARE(SitemapParser::parse(contents, archive.codePage()).entries.at(0).name,
                 QStringLiteral("It’s “new” – € … ™ σελίδα"));
    }

    void refusesDamagedFiles_data()
    {
        QTest::addColumn<int>("truncateTo");  // -1: keep the length
        QTest::addColumn<int>("base");  // -1: change nothing
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("width");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("reason");  // what errorString() says
        const QString notChm = QStringLiteral("it is not a compiled help file");
        const QString header = QStringLiteral("its header is damaged");
        const QString unknownHeader = QStringLiteral("its header is of an unknown kind");
        const QString directory = QStringLiteral("its directory is damaged");
        const QString compressed = QStringLiteral("its compressed section is damaged");
        cutRow("empty", 0, notChm);
        cutRow("header only", 0x60, header);
        cutRow("cut inside the content", 12000, compressed);
        fieldRow("unknown header version", FileStart, 4, 4, 9, unknownHeader);
        fieldRow("directory past the end", FileStart, 0x48, 8, qint64{1} << 40, directory);
        fieldRow("block size zero", Directory, 0x10, 4, 0, directory);
        fieldRow("block size huge", Directory, 0x10, 4, 0x7FFFFFFF, directory);
        fieldRow("block count huge", Directory, 0x2C, 4, 0xFFFFFFFF, directory);
        fieldRow("index root past the blocks", Directory, 0x1C, 4, 1000, directory);
        fieldRow("free space larger than the block", Directory, 0x54 + 4, 4, 0xFFFF, directory);
        fieldRow("name running out of the block", Directory, 0x54 + 4, 4, 0xFF0, directory);
        fieldRow("window size zero", ControlData, 0x10, 4, 0, compressed);
        fieldRow("window size not a power of two", ControlData, 0x10, 4, 3, compressed);
        fieldRow("reset interval zero", ControlData, 0x0C, 4, 0, compressed);
        fieldRow("reset table frame size", ResetTable, 0x20, 8, 0x10000, compressed);
        fieldRow("reset table past its object", ResetTable, 0x0C, 4, 0xFFFFFF, compressed);
        fieldRow("compressed length past the content", ResetTable, 0x18, 8, qint64{1} << 36,
                 compressed);
        fieldRow("uncompressed length beyond the blocks", ResetTable, 0x10, 8, 0x100000,
                 compressed);
    }
    void refusesDamagedFiles()
    {
        QFETCH(int, truncateTo);
        QFETCH(int, base);
        QFETCH(int, offset);
        QFETCH(int, width);
        QFETCH(qint64, value);
        QFETCH(QString, reason);
        QByteArray chm = readWholeFile(kHelpFile);
        if (truncateTo >= 0)
            chm.truncate(truncateTo);
        if (base >= 0) {
            const qsizetype at = baseOffset(chm, static_cast<Base>(base));
            QVERIFY2(at >= 0, "the structure to damage is not in the file");
            for (int i = 0; i < width; ++i)  // little-endian
                chm[at + offset + i] = static_cast<char>((quint64(value) >> (8 * i)) & 0xFF);
        }
        const QString path = scratch.filePath(QStringLiteral("test.chm"));
        writeWholeFile(path, chm);
        ChmArchive archive;
        QVERIFY(!archive.open(path));
        QCOMPARE(archive.errorString(), reason);
        QVERIFY(!archive.read(QStringLiteral("/Welcome.htm")).has_value());
    }

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

QTEST_GUILESS_MAIN(HelpFileTest)
#include "help_file_test.moc"
