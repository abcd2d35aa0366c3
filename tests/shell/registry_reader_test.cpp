#include "platform/registry_file.h"
#include "shell/nimbolt_sketch_module.h"
#include "support/test_support.h"

#include <QDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

using NimboltSketchModule::ReadRegistryValue;
using NimboltSketchModule::RegistryVariant;

namespace {

// One registry file and the value "V" read from the program's key (or `key` below `root`).
struct ReadCase {
    const char* name;
    QByteArray file;
    RegistryVariant expected;
    qint32 root = advapi32::HKEY_LOCAL_MACHINE;
    QString key = ScratchRegistry::kSketchSubKey;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

QByteArray sketch(const QByteArrayList& values) { return ScratchRegistry::sketchFile(values); }
const QByteArray kKey = R"([HKEY_LOCAL_MACHINE\Software\Nimbolt Software\Nimbolt Sketch\1.0])";

QByteArray utf16le(const QByteArray& utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

class ReadRegistryValueTest : public ::testing::TestWithParam<ReadCase> {
protected:
    ScratchRegistry registry;
};

TEST_P(ReadRegistryValueTest, givesTextNumberOrEmptyTextAndLeavesNoKeyOpen)
{
    registry.write(GetParam().file);
    const RegistryVariant result = ReadRegistryValue(GetParam().root, GetParam().key, QStringLiteral("V"));
    EXPECT_EQ(result, GetParam().expected) << result.toText().toStdString();
    EXPECT_EQ(RegistryStore::openKeyCount(), 0);
}

// A section for a key `levels` deep (the root included), every name `chars` long; its path.
QByteArray deepKey(int levels, int chars)
{
    return "[HKEY_LOCAL_MACHINE" + ("\\" + QByteArray(chars, 'k')).repeated(levels - 1) + "]";
}
QString deepPath(int levels, int chars) { return QString(QByteArray(chars, 'k') + "\\").repeated(levels - 1).chopped(1); }

QByteArray manyValues(int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += "\"v" + QByteArray::number(i) + "\"=dword:1\r\n";
    return lines;
}

const QString kCafe = QString::fromUtf8("Zo\xC3\xAB & Caf\xC3\xA9");

INSTANTIATE_TEST_SUITE_P(
    Files, ReadRegistryValueTest,
    ::testing::Values(
        ReadCase{"text", sketch({R"("Other"="x")", R"("V"="Ada Lovelace")"}), QString("Ada Lovelace")},
        ReadCase{"escapes_and_spaces", sketch({R"("V" = "C:\\Temp \"draft\"")"}), QString(R"(C:\Temp "draft")")},
        ReadCase{"dword_is_signed", sketch({R"("V"=dword:FFFFFFFE)"}), qint32(-2)},
        ReadCase{"dword_as_hex4", sketch({R"("V"=hex(4):10,27,00,00)"}), qint32(10000)},
        ReadCase{"hex4_too_long_is_empty", sketch({R"("V"=hex(4):10,00,00,00,00)"}), QString("")},
        ReadCase{"string_without_a_nul", sketch({R"("V"=hex(1):41,64,61)"}), QString("Ada")},
        ReadCase{"string_cut_at_a_nul", sketch({R"("V"=hex(1):41,64,00,61,00)"}), QString("Ad")},
        ReadCase{"binary_is_empty", sketch({R"("V"=hex:41,64,61,00)"}), QString("")},
        ReadCase{"continuation_lines", sketch({R"("V"=hex(1):41,\)", R"(  64,61)"}), QString("Ada")},
        ReadCase{"names_ignore_case",
                 "REGEDIT4\r\n[hkey_local_machine\\SOFTWARE\\nimbolt software\\NIMBOLT SKETCH\\1.0]\r\n\"v\"=\"x\"\r\n",
                 QString("x")},
        ReadCase{"later_value_wins", sketch({R"("V"="Old")", R"("v"="New")"}), QString("New")},
        ReadCase{"minus_deletes_a_value", sketch({R"("V"="x")", R"("V"=-)"}), QString("")},
        ReadCase{"minus_deletes_a_key", sketch({R"("V"="x")", R"([-HKEY_LOCAL_MACHINE\Software\Nimbolt Software])"}),
                 QString("")},
        ReadCase{"malformed_line_is_skipped", sketch({R"(;"V"="comment")", R"("V"="kept")", R"("V"=dword:12x4)"}), QString("kept")},
        ReadCase{"malformed_section_drops_its_values", sketch({R"([HKEY_NOWHERE\Software])", R"("V"="stray")"}),
                 QString("")},
        ReadCase{"no_header_no_keys", kKey + "\r\n\"V\"=\"x\"\r\n", QString("")},
        ReadCase{"unix_line_ends", "Windows Registry Editor Version 5.00\n" + kKey + "\n\"V\"=\"x\"\n", QString("x")},
        ReadCase{"utf16_with_bom", utf16le(sketch({"\"V\"=\"Zo\xC3\xAB & Caf\xC3\xA9\""})), kCafe},
        ReadCase{"utf8_with_bom", "\xEF\xBB\xBF" + sketch({"\"V\"=\"Zo\xC3\xAB & Caf\xC3\xA9\""}), kCafe},
        ReadCase{"latin1", "REGEDIT4\r\n" + kKey + "\r\n\"V\"=\"Zo\xEB & Caf\xE9\"\r\n", kCafe},
        // What no Windows registry holds is skipped, and reading stays linear in the file.
        ReadCase{"a_40000_deep_key_ends_the_section", sketch({R"("V"="Ada")", deepKey(40000, 1), R"("V"="Eve")"}),
                 QString("Ada")},
        ReadCase{"key_512_levels_deep", sketch({deepKey(512, 2), R"("V"="Ada")"}), QString("Ada"),
                 advapi32::HKEY_LOCAL_MACHINE, deepPath(512, 2)},
        ReadCase{"key_513_levels_deep_is_skipped", sketch({deepKey(513, 2), R"("V"="Ada")"}), QString(""),
                 advapi32::HKEY_LOCAL_MACHINE, deepPath(513, 2)},
        ReadCase{"name_of_255_characters", sketch({deepKey(2, 255), R"("V"="Ada")"}), QString("Ada"),
                 advapi32::HKEY_LOCAL_MACHINE, deepPath(2, 255)},
        ReadCase{"name_of_256_characters_is_skipped", sketch({deepKey(2, 256), R"("V"="Ada")"}), QString(""),
                 advapi32::HKEY_LOCAL_MACHINE, deepPath(2, 256)},
        ReadCase{"sub_key_added_and_removed_leaves_the_key",
                 sketch({R"("V"="Ada")", kKey.chopped(1) + "\\Sub]", "[-" + kKey.sliced(1).chopped(1) + "\\Sub]"}),
                 QString("Ada")},
        ReadCase{"new_value_past_the_cap_is_skipped", sketch({manyValues(RegistryFile::kMaxValuesPerKey) + R"("V"="Eve")"}),
                 QString("")},
        ReadCase{"kept_value_changes_past_the_cap",
                 sketch({R"("V"="Ada")", manyValues(RegistryFile::kMaxValuesPerKey) + R"("V"="Eve")"}), QString("Eve")},
        ReadCase{"missing_value", sketch({R"("W"="x")"}), QString("")},
        ReadCase{"missing_key", sketch({R"("V"="x")"}), QString(""), advapi32::HKEY_LOCAL_MACHINE,
                 R"(Software\Nimbolt Software\Nimbolt Sketch\2.0)"},
        ReadCase{"other_root", sketch({R"("V"="x")"}), QString(""), advapi32::HKEY_CURRENT_USER}),
    [](const auto& row) { return std::string(row.param.name); });

// Only a regular file (through a link too) is a registry: a FIFO is never waited on.
TEST(ReadRegistryValueFiles, missingEndlessOrNoFileGivesEmptyText)
{
    ScratchRegistry registry;
    registry.write(sketch({R"("Name"="Ada")"}));
    const QString fifo = registry.path() + ".fifo", link = registry.path() + ".link", folder = registry.path() + ".d";
    ASSERT_TRUE(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0 && QFile::link(registry.path(), link)
                && QDir().mkdir(folder));
    for (const QString& path : {QString("/nonexistent/registry.reg"), QString("/dev/zero"), fifo, folder, link}) {
        RegistryStore::setFilePath(path);
        EXPECT_EQ(ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, ScratchRegistry::kSketchSubKey, "Name"),
                  RegistryVariant(QString(path == link ? "Ada" : ""))) << path.toStdString();
    }
}

} // namespace
