#include "shell/nimbolt_sketch_module.h"

#include "platform/registry_api.h"
#include "registry_test_files.h"

#include <gtest/gtest.h>

#include <cstdint>

using NimboltSketchModule::LastRegistryStatus;
using NimboltSketchModule::ReadRegistryValue;
using NimboltSketchModule::RegistryVariant;
using regtest::kSketchSubKey;

namespace {

struct ReadCase {
    const char* name;
    QByteArray line;  // the value "V" under the program's key, as the file writes it
    RegistryVariant expected;
    QString joined;  // the result joined to text
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadRegistryValueTest : public ::testing::TestWithParam<ReadCase> {
protected:
    regtest::ScratchRegistry scratch;
};

TEST_P(ReadRegistryValueTest, givesTextNumberOrEmptyText)
{
    scratch.write(regtest::sketchFile({"\"Other\"=\"x\"", GetParam().line}));
    LastRegistryStatus = -1;
    const RegistryVariant result = ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, kSketchSubKey, "V");
    EXPECT_EQ(result.isNumber(), GetParam().expected.isNumber());
    EXPECT_EQ(result, GetParam().expected);
    EXPECT_EQ(result.toText(), GetParam().joined);
    EXPECT_EQ(LastRegistryStatus, 0);
    EXPECT_EQ(RegistryStore::openKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadRegistryValueTest,
    ::testing::Values(
        ReadCase{"text_value", R"("V"="Ada Lovelace")", QString("Ada Lovelace"), "Ada Lovelace"},
        ReadCase{"string_with_its_nul", R"("V"=hex(1):41,64,61,00)", QString("Ada"), "Ada"},
        ReadCase{"string_without_a_nul_comes_whole", R"("V"=hex(1):41,64,61)", QString("Ada"), "Ada"},
        ReadCase{"string_cut_at_a_nul_inside", R"("V"=hex(1):41,64,00,61,00)", QString("Ad"), "Ad"},
        ReadCase{"single_nul_is_empty_text", R"("V"=hex(1):00)", QString(""), ""},
        ReadCase{"string_with_no_bytes", R"("V"=hex(1):)", QString(""), ""},
        ReadCase{"non_ascii_text", "\"V\"=\"Zo\xC3\xAB Caf\xC3\xA9\"", QString::fromUtf8("Zo\xC3\xAB Caf\xC3\xA9"),
                 QString::fromUtf8("Zo\xC3\xAB Caf\xC3\xA9")},
        ReadCase{"dword_16", R"("V"=dword:00000010)", qint32(16), "16"},
        ReadCase{"dword_all_ones_is_minus_one", R"("V"=dword:ffffffff)", qint32(-1), "-1"},
        ReadCase{"dword_high_bit", R"("V"=dword:80000000)", qint32(INT32_MIN), "-2147483648"},
        ReadCase{"dword_written_as_hex4", R"("V"=hex(4):10,27,00,00)", qint32(10000), "10000"},
        ReadCase{"dword_too_long_to_read", R"("V"=hex(4):10,00,00,00,00,00,00,00)", QString(""), ""},
        ReadCase{"expand_string_is_empty", R"("V"=hex(2):25,00,54,00,00,00)", QString(""), ""},
        ReadCase{"multi_string_is_empty", R"("V"=hex(7):61,00,62,00,00)", QString(""), ""},
        ReadCase{"binary_is_empty", R"("V"=hex:41,64,61,00)", QString(""), ""},
        ReadCase{"missing_value_is_empty_with_status_0", R"("W"="not this one")", QString(""), ""}),
    [](const auto& row) { return std::string(row.param.name); });

class ReadRegistryValueKeys : public ::testing::Test {
protected:
    void SetUp() override { scratch.write(regtest::sketchFile({R"("Name"="Ada")", R"("Company"="Analytical")"})); }
    regtest::ScratchRegistry scratch;
};

TEST_F(ReadRegistryValueKeys, missingKeyIsEmptyTextWithTheNullCloseStatus)
{
    LastRegistryStatus = 0;
    const RegistryVariant result =
        ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, R"(Software\Nimbolt Software\Nimbolt Sketch\2.0)", "Name");
    EXPECT_TRUE(result.isText());
    EXPECT_EQ(result.toText(), "");
    EXPECT_EQ(LastRegistryStatus, advapi32::ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegistryStore::openKeyCount(), 0);
}

TEST_F(ReadRegistryValueKeys, missingFileIsEmptyTextWithANonZeroStatus)
{
    RegistryStore::setFilePath(scratch.path() + ".missing");
    const RegistryVariant result = ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, kSketchSubKey, "Name");
    EXPECT_EQ(result, RegistryVariant(QString("")));
    EXPECT_NE(LastRegistryStatus, 0);
    EXPECT_EQ(RegistryStore::openKeyCount(), 0);
}

TEST_F(ReadRegistryValueKeys, namesMatchWithoutRegardToCase)
{
    EXPECT_EQ(ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, kSketchSubKey.toUpper(), "company").toText(),
              "Analytical");
    EXPECT_EQ(LastRegistryStatus, 0);
}

TEST_F(ReadRegistryValueKeys, readsOwnerThenCompanyAsTheSplashDoes)
{
    // Two reads in a row: each opens and closes its own key.
    EXPECT_EQ(ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, kSketchSubKey, "Name").toText(), "Ada");
    EXPECT_EQ(ReadRegistryValue(advapi32::HKEY_LOCAL_MACHINE, kSketchSubKey, "Company").toText(), "Analytical");
    EXPECT_EQ(RegistryStore::openKeyCount(), 0);
}

TEST_F(ReadRegistryValueKeys, otherRootDoesNotSeeTheKey)
{
    EXPECT_EQ(ReadRegistryValue(advapi32::HKEY_CURRENT_USER, kSketchSubKey, "Name").toText(), "");
    EXPECT_NE(LastRegistryStatus, 0);
}

} // namespace
