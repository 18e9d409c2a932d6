#include "game/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

// Any text reads as a finite number, and every number the game shows reads back as itself.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double value = keyfall::leadingNumber(text);
    if (!std::isfinite(value))
        std::abort();
    if (keyfall::leadingNumber(keyfall::numberText(value)) != value)
        std::abort();
    return 0;
}
