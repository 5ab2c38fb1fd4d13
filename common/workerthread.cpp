#include "workerthread.h"

void WorkerThread::publishTimer(QTimer *timer)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_pollTimer = timer;
    }
    m_timerChanged.notify_all();
}

void WorkerThread::start()
{
    if (!m_startable)
        return;
    m_startable = false;
    m_thread.start();
    // Bounded: a thread that could not be made never sends the timer.
    std::unique_lock<std::mutex> lock(m_lock);
    m_timerChanged.wait_for(lock, std::chrono::seconds(5), [this] { return m_pollTimer != nullptr; });
}

void WorkerThread::stop()
{
    m_startable = false;
    if (m_halted)
        *m_halted = true;
    m_thread.quit();
    m_thread.wait();
    // Taken once after the thread has let go of it: what the worker thread
    // did to the timer and its global is seen from here on.
    std::lock_guard<std::mutex> lock(m_lock);
}
