#include "application.h"

#include "factorymode.h"
#include "globalvariable.h"
#include "help.h"
#include "sessionsupervisor.h"

#include <QApplication>
#include <QDebug>
#include <QThread>

MainThreadIdLog::MainThreadIdLog()
{
    qDebug() << "The main thread ID = " << QThread::currentThreadId();
}

ChargerApplication::ChargerApplication()
{
    MainWindow *w = &window;
    w->show();

    QObject::connect(&mytimer, &Mytimer::signal_1s_timerout, w, &MainWindow::timerUpdate);
    QObject::connect(&mytimer, &Mytimer::signal_2s_timerout, &cloud, &Cloud_WR::checkNetWorkOnline);
    QObject::connect(w, &MainWindow::StatusNotification_req, &pipe, &Thread_pipe::StatusNotification_Request);
    QObject::connect(w, &MainWindow::Authorize_req, &pipe, &Thread_pipe::Authorize_Request);
    QObject::connect(w, &MainWindow::signal_gun_Start_Command, &ccu, &Thread_RS232_CCU1::SendCommand_Gun1_Start_Request);
    QObject::connect(w, &MainWindow::StrartTransaction_req, &pipe, &Thread_pipe::StartTransaction_Request);
    QObject::connect(w, &MainWindow::signal_gun_Stop_Command, &ccu, &Thread_RS232_CCU1::SendCommand_Gun1_Stop_Request);
    QObject::connect(w, &MainWindow::StopTransacation_req, &pipe, &Thread_pipe::StopTransacation_Request);
    QObject::connect(w, &MainWindow::MeterValue_req, &pipe, &Thread_pipe::MeterValue_Request);
    QObject::connect(w, &MainWindow::UI_exit, &ccu, &Thread_RS232_CCU1::stop);
    QObject::connect(w, &MainWindow::UI_exit, &rs485, &Thread_rs485::stop);
    QObject::connect(w, &MainWindow::UI_exit, &mytimer, &Mytimer::stop);
    QObject::connect(w, &MainWindow::UI_exit, qApp, &QApplication::quit);
    QObject::connect(w, &MainWindow::signal_SoftwareReset, &ccu, &Thread_RS232_CCU1::stop);
    QObject::connect(w, &MainWindow::signal_SoftwareReset, &rs485, &Thread_rs485::stop);
    QObject::connect(w, &MainWindow::signal_SoftwareReset, &pipe, &Thread_pipe::stop);
    QObject::connect(w, &MainWindow::signal_SoftwareReset, &mytimer, &Mytimer::stop);
    QObject::connect(w, &MainWindow::signal_HardwareReset, &ccu, &Thread_RS232_CCU1::stop);
    QObject::connect(w, &MainWindow::signal_HardwareReset, &rs485, &Thread_rs485::stop);
    QObject::connect(w, &MainWindow::signal_HardwareReset, &mytimer, &Mytimer::stop);

    // Beyond the core wiring: the status file every 5 s, the help screen's
    // clock, and the factory screen's settings to the CCU.
    QObject::connect(&mytimer, &Mytimer::signal_5s_timerout, &connector, &Connector::Json_Write);
    QObject::connect(&mytimer, &Mytimer::signal_1s_timerout, w->helpWindow(), &Help::timerUpdate);
    FactoryMode *factory = w->factoryWindow();
    QObject::connect(factory, &FactoryMode::signal_setpara_Powerlimit, &ccu, &Thread_RS232_CCU1::Set_PowerLimit_Request);
    QObject::connect(factory, &FactoryMode::signal_setpara_Currentlimit, &ccu,
                     &Thread_RS232_CCU1::Set_CurrentLimit_Request);
    QObject::connect(factory, &FactoryMode::signal_setpara_Voltagelimit, &ccu,
                     &Thread_RS232_CCU1::Set_VoltageLimit_Request);
    QObject::connect(factory, &FactoryMode::signal_setpara_PowerlimitEn, &ccu,
                     &Thread_RS232_CCU1::Set_PowerLimitEn_Request);
    QObject::connect(factory, &FactoryMode::signal_setpara_FanSpeedCtrl, &ccu,
                     &Thread_RS232_CCU1::Set_FanSpeedCtrl_Request);

    // What the previous run left open is closed before anything else goes out.
    SessionSupervisor *session = w->supervisor();
    QObject::connect(session, &SessionSupervisor::resendTransactionMessage, &pipe,
                     &Thread_pipe::resendTransactionMessage);
    QObject::connect(session, &SessionSupervisor::stopRecoveredTransaction, &pipe, &Thread_pipe::sendStopTransaction);
    session->recoverTransactions();
}

void ChargerApplication::startDeviceLinks()
{
    if (!DebugMode || !DebugMode_ChargerGun)
        ccu.start();
    if (Config_DC_Meter)
        rs485.start();
}
