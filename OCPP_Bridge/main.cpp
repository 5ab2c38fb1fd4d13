// ocpp-bridge: the charger's local OCPP client. Sits on the data directory's
// two FIFOs where the HMI expects its OCPP client and speaks OCPP 1.6J to a
// central system. See --help.

#include "bridge.h"
#include "bridgesettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 's';
    const int saved = errno;
    (void)!::write(g_signalPipe[1], &c, 1);
    errno = saved;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_MESSAGE_PATTERN"))
        qSetMessagePattern(QStringLiteral("%{if-category}%{category}: %{endif}%{message}"));
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ocpp-bridge"));

    BridgeSettings settings;
    QString problem;
    bool help = false;
    if (!settings.load(QCoreApplication::arguments(), &problem, &help)) {
        if (help) {
            std::fputs(qPrintable(BridgeSettings::usage()), stdout);
            return 0;
        }
        std::fprintf(stderr, "ocpp-bridge: %s\n", qPrintable(problem));
        return 2;
    }
    if (!QDir(settings.dataDir).exists()) {
        std::fprintf(stderr, "ocpp-bridge: data directory %s does not exist\n", qPrintable(settings.dataDir));
        return 1;
    }

    // SIGTERM and SIGINT end the event loop; the handler only writes a byte.
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return 1;
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN); // a FIFO whose reader went away
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char c;
        while (::read(g_signalPipe[0], &c, 1) > 0) {
        }
        QCoreApplication::quit();
    });

    int rc;
    {
        Bridge bridge(settings);
        bridge.start();
        rc = app.exec();
        bridge.stop();
    }
    qInfo("ocpp-bridge stopped");
    return rc;
}
