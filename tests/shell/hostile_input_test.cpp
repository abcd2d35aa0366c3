// Hostile registry files, help indexes and encodings: the results stay what a well-formed
// file gives, and what no real file holds is skipped.
#include "platform/little_endian.h"
#include "platform/registry_file.h"
#include "platform/text_decoding.h"
#include "registry_test_files.h"
#include "shell/sitemap_parser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

using regtest::kSketchKey;
using regtest::kSketchPath;
using regtest::sketchFile;

namespace {

// A section line for the key `levels` levels deep (root included), each name `chars` long.
QByteArray deepKey(int levels, int chars)
{
    QByteArray path = "HKEY_USERS";
    for (int i = 1; i < levels; ++i)
        path += '\\' + QByteArray(chars, 'k');
    return '[' + path + ']';
}

QByteArray manyValues(int count)
{
    QByteArray lines;
    for (int i = 0; i < count; ++i)
        lines += "\"v" + QByteArray::number(i) + "\"=dword:1\r\n";
    return lines;
}

struct RegistryCase {
    const char* name;
    QByteArray file;
    QString keyPath;
    std::optional<QByteArray> name_value;  // data of "Name"; nullopt: no such value
};

class HostileRegistry : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(HostileRegistry, keepsWhatAWindowsRegistryWouldHold)
{
    const RegistryCase& c = GetParam();
    const RegistryFile registry = RegistryFile::parse(c.file);
    const RegistryValue* found = registry.value(c.keyPath, "Name");
    EXPECT_EQ(found ? std::optional(found->data) : std::nullopt, c.name_value);
}

const QString kDeepPath = QStringLiteral("HKEY_USERS") + QStringLiteral("\\kk").repeated(511);

INSTANTIATE_TEST_SUITE_P(
    Files, HostileRegistry,
    ::testing::Values(
        RegistryCase{"deep_key_ends_the_section_and_the_value_stays",
                     sketchFile({R"("Name"="Ada")", deepKey(40000, 1), R"("Name"="Eve")"}), kSketchPath,
                     QByteArray("Ada", 4)},
        RegistryCase{"key_512_levels_deep_is_read", regtest::lines({regtest::kHeader, deepKey(512, 2), R"("Name"="Ada")"}),
                     kDeepPath, QByteArray("Ada", 4)},
        RegistryCase{"key_513_levels_deep_is_skipped", regtest::lines({regtest::kHeader, deepKey(513, 2), R"("Name"="Ada")"}),
                     kDeepPath + "\\kk", std::nullopt},
        RegistryCase{"name_of_255_characters_is_read", regtest::lines({regtest::kHeader, deepKey(2, 255), R"("Name"="Ada")"}),
                     "HKEY_USERS\\" + QString(255, u'k'), QByteArray("Ada", 4)},
        RegistryCase{"name_of_256_characters_is_skipped", regtest::lines({regtest::kHeader, deepKey(2, 256), R"("Name"="Ada")"}),
                     "HKEY_USERS\\" + QString(256, u'k'), std::nullopt},
        RegistryCase{"sub_keys_added_and_removed_leave_the_key",
                     sketchFile({R"("Name"="Ada")", kSketchKey.chopped(1) + "\\Sub]", "[-" + kSketchKey.sliced(1).chopped(1) + "\\Sub]"}),
                     kSketchPath, QByteArray("Ada", 4)},
        RegistryCase{"value_past_the_cap_is_skipped",
                     sketchFile({manyValues(RegistryFile::kMaxValuesPerKey) + R"("Name"="Eve")"}), kSketchPath,
                     std::nullopt},
        RegistryCase{"kept_value_changes_past_the_cap",
                     sketchFile({R"("Name"="Ada")" "\r\n" + manyValues(RegistryFile::kMaxValuesPerKey) + R"("Name"="Eve")"}),
                     kSketchPath, QByteArray("Eve", 4)}),
    [](const auto& row) { return std::string(row.param.name); });

// A registry path that is not a regular file reads as no registry, without waiting for a writer.
struct PathCase { const char* name; bool read; };

class RegistryPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(RegistryPath, onlyARegularFileIsRead)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("file.reg"), path = dir.filePath(GetParam().name);
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(sketchFile({R"("Name"="Ada")"})) > 0);
    out.close();
    const QByteArray kind = GetParam().name;
    ASSERT_TRUE(kind == "fifo" ? mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                : kind == "folder" ? QDir(dir.path()).mkdir(kind) : QFile::link(file, path));
    EXPECT_EQ(RegistryFile::load(path).hasKey(kSketchPath), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RegistryPath,
                         ::testing::Values(PathCase{"fifo", false}, PathCase{"folder", false}, PathCase{"link", true}),
                         [](const auto& row) { return std::string(row.param.name); });

// Entities in a help index: '&' without a near ';' is text, however many there are.
class HostileSitemap : public ::testing::TestWithParam<std::pair<QByteArray, QString>> {};

TEST_P(HostileSitemap, entryNameIsDecoded)
{
    const Sitemap sitemap = SitemapParser::parse(R"(<UL><LI><OBJECT type="text/sitemap"><param name="Name" value=")"
                                                 + GetParam().first + R"("><param name="Local" value="a.htm"></OBJECT></UL>)");
    ASSERT_EQ(sitemap.entries.size(), 1u);
    EXPECT_EQ(sitemap.entries[0].name, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Entities, HostileSitemap,
    ::testing::Values(std::pair{QByteArray(100000, '&'), QString(100000, u'&')},
                      std::pair{QByteArray("&&&&amp;"), QStringLiteral("&&&&")},
                      std::pair{QByteArray("&#x010FFFF;"), QString::fromUcs4(U"\U0010FFFF", 1)},
                      std::pair{QByteArray("&#x0010FFFF;"), QStringLiteral("&#x0010FFFF;")}));

// 8-bit text of unknown encoding.
class EightBitText : public ::testing::TestWithParam<std::pair<QByteArray, QString>> {};

TEST_P(EightBitText, isUtf8ElseLatin1) { EXPECT_EQ(decodeUtf8OrLatin1(GetParam().first), GetParam().second); }

INSTANTIATE_TEST_SUITE_P(Texts, EightBitText,
                         ::testing::Values(std::pair{QByteArray("\xEF\xBB\xBF" "Caf\xC3\xA9"), QStringLiteral("Café")},
                                           std::pair{QByteArray("Caf\xE9"), QStringLiteral("Café")},
                                           std::pair{QByteArray("Caf\xC3"), QStringLiteral("CafÃ")}));

// Little-endian numbers of a block read from a file.
struct NumberCase { qsizetype offset; int width; std::optional<std::uint64_t> expected; };

class LittleEndian : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LittleEndian, readsInsideTheBlockOnly)
{
    const QByteArray block("\x01\x02\x03\x04\x05\x06\x07\x08\x09", 9);
    EXPECT_EQ(littleEndianAt(block, GetParam().offset, GetParam().width), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, LittleEndian,
                         ::testing::Values(NumberCase{0, 2, 0x0201}, NumberCase{1, 8, 0x0908070605040302},
                                           NumberCase{8, 2, std::nullopt}, NumberCase{-1, 1, std::nullopt}));

} // namespace
