#ifndef TST_PIPE_FAREND_H
#define TST_PIPE_FAREND_H

// The OCPP client's side of the two FIFOs. "ocppout" is read whenever the
// test's event loop runs; what one open-close of the HMI carried is split
// into messages (each ends with "\n}\n" and the transport's "\n"). send()
// writes one message per open-close of "ocppin".

#include <QFile>
#include <QSocketNotifier>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <unistd.h>

class FarEnd
{
public:
    explicit FarEnd(const QString &dir)
        : m_in(QFile::encodeName(dir + "/ocppin")), m_out(QFile::encodeName(dir + "/ocppout"))
    {
    }
    ~FarEnd() { stopReading(); }
    int openOut() const { return ::open(m_out.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); }

    void startReading()
    {
        // The HMI may not have made the FIFO yet.
        if (!QTest::qWaitFor([this] { return (m_fd = openOut()) >= 0; }, 3000))
            return;
        // No wake-up before a writer came; one at its close.
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readSome(); });
    }

    // The next message, with the event loop running meanwhile; null on time-out.
    QByteArray next(int timeoutMs = 3000)
    {
        return QTest::qWaitFor([this] { return !m_messages.isEmpty(); }, timeoutMs) ? m_messages.takeFirst()
                                                                                     : QByteArray();
    }

    // "ocppin" opened for writing as soon as the HMI's reader has it open.
    int openIn(int timeoutMs = 3000)
    {
        int fd = -1;
        const auto opened = [&] {
            fd = ::open(m_in.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            return fd >= 0 || (errno != ENXIO && errno != ENOENT); // ENXIO: no reader yet
        };
        return QTest::qWaitFor(opened, timeoutMs) ? fd : -1;
    }
    bool send(const QByteArray &bytes, int timeoutMs = 3000)
    {
        const int fd = openIn(timeoutMs);
        int off = 0;
        while (fd >= 0 && off < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + off, size_t(bytes.size() - off));
            pollfd p = {fd, POLLOUT, 0};
            if (n > 0)
                off += int(n);
            else if (!(n < 0 && (errno == EINTR || (errno == EAGAIN && ::poll(&p, 1, timeoutMs) > 0))))
                break;
        }
        if (fd >= 0)
            ::close(fd);
        return fd >= 0 && off == bytes.size();
    }

private:
    void stopReading()
    {
        if (m_notifier) {
            m_notifier->setEnabled(false);
            m_notifier.release()->deleteLater(); // may be in its own signal
        }
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    void readSome()
    {
        char buf[65536];
        ssize_t n;
        while ((n = ::read(m_fd, buf, sizeof buf)) > 0)
            m_chunk.append(buf, int(n));
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        for (int from = 0, end; from < m_chunk.size(); from = end) {
            end = m_chunk.indexOf("\n}\n\n", from);
            end = end < 0 ? m_chunk.size() : end + 4;
            m_messages << m_chunk.mid(from, end - from);
        }
        m_chunk.clear();
        stopReading(); // the writer closed: open again for its next message
        startReading();
    }

    const QByteArray m_in;
    const QByteArray m_out;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QByteArray m_chunk;
    QList<QByteArray> m_messages;
};

#endif // TST_PIPE_FAREND_H
