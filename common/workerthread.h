#ifndef WORKERTHREAD_H
#define WORKERTHREAD_H

// The life of a serial-line worker on a thread of its own, the same for the
// CCU and the meter owner. The owner holds the thread and the worker by value
// and this object after them. The worker moves to the thread, opens its line
// as the thread starts and releases it on that thread as the thread finishes;
// the process-wide poll timer (GUI thread) ticks the worker only while the
// thread runs.

#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>

class WorkerThread
{
public:
    template <typename Worker>
    WorkerThread(QThread &thread, Worker &worker, QTimer *&pollTimer, int pollMs, void (Worker::*open)(),
                 void (Worker::*release)(), void (Worker::*poll)(), std::atomic<bool> *halted = nullptr)
        : m_thread(thread), m_pollTimer(pollTimer), m_halted(halted)
    {
        worker.moveToThread(&thread);
        QObject::connect(&thread, &QThread::started, &worker, open);
        // The port and the response timer were made on the worker thread and
        // are deleted there, as the thread finishes.
        QObject::connect(&thread, &QThread::finished, &worker, release, Qt::DirectConnection);
        // An earlier owner (tests build several) took its timer along.
        if (!pollTimer)
            pollTimer = new QTimer;
        pollTimer->setInterval(pollMs);
        QObject::connect(pollTimer, &QTimer::timeout, &worker, poll);
    }
    ~WorkerThread() { stop(); }

    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Starts the thread and then the poll timer: ticks queued to a worker
    // whose thread is not running would only pile up and then burst onto the
    // line. Once only; nothing after stop().
    void start();

    // The poll timer goes, nothing more goes onto the line, the thread ends;
    // prompt even with a request in flight. Later calls find it done.
    void stop();

private:
    QThread &m_thread;
    QTimer *&m_pollTimer;
    std::atomic<bool> *m_halted;
    bool m_startable = true;
};

#endif // WORKERTHREAD_H
