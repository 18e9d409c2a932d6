#include "sound/clip_policy.h"

#include <QTest>
#include <utility>
#include <vector>

using namespace keyfall;

namespace {

// What the sound server tells the policy, at a millisecond of a virtual clock. The value is the
// clip of a key, or the position of a start or an underflow in the stream (-1: not known).
struct Event {
    enum Kind { Opening, Ready, Key, Answer, Started, Underflow, Lost } kind;
    int atMs;
    int value = -1;
};
using Script = std::vector<Event>;

ClipOrders feed(ClipPolicy& policy, const Event& event)
{
    const SoundTime now = std::chrono::milliseconds(event.atMs);
    const auto position = event.value < 0 ? std::nullopt : std::optional<std::int64_t>(event.value);
    switch (event.kind) {
    case Event::Opening:
        policy.opening();
        return {};
    case Event::Ready:
        return policy.streamReady(now);
    case Event::Key:
        return policy.requested({ event.value, now }, now);
    case Event::Answer:
        return policy.serverAnswered(now);
    case Event::Started:
        return policy.clipStarted(position, now);
    case Event::Underflow:
        return policy.underflow(position);
    case Event::Lost:
        policy.lost();
        return {};
    }
    return {};
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
            names << name;
    }
    if (orders.has(ClipOrders::Write))
        names << QByteArray::number(orders.clip);
    return names.join(' ');
}

}

Q_DECLARE_METATYPE(Script)

class ClipPolicyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each row: what the server tells, and the orders each event brings, as names.
    void ordersFollowTheServer_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QByteArrayList>("orders");
        const QByteArray send = "short write uncork where 0";
        const QByteArray silence = "flush cork silent";
        QTest::newRow("a clip after silence, then rest") << Script { { Event::Ready, 0 },
            { Event::Key, 10000, 0 }, { Event::Answer, 10002 }, { Event::Started, 10004, 4000 },
            { Event::Underflow, 10200, 9000 } } << QByteArrayList { "", "ask", send, "", silence };
        QTest::newRow("answered 150 ms after the key")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 0 }, { Event::Answer, 1150 } }
            << QByteArrayList { "", "ask", send };
        QTest::newRow("stalled before a clip, two keys in the stall")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 1 }, { Event::Key, 1500, 1 },
                   { Event::Answer, 3500 }, { Event::Key, 3600, 0 }, { Event::Answer, 3602 } }
            << QByteArrayList { "", "ask", "", "", "ask", send };
        QTest::newRow("answered 151 ms after the key")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 0 }, { Event::Answer, 1151 } }
            << QByteArrayList { "", "ask", "" };
        QTest::newRow("stalled during a clip, which the late answer cuts off")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 0 }, { Event::Answer, 1002 },
                   { Event::Started, 1004, 4000 }, { Event::Key, 1050, 1 }, { Event::Answer, 3500 },
                   { Event::Underflow, 3510, 9000 } }
            << QByteArrayList { "", "ask", send, "", "ask", silence, "" };
        QTest::newRow("a late start is cut off") << Script { { Event::Ready, 0 },
            { Event::Key, 1000, 0 }, { Event::Answer, 1002 }, { Event::Started, 1300, 4000 } }
                                                 << QByteArrayList { "", "ask", send, silence };
        QTest::newRow("a sink that wakes slowly plays the clip whole")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 0 }, { Event::Answer, 1002 },
                   { Event::Started, 1004, 4000 }, { Event::Underflow, 1005, 4000 },
                   { Event::Underflow, 1700, 9000 } }
            << QByteArrayList { "", "ask", send, "", "", silence };
        QTest::newRow("two clips close together, the newest of the keys between them")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 0 }, { Event::Answer, 1002 },
                   { Event::Key, 1003, 1 }, { Event::Key, 1003, 2 }, { Event::Started, 1004, 4000 },
                   { Event::Underflow, 1005, 3000 }, { Event::Answer, 1006 },
                   { Event::Underflow, 1007, 5000 }, { Event::Started, 1008, 6000 },
                   { Event::Underflow, 1009, 6000 }, { Event::Underflow, 1300, 9000 } }
            << QByteArrayList { "", "ask", send, "", "", "ask", "", "flush write uncork where 2",
                   "", "", "", silence };
        QTest::newRow("the server cannot say where the clip begins: its first underflow ends it")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 0 }, { Event::Answer, 1002 },
                   { Event::Started, 1004 }, { Event::Underflow, 1005, 3000 } }
            << QByteArrayList { "", "ask", send, "", silence };
        QTest::newRow("a server that goes, and comes back in time for the clip waiting")
            << Script { { Event::Ready, 0 }, { Event::Key, 1000, 0 }, { Event::Answer, 1002 },
                   { Event::Lost, 1100 }, { Event::Key, 1200, 1 }, { Event::Answer, 1202 },
                   { Event::Opening, 1300 }, { Event::Key, 1350, 0 }, { Event::Ready, 1400 },
                   { Event::Answer, 1402 } }
            << QByteArrayList { "", "ask", send, "", "", "", "", "", "ask", send };
        QTest::newRow("a server that comes back too late for the clip waiting")
            << Script { { Event::Opening, 0 }, { Event::Key, 1000, 0 }, { Event::Ready, 1151 },
                   { Event::Answer, 1152 } }
            << QByteArrayList { "", "", "", "" };
    }

    void ordersFollowTheServer()
    {
        QFETCH(Script, script);
        QFETCH(QByteArrayList, orders);
        QCOMPARE(qsizetype(script.size()), orders.size());
        ClipPolicy policy;
        for (std::size_t i = 0; i < script.size(); ++i)
            QCOMPARE(namesOf(feed(policy, script[i])), orders[qsizetype(i)]);
    }
};

QTEST_APPLESS_MAIN(ClipPolicyTest)
#include "test_clip_policy.moc"
