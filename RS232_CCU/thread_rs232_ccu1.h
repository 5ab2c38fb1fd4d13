#ifndef THREAD_RS232_CCU1_H
#define THREAD_RS232_CCU1_H

// Owner of the CCU worker and its thread. Lives on the GUI thread: relays
// start, stop and setting requests to the worker (queued, so they run on the
// worker thread) and stops the thread on exit and before a reset.

#include "rs232_ccu.h"
#include "workerthread.h"

#include <QObject>
#include <QThread>

class Thread_RS232_CCU1 : public QObject
{
    Q_OBJECT
public:
    explicit Thread_RS232_CCU1(QObject *parent = nullptr);
    ~Thread_RS232_CCU1() override;

    // Starts the worker thread and the poll timer, once; call it after the
    // connections are made. Builds that take nothing from the CCU never call
    // it, and then no poll tick is ever generated.
    void start();

    QThread RS232_CCU1_Thread;
    RS232_CCU rs232_ccu;

signals:
    void signal_gun1_start();
    void signal_gun1_stop();
    void signal_setpara_Powerlimit(float);
    void signal_setpara_Currentlimit(float);
    void signal_setpara_Voltagelimit(float);
    void signal_setpara_PowerlimitEn(bool);
    void signal_setpara_FanSpeedCtrl(ushort);

public slots:
    // The poll timer goes with the thread (timer_rs232_interval is then null).
    void stop();
    void SendCommand_Gun1_Start_Request();
    void SendCommand_Gun1_Stop_Request();
    void Set_CurrentLimit_Request(float value);
    void Set_PowerLimit_Request(float value);
    void Set_PowerLimitEn_Request(bool enable);
    void Set_VoltageLimit_Request(float value);
    void Set_FanSpeedCtrl_Request(ushort speed);

private:
    WorkerThread m_lifecycle; // after the thread and the worker: ends the thread first
};

#endif
