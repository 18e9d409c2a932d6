#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace keyfall::test {

// The unsigned little-endian number of byteCount bytes at offset, or nothing if it runs past the
// end.
inline std::optional<std::uint32_t> littleEndian(
    const QByteArray& bytes, qsizetype offset, int byteCount)
{
    if (offset < 0 || offset + byteCount > bytes.size())
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

}
