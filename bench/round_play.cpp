#include "bench/round_play.h"

#include "bench/launch.h"
#include "game_fixture.h"

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace keyfall::bench {

using namespace std::chrono_literals;

namespace {

    // Places in the game window, in pixels (15 twips to a pixel).
    struct Point {
        int x;
        int y;
    };
    constexpr Probe kStatusBar { 9, 5, 0x7388AA };
    constexpr Point kSettings { 320, 10 };
    constexpr Probe kPanel { 470, 70, 0x8495B5 };
    constexpr Point kSpeedOption { 395, 118 };
    constexpr Point kRoundLengthBox { 310, 242 };
    constexpr Point kOk { 404, 284 };
    constexpr Point kQuit { 610, 10 };
    constexpr Area kHitCounter { 64, 8, 17, 17 };
    constexpr Area kTimeOverCaption { 48, 112, 400, 100 };
    constexpr std::uint32_t kTimeOverYellow = 0xFFFF00;

    constexpr auto kFirstHitAfter = 500ms;
    constexpr auto kFrameTimeout = 1s;
    constexpr auto kUiTimeout = 5s;
    constexpr auto kExitTimeout = 10s;

    double wallClockSeconds()
    {
        return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    }

    // The model of the game, led through the same steps, knows each target before it is shown:
    // targets are drawn from a fixed pseudo-random sequence, and no target is missed.
    struct Mirror {
        testing::Game game;

        explicit Mirror(int roundSeconds)
        {
            Form1& f = game.form;
            f.lblSettings_Click();
            f.chooseOption(f.Option3);
            f.Combo1.Text = QString::number(roundSeconds);
            f.Label9_Click();
        }
        std::string target() const { return game.form.Label1.Caption.toStdString(); }
    };

    void clickAt(XSession& x, Point point) { x.click(point.x, point.y); }

    void waitFor(XSession& x, const std::function<bool()>& condition, const char* what)
    {
        if (!x.waitUntil(condition, std::chrono::steady_clock::now() + kUiTimeout))
            throw std::runtime_error(std::string("the game did not ") + what);
    }

    // Opens the panel, picks "Speed", types the round length and clicks Ok; returns when the
    // click on Ok was sent, which starts the round.
    SteadyTime startRound(XSession& x, int roundSeconds)
    {
        const auto panelShown = [&] { return x.pixel(kPanel.x, kPanel.y) == kPanel.rgb; };
        clickAt(x, kSettings);
        waitFor(x, panelShown, "open its settings panel");
        clickAt(x, kSpeedOption);
        clickAt(x, kRoundLengthBox);
        x.selectAll();
        for (const char digit : std::to_string(roundSeconds))
            x.type(digit);
        // The box offers a listed length that begins with the typed digits, such as 200 for 20.
        x.deleteSelection();
        x.pressMouse(kOk.x, kOk.y);
        const SteadyTime clicked = std::chrono::steady_clock::now();
        x.releaseMouse();
        waitFor(
            x, [&] { return !panelShown(); }, "close its settings panel");
        return clicked;
    }

    Hit hit(XSession& x, Mirror& mirror)
    {
        const std::string target = mirror.target();
        for (std::size_t i = 0; i + 1 < target.size(); ++i)
            x.type(target[i]);
        const Pixels before = x.pixels(kHitCounter);
        const double sentAt = wallClockSeconds();
        const SteadyTime sent = std::chrono::steady_clock::now();
        x.type(target.back());
        const auto shown
            = x.waitUntil([&] { return x.pixels(kHitCounter) != before; }, sent + kFrameTimeout);
        mirror.game.hit();
        return { sentAt, shown ? millisecondsBetween(sent, *shown) : -1.0 };
    }

    bool timeOverShown(XSession& x)
    {
        const Pixels caption = x.pixels(kTimeOverCaption);
        return std::find(caption.begin(), caption.end(), kTimeOverYellow) != caption.end();
    }

}

RoundResult playRound(const std::vector<std::string>& command, RoundPlan plan)
{
    Launched game = launch(command, kStatusBar);
    XSession& x = *game.x;
    Mirror mirror(plan.roundSeconds);
    const SteadyTime started = startRound(x, plan.roundSeconds);
    const SteadyTime ends = started + std::chrono::seconds(plan.roundSeconds);
    const auto every = std::chrono::milliseconds(plan.hitEveryMs);

    RoundResult result;
    CpuUse cpuAtFirstHit;
    SteadyTime firstHitDone;
    for (SteadyTime slot = started + kFirstHitAfter; slot + kFirstHitAfter < ends; slot += every) {
        std::this_thread::sleep_until(slot);
        result.hits.push_back(hit(x, mirror));
        if (result.hits.size() == 1) {
            cpuAtFirstHit = game.process->cpuUse();
            firstHitDone = std::chrono::steady_clock::now();
        }
    }
    const CpuUse cpuAtLastHit = game.process->cpuUse();
    const double playedMs = millisecondsBetween(firstHitDone, std::chrono::steady_clock::now());
    result.cpuMsPerSecond = (cpuAtLastHit.cpuNs - cpuAtFirstHit.cpuNs) / 1e6 / (playedMs / 1000);

    const auto over = x.waitUntil([&] { return timeOverShown(x); }, ends + kUiTimeout);
    if (!over)
        throw std::runtime_error("the round never ended");
    result.endErrorMs = millisecondsBetween(ends, *over);
    clickAt(x, kQuit);
    result.peakRssKib = game.process->wait(kExitTimeout).peakRssKib;
    return result;
}

}
