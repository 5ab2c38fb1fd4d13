#ifndef WORKERTHREAD_H
#define WORKERTHREAD_H

// The life of a serial-line worker on a thread of its own, the same for the
// CCU and the meter owner. The owner holds the thread and the worker by value
// and this object after them. The worker moves to the thread, opens its line
// as the thread starts and releases it on that thread as the thread finishes.
// The process-wide poll timer lives on the worker thread too: made as the
// thread starts, deleted as it finishes, so that nothing on the GUI thread
// (a long file write, a reset script) holds the poll back.

#include <QObject>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <mutex>

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
        QObject::connect(
            &thread, &QThread::started, &worker,
            [this, &worker, pollMs, poll] {
                QTimer *timer = new QTimer;
                timer->setInterval(pollMs);
                QObject::connect(timer, &QTimer::timeout, &worker, poll);
                timer->start();
                publishTimer(timer);
            },
            Qt::DirectConnection);
        // The port, the response timer and the poll timer were made on the
        // worker thread and are deleted there, as the thread finishes.
        QObject::connect(&thread, &QThread::finished, &worker, release, Qt::DirectConnection);
        QObject::connect(
            &thread, &QThread::finished, &worker,
            [this] {
                delete m_pollTimer;
                publishTimer(nullptr);
            },
            Qt::DirectConnection);
    }
    ~WorkerThread() { stop(); }

    WorkerThread(const WorkerThread &) = delete;
    WorkerThread &operator=(const WorkerThread &) = delete;

    // Starts the thread, which opens the line and then starts the poll timer;
    // returns once the timer runs (the global names it from then on). Once
    // only; nothing after stop().
    void start();

    // Nothing more goes onto the line, the thread ends and takes the poll
    // timer along (the global is null again); prompt even with a request in
    // flight. Later calls find it done.
    void stop();

private:
    void publishTimer(QTimer *timer);

    QThread &m_thread;
    QTimer *&m_pollTimer;
    std::atomic<bool> *m_halted;
    bool m_startable = true;
    std::mutex m_lock; // hands the timer's address from the worker thread to the owner's
    std::condition_variable m_timerChanged;
};

#endif // WORKERTHREAD_H
