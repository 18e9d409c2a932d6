#pragma once

#include "game/form1.h"
#include "virtual_clock.h"

#include <QStringList>
#include <QTest>
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
    bool isOutOfSight() const override { return outOfSight; }
    void close() override { ++closed; }
    bool outOfSight = false;
    int closed = 0;
};

inline bool anyTimerRuns(const Form1& f)
{
    return f.Timer1.running() || f.Timer2.running() || f.Timer3.running();
}

// Calls walk(steps) for every sequence of steps numbered 0 to choices - 1, from minLength to
// maxLength steps long, and returns how many it walked. It stops at the first failed check.
template <typename Walk> int forEachSequence(int choices, int minLength, int maxLength, Walk walk)
{
    int walked = 0;
    for (int length = minLength; length <= maxLength; ++length) {
        std::vector<int> steps(length, 0);
        for (bool more = true; more; ++walked) {
            walk(steps);
            if (QTest::currentTestFailed()) {
                QStringList names;
                for (int step : steps)
                    names << QString::number(step);
                qWarning("failed on the sequence of steps: %s", qPrintable(names.join(u' ')));
                return walked;
            }
            more = false;
            for (int i = 0; i < length && !more; ++i) {
                more = ++steps[i] < choices;
                if (!more)
                    steps[i] = 0;
            }
        }
    }
    return walked;
}

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
