#pragma once

#include <QByteArrayView>

#include <cstdint>

// Little-endian numbers in a block read from a file. Every read is bounds-checked: one that
// would leave the block gives 0 and clears ok().
class LittleEndianFields {
public:
    explicit LittleEndianFields(QByteArrayView bytes) : bytes_(bytes) {}

    // The number of `width` bytes (1 to 8) at `offset`.
    std::uint64_t number(qsizetype offset, int width)
    {
        if (offset < 0 || width < 1 || width > 8 || offset > bytes_.size() - width) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
        return value;
    }
    std::uint32_t u16(qsizetype offset) { return static_cast<std::uint32_t>(number(offset, 2)); }
    std::uint32_t u32(qsizetype offset) { return static_cast<std::uint32_t>(number(offset, 4)); }
    std::int32_t s32(qsizetype offset) { return static_cast<std::int32_t>(u32(offset)); }
    std::uint64_t u64(qsizetype offset) { return number(offset, 8); }
    bool ok() const { return ok_; }

private:
    QByteArrayView bytes_;
    bool ok_ = true;
};
