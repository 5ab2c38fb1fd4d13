// hmi-bench-charge: the HMI as main() builds it (simulation build), with a
// driver that starts a fast charge at the screen: Fast Charge, the debug
// panel's cable and card, Start. Once the StartTransaction is answered the
// driver stops and "charging" goes to the named pipe in HMI_BENCH_READY; from
// then on only the program itself runs, charging on its built-in profile.
#include "application.h"
#include "fonts.h"
#include "globalvariable.h"
#include "runtimeoptions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
bool click(const char *name)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        for (QAbstractButton *b : top->findChildren<QAbstractButton *>(name))
            if (b->isVisible()) {
                b->click();
                return true;
            }
    return false;
}

void report(const char *line)
{
    const QByteArray path = qgetenv("HMI_BENCH_READY");
    const int fd = path.isEmpty() ? -1 : ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    (void)!::write(fd, line, qstrlen(line));
    ::close(fd);
}
} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const RuntimeOptionsResult options = applyRuntimeOptions(arguments);
    ToolkitArguments qtArgs(options.remaining);
    std::signal(SIGPIPE, SIG_IGN);
    QApplication a(qtArgs.argc(), qtArgs.argv());
#ifdef HMI_BENCH_FONT_SUBSET
    registerRobotoFonts(RobotoFaces::Screens);
#else
    registerRobotoFonts();
#endif
    ChargerApplication charger;
    charger.startDeviceLinks();
    charger.stopOnSignals();

    // The driver looks at the screen five times a second until the charge runs.
    QTimer driver;
    bool plugged = false; // check boxes: one click each, a second would undo it
    bool carded = false;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        const Status &gun = gun_status[1];
        if (gun.page == page_home)
            click("pushButton_fastcharging");
        else if (gun.page == page_authorize_plugin && !plugged)
            plugged = click("checkBox_charger");
        else if (gun.page == page_authorize && gun.CardRead == 0 && !carded)
            carded = click("checkBox_RFID");
        else if (gun.page == page_standby && !Start_command_set_1)
            click("pushButton_start");
        else if (gun.page == page_charging && gun.startRequest == 3) {
            driver.stop();
            report("charging\n");
        }
    });
    driver.start(200);
    return a.exec();
}
