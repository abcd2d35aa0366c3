// The record fuzzers' mutator. Their inputs are files of row records (a screen store, a
// sketch), and random bytes rarely make one that holds a picture: this edits a cell, a run
// of cells, a pen or a whole record at a time and changes the length a record at a time,
// so the inputs stay files the readers take and every row reaches the plotting.
#include "board/row_record.h"

#include <QtEndian>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

constexpr std::size_t kRecord = kRecordBytes;

// What a cell or a pen field is set to: pens on and beyond the board's edges, drawn and empty
// most often, then what only a foreign or damaged file holds.
constexpr std::int16_t kValues[]
    = {kGridColumns, kGridColumns + 1, kGridRows, kGridRows + 1, 1, 1, 1, 0, 0, 2, -1, 256, 32767,
       -32768};

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed)
{
    if (maxSize < kRecord)
        return LLVMFuzzerMutate(data, size, maxSize);
    std::minstd_rand random(seed);
    const auto pick = [&random](std::size_t n) { return std::size_t(random() % n); };
    const auto resize = [&](std::size_t to) {
        to = std::min(to, maxSize);
        if (to > size)
            std::memset(data + size, 0, to - size);  // new records are blank rows
        size = to;
    };
    if (size < kRecord)
        resize(kFullGridBytes);  // not even one record: start from a blank grid
    const std::size_t records = size / kRecord;
    std::uint8_t* record = data + pick(records) * kRecord;
    const std::int16_t value = kValues[pick(std::size(kValues))];
    switch (pick(6)) {
    case 0:
    case 1: {  // a cell, or a line drawn or rubbed out
        const std::size_t first = pick(kGridColumns);
        const std::size_t last = pick(2) ? first : first + pick(kGridColumns - first);
        for (std::size_t cell = first; cell <= last; ++cell)
            qToLittleEndian(value, record + cell * 2);
        break;
    }
    case 2:  // a pen field; Open takes the pen from the last record
        record = pick(2) ? data + (records - 1) * kRecord : record;
        qToLittleEndian(value, record + kPenXOffset + pick(2) * 2);
        break;
    case 3:  // libFuzzer's byte mutations, inside one record
        LLVMFuzzerMutate(record, kRecord, kRecord);
        break;
    case 4:  // another record copied over this one
        std::memcpy(record, data + pick(records) * kRecord, kRecord);
        break;
    default:  // longer or shorter by whole records, now and then with part of one after them
        resize(pick(kGridRows + 2) * kRecord + (pick(4) == 0 ? 1 + pick(kRecord - 1) : 0));
        break;
    }
    return size;
}
