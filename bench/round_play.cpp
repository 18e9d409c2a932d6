#include "bench/round_play.h"

#include "bench/launch.h"
#include "game_fixture.h"
#include "window_places.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>

namespace keyfall::bench {

using namespace std::chrono_literals;

namespace {

    constexpr Probe kStatusBar { 9, 5, 0x7388AA };
    constexpr std::uint32_t kPanelBackground = 0x8495B5;
    constexpr std::uint32_t kTimeOverYellow = 0xFFFF00;
    // Room for the caption "Time is Over!", which grows from where it is placed.
    constexpr QSize kTimeOverSize(400, 100);

    constexpr auto kFirstHitAfter = 500ms;
    constexpr auto kFrameTimeout = 1s;
    constexpr auto kUiTimeout = 5s;
    constexpr auto kExitTimeout = 10s;
    constexpr auto kSilencePoll = 20ms;

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

    // Where the controls lie in the window, from the game's own model of it.
    const Form1& layout()
    {
        static const testing::Game game;
        return game.form;
    }

    template <typename Control> void clickOn(XSession& x, const Control& control)
    {
        const QPoint point = testing::clickPoint(layout(), control);
        x.click(point.x(), point.y());
    }

    Area areaOf(const QRect& rect) { return { rect.x(), rect.y(), rect.width(), rect.height() }; }

    void waitFor(XSession& x, const std::function<bool()>& condition, const char* what)
    {
        if (!x.waitUntil(condition, std::chrono::steady_clock::now() + kUiTimeout))
            throw std::runtime_error(std::string("the game did not ") + what);
    }

    // Opens the panel, picks "Speed", types the round length and clicks Ok; returns when the
    // click on Ok was sent, which starts the round.
    SteadyTime startRound(XSession& x, int roundSeconds)
    {
        const Form1& f = layout();
        // A patch of the panel's plain background, just inside its top-left corner.
        const QPoint panel = testing::placeInWindow(f, f.Frame1).topLeft() + QPoint(8, 4);
        const auto panelShown = [&] { return x.pixel(panel.x(), panel.y()) == kPanelBackground; };
        clickOn(x, f.lblSettings);
        waitFor(x, panelShown, "open its settings panel");
        clickOn(x, f.Option3);
        // The box holds a length from the start, which needs no keys: a screen reader that
        // listens holds each key a while, and a click on Ok would overtake them.
        if (f.Combo1.Text != QString::number(roundSeconds)) {
            clickOn(x, f.Combo1);
            x.selectAll();
            for (const char digit : std::to_string(roundSeconds))
                x.type(digit);
            // The box offers a listed length that begins with the typed digits, such as 200 for
            // 20.
            x.deleteSelection();
        }
        const QPoint ok = testing::clickPoint(f, f.Label9);
        x.pressMouse(ok.x(), ok.y());
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
        const Area counter = areaOf(testing::placeInWindow(layout(), layout().lblShooted));
        const Pixels before = x.pixels(counter);
        const double sentAt = wallClockSeconds();
        const SteadyTime sent = std::chrono::steady_clock::now();
        x.type(target.back());
        const auto shown
            = x.waitUntil([&] { return x.pixels(counter) != before; }, sent + kFrameTimeout);
        mirror.game.hit();
        return { sentAt, shown ? millisecondsBetween(sent, *shown) : -1.0 };
    }

    // Whether a stream of the process plays into the sound server now; a stream that is corked
    // plays nothing. Asked of the server named by PULSE_SERVER, as the game finds it.
    bool playsSound(pid_t pid)
    {
        std::unique_ptr<FILE, int (*)(FILE*)> pactl(
            popen("pactl list sink-inputs 2>/dev/null", "r"), pclose);
        if (!pactl)
            throw std::runtime_error("pactl could not be started");
        std::string listing;
        std::array<char, 4096> chunk {};
        while (const std::size_t read = std::fread(chunk.data(), 1, chunk.size(), pactl.get()))
            listing.append(chunk.data(), read);
        const std::string ofProcess = "application.process.id = \"" + std::to_string(pid) + '"';
        // One block of lines per stream.
        for (std::size_t at = listing.find("Sink Input #"); at != std::string::npos;) {
            const std::size_t next = listing.find("Sink Input #", at + 1);
            const std::string stream = listing.substr(at, next - at);
            if (stream.find(ofProcess) != std::string::npos
                && stream.find("Corked: no") != std::string::npos)
                return true;
            at = next;
        }
        return false;
    }

    // Waits until the end sound has played out, so that the game is read as the memory yardstick
    // is, between sounds: while a clip is in flight, the pages of it that the server has not read
    // yet are the game's alone, and they are given back once it has.
    void waitForSilence(pid_t pid)
    {
        const SteadyTime deadline = std::chrono::steady_clock::now() + kUiTimeout;
        while (playsSound(pid)) {
            if (std::chrono::steady_clock::now() > deadline)
                throw std::runtime_error("the end sound never finished playing");
            std::this_thread::sleep_for(kSilencePoll);
        }
    }

    bool timeOverShown(XSession& x)
    {
        const QPoint at = testing::placeInWindow(layout(), layout().lblOver).topLeft();
        const Pixels caption = x.pixels(areaOf(QRect(at, kTimeOverSize)));
        return std::find(caption.begin(), caption.end(), kTimeOverYellow) != caption.end();
    }

}

namespace {

    // Says on standard error when the measured stretch of play begins and ends, so that a
    // profiler of the program can count that stretch alone.
    void markPlay(const char* bound, const Launched& program)
    {
        std::fprintf(stderr, "played %s %d\n", bound, static_cast<int>(program.process->pid()));
    }

    // A hit at a steady pace from `started` until shortly before the round's end; processor time
    // from just after the first hit to just after the last.
    RoundResult playHits(Launched& program, Mirror& mirror, SteadyTime started, RoundPlan plan)
    {
        const SteadyTime ends = started + std::chrono::seconds(plan.roundSeconds);
        const auto every = std::chrono::milliseconds(plan.hitEveryMs);
        RoundResult result;
        CpuUse cpuAtFirstHit;
        SteadyTime firstHitDone;
        for (SteadyTime slot = started + kFirstHitAfter; slot + kFirstHitAfter < ends;
             slot += every) {
            std::this_thread::sleep_until(slot);
            result.hits.push_back(hit(*program.x, mirror));
            if (result.hits.size() == 1) {
                cpuAtFirstHit = program.process->cpuUse();
                firstHitDone = std::chrono::steady_clock::now();
                markPlay("from", program);
            }
        }
        const CpuUse cpuAtLastHit = program.process->cpuUse();
        markPlay("to", program);
        const double playedMs = millisecondsBetween(firstHitDone, std::chrono::steady_clock::now());
        result.cpuMsPerSecond
            = (cpuAtLastHit.cpuNs - cpuAtFirstHit.cpuNs) / 1e6 / (playedMs / 1000);
        return result;
    }

}

RoundResult playRound(const std::vector<std::string>& command, RoundPlan plan)
{
    Launched game = launch(command, kStatusBar);
    XSession& x = *game.x;
    Mirror mirror(plan.roundSeconds);
    const SteadyTime started = startRound(x, plan.roundSeconds);
    RoundResult result = playHits(game, mirror, started, plan);

    const SteadyTime ends = started + std::chrono::seconds(plan.roundSeconds);
    const auto over = x.waitUntil([&] { return timeOverShown(x); }, ends + kUiTimeout);
    if (!over)
        throw std::runtime_error("the round never ended");
    result.endErrorMs = millisecondsBetween(ends, *over);
    waitForSilence(game.process->pid());
    result.held = game.process->memoryHeld();
    clickOn(x, layout().lblQuit);
    result.peakRssKib = game.process->wait(kExitTimeout).peakRssKib;
    return result;
}

void typeAKey(XSession& x, Probe typed)
{
    clickOn(x, layout().Text1);
    x.type('a');
    waitFor(
        x, [&] { return x.pixel(typed.x, typed.y) == typed.rgb; }, "show the key it was typed");
}

RoundResult playYardstick(const std::vector<std::string>& command, Probe probe, RoundPlan plan)
{
    Launched yardstick = launch(command, probe);
    // Keys go where the pointer is, as on the game after its clicks: into the input box.
    clickOn(*yardstick.x, layout().Text1);
    Mirror mirror(plan.roundSeconds);
    RoundResult result = playHits(yardstick, mirror, std::chrono::steady_clock::now(), plan);
    result.held = yardstick.process->memoryHeld();
    result.peakRssKib = closeAndWait(yardstick).peakRssKib;
    return result;
}

}
