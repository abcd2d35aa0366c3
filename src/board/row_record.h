#pragma once

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Dimensions of the drawing grid and of one stored row.
inline constexpr int kGridColumns = 582;
inline constexpr int kGridRows = 485;
inline constexpr int kRecordBytes = 1168;
inline constexpr int kPenXOffset = kGridColumns * 2;  // 1164
inline constexpr int kPenYOffset = kPenXOffset + 2;  // 1166
inline constexpr qint64 kFullGridBytes = qint64(kGridRows) * kRecordBytes;  // 566,480

// One pixel row: 582 signed 16-bit cells (1 = drawn), then the pen column and row,
// all little-endian. Held as its file bytes so a row moves to and from disk unchanged.
class RowRecord {
public:
    using Bytes = std::array<std::byte, kRecordBytes>;

    // Cell c counts from 1.
    qint16 cell(int c) const { return load(cellOffset(c)); }
    void setCell(int c, qint16 value) { store(cellOffset(c), value); }
    bool isDrawn(int c) const { return cell(c) == 1; }
    void clearCells() { std::fill_n(bytes_.begin(), kPenXOffset, std::byte{0}); }

    qint16 penX() const { return load(kPenXOffset); }
    qint16 penY() const { return load(kPenYOffset); }
    void setPenX(qint16 x) { store(kPenXOffset, x); }
    void setPenY(qint16 y) { store(kPenYOffset, y); }
    void setPen(qint16 x, qint16 y) { setPenX(x), setPenY(y); }

    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }

    friend bool operator==(const RowRecord&, const RowRecord&) = default;

private:
    static constexpr std::size_t cellOffset(int c) { return std::size_t(c - 1) * 2; }
    qint16 load(std::size_t at) const { return qFromLittleEndian<qint16>(bytes_.data() + at); }
    void store(std::size_t at, qint16 v) { qToLittleEndian<qint16>(v, bytes_.data() + at); }

    Bytes bytes_{};
};
// Rows side by side are records side by side: a run of rows moves in one read or write.
static_assert(sizeof(RowRecord) == kRecordBytes && alignof(RowRecord) == 1);

// The whole grid, row 1 first: kGridRows records.
using GridRows = std::vector<RowRecord>;
