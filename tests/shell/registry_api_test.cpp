#include "platform/registry_api.h"
#include "registry_test_files.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace advapi32;
using regtest::kSketchSubKey;

namespace {

class RegistryApi : public ::testing::Test {
protected:
    void SetUp() override
    {
        scratch.write(regtest::sketchFile({R"("Name"="Ada")", R"("Size"=dword:00000010)", R"(@="Default")",
                                           R"([HKEY_CURRENT_USER\Software\Other])", R"("Name"="User")"}));
    }

    void TearDown() override { EXPECT_EQ(RegistryStore::openKeyCount(), 0) << "a test left a key open"; }

    quint32 openSketchKey()
    {
        quint32 handle = 0;
        EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, kSketchSubKey.toLocal8Bit(), &handle), ERROR_SUCCESS);
        EXPECT_NE(handle, 0u);
        return handle;
    }

    regtest::ScratchRegistry scratch;
};

TEST_F(RegistryApi, openGivesAHandleThatCloseReleases)
{
    const quint32 handle = openSketchKey();
    EXPECT_EQ(RegistryStore::openKeyCount(), 1);
    EXPECT_EQ(RegCloseKey(handle), ERROR_SUCCESS);
    EXPECT_EQ(RegistryStore::openKeyCount(), 0);
    EXPECT_EQ(RegCloseKey(handle), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApi, closingTheNullHandleFails)
{
    EXPECT_EQ(RegCloseKey(0), ERROR_INVALID_HANDLE);
}

struct OpenFailure {
    const char* name;
    qint32 root;
    QByteArray subKey;
    qint32 status;
};

class RegistryApiOpenFailure : public RegistryApi, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(RegistryApiOpenFailure, leavesTheHandleZero)
{
    quint32 handle = 0xDEADBEEF;
    EXPECT_EQ(RegOpenKeyA(GetParam().root, GetParam().subKey, &handle), GetParam().status);
    EXPECT_EQ(handle, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RegistryApiOpenFailure,
    ::testing::Values(OpenFailure{"missing_key", HKEY_LOCAL_MACHINE, R"(Software\Nimbolt Software\Nowhere)",
                                  ERROR_FILE_NOT_FOUND},
                      OpenFailure{"key_of_another_root", HKEY_LOCAL_MACHINE, R"(Software\Other)", ERROR_FILE_NOT_FOUND},
                      OpenFailure{"unknown_root", 0x12345, "Software", ERROR_INVALID_HANDLE},
                      OpenFailure{"null_root", 0, "Software", ERROR_INVALID_HANDLE}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(RegistryApi, missingFileHasNoKeys)
{
    RegistryStore::setFilePath(scratch.path() + ".missing");
    quint32 handle = 0;
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", &handle), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
}

TEST_F(RegistryApi, parentKeysAndKeysBelowAnOpenHandleOpen)
{
    quint32 parent = 0;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, R"(Software\Nimbolt Software)", &parent), ERROR_SUCCESS);
    quint32 child = 0;
    ASSERT_EQ(RegOpenKeyA(qint32(parent), R"(Nimbolt Sketch\1.0)", &child), ERROR_SUCCESS);
    EXPECT_NE(child, parent);
    quint32 type = 0;
    EXPECT_EQ(RegQueryValueExA(child, "Name", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(parent), ERROR_SUCCESS);
}

struct SizeQuery {
    const char* name;
    QByteArray valueName;
    qint32 status;
    quint32 type;
    quint32 size;
};

class RegistryApiSizeQuery : public RegistryApi, public ::testing::WithParamInterface<SizeQuery> {};

TEST_P(RegistryApiSizeQuery, storesTypeAndSizeWithoutData)
{
    const quint32 handle = openSketchKey();
    quint32 type = 0;
    quint32 size = 77;  // untouched for a missing value
    EXPECT_EQ(RegQueryValueExA(handle, GetParam().valueName, nullptr, &type, nullptr, &size), GetParam().status);
    EXPECT_EQ(type, GetParam().type);
    EXPECT_EQ(size, GetParam().size);
    RegCloseKey(handle);
}

INSTANTIATE_TEST_SUITE_P(Values, RegistryApiSizeQuery,
                         ::testing::Values(SizeQuery{"string_counts_its_nul", "Name", ERROR_SUCCESS, 1, 4},
                                           SizeQuery{"dword", "size", ERROR_SUCCESS, 4, 4},
                                           SizeQuery{"default_value", "", ERROR_SUCCESS, 1, 8},
                                           SizeQuery{"missing_value", "Nothing", ERROR_FILE_NOT_FOUND, 0, 77}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(RegistryApi, readCopiesTheDataAndItsSize)
{
    const quint32 handle = openSketchKey();
    quint8 buffer[8];
    std::memset(buffer, ' ', sizeof buffer);
    quint32 type = 0;
    quint32 size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(handle, "Name", nullptr, &type, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer), 8), QByteArray("Ada\0    ", 8));
    RegCloseKey(handle);
}

TEST_F(RegistryApi, tooSmallBufferAsksForMore)
{
    const quint32 handle = openSketchKey();
    quint8 buffer[3];
    quint32 size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(handle, "Name", nullptr, nullptr, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    RegCloseKey(handle);
}

TEST_F(RegistryApi, badArgumentsAreRefused)
{
    const quint32 handle = openSketchKey();
    quint32 reserved = 0;
    quint32 size = 4;
    quint8 buffer[4];
    EXPECT_EQ(RegQueryValueExA(handle, "Name", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(handle, "Name", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software", nullptr), ERROR_INVALID_PARAMETER);
    RegCloseKey(handle);
    EXPECT_EQ(RegQueryValueExA(handle, "Name", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(0, "Name", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApi, eachOpenSeesTheFileAsItIsNow)
{
    scratch.write(regtest::sketchFile({R"("Name"="Ada Lovelace")"}));
    const quint32 handle = openSketchKey();
    quint32 size = 0;
    EXPECT_EQ(RegQueryValueExA(handle, "Name", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 13u);
    RegCloseKey(handle);
}

} // namespace
