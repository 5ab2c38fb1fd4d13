#include "application.h"
#include "fonts.h"
#include "globalvariable.h"
#include "logcategories.h"
#include "resetscript.h"
#include "runtimeoptions.h"
#include "servicepinsetup.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    useHmiMessagePattern();
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
    if (options.setServicePin)
        return setServicePinFromTerminal();
    ToolkitArguments qtArgs(options.remaining);

    // A FIFO reader that goes away must cost a failed write, not the process.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication a(qtArgs.argc(), qtArgs.argv());
    registerRobotoFonts(RobotoFaces::Screens);

    // The layout is always that of the 1280 x 800 panel, whatever the screen.
    ActScreenX = 1280;
    ActScreenY = 800;
    dpX = 20.0f;
    dpY = 20.0f;

    ChargerApplication charger;
    charger.startDeviceLinks();
    charger.stopOnSignals();

    const int code = a.exec();
    // However the loop ended, a reset hand-over keeps its exit code.
    return programExitCode() != 0 ? programExitCode() : code;
}
