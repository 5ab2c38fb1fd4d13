// test-components: common status
// The network check behind the status bar's icon: the state machine, its
// log lines, and one lookup at a time.

#include "cloud_wr.h"
#include "globalvariable.h"
#include "runtimeoptions.h"
#include "testsupport.h"

#include <QtTest>

namespace {
// The platform's online test and the resolver replaced by switches, so the
// test decides what the network does.
class ScriptedCloud : public Cloud_WR
{
public:
    bool online = true;
    QStringList lookups;
    QList<int> aborted;
    int nextId = 100;

protected:
    bool isOnline() override { return online; }
    int startLookup(const QString &host) override
    {
        lookups << host;
        return nextId++;
    }
    void abortLookup(int id) override { aborted << id; }
};

QHostInfo result(int id, bool found)
{
    QHostInfo info(id);
    info.setError(found ? QHostInfo::NoError : QHostInfo::HostNotFound);
    info.setErrorString(found ? QString() : QString("Host not found"));
    return info;
}
} // namespace

class tst_Network : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Network_State = 0;
        NetworkCheckHost = "www.debian.org";
    }

    void stateChanges()
    {
        LogCapture log;
        ScriptedCloud cloud;
        // Each tick: online or not, what its lookup finds, the state after it.
        const struct { bool online, found; int state; } ticks[] = {
            {false, false, 0}, {true, false, 1}, {true, false, 1}, {true, true, 2},   {true, true, 2},
            {true, false, 1},  {true, true, 2},  {false, false, 0}, {false, false, 0}};
        for (const auto &t : ticks) {
            cloud.online = t.online;
            cloud.checkNetWorkOnline();
            if (t.online)
                cloud.onLookupHost(result(cloud.nextId - 1, t.found));
            QCOMPARE(int(Network_State), t.state);
            QVERIFY(!cloud.lookupOutstanding());
        }
        QCOMPARE(cloud.lookups.size(), 6);
        QCOMPARE(cloud.lookups.first(), QString("www.debian.org"));
        // One line per change, none while the state holds.
        const QString failed = "Network lookup host failed: Host not found", good = "The Network State is good!";
        QCOMPARE(log.lines(), QStringList({failed, good, failed, good, "The network is disconnected."}));
    }

    void hungLookupIsGivenUp()
    {
        Network_State = 2;
        LogCapture log;
        ScriptedCloud cloud;
        // Lookup 100 never answers; the ticks meanwhile start no others.
        for (int i = 0; i < Cloud_WR::LookupPatienceTicks; ++i)
            cloud.checkNetWorkOnline();
        QVERIFY(cloud.lookups.size() == 1 && Network_State == 2 && cloud.aborted.isEmpty());
        cloud.checkNetWorkOnline(); // patience out: given up as a failure
        QCOMPARE(cloud.aborted, QList<int>({100}));
        QCOMPARE(Network_State, quint16(1));
        QCOMPARE(log.count("Network lookup host failed:"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_Network)
#include "tst_network.moc"
