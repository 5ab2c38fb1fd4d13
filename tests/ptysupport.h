#ifndef PTYSUPPORT_H
#define PTYSUPPORT_H

// The far ends of the links, for tests: a pseudo-terminal the test plays
// itself (PtyLine), and a simulator from the build directory that names its
// end on its first output line and takes commands on stdin (Simulator).

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// Line settings of a serial device as the system holds them (baud rate,
// data bits, parity, stop bits, flow control); "" when it cannot be read.
// The settings belong to the device, so any descriptor shows what the code
// under test set on its own.
inline QString lineSettings(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios tio {};
    const bool ok = fd >= 0 && tcgetattr(fd, &tio) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!ok)
        return QString();
    const speed_t speed = cfgetospeed(&tio);
    const int baud = speed == B9600 ? 9600 : speed == B19200 ? 19200 : speed == B38400 ? 38400 : speed == B115200 ? 115200 : -1;
    const int bits = (tio.c_cflag & CSIZE) == CS8 ? 8 : (tio.c_cflag & CSIZE) == CS7 ? 7 : 0;
    const char parity = (tio.c_cflag & PARENB) ? ((tio.c_cflag & PARODD) ? 'O' : 'E') : 'N';
    const int stop = (tio.c_cflag & CSTOPB) ? 2 : 1;
    const bool flow = (tio.c_cflag & CRTSCTS) || (tio.c_iflag & (IXON | IXOFF));
    return QString("%1 %2%3%4%5").arg(baud).arg(bits).arg(parity).arg(stop).arg(flow ? " flow" : "");
}

// A worker's poll timer (re)started with another interval, or stopped, on
// the thread it lives on; returns once done. Through the timer's own slots:
// a lambda handed to another thread would be data the thread checker cannot
// see handed over.
inline void restartOnItsThread(QTimer *timer, int ms)
{
    QMetaObject::invokeMethod(timer, "start", Qt::BlockingQueuedConnection, Q_ARG(int, ms));
}
inline void stopOnItsThread(QTimer *timer)
{
    QMetaObject::invokeMethod(timer, "stop", Qt::BlockingQueuedConnection);
}

// A raw pseudo-terminal whose slave end the code under test opens by path;
// the test reads and writes the master end. The slave stays open here, so
// the master never sees a hang-up while the code under test reopens it.
class PtyLine
{
public:
    PtyLine()
    {
        char name[256] = {0};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios tio {};
        tcgetattr(m_slave, &tio);
        cfmakeraw(&tio);
        tcsetattr(m_slave, TCSANOW, &tio);
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = QString::fromLocal8Bit(name);
    }
    ~PtyLine()
    {
        if (m_master >= 0)
            ::close(m_master);
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }

    bool waitReadable(int ms)
    {
        pollfd p {m_master, POLLIN, 0};
        return !m_pending.isEmpty() || ::poll(&p, 1, ms) > 0;
    }

    // Everything written to the line so far.
    QByteArray drain()
    {
        readAvailable();
        return take(m_pending.size());
    }

    // What came until at least `bytes` bytes were there, or until the time-out.
    QByteArray read(int bytes, int timeoutMs)
    {
        QElapsedTimer clock;
        clock.start();
        while (m_pending.size() < bytes) {
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0 || !fill(left))
                break;
        }
        return take(m_pending.size());
    }

    // The next frame written to the line, up to its carriage return; empty
    // on time-out.
    QByteArray nextFrame(int timeoutMs = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_pending.contains('\r')) {
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0 || !fill(left))
                return QByteArray();
        }
        return take(m_pending.indexOf('\r') + 1);
    }

    // All of data onto the line, as the far end would send it.
    bool write(const QByteArray &data)
    {
        int done = 0;
        while (done < data.size()) {
            const ssize_t n = ::write(m_master, data.constData() + done, size_t(data.size() - done));
            if (n > 0) {
                done += int(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                pollfd p {m_master, POLLOUT, 0};
                if (::poll(&p, 1, 3000) > 0)
                    continue;
            }
            return false;
        }
        return true;
    }

private:
    int readAvailable()
    {
        char buf[4096];
        ssize_t n;
        int got = 0;
        while ((n = ::read(m_master, buf, sizeof buf)) > 0) {
            m_pending.append(buf, int(n));
            got += int(n);
        }
        return got;
    }
    // Waits up to ms for bytes; false on time-out, or when the line is
    // readable but yields nothing (so that no caller spins on it).
    bool fill(int ms)
    {
        pollfd p {m_master, POLLIN, 0};
        const int ready = ::poll(&p, 1, ms);
        if (ready < 0 && errno == EINTR)
            return true;
        return ready > 0 && readAvailable() > 0;
    }
    QByteArray take(int n)
    {
        const QByteArray out = m_pending.left(n);
        m_pending.remove(0, n);
        return out;
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    QByteArray m_pending;
};

// ccu-sim, meter-sim or ocpp-client-sim as a child process. Its stdout and
// stderr are collected as they come (stdout holds the answers to commands,
// stderr the simulators' logs of what they received).
class Simulator
{
    // Ahead of the process: it may still deliver output while it is destroyed.
    QByteArray m_output;
    QByteArray m_errors;
    int m_lineStart = 0;

public:
    QProcess process;

    Simulator()
    {
        QObject::connect(&process, &QProcess::readyReadStandardOutput,
                         [this] { m_output += process.readAllStandardOutput(); });
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { m_errors += process.readAllStandardError(); });
    }
    ~Simulator()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate(); // every simulator ends on SIGTERM
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    Simulator(const Simulator &) = delete;
    Simulator &operator=(const Simulator &) = delete;

    // Starts the program from the build directory and returns its first
    // output line (the device path for the serial simulators); empty when
    // none came in time.
    QString start(const QString &program, const QStringList &arguments)
    {
        process.start(QStringLiteral(HMI_BIN_DIR "/") + program, arguments);
        if (!process.waitForStarted(5000))
            return QString();
        return nextLine();
    }

    bool send(const QString &line)
    {
        const QByteArray bytes = (line + '\n').toLocal8Bit();
        return process.write(bytes) == bytes.size();
    }
    // A command the simulator acknowledges with "ok <command>".
    bool command(const QString &line)
    {
        send(line);
        return nextLine() == "ok " + line;
    }

    const QByteArray &output() const { return m_output; }
    const QByteArray &errors() const { return m_errors; }
    int count(const QByteArray &what) const { return m_output.count(what); }

private:
    // The next output line not read by this before, trimmed.
    QString nextLine()
    {
        QElapsedTimer clock;
        clock.start();
        int end;
        while ((end = m_output.indexOf('\n', m_lineStart)) < 0) {
            const int left = 5000 - int(clock.elapsed());
            if (left <= 0 || process.state() != QProcess::Running)
                return QString();
            process.waitForReadyRead(left);
        }
        const QByteArray line = m_output.mid(m_lineStart, end - m_lineStart);
        m_lineStart = end + 1;
        return QString::fromLocal8Bit(line).trimmed();
    }
};

#endif // PTYSUPPORT_H
