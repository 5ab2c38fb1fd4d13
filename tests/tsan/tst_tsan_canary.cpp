// A deliberate data race, built for the ThreadSanitizer pass only: a counter
// written by a queued slot on a worker thread while the test function (GUI
// thread) writes it too, without any lock. The pass must report it; if the
// suppressions ever hide races in queued slots or test functions again, this
// test fails (CTest expects the race report in its output).

#include <QThread>
#include <QtTest>

class TsanCanaryCounter : public QObject
{
    Q_OBJECT
public:
    int count = 0; // deliberately unguarded

public slots:
    void bump() { ++count; }
};

class tst_TsanCanary : public QObject
{
    Q_OBJECT

private slots:
    void raceInAQueuedSlotIsSeen()
    {
        QThread worker;
        TsanCanaryCounter counter;
        counter.moveToThread(&worker);
        worker.start();
        for (int i = 0; i < 1000; ++i) {
            QMetaObject::invokeMethod(&counter, "bump", Qt::QueuedConnection);
            ++counter.count; // races with bump() on the worker thread
        }
        QMetaObject::invokeMethod(&counter, [&worker] { worker.quit(); }, Qt::QueuedConnection);
        worker.wait();
    }
};

QTEST_GUILESS_MAIN(tst_TsanCanary)
#include "tst_tsan_canary.moc"
