#ifndef THREAD_RS232_CCU1_H
#define THREAD_RS232_CCU1_H

#include <QObject>

// Owner of the CCU worker and its thread (placeholder until the CCU link lands).
class Thread_RS232_CCU1 : public QObject
{
    Q_OBJECT
public:
    explicit Thread_RS232_CCU1(QObject *parent = nullptr) : QObject(parent) {}
    void start() {}

signals:
    void signal_gun1_start();
    void signal_gun1_stop();
    void signal_setpara_Powerlimit(float);
    void signal_setpara_Currentlimit(float);
    void signal_setpara_Voltagelimit(float);
    void signal_setpara_PowerlimitEn(bool);
    void signal_setpara_FanSpeedCtrl(ushort);

public slots:
    void stop() {}
    void SendCommand_Gun1_Start_Request() {}
    void SendCommand_Gun1_Stop_Request() {}
    void Set_CurrentLimit_Request(float) {}
    void Set_PowerLimit_Request(float) {}
    void Set_PowerLimitEn_Request(bool) {}
    void Set_VoltageLimit_Request(float) {}
    void Set_FanSpeedCtrl_Request(ushort) {}
};

#endif
