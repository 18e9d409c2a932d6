// Nanoseconds per call of the game's handlers on the model, and of the window's work around them.
#include "game_fixture.h"
#include "ui/platform/look_and_feel.h"
#include "ui/widgets/main_window.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

using namespace keyfall;

namespace {

constexpr float kSpawnTopTwips = 360;
// The last step before the bottom line, so that the fall under measurement never ends in a miss.
constexpr float kLastStepTwips = 3760;
constexpr double kRoundSeconds = 100;

class SilentSound final : public SoundPort {
public:
    void play(Sound) override { }
};

// A round in progress on a simulated clock that never moves, so only the handler under
// measurement runs.
struct RunningRound {
    testing::VirtualClock clock;
    SilentSound sound;
    testing::FakeWindow host;
    Form1 form { clock, sound, host };

    RunningRound()
    {
        form.Form_Load();
        form.lblNew_Click();
    }
};

// The same round in the real window, offscreen.
struct RunningWindow {
    testing::VirtualClock clock;
    SilentSound sound;
    MainWindow window { clock, sound };
    Form1& form = window.form();

    RunningWindow()
    {
        form.lblNew_Click();
        window.refreshFromModel();
        window.show();
        QCoreApplication::processEvents();
    }
};

void fallOneStep(Form1& form)
{
    form.Timer1_Timer();
    if (form.Label1.Top >= kLastStepTwips)
        form.Label1.Top = kSpawnTopTwips;
}

void TypingCheckHit(benchmark::State& state)
{
    RunningRound round;
    for (auto _ : state) {
        const QString target = round.form.Label1.Caption;
        round.form.setText1Text(target);
    }
}

void TypingCheckMistake(benchmark::State& state)
{
    RunningRound round;
    const QString wrong
        = round.form.Label1.Caption == u"A" ? QStringLiteral("B") : QStringLiteral("A");
    for (auto _ : state)
        round.form.setText1Text(wrong);
}

void FallTick(benchmark::State& state)
{
    RunningRound round;
    for (auto _ : state)
        fallOneStep(round.form);
}

void ClockTick(benchmark::State& state)
{
    RunningRound round;
    for (auto _ : state) {
        round.form.Timer3_Timer();
        if (round.form.Ttime <= 1)
            round.form.Ttime = kRoundSeconds;
    }
}

// A fall tick as the program runs it: the handler, the window's refresh, and the repaint of the
// area the target left and entered.
void FallTickInWindow(benchmark::State& state)
{
    RunningWindow running;
    for (auto _ : state) {
        fallOneStep(running.form);
        running.window.refreshFromModel();
        QCoreApplication::processEvents();
    }
}

void PaintWholeFrame(benchmark::State& state)
{
    RunningWindow running;
    QImage frame(running.window.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        running.window.render(&frame);
}

}

BENCHMARK(TypingCheckHit);
BENCHMARK(TypingCheckMistake);
BENCHMARK(FallTick);
BENCHMARK(ClockTick);
BENCHMARK(FallTickInWindow);
BENCHMARK(PaintWholeFrame);

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    applyLookAndFeel();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
