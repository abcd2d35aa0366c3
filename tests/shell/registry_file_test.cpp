#include "platform/registry_file.h"
#include "registry_test_files.h"

#include <gtest/gtest.h>

#include <optional>

using regtest::kHeader;
using regtest::kSketchKey;
using regtest::kSketchPath;
using regtest::lines;
using regtest::sketchFile;

namespace {

struct ParseCase {
    const char* name;
    QByteArray file;
    QString valueName;
    std::optional<RegistryValue> expected;  // nullopt: the value must not exist
    QString keyPath = kSketchPath;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

RegistryValue sz(const QByteArray& data) { return {RegistryType::kString, data}; }

class RegistryFileParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(RegistryFileParse, findsTheValueTheFileHolds)
{
    const ParseCase& c = GetParam();
    const RegistryFile registry = RegistryFile::parse(c.file);
    const RegistryValue* found = registry.value(c.keyPath, c.valueName);
    if (!c.expected) {
        EXPECT_EQ(found, nullptr);
        return;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->type, c.expected->type);
    EXPECT_EQ(found->data.toHex(' ').toStdString(), c.expected->data.toHex(' ').toStdString());
}

const QByteArray kLongText = "\"Name\"=\"" + QByteArray(RegistryFile::kMaxLineChars, 'a') + "\"";

INSTANTIATE_TEST_SUITE_P(
    Formats, RegistryFileParse,
    ::testing::Values(
        ParseCase{"text_gets_a_terminating_nul", sketchFile({R"("Name"="Ada Lovelace")"}), "Name",
                  sz(QByteArray("Ada Lovelace\0", 13))},
        ParseCase{"escaped_quotes_and_backslashes", sketchFile({R"("Path"="C:\\Temp \"draft\"")"}), "Path",
                  sz(QByteArray("C:\\Temp \"draft\"\0", 16))},
        ParseCase{"spaces_around_equals", sketchFile({R"("Name" = "Ada")"}), "Name", sz(QByteArray("Ada\0", 4))},
        ParseCase{"dword_is_four_little_endian_bytes", sketchFile({R"("Size"=dword:0000a0b1)"}), "Size",
                  RegistryValue{RegistryType::kDword, QByteArray("\xb1\xa0\x00\x00", 4)}},
        ParseCase{"dword_in_capitals", sketchFile({R"("Size"=dword:FFFFFFFF)"}), "Size",
                  RegistryValue{RegistryType::kDword, QByteArray("\xff\xff\xff\xff", 4)}},
        ParseCase{"hex_is_binary", sketchFile({R"("Blob"=hex:de,ad,be,ef)"}), "Blob",
                  RegistryValue{RegistryType::kBinary, QByteArray("\xde\xad\xbe\xef", 4)}},
        ParseCase{"empty_hex", sketchFile({R"("Blob"=hex:)"}), "Blob", RegistryValue{RegistryType::kBinary, {}}},
        ParseCase{"hex1_keeps_raw_bytes", sketchFile({R"("Name"=hex(1):41,00,42)"}), "Name",
                  sz(QByteArray("A\0B", 3))},
        ParseCase{"hex2_is_expand_string", sketchFile({R"("Path"=hex(2):25,00)"}), "Path",
                  RegistryValue{RegistryType::kExpandString, QByteArray("%\0", 2)}},
        ParseCase{"hex7_is_multi_string", sketchFile({R"("List"=hex(7):61,00,00)"}), "List",
                  RegistryValue{RegistryType::kMultiString, QByteArray("a\0\0", 3)}},
        ParseCase{"type_code_is_hexadecimal", sketchFile({R"("Big"=hex(b):01,00,00,00,00,00,00,00)"}), "Big",
                  RegistryValue{11, QByteArray("\x01\0\0\0\0\0\0\0", 8)}},
        ParseCase{"continuation_lines",
                  sketchFile({R"("Blob"=hex:01,02,\)", R"(  03,04,\)", R"(  05)"}), "Blob",
                  RegistryValue{RegistryType::kBinary, QByteArray("\x01\x02\x03\x04\x05", 5)}},
        ParseCase{"default_value", sketchFile({R"(@="Default")"}), "", sz(QByteArray("Default\0", 8))},
        ParseCase{"value_name_ignores_case", sketchFile({R"("Name"="Ada")"}), "nAME", sz(QByteArray("Ada\0", 4))},
        ParseCase{"key_path_ignores_case", sketchFile({R"("Name"="Ada")"}), "Name", sz(QByteArray("Ada\0", 4)),
                  R"(hkey_local_machine\SOFTWARE\nimbolt software\NIMBOLT SKETCH\1.0)"},
        ParseCase{"key_section_ignores_case",
                  lines({kHeader, R"([hkey_local_machine\software\NIMBOLT SOFTWARE\nimbolt sketch\1.0])",
                         R"("Name"="Ada")"}),
                  "Name", sz(QByteArray("Ada\0", 4))},
        ParseCase{"comment_line_is_ignored", sketchFile({R"(;"Name"="Ada")"}), "Name", std::nullopt},
        ParseCase{"later_value_wins", sketchFile({R"("Name"="Old")", R"("NAME"="New")"}), "Name",
                  sz(QByteArray("New\0", 4))},
        ParseCase{"minus_deletes_a_value", sketchFile({R"("Name"="Ada")", R"("Name"=-)"}), "Name", std::nullopt},
        ParseCase{"minus_section_deletes_a_key_and_its_values",
                  sketchFile({R"("Name"="Ada")", R"([-HKEY_LOCAL_MACHINE\Software\Nimbolt Software])"}), "Name",
                  std::nullopt},
        ParseCase{"regedit4_header", lines({"REGEDIT4", "", kSketchKey, R"("Name"="Ada")"}), "Name",
                  sz(QByteArray("Ada\0", 4))},
        ParseCase{"no_header_means_no_keys", lines({kSketchKey, R"("Name"="Ada")"}), "Name", std::nullopt},
        ParseCase{"value_before_any_key_is_ignored", lines({kHeader, R"("Name"="Ada")"}), "Name", std::nullopt,
                  "HKEY_LOCAL_MACHINE"},
        ParseCase{"unix_line_ends", kHeader + "\n" + kSketchKey + "\n\"Name\"=\"Ada\"\n", "Name",
                  sz(QByteArray("Ada\0", 4))},
        ParseCase{"utf16_file_with_bom",
                  regtest::utf16le(sketchFile({"\"Company\"=\"Zo\xC3\xAB & Caf\xC3\xA9\""})), "Company",
                  sz(QByteArray("Zo\xC3\xAB & Caf\xC3\xA9\0", 13))},
        ParseCase{"utf8_file_with_bom", "\xEF\xBB\xBF" + sketchFile({"\"Company\"=\"Caf\xC3\xA9\""}), "Company",
                  sz(QByteArray("Caf\xC3\xA9\0", 6))},
        ParseCase{"latin1_file", lines({"REGEDIT4", kSketchKey, "\"Company\"=\"Caf\xE9\""}), "Company",
                  sz(QByteArray("Caf\xC3\xA9\0", 6))},
        ParseCase{"overlong_line_is_skipped", sketchFile({kLongText}), "Name", std::nullopt}),
    [](const auto& row) { return std::string(row.param.name); });

// A malformed line is skipped and the lines around it still count.
class RegistryFileMalformedLine : public ::testing::TestWithParam<const char*> {};

TEST_P(RegistryFileMalformedLine, isSkippedAlone)
{
    const RegistryFile registry = RegistryFile::parse(sketchFile({R"("Before"="1")", GetParam(), R"("After"="2")"}));
    EXPECT_NE(registry.value(kSketchPath, "Before"), nullptr);
    EXPECT_NE(registry.value(kSketchPath, "After"), nullptr);
    EXPECT_EQ(registry.value(kSketchPath, "Bad"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RegistryFileMalformedLine,
    ::testing::Values(R"("Bad"=dword:123456789)", R"("Bad"=dword:12x4)", R"("Bad"=dword:)", R"("Bad"=hex:1g,00)",
                      R"("Bad"=hex:100)", R"("Bad"=hex:,01)", R"("Bad"=hex(1:41)", R"("Bad"=hex(zz):41)",
                      R"("Bad"="unterminated)", R"("Bad"="text" trailing)", R"("Bad" "no equals")",
                      R"("Bad"=)", R"("Bad"=string)", R"(Bad="unquoted name")"));

// A section that does not parse ends the key before it: its values go nowhere.
class RegistryFileMalformedSection : public ::testing::TestWithParam<const char*> {};

TEST_P(RegistryFileMalformedSection, dropsItsValues)
{
    const RegistryFile registry = RegistryFile::parse(
        sketchFile({R"("Before"="1")", GetParam(), R"("Stray"="x")", kSketchKey, R"("After"="2")"}));
    EXPECT_NE(registry.value(kSketchPath, "Before"), nullptr);
    EXPECT_NE(registry.value(kSketchPath, "After"), nullptr);
    EXPECT_EQ(registry.value(kSketchPath, "Stray"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Sections, RegistryFileMalformedSection,
                         ::testing::Values(R"([HKEY_NOWHERE\Software])", R"([HKEY_LOCAL_MACHINE\Software)", "[]",
                                           "[-HKEY_LOCAL_MACHINE\\Software\\Elsewhere]"));

TEST(RegistryFileKeys, parentsOfAListedKeyExistAndRootsAlwaysDo)
{
    const RegistryFile registry = RegistryFile::parse(sketchFile({}));
    EXPECT_TRUE(registry.hasKey(kSketchPath));
    EXPECT_TRUE(registry.hasKey(R"(HKEY_LOCAL_MACHINE\Software\Nimbolt Software)"));
    EXPECT_TRUE(registry.hasKey("HKEY_USERS"));
    EXPECT_FALSE(registry.hasKey(R"(HKEY_LOCAL_MACHINE\Software\Nimbolt Software\Nimbolt Sketch\2.0)"));
    EXPECT_FALSE(registry.hasKey(R"(HKEY_CURRENT_USER\Software\Nimbolt Software)"));
    EXPECT_FALSE(registry.hasKey(R"(HKEY_NOWHERE\Software)"));
}

TEST(RegistryFileKeys, missingOrEndlessFileHoldsNoKeys)
{
    EXPECT_EQ(RegistryFile::load("/nonexistent/registry.reg").keyCount(), 0);
    EXPECT_EQ(RegistryFile::load("/dev/zero").keyCount(), 0);
}

} // namespace
