#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <optional>

// The little-endian number of `width` bytes (1 to 8) at `offset` in a block read from a file;
// nothing when those bytes lie outside the block.
inline std::optional<std::uint64_t> littleEndianAt(QByteArrayView bytes, qsizetype offset,
                                                   int width)
{
    if (offset < 0 || width < 1 || width > 8 || offset > bytes.size() - width)
        return std::nullopt;
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}
