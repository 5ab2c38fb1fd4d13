#include "servicepinsetup.h"

#include "globalvariable.h"
#include "servicepin.h"

#include <QString>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int MaxLine = 256;

struct termios savedTerminal;
volatile sig_atomic_t echoOff = 0;

void restoreEcho()
{
    if (echoOff) {
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        echoOff = 0;
    }
}

// Ctrl-C while the echo is off must not leave the terminal blind.
void onSignal(int signalNumber)
{
    restoreEcho(); // tcsetattr is async-signal-safe
    ::_exit(128 + signalNumber);
}

// One line from the terminal, not shown as it is typed; false at the end of
// input or on a read error.
bool readHidden(const char *prompt, QString *line)
{
    struct termios quiet;
    if (::tcgetattr(STDIN_FILENO, &savedTerminal) != 0)
        return false;
    quiet = savedTerminal;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    echoOff = 1;
    // Echo off before the prompt shows; flushed: what was typed before the
    // prompt is not taken as the PIN.
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::fputs(prompt, stdout);
    std::fflush(stdout);
    QByteArray bytes;
    bool ended = false;
    for (;;) {
        char c;
        const ssize_t n = ::read(STDIN_FILENO, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ended = true;
            break;
        }
        if (c == '\n')
            break;
        if (bytes.size() < MaxLine)
            bytes.append(c);
    }
    restoreEcho();
    std::fputs("\n", stdout);
    std::fflush(stdout);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    *line = QString::fromLocal8Bit(bytes);
    return !ended;
}
} // namespace

int setServicePinFromTerminal()
{
    if (!::isatty(STDIN_FILENO)) {
        std::fputs("--set-service-pin asks for the PIN on a terminal; standard input is none\n", stderr);
        return 2;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::sigaction(s, &action, nullptr);

    QString first, second;
    if (!readHidden("New service PIN (digits): ", &first)) {
        std::fputs("no PIN entered; nothing stored\n", stderr);
        return 1;
    }
    const QString refusal = ServicePin::refusal(first);
    if (!refusal.isEmpty()) {
        std::fprintf(stderr, "refused: %s; nothing stored\n", qPrintable(refusal));
        return 1;
    }
    if (!readHidden("The same PIN again: ", &second) || second != first) {
        std::fputs("the two entries differ; nothing stored\n", stderr);
        return 1;
    }
    QString error;
    ServicePin pin;
    if (!pin.set(first, &error)) {
        std::fprintf(stderr, "%s; nothing stored\n", qPrintable(error));
        return 1;
    }
    std::printf("Service PIN stored in %s%s\n", qPrintable(FilePath), ServicePinFileName);
    return 0;
}
