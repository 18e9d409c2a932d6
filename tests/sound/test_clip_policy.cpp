#include "sound/clip_policy.h"

#include <QTest>
#include <utility>

using namespace keyfall;

namespace {

// Tells the policy one thing the server does at a moment of a virtual clock, and returns the
// orders it brings, or nothing for an event this table does not know. The value is the clip of a
// key, or the position of a start or an underflow in the stream (-1: not known).
std::optional<ClipOrders> feed(
    ClipPolicy& policy, const QByteArray& event, SoundTime now, int value)
{
    const auto position = value < 0 ? std::nullopt : std::optional<std::int64_t>(value);
    if (event == "opening")
        policy.opening();
    else if (event == "lost")
        policy.lost();
    else if (event == "ready")
        return policy.streamReady(now);
    else if (event == "key")
        return policy.requested({ value, now }, now);
    else if (event == "answer")
        return policy.serverAnswered(now);
    else if (event == "started")
        return policy.clipStarted(position, now);
    else if (event == "underflow")
        return policy.underflow(position);
    else
        return std::nullopt;
    return ClipOrders {};
}

QByteArray namesOf(const ClipOrders& orders)
{
    static const std::pair<ClipOrders::Step, const char*> kNames[]
        = { { ClipOrders::ShortLatency, "short" }, { ClipOrders::Flush, "flush" },
              { ClipOrders::Write, "write" }, { ClipOrders::Uncork, "uncork" },
              { ClipOrders::Cork, "cork" }, { ClipOrders::SilentLatency, "silent" },
              { ClipOrders::AskServer, "ask" }, { ClipOrders::AskPosition, "where" } };
    QByteArrayList names;
    for (const auto& [step, name] : kNames) {
        if (orders.has(step))
            names << (step == ClipOrders::Write ? "write " + QByteArray::number(orders.clip)
                                                : QByteArray(name));
    }
    return names.join(' ');
}

}

class ClipPolicyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each row tells what the server does, one event after another: "<ms> <event> [<value>]",
    // and after ">" the orders the event brings ("send" and "rest" stand for the usual ones).
    void ordersFollowTheServer_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("a clip after silence, then rest")
            << QByteArray("0 ready; 10000 key 0 > ask; 10002 answer > send; 10004 started 4000; "
                          "10200 underflow 9000 > rest");
        QTest::newRow("answered 150 ms after the key")
            << QByteArray("0 ready; 1000 key 0 > ask; 1150 answer > send");
        QTest::newRow("answered 151 ms after the key")
            << QByteArray("0 ready; 1000 key 0 > ask; 1151 answer");
        QTest::newRow("stalled before a clip, two keys in the stall")
            << QByteArray("0 ready; 1000 key 1 > ask; 1500 key 1; 3500 answer; 3600 key 0 > ask; "
                          "3602 answer > send");
        QTest::newRow("stalled during a clip, which the late answer cuts off")
            << QByteArray("0 ready; 1000 key 0 > ask; 1002 answer > send; 1004 started 4000; "
                          "1050 key 1 > ask; 3500 answer > rest; 3510 underflow 9000");
        QTest::newRow("a late start is cut off") << QByteArray(
            "0 ready; 1000 key 0 > ask; 1002 answer > send; 1300 started 4000 > rest");
        QTest::newRow("a sink that wakes slowly plays the clip whole")
            << QByteArray("0 ready; 1000 key 0 > ask; 1002 answer > send; 1004 started 4000; "
                          "1005 underflow 4000; 1700 underflow 9000 > rest");
        QTest::newRow("two clips close together, the newest of the keys between them")
            << QByteArray("0 ready; 1000 key 0 > ask; 1002 answer > send; 1003 key 1; 1003 key 2; "
                          "1004 started 4000 > ask; 1005 underflow 3000; "
                          "1006 answer > flush write 2 uncork where; 1007 underflow 5000; "
                          "1008 started 6000; 1009 underflow 6000; 1300 underflow 9000 > rest");
        QTest::newRow("the server cannot say where the clip begins: its first underflow ends it")
            << QByteArray("0 ready; 1000 key 0 > ask; 1002 answer > send; 1004 started; "
                          "1005 underflow 3000 > rest");
        QTest::newRow("a server that goes, and comes back in time for the clip waiting")
            << QByteArray("0 ready; 1000 key 0 > ask; 1002 answer > send; 1100 lost; 1200 key 1; "
                          "1202 answer; 1300 opening; 1350 key 0; 1400 ready > ask; 1402 answer "
                          "> send");
        QTest::newRow("a server that comes back too late for the clip waiting")
            << QByteArray("0 opening; 1000 key 0; 1151 ready; 1152 answer");
    }

    void ordersFollowTheServer()
    {
        QFETCH(QByteArray, script);
        ClipPolicy policy;
        for (const QByteArray& step : script.split(';')) {
            const QByteArrayList sides = step.split('>');
            const QByteArrayList event = sides[0].simplified().split(' ');
            const std::optional<ClipOrders> orders = feed(policy, event[1],
                std::chrono::milliseconds(event[0].toInt()), event.value(2, "-1").toInt());
            QVERIFY2(orders, "no such event: " + event[1]);
            const QByteArray expected = sides.value(1).trimmed();
            QCOMPARE(namesOf(*orders),
                expected == "send"       ? "short write 0 uncork where"
                    : expected == "rest" ? "flush cork silent"
                                         : expected);
        }
    }
};

QTEST_APPLESS_MAIN(ClipPolicyTest)
#include "test_clip_policy.moc"
