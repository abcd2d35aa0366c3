#include "registry/read_registry_value.h"
#include "registry/registry_file.h"
#include "support/test_support.h"

#include <QTest>

#include <sys/stat.h>

using NimboltSketchModule::ReadRegistryValue;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString kKeyPath = ScratchRegistry::kSketchSubKey;
const QByteArray kKey = R"([HKEY_LOCAL_MACHINE\Software\Nimbolt Software\Nimbolt Sketch\1.0])";

constexpr auto sketch = &ScratchRegistry::sketchFile;

QByteArray regedit4(const QByteArrayList& values)
{
    return "REGEDIT4\r\n" + kKey + "\r\n" + values.join("\r\n") + "\r\n";
}

// A version 5.00 file as Windows writes it: UTF-16LE with a byte-order mark.
QByteArray utf16(const QByteArrayList& values)
{
    const QString text = QString::fromUtf8(sketch(values));
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

QByteArray manyValues(int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += "\"v" + QByteArray::number(i) + "\"=dword:1\r\n";
    return lines;
}

// "V" of `key` as text; `ansi`: the bytes the ANSI query hands out, null when not looked at;
// `store`: where the registry operations look, a suffix to the scratch file or a path.
void row(const char* name, const QByteArray& file, const QString& text, const QByteArray& ansi = {},
         const QString& key = kKeyPath, const QString& store = {})
{
    QTest::newRow(name) << file << store << key << text << false << ansi;
}
void numberRow(const char* name, const QByteArray& file, qint32 number)
{
    QTest::newRow(name) << file << QString() << kKeyPath << QString::number(number) << true
                        << QByteArray();
}
// "V" of a key `levels` deep (the root included), every name `chars` long.
void deepRow(const char* name, int levels, int chars, const QString& text)
{
    const QByteArray path = (QByteArray(chars, 'k') + '\\').repeated(levels - 1).chopped(1);
    row(name, sketch({"[HKEY_LOCAL_MACHINE\\" + path + "]", R"("V"="Ada")"}), text, {}, path);
}

// The data of "V" as RegQueryValueExA hands it out.
QByteArray ansiData(const QString& key)
{
    quint32 handle = 0;
    advapi32::RegOpenKeyA(advapi32::HKEY_LOCAL_MACHINE, key.toLocal8Bit(), &handle);
    quint8 data[256] = {};
    quint32 size = sizeof data;
    const qint32 status = advapi32::RegQueryValueExA(handle, "V", nullptr, nullptr, data, &size);
    advapi32::RegCloseKey(handle);
    return status == advapi32::ERROR_SUCCESS ? QByteArray(reinterpret_cast<char*>(data), size)
                                             : QByteArray("<failed>");
}

}  // namespace

// What ReadRegistryValue gives for the value "V" of registry files as Windows exports and
// imports them; cases after Wine's regedit import tests are marked "import:".
class RegistryReaderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void givesTextNumberOrEmptyTextAndLeavesNoKeyOpen_data();
    void givesTextNumberOrEmptyTextAndLeavesNoKeyOpen();
};

void RegistryReaderTest::givesTextNumberOrEmptyTextAndLeavesNoKeyOpen_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("store");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("number");
    QTest::addColumn<QByteArray>("ansi");
    const QString cafe = QString::fromUtf8("Zo\xC3\xAB & Caf\xC3\xA9");
    row("escapes and spaces", sketch({R"("V" = "C:\\Temp \"draft\"")"}), R"(C:\Temp "draft")");
    numberRow("dword is signed", sketch({R"("V"=dword:FFFFFFFE)"}), -2);
    numberRow("dword as hex(4)", sketch({R"("V"=hex(4):10,27,00,00)"}), 10000);
    row("hex(4) too long", sketch({R"("V"=hex(4):10,00,00,00,00)"}), "");
    row("string cut at a NUL", sketch({R"("V"=hex(1):41,64,00,61,00)"}), "Ad", "Ad\0a\0"_ba);
    row("binary", sketch({R"("V"=hex:41,64,61,00)"}), "");
    row("names ignore case",
        "REGEDIT4\r\n[hkey_local_machine\\SOFTWARE\\nimbolt software\\NIMBOLT SKETCH\\1.0]\r\n"
        "\"v\"=\"x\"\r\n",
        "x");
    row("minus deletes a key",
        sketch({R"("V"="x")", R"([-HKEY_LOCAL_MACHINE\Software\Nimbolt Software])"}), "");
    row("malformed lines are skipped",
        sketch({R"(;"V"="comment")", R"("V"="kept")", R"("V"=dword:12x4)", R"("V"=dword:123456789)",
                R"("V"=hex(0x1):41)", R"("V"=hex(1):41,100)"}),
        "kept");
    row("malformed section drops its values",
        sketch({R"([HKEY_NOWHERE\Software])", R"("V"="stray")"}), "");
    row("no header, no keys", kKey + "\r\n\"V\"=\"x\"\r\n", "");
    row("LF line ends", "Windows Registry Editor Version 5.00\n" + kKey + "\n\"V\"=\"x\"\n", "x");
    row("import: CR line ends", "REGEDIT4\r\r" + kKey + "\r\"V\"=\"x\"\r", "x");
    row("UTF-16 with BOM", utf16({"\"V\"=\"Zo\xC3\xAB & Caf\xC3\xA9\""}), cafe);
    row("UTF-8 with BOM", "\xEF\xBB\xBF" + sketch({"\"V\"=\"Zo\xC3\xAB & Caf\xC3\xA9\""}), cafe);
    row("REGEDIT4 in Windows-1252", regedit4({"\"V\"=\"Zo\xEB & Caf\xE9 \x80\""}),
        cafe + QString::fromUtf8(" \xE2\x82\xAC"));
    row("import: ';' comment after a value", sketch({R"("V"="Ada Lovelace" ; owner)"}),
        "Ada Lovelace");
    row("import: '#' after a value refused", sketch({R"("V"="Ada"#owner)"}), "");
    numberRow("import: ';' right after a dword", sketch({R"("V"=dword:1234;5678)"}), 0x1234);
    row("import: deletion with a comment", sketch({R"("V"="x")", R"("V"=- ;gone)"}), "");
    row("import: '-' before data is no deletion", sketch({R"("V"="x")", R"("V"=-"y")"}), "x");
    row("import: \\0 in a string refused", sketch({R"("V"="Ada\0")"}), "");
    row("import: backslash after a digit drops only its value",
        sketch({R"("X"=hex(2):41\)", R"("V"="Ada")"}), "Ada");
    row("import: broken list takes the next line", sketch({R"("X"=hex(2):41,\)", R"("V"="Ada")"}),
        "");
    row("import: '#' line ends a list", sketch({R"("X"=hex(2):41,\)", "#comment", R"("V"="Ada")"}),
        "Ada");
    row("import: continued line starts with a backslash",
        sketch({R"("V"=hex(1):41,\)", R"(\)", "  64"}), "");
    row("import: comments inside a list", sketch({R"("V"=hex(1):41,\;one)", ";two", "", "  64,61"}),
        "Ada");
    row("import: ';' ends a list", sketch({R"("V"=hex(1):41,64,;comment)", "  61"}), "Ad");
    row("import: list ends with the file", sketch({R"("V"=hex(1):41,64,\)"}), "Ad");
    row("import: hex(1) in UTF-16", utf16({R"("V"=hex(1):41,00,64,00,61,00,00,00)"}), "Ada",
        "Ada\0"_ba);
    row("string without a NUL comes back whole", utf16({R"("V"=hex(1):41,00,42)"}), "AB", "AB"_ba);
    row("import: hex(2) in UTF-16", utf16({R"("V"=hex(2):25,00,50,00,25,00)"}), "", "%P%\0"_ba);
    row("import: hex(7) in REGEDIT4", regedit4({R"("V"=hex(7):4c,69,00)"}), "", "Li\0"_ba);
    row("import: hex(1) in the ANSI code page", regedit4({R"("V"=hex(1):80)"}),
        QString::fromUtf8("\xE2\x82\xAC"), "\xE2\x82\xAC\0"_ba);
    row("import: empty hex(1)", sketch({R"("V"=hex(1):)"}), "", ""_ba);
    numberRow("import: empty hex(4)", sketch({R"("V"=hex(4):)"}), 0);
    // What no Windows registry holds is skipped.
    deepRow("key 512 levels deep", 512, 2, "Ada");
    deepRow("key 513 levels deep is skipped", 513, 2, "");
    deepRow("name of 255 characters", 2, 255, "Ada");
    deepRow("name of 256 characters is skipped", 2, 256, "");
    const QByteArray sub = kKey.sliced(1).chopped(1) + "\\Sub]";
    row("sub-key added and removed leaves the key", sketch({R"("V"="Ada")", "[" + sub, "[-" + sub}),
        "Ada");
    row("new value past the cap is skipped",
        sketch({manyValues(RegistryFile::kMaxValuesPerKey) + R"("V"="Eve")"}), "");
    row("kept value changes past the cap",
        sketch({R"("V"="Ada")", manyValues(RegistryFile::kMaxValuesPerKey) + R"("V"="Eve")"}),
        "Eve");
    row("missing key", sketch({R"("V"="x")"}), "", {},
        u"Software\\Nimbolt Software\\Nimbolt Sketch\\2.0"_s);
    row("other root", QByteArray(sketch({R"("V"="x")"})).replace("LOCAL_MACHINE", "CURRENT_USER"),
        "");
    // Only a regular file (through a link too) is a registry: a FIFO is never waited on.
    const QByteArray ada = sketch({R"("V"="Ada")"});
    row("missing file", ada, "", {}, kKeyPath, u"/nonexistent/registry.reg"_s);
    row("FIFO", ada, "", {}, kKeyPath, u".fifo"_s);
    row("link to the file", ada, "Ada", {}, kKeyPath, u".link"_s);
}

void RegistryReaderTest::givesTextNumberOrEmptyTextAndLeavesNoKeyOpen()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, store);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(bool, number);
    QFETCH(QByteArray, ansi);
    ScratchRegistry registry;
    registry.write(file);
    const QString path = registry.path();
    QCOMPARE(mkfifo(QFile::encodeName(path + ".fifo").constData(), 0600), 0);
    QVERIFY(QFile::link(path, path + ".link"));
    RegistryStore::setFilePath(store.startsWith(u'/') ? store : path + store);
    const auto result = ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, key, QStringLiteral("V"));
    QCOMPARE(result.toText(), text);
    QCOMPARE(result.isNumber(), number);
    QCOMPARE(RegistryStore::openKeyCount(), 0);
    if (!ansi.isNull())
        QCOMPARE(ansiData(key), ansi);
}

QTEST_GUILESS_MAIN(RegistryReaderTest)
#include "read_registry_value_test.moc"
