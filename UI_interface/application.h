#ifndef APPLICATION_H
#define APPLICATION_H

// The charger's object graph, built on the GUI thread in its fixed order and
// wired together; destroyed in the reverse order. Start-up and the demo
// driver build the same graph.

#include "cloud_wr.h"
#include "connector.h"
#include "mainwindow.h"
#include "thread_pipe.h"
#include "thread_rs232_ccu1.h"
#include "thread_rs485.h"
#include "timer.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>

// Writes the main thread's identifier; a member between the timer service
// and the workers, so the line comes exactly there in the start-up order.
struct MainThreadIdLog
{
    MainThreadIdLog();
};

class ShutdownSignals;

class ChargerApplication
{
public:
    ChargerApplication();
    ~ChargerApplication();

    // Starts the device workers in the builds that take their data from
    // them; call once, after construction, before the event loop runs.
    void startDeviceLinks();

    // SIGTERM and SIGINT end the program through shutDown().
    void stopOnSignals();

    // The service manager's stop: a charging session has the CCU stop first
    // and its StopTransaction (Reboot) queued; then, once the transaction
    // messages are answered and the CCU had a poll to send the stop frame,
    // at most ShutdownGraceMs later, the program ends as the exit button
    // ends it. What is not answered by then stays in Transaction.json.
    void shutDown();
    static constexpr int ShutdownGraceMs = 2000;
    // One poll period of the CCU worker and the time to write the frame.
    static constexpr int CcuStopGraceMs = 1300;

    Mytimer mytimer;
    MainThreadIdLog threadIdLog;
    Thread_RS232_CCU1 ccu;
    Thread_rs485 rs485;
    Thread_pipe pipe;
    Cloud_WR cloud;
    Connector connector;
    MainWindow window;

private:
    void finishShutdownWhenDone();

    bool m_ccuStarted = false;
    bool m_shuttingDown = false;
    bool m_shutdownFinished = false;
    int m_ccuGraceMs = 0;
    QElapsedTimer m_shutdownClock;
    QTimer m_shutdownTimer;
    std::unique_ptr<ShutdownSignals> m_signals;
};

#endif // APPLICATION_H
