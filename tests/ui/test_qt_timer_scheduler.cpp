#include "ui/platform/qt_timer_scheduler.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <vector>

using namespace keyfall;

class QtTimerSchedulerTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ticksOnPreciseTimersAndReportsEachTickAfterTheGameHandledIt()
    {
        QtTimerScheduler scheduler;
        QSignalSpy reported(&scheduler, &QtTimerScheduler::ticked);
        std::vector<qsizetype> reportedBeforeEachTick;
        GameTimer timer(scheduler, 20, [&] { reportedBeforeEachTick.push_back(reported.size()); });
        timer.start();
        QTRY_VERIFY(reported.size() >= 3);
        timer.stop();
        for (std::size_t i = 0; i < reportedBeforeEachTick.size(); ++i)
            QCOMPARE(reportedBeforeEachTick[i], static_cast<qsizetype>(i));
        const auto qtTimers = scheduler.findChildren<QTimer*>();
        QCOMPARE(qtTimers.size(), 1);
        QCOMPARE(qtTimers.front()->timerType(), Qt::PreciseTimer);
    }

    void restartingATimerBeginsAWholePeriodFromThatMoment()
    {
        QtTimerScheduler scheduler;
        QElapsedTimer sinceRestart;
        qint64 firstTickAfter = -1;
        GameTimer timer(scheduler, 100, [&] {
            if (firstTickAfter < 0 && sinceRestart.isValid())
                firstTickAfter = sinceRestart.elapsed();
        });
        timer.start();
        QTest::qWait(60);
        sinceRestart.start();
        timer.start();
        QTRY_VERIFY(firstTickAfter >= 0);
        QVERIFY2(firstTickAfter >= 99, qPrintable(QString::number(firstTickAfter)));
    }

    void changingTheIntervalOfARunningTimerRestartsItsPeriod()
    {
        QtTimerScheduler scheduler;
        QElapsedTimer sinceChange;
        qint64 firstTickAfter = -1;
        GameTimer timer(scheduler, 1000, [&] { firstTickAfter = sinceChange.elapsed(); });
        timer.start();
        QTest::qWait(50);
        sinceChange.start();
        timer.setInterval(80);
        QTRY_VERIFY(firstTickAfter >= 0);
        QVERIFY2(firstTickAfter >= 79 && firstTickAfter < 500,
            qPrintable(QString::number(firstTickAfter)));
    }

    void aStoppedTimerNoLongerTicks()
    {
        QtTimerScheduler scheduler;
        int ticks = 0;
        GameTimer timer(scheduler, 10, [&] { ++ticks; });
        timer.start();
        QTRY_VERIFY(ticks > 0);
        timer.stop();
        const int ticksWhenStopped = ticks;
        QTest::qWait(60);
        QCOMPARE(ticks, ticksWhenStopped);
    }
};

QTEST_GUILESS_MAIN(QtTimerSchedulerTest)
#include "test_qt_timer_scheduler.moc"
