#include "game/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

// Any text reads as a finite number, and every number the game shows reads back as itself to the
// 15 significant digits shown, and shows the same again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double value = keyfall::leadingNumber(text);
    if (!std::isfinite(value))
        std::abort();
    const QString shownText = keyfall::numberText(value);
    const double shown = keyfall::leadingNumber(shownText);
    if (std::abs(shown - value) > std::abs(value) * 1e-14
        || keyfall::numberText(shown) != shownText)
        std::abort();
    return 0;
}
