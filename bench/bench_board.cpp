// Key press and Shake against their floors: the bare pread/pwrite calls they cannot avoid.
#include "support/board_rig.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A board whose store is full, as after a while of drawing.
struct Board : BoardRig {
    Board() { board.Shake(); }
};

struct RawFile {
    RawFile()
    {
        fd = ::open(QFile::encodeName(dir.filePath(QStringLiteral("raw"))).constData(),
                    O_RDWR | O_CREAT, 0644);
        std::array<char, kRecordBytes> zero{};
        for (int row = 0; row < kGridRows; ++row)
            (void)!::pwrite(fd, zero.data(), zero.size(), off_t(row) * kRecordBytes);
    }
    ~RawFile() { ::close(fd); }
    QTemporaryDir dir;
    int fd = -1;
};

void BM_KeyPress(benchmark::State& state)
{
    Board b;
    int i = 0;
    for (auto _ : state)
        b.board.Form_KeyDown((++i & 1) ? kVkRight : kVkLeft);
}
BENCHMARK(BM_KeyPress);

void BM_KeyPressFloor(benchmark::State& state)
{
    RawFile f;
    std::array<char, kRecordBytes> record{};
    const off_t at = off_t(241) * kRecordBytes;
    for (auto _ : state) {
        benchmark::DoNotOptimize(::pread(f.fd, record.data(), record.size(), at));
        record[582] = 1;
        benchmark::DoNotOptimize(::pwrite(f.fd, record.data(), record.size(), at));
    }
}
BENCHMARK(BM_KeyPressFloor);

void BM_Shake(benchmark::State& state)
{
    Board b;
    for (auto _ : state)
        b.board.Shake();
}
BENCHMARK(BM_Shake);

void BM_ShakeFloor(benchmark::State& state)
{
    RawFile f;
    std::array<char, kRecordBytes> zero{};
    for (auto _ : state)
        for (int row = 0; row < kGridRows; ++row)
            benchmark::DoNotOptimize(
                ::pwrite(f.fd, zero.data(), zero.size(), off_t(row) * kRecordBytes));
}
BENCHMARK(BM_ShakeFloor);

}  // namespace

BENCHMARK_MAIN();
