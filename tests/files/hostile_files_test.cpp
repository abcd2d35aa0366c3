// Files laid out by someone else: planted stores, FIFOs, links, full disks, undecodable names.
#include "files/sketch_commands.h"
#include "platform/sketch_dialogs.h"
#include "shell/command_line.h"
#include "support/board_rig.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }
const char* const kNotASketch = "It is not a Nimbolt Sketch drawing";
QByteArray sketch(int records) { return rawrecord::make({{1, 1}}, 5, 5).repeated(records); }
const auto rowName = [](const auto& row) { return std::string(row.param.name); };

// ---- The screen store in a folder others can write: passed over, never written through.
enum class Plant { Link, DanglingLink, HardLink, Fifo, ForeignFile, GarbageLock };
struct StoreCase {
    const char* name;
    Plant plant;
    int opensIn;  // 0 the shared folder, 1 the user's own
};
class StoreFolderTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreFolderTest, PlantedStoreIsPassedOverAndTouchesNothing)
{
    QTemporaryDir dir;
    const QStringList folders{dir.filePath(QStringLiteral("shared")), dir.filePath(QStringLiteral("own"))};
    QDir().mkpath(folders[0]);
    const QString planted = QDir(folders[0]).filePath(QStringLiteral("Screen.txt"));
    const QString victim = dir.filePath(QStringLiteral("victim.txt")), chosen = dir.filePath(QStringLiteral("chosen"));
    writeWholeFile(victim, "precious");
    ScreenStore store;
    switch (GetParam().plant) {
    case Plant::Link: QFile::link(victim, planted); break;
    case Plant::DanglingLink: QFile::link(chosen, planted); break;
    case Plant::HardLink: ASSERT_EQ(::link(native(victim), native(planted)), 0); break;
    case Plant::Fifo: ASSERT_EQ(::mkfifo(native(planted), 0666), 0); break;
    case Plant::ForeignFile:
        writeWholeFile(planted, "theirs");
        if (::geteuid() != 0 || ::chown(native(planted), 65534, 65534) != 0)
            GTEST_SKIP() << "only root can give a file away";
        break;
    case Plant::GarbageLock: writeWholeFile(planted + ".lock", "\xff garbage"); break;
    }

    ASSERT_EQ(store.openInFirstUsable(folders), ScreenStore::OpenResult::Opened) << store.error().toStdString();
    EXPECT_EQ(store.path(), QDir(folders[GetParam().opensIn]).filePath(QStringLiteral("Screen.txt")));
    RowRecord row;
    row.setCell(1, 1);
    store.writeRow(2, row);
    store.closeAndDelete();
    EXPECT_EQ(readWholeFile(victim), "precious");
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_TRUE(GetParam().plant != Plant::ForeignFile || readWholeFile(planted) == "theirs");
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, StoreFolderTest,
    ::testing::Values(StoreCase{"LinkToAnotherFile", Plant::Link, 1}, StoreCase{"DanglingLink", Plant::DanglingLink, 1},
                      StoreCase{"HardLinkToAnotherFile", Plant::HardLink, 1}, StoreCase{"FIFO", Plant::Fifo, 1},
                      StoreCase{"SomeoneElsesFile", Plant::ForeignFile, 1},
                      StoreCase{"GarbageLockFileIsNoLock", Plant::GarbageLock, 0}),
    rowName);

// ---- Open Sketch and Save Sketch refuse what is not theirs to read or replace.
struct OneAnswer : SketchDialogs {
    std::optional<QString> ShowSave() override { return answer; }
    std::optional<QString> ShowOpen() override { return answer; }
    QString answer;
};
enum class Target { Text, PartialRecord, Fifo, Store, LinkToStore, FullDisk };
struct BoardCase {
    const char* name;
    bool save;
    Target target;
    const char* reason;
};
class BoardFileTest : public ::testing::TestWithParam<BoardCase>, protected BoardRig {};

TEST_P(BoardFileTest, RefusedWithTheReasonAndNothingChanged)
{
    ASSERT_TRUE(opened);
    OneAnswer dialogs;
    SketchCommands commands{board, dialogs, messages};
    keys(kVkRight, 12);
    const QByteArray storeBefore = storeBytes();
    const QImage boardBefore = surface.image();
    QString& path = dialogs.answer = dir.filePath(QStringLiteral("target.nsd"));
    std::optional<FileSizeLimit> limit;
    switch (GetParam().target) {
    case Target::Text: writeWholeFile(path, "hello\n"); break;
    case Target::PartialRecord: writeWholeFile(path, sketch(3) + "part"); break;
    case Target::Fifo: ASSERT_EQ(::mkfifo(native(path), 0666), 0); break;
    case Target::Store: path = store.path(); break;
    case Target::LinkToStore: QFile::link(store.path(), path); break;
    case Target::FullDisk: limit.emplace(100000); break;
    }
    GetParam().save ? commands.SaveSketch() : commands.OpenSketch();
    limit.reset();

    ASSERT_EQ(messages.shown.size(), 1);
    const QString& shown = messages.shown[0];
    EXPECT_TRUE(shown.contains(QFileInfo(path).fileName()) && shown.contains(QLatin1String(GetParam().reason)))
        << shown.toStdString();
    EXPECT_TRUE(storeBytes() == storeBefore && surface.image() == boardBefore && board.PenX == 303);
    keys(kVkRight, 1);  // the store's file is still the one the board draws into
    EXPECT_EQ(rawrecord::cell(storeBytes(), 242, 304), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, BoardFileTest,
    ::testing::Values(BoardCase{"OpenTextFile", false, Target::Text, kNotASketch},
                      BoardCase{"OpenPartialRecord", false, Target::PartialRecord, kNotASketch},
                      BoardCase{"OpenFIFO", false, Target::Fifo, "It is not a file"},
                      BoardCase{"SaveOverTheStore", true, Target::Store, "screen store"},
                      BoardCase{"SaveOverALinkToTheStore", true, Target::LinkToStore, "screen store"},
                      BoardCase{"SaveOverAFIFO", true, Target::Fifo, "It is not a file"},
                      BoardCase{"SaveOntoAFullDisk", true, Target::FullDisk, "File too large"}),
    rowName);

// ---- --export-png, run as a user runs it: one line on standard error, nothing else written.
struct ExportCase {
    const char* name;
    const char* command;  // for sh, with the program as $0, in a folder holding in.nsd
    const char* reason;
    QStringList filesAfter;
};
class ExportTest : public ::testing::TestWithParam<ExportCase> {};

QByteArray noise()  // a sketch of random ink, whose picture outgrows any write buffer
{
    QByteArray all = sketch(485);
    quint32 seed = 1;
    for (qsizetype at = 0; at < all.size(); at += 2)
        all[at] = char(((seed = seed * 1103515245u + 12345u) >> 16) & 1);
    return all;
}

TEST_P(ExportTest, RefusedOnOneLineLeavingTheFolderAsItWas)
{
    QTemporaryDir scratch;
    const QDir dir(scratch.path());
    writeWholeFile(dir.filePath(QStringLiteral("in.nsd")), noise());
    QProcess program;
    program.setWorkingDirectory(dir.path());
    // The shell hands the program raw bytes; "ulimit -f" with SIGXFSZ ignored fills the disk.
    const QString script = QLatin1String("export LC_ALL=C.UTF-8; trap '' XFSZ; ") + GetParam().command;
    program.start(QStringLiteral("sh"), {QStringLiteral("-c"), script, QStringLiteral(NIMBOLT_PROGRAM)});
    ASSERT_TRUE(program.waitForFinished(20000)) << "the program is stuck";
    const QString err = QString::fromUtf8(program.readAllStandardError());
    EXPECT_NE(program.exitCode(), 0);
    EXPECT_TRUE(err.count(QLatin1Char('\n')) == 1 && err.contains(QLatin1String(GetParam().reason)))
        << err.toStdString();
    EXPECT_EQ(dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), GetParam().filesAfter);
    EXPECT_TRUE(readWholeFile(dir.filePath(QStringLiteral("in.nsd"))).startsWith(noise()));
    EXPECT_FALSE(QFileInfo(dir.filePath(QStringLiteral("out.png"))).isFile()) << "a FIFO stays a FIFO";
}

const QStringList kOnlyIn{QStringLiteral("in.nsd")};
INSTANTIATE_TEST_SUITE_P(
    Hostile, ExportTest,
    ::testing::Values(
        ExportCase{"FIFOAsTheSketch", "mkfifo p.nsd; \"$0\" --export-png p.nsd out.png", "It is not a file",
                   {"in.nsd", "p.nsd"}},
        ExportCase{"FIFOAsThePicture", "mkfifo out.png; \"$0\" --export-png in.nsd out.png", "It is not a file",
                   {"in.nsd", "out.png"}},
        ExportCase{"PictureOverItsOwnSketch", "\"$0\" --export-png in.nsd in.nsd", "It is the sketch", kOnlyIn},
        ExportCase{"PictureOverALinkToItsSketch", "ln -s in.nsd l.png; \"$0\" --export-png in.nsd l.png",
                   "It is the sketch", {"in.nsd", "l.png"}},
        ExportCase{"NotASketch", "printf x >>in.nsd; \"$0\" --export-png in.nsd out.png", kNotASketch, kOnlyIn},
        ExportCase{"PictureNameNotInTheEncoding", "\"$0\" --export-png in.nsd \"$(printf 'out\\377.png')\"",
                   "cannot be used", kOnlyIn},
        ExportCase{"SketchNameNotInTheEncoding",
                   "f=$(printf 'in\\377.nsd'); cp in.nsd \"$f\"; \"$0\" --export-png \"$f\" out.png", "cannot be used",
                   kOnlyIn},  // Qt lists no name it cannot hold
        ExportCase{"FullDisk", "ulimit -f 20; \"$0\" --export-png in.nsd out.png", "File too large", kOnlyIn}),
    rowName);

// A file named to the window is the board's to report, never a reason not to start.
TEST(CommandLineFile, NamedFileNeverStopsTheWindow)
{
    const CommandLine missing = CommandLine::parse({QStringLiteral("nimbolt-sketch"), QStringLiteral("gone.nsd")});
    EXPECT_TRUE(missing.action == CommandLine::Action::OpenWindow && missing.sketchPath.endsWith(u"/gone.nsd"));
    const char* const argv[] = {"nimbolt-sketch", "bad\xff.nsd"};
    const CommandLine refused = CommandLine::parseNative(2, argv);
    EXPECT_TRUE(refused.action == CommandLine::Action::OpenWindow && refused.sketchPath.isEmpty());
    EXPECT_TRUE(refused.error.contains(QStringLiteral("cannot be used"))) << refused.error.toStdString();
}

} // namespace
