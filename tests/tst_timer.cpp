// test-components: common status core
#include "globalvariable.h"
#include "localclock.h"
#include "testsupport.h"
#include "timer.h"

#include <QSignalSpy>
#include <QtTest>

class tst_Timer : public QObject
{
    Q_OBJECT

private slots:
    void startsFourTimersInOrder();
    void fastTimerOnlyWhileListenedTo();
    void clockTextChangesAfterTheTick();
    void clockFollowsTheZone_data();
    void clockFollowsTheZone();
    void stopSilencesEverything();
    void stopTwiceOnlyLogs();
    void destructorLogs();
};

void tst_Timer::startsFourTimersInOrder()
{
    str_datetime.clear();
    Mytimer t;
    QVERIFY(t.nTimerId_1s && t.nTimerId_2s && t.nTimerId_5s);
    QCOMPARE(QSet<int>({t.nTimerId_1s, t.nTimerId_2s, t.nTimerId_5s}).size(), 3);
    QVERIFY(QRegularExpression("^\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(str_datetime).hasMatch());

    // 5 s fires although nothing in the charger listens to it.
    QSignalSpy slow(&t, &Mytimer::signal_5s_timerout);
    QVERIFY(slow.wait(6000));
}

// The clock shows local time as the toolkit would, and a changed zone within
// a minute of ticks.
void tst_Timer::clockFollowsTheZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<int>("offsetSeconds");
    QTest::newRow("UTC") << QByteArray("UTC0") << 0;
    QTest::newRow("east") << QByteArray("ABC-5:30") << 5 * 3600 + 1800;
    QTest::newRow("west") << QByteArray("XYZ8") << -8 * 3600;
}

void tst_Timer::clockFollowsTheZone()
{
    QFETCH(QByteArray, zone);
    QFETCH(int, offsetSeconds);
    const QByteArray before = qgetenv("TZ");
    qputenv("TZ", zone);
    QString text;
    for (int tick = 0; tick < 60; ++tick)
        text = localClockText();
    const QDateTime now = QDateTime::currentDateTimeUtc().addSecs(offsetSeconds);
    const QStringList near = {now.addSecs(-1).toString("MM-dd hh:mm:ss"), now.toString("MM-dd hh:mm:ss")};
    QVERIFY2(near.contains(text), qPrintable(text + " not " + near.join(" or ")));
    if (before.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", before);
}

void tst_Timer::fastTimerOnlyWhileListenedTo()
{
    Mytimer t;
    QCOMPARE(t.nTimerId_300ms, 0); // no wake-ups for nobody
    {
        QSignalSpy fast(&t, &Mytimer::signal_300ms_timerout);
        QVERIFY(t.nTimerId_300ms != 0);
        QVERIFY(!QSet<int>({t.nTimerId_1s, t.nTimerId_2s, t.nTimerId_5s}).contains(t.nTimerId_300ms));
        QVERIFY(fast.wait(1000));
        QObject receiver;
        connect(&t, &Mytimer::signal_300ms_timerout, &receiver, [] {});
    } // the receiver and then the spy go: the next tick finds nobody
    QTRY_COMPARE_WITH_TIMEOUT(t.nTimerId_300ms, 0, 1000);

    // Once stopped, a new listener does not wake it up again.
    t.stop();
    QSignalSpy late(&t, &Mytimer::signal_300ms_timerout);
    QCOMPARE(t.nTimerId_300ms, 0);
}

void tst_Timer::clockTextChangesAfterTheTick()
{
    Mytimer t;
    str_datetime = "previous";
    QString seen;
    connect(&t, &Mytimer::signal_1s_timerout, this, [&] { seen = str_datetime; });
    QSignalSpy tick(&t, &Mytimer::signal_1s_timerout);
    QVERIFY(tick.wait(2000));
    QCOMPARE(seen, QString("previous"));
    QVERIFY(str_datetime != "previous");
}

void tst_Timer::stopSilencesEverything()
{
    Mytimer t;
    QSignalSpy s1(&t, &Mytimer::signal_1s_timerout);
    QSignalSpy s300(&t, &Mytimer::signal_300ms_timerout);
    t.stop();
    str_datetime = "frozen";
    QTest::qWait(1200);
    QCOMPARE(s1.count(), 0);
    QCOMPARE(s300.count(), 0);
    QCOMPARE(str_datetime, QString("frozen"));
}

void tst_Timer::stopTwiceOnlyLogs()
{
    Mytimer t;
    LogCapture log;
    t.stop();
    t.stop();
    QCOMPARE(log.count("Timer stop"), 2);
    QCOMPARE(t.nTimerId_1s + t.nTimerId_2s + t.nTimerId_300ms + t.nTimerId_5s, 0);
}

void tst_Timer::destructorLogs()
{
    LogCapture log;
    {
        Mytimer t;
        // Stopped from inside its own tick, as a reset does.
        connect(&t, &Mytimer::signal_1s_timerout, &t, &Mytimer::stop);
        str_datetime = "before";
        QSignalSpy tick(&t, &Mytimer::signal_1s_timerout);
        QVERIFY(tick.wait(2000));
        QCOMPARE(str_datetime, QString("before"));
    }
    QCOMPARE(log.count("Timer destroy"), 1);
}

QTEST_GUILESS_MAIN(tst_Timer)
#include "tst_timer.moc"
