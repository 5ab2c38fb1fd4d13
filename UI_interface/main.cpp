#include "cloud_wr.h"
#include "connector.h"
#include "fonts.h"
#include "globalvariable.h"
#include "mainwindow.h"
#include "runtimeoptions.h"
#include "shutdown.h"
#include "thread_pipe.h"
#include "thread_rs232_ccu1.h"
#include "thread_rs485.h"
#include "timer.h"

#include <QApplication>
#include <QDebug>
#include <QThread>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const RuntimeOptionsResult options = applyRuntimeOptions(arguments);
    if (options.helpRequested) {
        std::fputs(qPrintable(runtimeOptionsHelp()), stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "%s\n%s", qPrintable(options.error), qPrintable(runtimeOptionsHelp()));
        return 2;
    }
    // The toolkit gets what is not ours; it keeps pointers into this storage.
    QList<QByteArray> qtArgs;
    for (const QString &a : options.remaining)
        qtArgs << a.toLocal8Bit();
    QVector<char *> qtArgv;
    for (QByteArray &a : qtArgs)
        qtArgv << a.data();
    qtArgv << nullptr;
    int qtArgc = qtArgs.size();

    // A FIFO reader that goes away must cost a failed write, not the process.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication a(qtArgc, qtArgv.data());
    registerRobotoFonts();

    ActScreenX = 1280;
    ActScreenY = 800;
    dpX = 20.0f;
    dpY = 20.0f;

    Mytimer mytimer;
    qDebug() << "The main thread ID = " << QThread::currentThreadId();

    Thread_RS232_CCU1 ccu;
    Thread_rs485 rs485;
    Thread_pipe pipe;
    Cloud_WR cloud;
    Connector connector;
    MainWindow w;
    w.show();

    QObject::connect(&mytimer, &Mytimer::signal_1s_timerout, &w, &MainWindow::timerUpdate);
    QObject::connect(&mytimer, &Mytimer::signal_2s_timerout, &cloud, &Cloud_WR::checkNetWorkOnline);
    QObject::connect(&w, &MainWindow::StatusNotification_req, &pipe, &Thread_pipe::StatusNotification_Request);
    QObject::connect(&w, &MainWindow::Authorize_req, &pipe, &Thread_pipe::Authorize_Request);
    QObject::connect(&w, &MainWindow::signal_gun_Start_Command, &ccu, &Thread_RS232_CCU1::SendCommand_Gun1_Start_Request);
    QObject::connect(&w, &MainWindow::StrartTransaction_req, &pipe, &Thread_pipe::StartTransaction_Request);
    QObject::connect(&w, &MainWindow::signal_gun_Stop_Command, &ccu, &Thread_RS232_CCU1::SendCommand_Gun1_Stop_Request);
    QObject::connect(&w, &MainWindow::StopTransacation_req, &pipe, &Thread_pipe::StopTransacation_Request);
    QObject::connect(&w, &MainWindow::MeterValue_req, &pipe, &Thread_pipe::MeterValue_Request);
    QObject::connect(&w, &MainWindow::UI_exit, &ccu, &Thread_RS232_CCU1::stop);
    QObject::connect(&w, &MainWindow::UI_exit, &rs485, &Thread_rs485::stop);
    QObject::connect(&w, &MainWindow::UI_exit, &mytimer, &Mytimer::stop);
    QObject::connect(&w, &MainWindow::UI_exit, &a, &QApplication::quit);
    QObject::connect(&w, &MainWindow::signal_SoftwareReset, &ccu, &Thread_RS232_CCU1::stop);
    QObject::connect(&w, &MainWindow::signal_SoftwareReset, &rs485, &Thread_rs485::stop);
    QObject::connect(&w, &MainWindow::signal_SoftwareReset, &pipe, &Thread_pipe::stop);
    QObject::connect(&w, &MainWindow::signal_SoftwareReset, &mytimer, &Mytimer::stop);
    QObject::connect(&w, &MainWindow::signal_HardwareReset, &ccu, &Thread_RS232_CCU1::stop);
    QObject::connect(&w, &MainWindow::signal_HardwareReset, &rs485, &Thread_rs485::stop);
    QObject::connect(&w, &MainWindow::signal_HardwareReset, &mytimer, &Mytimer::stop);

    // The status file follows the charger every five seconds.
    QObject::connect(&mytimer, &Mytimer::signal_5s_timerout, &connector, &Connector::Json_Write);

    // The device links run only in builds that take their data from them.
    if (!DebugMode || !DebugMode_ChargerGun)
        ccu.start();
    if (Config_DC_Meter)
        rs485.start();

    ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &ShutdownSignals::shutdownRequested, &w, &MainWindow::UI_interface_exit);

    return a.exec();
}
