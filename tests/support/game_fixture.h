#pragma once

#include "game/form1.h"
#include "virtual_clock.h"

#include <QStringList>
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

    // Types text one character at a time, as a player would.
    void type(const QString& text)
    {
        for (QChar c : text)
            form.setText1Text(form.Text1.Text + c);
    }
    // Types the target on screen.
    void hit() { type(form.Label1.Caption); }
};

}
