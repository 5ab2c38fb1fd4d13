#include "application.h"

#include "factorymode.h"
#include "globalvariable.h"
#include "help.h"
#include "sessionsupervisor.h"
#include "shutdown.h"
#include "transactionrecord.h"

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

ChargerApplication::~ChargerApplication() = default;

void ChargerApplication::startDeviceLinks()
{
    if (!DebugMode || !DebugMode_ChargerGun) {
        ccu.start();
        m_ccuStarted = true;
    }
    if (Config_DC_Meter)
        rs485.start();
}

void ChargerApplication::stopOnSignals()
{
    if (m_signals)
        return;
    m_signals = std::make_unique<ShutdownSignals>();
    QObject::connect(m_signals.get(), &ShutdownSignals::shutdownRequested, &window, [this] { shutDown(); });
}

void ChargerApplication::shutDown()
{
    if (m_shuttingDown)
        return; // a second signal changes nothing: the wait is bounded
    m_shuttingDown = true;
    qDebug("shutdown requested");
    mytimer.stop(); // no supervisor tick from here on
    const bool ccuStopping = window.supervisor()->stopForShutdown() && m_ccuStarted;
    m_ccuGraceMs = ccuStopping ? CcuStopGraceMs : 0;
    m_shutdownClock.start();
    m_shutdownTimer.setSingleShot(true);
    QObject::connect(&m_shutdownTimer, &QTimer::timeout, &window, [this] { finishShutdownWhenDone(); });
    QObject::connect(&pipe, &Thread_pipe::transactionMessageSettled, &window, [this] { finishShutdownWhenDone(); });
    finishShutdownWhenDone();
}

void ChargerApplication::finishShutdownWhenDone()
{
    if (m_shutdownFinished)
        return;
    const qint64 elapsed = m_shutdownClock.elapsed();
    const bool answered = StartTransactionCache.isEmpty() && StopTransactionCache.isEmpty() &&
                          !transactionRecord.stopPending();
    const bool ccuDone = elapsed >= m_ccuGraceMs;
    if (elapsed < ShutdownGraceMs && !(answered && ccuDone)) {
        m_shutdownTimer.start(int((ccuDone ? ShutdownGraceMs : m_ccuGraceMs) - elapsed));
        return;
    }
    m_shutdownFinished = true;
    if (!answered)
        qWarning("shutdown: unanswered transaction messages stay in Transaction.json for the next start");
    window.UI_interface_exit();
}
