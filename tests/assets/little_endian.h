#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace keyfall::test {

// Offsets reckoned from sizes read in a file: 64 bits wide, so that no sum of 32-bit sizes wraps,
// whatever the width of qsizetype.
using FileOffset = std::uint64_t;

// The unsigned little-endian number of byteCount bytes at offset, or nothing if it runs past the
// end.
inline std::optional<std::uint32_t> littleEndian(
    const QByteArray& bytes, FileOffset offset, int byteCount)
{
    if (offset > FileOffset(bytes.size())
        || FileOffset(bytes.size()) - offset < FileOffset(byteCount))
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[qsizetype(offset) + i]);
    return value;
}

}
