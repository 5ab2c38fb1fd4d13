#ifndef TST_PIPE_FAREND_H
#define TST_PIPE_FAREND_H

// The OCPP client's side of the two FIFOs, for tests: a thread that reads
// "ocppout" (one chunk per open-close of the HMI, split into messages at the
// blank line that ends each one) and a sender that writes one message per
// open-close of "ocppin".

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

class FarEnd
{
public:
    explicit FarEnd(const QString &dir)
        : m_in(QFile::encodeName(dir + "/ocppin")), m_out(QFile::encodeName(dir + "/ocppout"))
    {
    }
    ~FarEnd() { stopReading(); }

    // Reads "ocppout" on a thread of its own until stopReading().
    void startReading()
    {
        if (m_thread.joinable())
            return;
        m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_thread = std::thread([this] { readLoop(); });
    }
    void stopReading()
    {
        if (!m_thread.joinable())
            return;
        const quint64 one = 1;
        (void)!::write(m_wake, &one, sizeof one);
        m_thread.join();
        ::close(m_wake);
        m_wake = -1;
    }

    // Next message the HMI wrote, waiting up to timeoutMs while the caller's
    // event loop keeps running. Null on time-out.
    QByteArray next(int timeoutMs = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_lock);
                if (!m_messages.empty()) {
                    QByteArray m = m_messages.front();
                    m_messages.pop_front();
                    return m;
                }
                if (clock.elapsed() >= timeoutMs)
                    return QByteArray();
                m_arrived.wait_for(lock, std::chrono::milliseconds(5));
            }
            QCoreApplication::processEvents();
        }
    }
    int pending() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return int(m_messages.size());
    }
    // Raw chunks, one per open-close of the writer.
    QList<QByteArray> chunks() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_chunks;
    }

    // One message in one open-write-close of "ocppin"; waits for the HMI's
    // reader to have the FIFO open.
    bool send(const QByteArray &bytes, int timeoutMs = 3000)
    {
        const int fd = openIn(timeoutMs);
        if (fd < 0)
            return false;
        const bool ok = writeAll(fd, bytes, timeoutMs);
        ::close(fd);
        return ok;
    }
    // Opens "ocppin" for writing and leaves it open (a client that hangs).
    int openIn(int timeoutMs = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            const int fd = ::open(m_in.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                return fd;
            if (errno != ENXIO && errno != ENOENT)
                return -1;
            if (clock.elapsed() > timeoutMs)
                return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    QByteArray outPath() const { return m_out; }
    QByteArray inPath() const { return m_in; }

    static bool writeAll(int fd, const QByteArray &bytes, int timeoutMs)
    {
        qint64 off = 0;
        while (off < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + off, size_t(bytes.size() - off));
            if (n > 0) {
                off += n;
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                pollfd p = {fd, POLLOUT, 0};
                if (::poll(&p, 1, timeoutMs) <= 0)
                    return false;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            return false;
        }
        return true;
    }

    // Splits what one open-close carried: every message of the HMI ends with
    // the closing brace on its own line and the transport's line feed.
    static QList<QByteArray> split(const QByteArray &chunk)
    {
        QList<QByteArray> out;
        int from = 0;
        for (;;) {
            const int end = chunk.indexOf("\n}\n\n", from);
            if (end < 0)
                break;
            out << chunk.mid(from, end + 4 - from);
            from = end + 4;
        }
        if (from < chunk.size())
            out << chunk.mid(from);
        return out;
    }

private:
    void readLoop()
    {
        for (;;) {
            const int fd = ::open(m_out.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) {
                pollfd w = {m_wake, POLLIN, 0};
                if (::poll(&w, 1, 20) > 0)
                    return;
                continue;
            }
            QByteArray chunk;
            bool stop = false;
            for (;;) {
                pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake, POLLIN, 0}};
                if (::poll(fds, 2, -1) < 0 && errno == EINTR)
                    continue;
                if (fds[1].revents) {
                    stop = true;
                    break;
                }
                char buf[65536];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0)
                    chunk.append(buf, int(n));
                else if (n == 0)
                    break;
                else if (errno != EAGAIN && errno != EINTR)
                    break;
            }
            ::close(fd);
            if (!chunk.isEmpty()) {
                std::lock_guard<std::mutex> lock(m_lock);
                m_chunks << chunk;
                for (const QByteArray &m : split(chunk))
                    m_messages.push_back(m);
                m_arrived.notify_all();
            }
            if (stop)
                return;
        }
    }

    const QByteArray m_in;
    const QByteArray m_out;
    int m_wake = -1;
    std::thread m_thread;
    mutable std::mutex m_lock;
    std::condition_variable m_arrived;
    std::deque<QByteArray> m_messages;
    QList<QByteArray> m_chunks;
};

#endif // TST_PIPE_FAREND_H
