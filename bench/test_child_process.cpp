#include "bench/child_process.h"

#include <QTest>
#include <chrono>
#include <cstring>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace keyfall::bench;
using namespace std::chrono_literals;

class ChildProcessTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aBusyProcessUsesProcessorTimeAndASleepingOneDoesNot()
    {
        ChildProcess busy({ "sh", "-c", "while :; do :; done" });
        ChildProcess sleeping({ "sleep", "5" });
        std::this_thread::sleep_for(100ms);
        const CpuUse busyBefore = busy.cpuUse();
        const CpuUse sleepingBefore = sleeping.cpuUse();
        std::this_thread::sleep_for(300ms);
        const std::int64_t busyNs = busy.cpuUse().cpuNs - busyBefore.cpuNs;
        const std::int64_t sleepingNs = sleeping.cpuUse().cpuNs - sleepingBefore.cpuNs;
        QVERIFY2(busyNs > 30'000'000, qPrintable(QString::number(busyNs)));
        QVERIFY2(sleepingNs < 5'000'000, qPrintable(QString::number(sleepingNs)));
        QCOMPARE(busyBefore.threads, 1);
    }

    void eachWakeUpIsACountedSwitch()
    {
        ChildProcess ticking({ "sh", "-c", "for i in 1 2 3 4 5 6 7 8 9 10; do sleep 0.02; done" });
        const CpuUse before = ticking.cpuUse();
        std::this_thread::sleep_for(100ms);
        const CpuUse after = ticking.cpuUse();
        QVERIFY2(after.switches > before.switches,
            qPrintable(QStringLiteral("%1 -> %2").arg(before.switches).arg(after.switches)));
        ticking.wait(5s);
    }

    void reportsTheExitStatusAndPeakMemoryOfTheWholeRun()
    {
        ChildProcess heavy(
            { "python3", "-c", "b = bytearray(64 * 1024 * 1024)\nimport sys; sys.exit(3)" });
        const ExitReport report = heavy.wait(10s);
        QVERIFY(WIFEXITED(report.status));
        QCOMPARE(WEXITSTATUS(report.status), 3);
        QVERIFY2(report.peakRssKib > 64 * 1024, qPrintable(QString::number(report.peakRssKib)));
    }

    void memoryHeldTellsAnonymousFromSharedPages_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("anonymous");
        QTest::newRow("heap written") << (MAP_PRIVATE | MAP_ANONYMOUS) << true;
        QTest::newRow("shared memory written, as the X server's image") << MAP_SHARED << false;
    }

    // 16 MiB written by this process, and held by it alone, are private dirty. (Its PSS is not
    // checked: it falls whenever another process maps the libraries it maps.)
    void memoryHeldTellsAnonymousFromSharedPages()
    {
        QFETCH(int, flags);
        QFETCH(bool, anonymous);
        constexpr long kKib = 16 * 1024;
        const int fd = flags & MAP_ANONYMOUS ? -1 : memfd_create("held", 0);
        QVERIFY(fd < 0 || ftruncate(fd, kKib * 1024) == 0);
        const MemoryHeld before = memoryHeldBy(getpid());
        void* pages = mmap(nullptr, kKib * 1024, PROT_READ | PROT_WRITE, flags, fd, 0);
        QVERIFY(pages != MAP_FAILED);
        std::memset(pages, 1, kKib * 1024);
        const MemoryHeld after = memoryHeldBy(getpid());
        munmap(pages, kKib * 1024);
        if (fd >= 0)
            close(fd);
        QVERIFY(after.privateDirtyKib - before.privateDirtyKib >= kKib);
        QCOMPARE(after.anonymousKib - before.anonymousKib >= kKib, anonymous);
    }

    void aProcessThatOutstaysItsDeadlineIsKilled()
    {
        const auto start = std::chrono::steady_clock::now();
        ChildProcess stuck({ "sleep", "30" });
        const ExitReport report = stuck.wait(200ms);
        QVERIFY(WIFSIGNALED(report.status));
        QVERIFY(std::chrono::steady_clock::now() - start < 5s);
    }

    void theStartIsTakenBeforeTheProgramRuns()
    {
        const auto before = std::chrono::steady_clock::now();
        ChildProcess quick({ "true" });
        QVERIFY(quick.startedAt() >= before);
        QVERIFY(quick.startedAt() <= std::chrono::steady_clock::now());
        QCOMPARE(quick.wait(5s).status, 0);
    }
};

QTEST_GUILESS_MAIN(ChildProcessTest)
#include "test_child_process.moc"
