#include "workerthread.h"

void WorkerThread::start()
{
    if (!m_startable)
        return;
    m_startable = false;
    m_thread.start();
    if (m_pollTimer)
        m_pollTimer->start();
}

void WorkerThread::stop()
{
    m_startable = false;
    delete m_pollTimer;
    m_pollTimer = nullptr;
    if (m_halted)
        *m_halted = true;
    m_thread.quit();
    m_thread.wait();
}
