// test-components: core status
// The network check behind the status bar's icon: the state machine, its
// log lines, and the one-lookup-at-a-time rule.

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

// Only the online test replaced; lookups go to the real resolver.
class OnlineCloud : public Cloud_WR
{
protected:
    bool isOnline() override { return true; }
};

QHostInfo result(int id, QHostInfo::HostInfoError error)
{
    QHostInfo info(id);
    info.setError(error);
    if (error == QHostInfo::HostNotFound)
        info.setErrorString("Host not found");
    else if (error != QHostInfo::NoError)
        info.setErrorString("Temporary failure in name resolution");
    return info;
}
} // namespace

class tst_Network : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startupWithoutNetwork();
    void lookupResult_data();
    void lookupResult();
    void unresolvableNetworkLogsOnce();
    void recoveryAndUnplugging();
    void lateResultAfterGoingOffline();
    void oneLookupAtATime();
    void hungLookupIsGivenUp();
    void destroyedWhileLookingUp();
    void realLookupReachesTheSlot();
};

void tst_Network::init()
{
    Network_State = 0;
    NetworkCheckHost = "www.debian.org";
}

void tst_Network::startupWithoutNetwork()
{
    LogCapture log;
    ScriptedCloud cloud;
    cloud.online = false;
    for (int i = 0; i < 5; ++i)
        cloud.checkNetWorkOnline();
    QCOMPARE(Network_State, quint16(0));
    QVERIFY(log.lines().isEmpty());
    QVERIFY(cloud.lookups.isEmpty());
}

void tst_Network::lookupResult_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("first success") << 0 << int(QHostInfo::NoError) << 2 << "The Network State is good!";
    QTest::newRow("first failure") << 0 << int(QHostInfo::HostNotFound) << 1 << "Network lookup host failed: Host not found";
    QTest::newRow("recovery") << 1 << int(QHostInfo::NoError) << 2 << "The Network State is good!";
    QTest::newRow("resolver lost") << 2 << int(QHostInfo::UnknownError) << 1
                                   << "Network lookup host failed: Temporary failure in name resolution";
    QTest::newRow("still good") << 2 << int(QHostInfo::NoError) << 2 << "";
    QTest::newRow("still failing") << 1 << int(QHostInfo::HostNotFound) << 1 << "";
}

void tst_Network::lookupResult()
{
    QFETCH(int, before);
    QFETCH(int, error);
    QFETCH(QString, logLine);
    Network_State = quint16(before);
    LogCapture log;
    ScriptedCloud cloud;
    cloud.checkNetWorkOnline();
    QCOMPARE(cloud.lookups, QStringList({"www.debian.org"}));

    cloud.onLookupHost(result(100, QHostInfo::HostInfoError(error)));

    QTEST(int(Network_State), "after");
    QCOMPARE(log.lines(), logLine.isEmpty() ? QStringList() : QStringList({logLine}));
    QVERIFY(!cloud.lookupOutstanding());
}

void tst_Network::unresolvableNetworkLogsOnce()
{
    LogCapture log;
    ScriptedCloud cloud;
    for (int i = 0; i < 6; ++i) {
        cloud.checkNetWorkOnline();
        cloud.onLookupHost(result(cloud.nextId - 1, QHostInfo::HostNotFound));
    }
    QCOMPARE(cloud.lookups.size(), 6);
    QCOMPARE(Network_State, quint16(1));
    QCOMPARE(log.lines().size(), 1);
    QVERIFY(log.lines().first().startsWith("Network lookup host failed:"));
}

void tst_Network::recoveryAndUnplugging()
{
    LogCapture log;
    ScriptedCloud cloud;
    cloud.checkNetWorkOnline();
    cloud.onLookupHost(result(100, QHostInfo::HostNotFound));
    cloud.checkNetWorkOnline();
    cloud.onLookupHost(result(101, QHostInfo::NoError));
    cloud.checkNetWorkOnline();
    cloud.onLookupHost(result(102, QHostInfo::NoError));
    QCOMPARE(Network_State, quint16(2));

    cloud.online = false;
    cloud.checkNetWorkOnline();
    QCOMPARE(Network_State, quint16(0));
    cloud.checkNetWorkOnline();
    cloud.checkNetWorkOnline();

    QCOMPARE(log.lines(), QStringList({"Network lookup host failed: Host not found", "The Network State is good!",
                                       "The network is disconnected."}));
    QCOMPARE(cloud.lookups.size(), 3);
}

void tst_Network::lateResultAfterGoingOffline()
{
    ScriptedCloud cloud;
    cloud.checkNetWorkOnline();
    cloud.online = false;
    cloud.checkNetWorkOnline();
    QCOMPARE(Network_State, quint16(0));
    // The lookup started while online still reports; the next offline tick
    // takes the state back.
    cloud.onLookupHost(result(100, QHostInfo::NoError));
    QCOMPARE(Network_State, quint16(2));
    cloud.checkNetWorkOnline();
    QCOMPARE(Network_State, quint16(0));
}

void tst_Network::oneLookupAtATime()
{
    ScriptedCloud cloud;
    for (int i = 0; i < 4; ++i)
        cloud.checkNetWorkOnline();
    QCOMPARE(cloud.lookups.size(), 1);
    QVERIFY(cloud.lookupOutstanding());

    cloud.onLookupHost(result(100, QHostInfo::NoError));
    QVERIFY(!cloud.lookupOutstanding());
    cloud.checkNetWorkOnline();
    QCOMPARE(cloud.lookups.size(), 2);
    QVERIFY(cloud.aborted.isEmpty());
}

void tst_Network::hungLookupIsGivenUp()
{
    Network_State = 2;
    LogCapture log;
    ScriptedCloud cloud;
    cloud.checkNetWorkOnline(); // lookup 100 never answers
    for (int i = 1; i < Cloud_WR::LookupPatienceTicks; ++i)
        cloud.checkNetWorkOnline();
    QCOMPARE(Network_State, quint16(2));
    QVERIFY(cloud.aborted.isEmpty());

    cloud.checkNetWorkOnline();
    QCOMPARE(cloud.aborted, QList<int>({100}));
    QCOMPARE(Network_State, quint16(1));
    QCOMPARE(log.count("Network lookup host failed:"), 1);
    QVERIFY(!cloud.lookupOutstanding());

    cloud.checkNetWorkOnline();
    QCOMPARE(cloud.lookups.size(), 2);
    // A late answer to a fresh lookup still counts.
    cloud.onLookupHost(result(101, QHostInfo::NoError));
    QCOMPARE(Network_State, quint16(2));
}

void tst_Network::destroyedWhileLookingUp()
{
    // A lookup whose receiver has gone delivers nowhere.
    NetworkCheckHost = "localhost";
    {
        OnlineCloud cloud;
        cloud.checkNetWorkOnline();
        QVERIFY(cloud.lookupOutstanding());
    }
    QTest::qWait(200);
    QCOMPARE(Network_State, quint16(0));
}

void tst_Network::realLookupReachesTheSlot()
{
    NetworkCheckHost = "localhost";
    LogCapture log;
    OnlineCloud cloud;
    cloud.checkNetWorkOnline();
    QTRY_COMPARE_WITH_TIMEOUT(Network_State, quint16(2), 5000);
    QVERIFY(!cloud.lookupOutstanding());
    QCOMPARE(log.count("The Network State is good!"), 1);
}

QTEST_GUILESS_MAIN(tst_Network)
#include "tst_network.moc"
