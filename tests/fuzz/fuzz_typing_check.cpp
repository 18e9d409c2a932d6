#include "game_fixture.h"

#include <cstdint>
#include <cstdlib>

using namespace keyfall;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

int codePoints(const QString& text) { return int(text.toUcs4().size()); }

}

// The first byte chooses the level, the case and the target; the rest is typed, a piece at a
// time. Whatever arrives, the box is judged once it holds a whole target and is left holding less.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    testing::Game game;
    Form1& f = game.form;
    const std::uint8_t choice = data[0];
    (f
        .*std::array {
            &Form1::Command1_Click, &Form1::Command2_Click, &Form1::Command3_Click }[choice % 3])();
    (f
        .*std::array { &Form1::lblCaps_Click, &Form1::lblSmall_Click,
            &Form1::lblMixed_Click }[choice / 3 % 3])();
    f.lblNew_Click();

    const QString typed
        = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    for (qsizetype start = 0; start < typed.size();) {
        const qsizetype piece = 1 + (choice + start) % 4;
        const std::int64_t hitsBefore = f.Shooted;
        const std::size_t soundsBefore = game.sound.played.size();
        f.setText1Text(f.Text1.Text + typed.mid(start, piece));
        start += piece;

        require(codePoints(f.Text1.Text) < f.targetLength());
        require(f.Shooted - hitsBefore <= 1);
        require(game.sound.played.size() - soundsBefore <= 1);
        require(f.Label1.Caption.size() == f.targetLength());
        require(f.lblShooted.Caption == QString::number(f.Shooted));
    }
    return 0;
}
