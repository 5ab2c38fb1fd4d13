#ifndef TST_CCU_SCHEDULE_PTY_H
#define TST_CCU_SCHEDULE_PTY_H

// A pseudo-terminal whose slave end the code under test opens by path; the
// test reads what was written to the line from the master end.

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

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
        return ::poll(&p, 1, ms) > 0;
    }

    // Everything written to the line so far.
    QByteArray drain()
    {
        QByteArray out;
        char buf[4096];
        ssize_t n;
        while ((n = ::read(m_master, buf, sizeof buf)) > 0)
            out.append(buf, int(n));
        return out;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

#endif
