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

// Writes the main thread's identifier; a member between the timer service
// and the workers, so the line comes exactly there in the start-up order.
struct MainThreadIdLog
{
    MainThreadIdLog();
};

class ChargerApplication
{
public:
    ChargerApplication();

    // Starts the device workers in the builds that take their data from
    // them; call once, after construction, before the event loop runs.
    void startDeviceLinks();

    Mytimer mytimer;
    MainThreadIdLog threadIdLog;
    Thread_RS232_CCU1 ccu;
    Thread_rs485 rs485;
    Thread_pipe pipe;
    Cloud_WR cloud;
    Connector connector;
    MainWindow window;
};

#endif // APPLICATION_H
