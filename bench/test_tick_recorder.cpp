#include "bench/tick_recorder.h"
#include "virtual_clock.h"

#include <QTest>

using namespace keyfall;
using keyfall::bench::TickRecord;
using keyfall::bench::TickRecorder;
using keyfall::testing::VirtualClock;

namespace {
constexpr std::int64_t kNsPerMs = 1'000'000;
}

// The recorder runs on a simulated clock here; `lagNs` makes its clock read later than the
// scheduler's, as if the ticks came late.
class TickRecorderTest : public QObject {
    Q_OBJECT

    VirtualClock clock;
    std::int64_t lagNs = 0;

    std::int64_t nowNs() const { return clock.now() * kNsPerMs + lagNs; }

private Q_SLOTS:
    void init() { lagNs = 0; }

    void ticksOnTimeAreDueAtWholePeriodsFromTheStart()
    {
        TickRecorder recorder(clock, [this] { return nowNs(); });
        int handled = 0;
        GameTimer timer(recorder, 100, [&] { ++handled; });
        clock.advance(30);
        timer.start();
        clock.advance(350);
        QCOMPARE(handled, 3);
        QCOMPARE(recorder.ticks().size(), std::size_t { 3 });
        for (std::size_t i = 0; i < 3; ++i) {
            const TickRecord& tick = recorder.ticks()[i];
            QCOMPARE(tick.timer, &timer);
            QCOMPARE(tick.dueNs, (30 + 100 * static_cast<std::int64_t>(i + 1)) * kNsPerMs);
            QCOMPARE(tick.firedNs, tick.dueNs);
        }
    }

    void aLateTickIsRecordedAsLateAndTheGameStillHandlesIt()
    {
        TickRecorder recorder(clock, [this] { return nowNs(); });
        int handled = 0;
        GameTimer timer(recorder, 50, [&] { ++handled; });
        timer.start();
        lagNs = 7 * kNsPerMs;
        clock.advance(50);
        QCOMPARE(handled, 1);
        QCOMPARE(recorder.ticks().at(0).firedNs - recorder.ticks().at(0).dueNs, 7 * kNsPerMs);
    }

    void aNewIntervalOrARestartBeginsANewPeriod()
    {
        TickRecorder recorder(clock, [this] { return nowNs(); });
        GameTimer timer(recorder, 200, [] {});
        timer.start();
        clock.advance(250);
        timer.setInterval(100);
        clock.advance(100);
        clock.advance(70);
        timer.start();
        clock.advance(100);
        const std::int64_t t0 = clock.now() - 520;
        const std::vector<std::int64_t> dueMs { t0 + 200, t0 + 350, t0 + 520 };
        QCOMPARE(recorder.ticks().size(), dueMs.size());
        for (std::size_t i = 0; i < dueMs.size(); ++i) {
            QCOMPARE(recorder.ticks()[i].dueNs, dueMs[i] * kNsPerMs);
            QCOMPARE(recorder.ticks()[i].firedNs, dueMs[i] * kNsPerMs);
        }
    }

    void aStoppedTimerNoLongerTicksOnTheRealScheduler()
    {
        TickRecorder recorder(clock, [this] { return nowNs(); });
        int handled = 0;
        GameTimer timer(recorder, 40, [&] { ++handled; });
        timer.start();
        clock.advance(90);
        timer.stop();
        QVERIFY(!clock.fireNext());
        QCOMPARE(handled, 2);
    }

    void eachTimerKeepsItsOwnSchedule()
    {
        TickRecorder recorder(clock, [this] { return nowNs(); });
        GameTimer fall(recorder, 100, [] {});
        GameTimer seconds(recorder, 1000, [] {});
        fall.start();
        seconds.start();
        clock.advance(1000);
        int fallTicks = 0;
        for (const TickRecord& tick : recorder.ticks()) {
            QCOMPARE(tick.firedNs, tick.dueNs);
            fallTicks += tick.timer == &fall;
        }
        QCOMPARE(fallTicks, 10);
        QCOMPARE(recorder.ticks().size(), std::size_t { 11 });
    }
};

QTEST_GUILESS_MAIN(TickRecorderTest)
#include "test_tick_recorder.moc"
