// Open, Save and Print-to-PDF of a full board (every other cell set) against their floors:
// the 566,480 bytes they must move, as 485 records with pread/pwrite.
#include "files/sketch_commands.h"
#include "files/sketch_file.h"
#include "files/sketch_printing.h"
#include "support/board_rig.h"
#include "support/pdf_printer.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A board whose store holds every other cell of every row.
struct FullBoard : BoardRig {
    FullBoard()
    {
        RowRecord row;
        for (int c = 1; c <= kGridColumns; c += 2)
            row.setCell(c, 1);
        for (int r = 1; r <= kGridRows; ++r)
            store.writeRow(r, row);
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    ScriptedServices dialogs;  // answers nothing: every dialog is cancelled
    RecordingPointer pointer;
    SketchCommands commands{board, dialogs, pointer, messages};
};

void BM_Save(benchmark::State& state)
{
    FullBoard b;
    for (auto _ : state)
        SketchFile::save(b.path("s.nsd"), b.board);
}
BENCHMARK(BM_Save);

// Arg 1: with the fsync a durable save needs.
void BM_SaveFloor(benchmark::State& state)
{
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("floor.nsd")));
    std::array<char, kRecordBytes> record{};
    for (auto _ : state) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (int r = 0; r < kGridRows; ++r)
            benchmark::DoNotOptimize(
                ::pwrite(fd, record.data(), record.size(), off_t(r) * kRecordBytes));
        if (state.range(0))
            ::fsync(fd);
        ::close(fd);
    }
}
BENCHMARK(BM_SaveFloor)->Arg(0)->Arg(1);

void BM_Open(benchmark::State& state)
{
    FullBoard b;
    SketchFile::save(b.path("o.nsd"), b.board);
    for (auto _ : state)
        b.commands.openSketchFile(b.path("o.nsd"));
}
BENCHMARK(BM_Open);

// Open cannot do less than read every record of the sketch and write it into the store.
void BM_OpenFloor(benchmark::State& state)
{
    FullBoard b;
    SketchFile::save(b.path("o.nsd"), b.board);
    const int store = ::open(QFile::encodeName(b.store.path()).constData(), O_WRONLY);
    std::array<char, kRecordBytes> record{};
    for (auto _ : state) {
        const int fd = ::open(QFile::encodeName(b.path("o.nsd")).constData(), O_RDONLY);
        for (int r = 0; r < kGridRows; ++r) {
            benchmark::DoNotOptimize(
                ::pread(fd, record.data(), record.size(), off_t(r) * kRecordBytes));
            benchmark::DoNotOptimize(
                ::pwrite(store, record.data(), record.size(), off_t(r) * kRecordBytes));
        }
        ::close(fd);
    }
    ::close(store);
}
BENCHMARK(BM_OpenFloor);

void BM_PrintToPdf(benchmark::State& state)
{
    FullBoard b;
    PdfPrinter printer;
    printer.file = b.path("p.pdf");
    SketchPrinting printing(b.board, printer, b.pointer, b.messages);
    for (auto _ : state)
        printing.PrintSketch();
}
BENCHMARK(BM_PrintToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
