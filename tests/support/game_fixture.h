#pragma once

#include "game/form1.h"
#include "virtual_clock.h"

#include <QStringList>
#include <cstdint>
#include <vector>

namespace keyfall::testing {

class RecordingSound final : public SoundPort {
public:
    void play(Sound sound) override { played.push_back(sound); }
    std::vector<Sound> played;
};

class FakeWindow final : public HostWindow {
public:
    bool isMinimized() const override { return minimized; }
    void close() override { ++closed; }
    bool minimized = false;
    int closed = 0;
};

// A started game on a simulated clock, with a recording sound port.
struct Game {
    VirtualClock clock;
    RecordingSound sound;
    FakeWindow window;
    Form1 form { clock, sound, window };

    Game() { form.Form_Load(); }

    // Types text one character at a time, as a player would. It takes a copy, since a hit
    // replaces the caption that the text may have come from.
    void type(QString text)
    {
        for (QChar c : text)
            form.setText1Text(form.Text1.Text + c);
    }
    // Types the target on screen.
    void hit() { type(form.Label1.Caption); }

    // Makes the next draw of the random source return `value` (rounded down to a step of 2^-24).
    void nextDrawIs(double value)
    {
        constexpr std::uint32_t kMultiplier = 1140671485u, kIncrement = 12820163u;
        std::uint32_t inverse = kMultiplier; // Newton's iteration for the inverse modulo 2^32
        for (int i = 0; i < 5; ++i)
            inverse *= 2 - kMultiplier * inverse;
        const auto wanted = static_cast<std::uint32_t>(value * (1 << 24));
        form.random.setState((wanted - kIncrement) * inverse);
    }

    // Runs time forward to the moment the timer ticks next, firing everything due by then.
    void untilTick(const GameTimer& timer) { clock.advance(clock.nextTick(timer) - clock.now()); }
};

}
