#ifndef SESSIONCHILD_H
#define SESSIONCHILD_H

// A test binary that runs itself as the charger for the end-to-end cases:
// started with HMI_TEST_CHILD set, it is the program as main() builds it
// (the same object graph, the device links, SIGTERM/SIGINT handling, 1 s
// ticks), and it plays the driver who starts a session at the screen: real
// clicks on the real widgets. Once the StartTransaction is answered it prints
// "charging <transactionId>" and goes on charging until it is stopped or
// killed. Options and data directory come from the environment (HMI_DATA_DIR,
// HMI_CCU_PORT, ...), as for the program. The device build has no simulated
// card on its screen: there the child prints "card" once on the card prompt,
// and the test has the OCPP client start the session remotely.

#include "application.h"
#include "fonts.h"
#include "globalvariable.h"
#include "runtimeoptions.h"
#include "screenclick.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

inline int runChargingChild(int argc, char *argv[])
{
    // A test that dies takes its charger along.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const RuntimeOptionsResult options = applyRuntimeOptions(arguments);
    ToolkitArguments qtArgs(options.remaining);
    std::signal(SIGPIPE, SIG_IGN);
    QApplication a(qtArgs.argc(), qtArgs.argv());
    registerRobotoFonts();
    ChargerApplication charger;
    charger.startDeviceLinks();
    charger.stopOnSignals();

    // The driver looks at the screen five times a second.
    QTimer driver;
    bool plugClicked = false;
    bool askedForCard = false;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        const Status &gun = gun_status[1];
        if (gun.page == page_home && !plugClicked) {
            clickVisible("pushButton_fastcharging");
        } else if (gun.page == page_authorize_plugin && DebugMode_ChargerGun && !plugClicked) {
            plugClicked = clickVisible("checkBox_charger");
        } else if (gun.page == page_authorize && gun.CardRead == 0) {
            // Asked once the connector is offered, else the remote start is refused.
            if (!clickVisible("checkBox_RFID") && !askedForCard && gun.status == sta_Preparing) {
                std::printf("card\n");
                std::fflush(stdout);
                askedForCard = true;
            }
        } else if (gun.page == page_standby && !Start_command_set_1) {
            clickVisible("pushButton_start");
        } else if (gun.page == page_charging && gun.startRequest == 3) {
            std::printf("charging %d\n", gun.transactionId);
            std::fflush(stdout);
            driver.stop();
        }
    });
    driver.start(200);
    return a.exec();
}

// main() of such a test: the charger when HMI_TEST_CHILD is set, else the
// test class as QTEST_MAIN runs it.
#define HMI_TEST_MAIN_WITH_CHARGING_CHILD(TestClass)                                                         \
    int main(int argc, char *argv[])                                                                         \
    {                                                                                                        \
        if (qEnvironmentVariableIsSet("HMI_TEST_CHILD"))                                                     \
            return runChargingChild(argc, argv);                                                             \
        QApplication app(argc, argv);                                                                        \
        TestClass test;                                                                                      \
        return QTest::qExec(&test, argc, argv);                                                              \
    }

#endif // SESSIONCHILD_H
