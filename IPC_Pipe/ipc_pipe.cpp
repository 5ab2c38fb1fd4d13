#include "ipc_pipe.h"

#include <QDebug>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

PipeControl::PipeControl() { wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }

PipeControl::~PipeControl()
{
    if (wakeFd >= 0)
        ::close(wakeFd);
}

void PipeControl::wake()
{
    const quint64 one = 1;
    if (wakeFd >= 0) {
        ssize_t n;
        do {
            n = ::write(wakeFd, &one, sizeof one);
        } while (n < 0 && errno == EINTR);
    }
}

IPC_Pipe::IPC_Pipe(const char *name, QObject *parent)
    : QObject(parent), m_path(name ? name : ""), m_control(std::make_shared<PipeControl>())
{
    pipename = m_path.constData();
}

IPC_Pipe::~IPC_Pipe()
{
    if (!m_pending.isEmpty())
        qWarning("%s: %d message(s) not delivered at shutdown", pipename, m_pending.size());
}

// ---------------------------------------------------------------- creation

bool IPC_Pipe::createFifo(bool logExisting)
{
    struct stat st;
    if (::stat(pipename, &st) == 0) {
        if (logExisting)
            qDebug("file is already exist.");
        return true;
    }
    const bool made = ::mkfifo(pipename, 0666) == 0 || errno == EEXIST;
    qDebug("new a fifo file .");
    return made;
}

void IPC_Pipe::PipeInit() { createFifo(true); }

// Waits ms milliseconds unless a stop is asked for first.
void IPC_Pipe::pause(int ms)
{
    pollfd p = {m_control->wakeFd, POLLIN, 0};
    while (::poll(&p, 1, ms) < 0 && errno == EINTR) {
    }
}

// ---------------------------------------------------------------- reading end

// One message: everything a client writes between its open and its close.
// The FIFO is opened without blocking and then waited on together with the
// stop event, so the reader is never stuck in a system call at shutdown.
IPC_Pipe::ReadResult IPC_Pipe::readOneMessage(QByteArray &data)
{
    int fd = ::open(pipename, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT && createFifo(false))
        fd = ::open(pipename, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ReadResult::Failed;
    // A plain file in place of the FIFO would be read to its end again and
    // again without ever waiting.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }

    bool tooLong = false;
    long long total = 0;
    char buffer[16384];
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_control->wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return ReadResult::Failed;
        }
        if (fds[1].revents) {
            ::close(fd);
            return ReadResult::Stopped;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            total += n;
            if (!tooLong && data.size() + n <= MaxMessageBytes)
                data.append(buffer, int(n));
            else
                tooLong = true;
            continue;
        }
        if (n == 0)
            break; // the client closed its end
        if (errno == EAGAIN || errno == EINTR)
            continue;
        ::close(fd);
        return ReadResult::Failed;
    }
    ::close(fd);
    if (tooLong) {
        qWarning("ocppin message of %lld bytes dropped, too long", total);
        data.clear();
        return ReadResult::TooLong;
    }
    return ReadResult::Message;
}

void IPC_Pipe::PipeRead()
{
    createFifo(false);
    while (!m_control->stopping) {
        qDebug() << "pipe thread read=" << QThread::currentThreadId();
        QByteArray data;
        const ReadResult result = readOneMessage(data);
        if (result == ReadResult::Stopped || m_control->stopping)
            break;
        if (result == ReadResult::TooLong)
            continue;
        if (result == ReadResult::Failed) {
            qDebug("open pipe failed.");
            pause(1000);
            continue;
        }
        const int nul = data.indexOf('\0');
        if (nul >= 0)
            data.truncate(nul);
        const QString text = QString::fromUtf8(data);
        qDebug().noquote() << "pipe file data:" << text;
        emit signal_ocppin(text);
    }
}

// ---------------------------------------------------------------- writing end

// Blocks until the client opens the FIFO for reading. While draining for
// shutdown it never waits for a client that is not there.
int IPC_Pipe::openForWrite()
{
    const bool draining = m_control->draining;
    const int flags = O_WRONLY | O_TRUNC | O_CLOEXEC | (draining ? O_NONBLOCK : 0);
    int waited = 0;
    for (;;) {
        const int fd = ::open(pipename, flags);
        if (fd >= 0 || m_control->stopping)
            return fd;
        if (errno == EINTR)
            continue;
        // Draining: the client may be between two of its opens.
        if (draining && errno == ENXIO && waited < 200) {
            pause(10);
            waited += 10;
            continue;
        }
        return -1;
    }
}

bool IPC_Pipe::writeAll(int fd, const QByteArray &bytes)
{
    // Never block inside write(): a client that opened the FIFO and stopped
    // reading must not keep shutdown waiting.
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0)
        ::fcntl(fd, F_SETFL, fl | O_NONBLOCK);
    qint64 offset = 0;
    while (offset < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + offset, size_t(bytes.size() - offset));
        if (n > 0) {
            offset += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd fds[2] = {{fd, POLLOUT, 0}, {m_control->wakeFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                return false;
            if (fds[1].revents) {
                errno = ECANCELED;
                return false;
            }
            continue;
        }
        return false;
    }
    return true;
}

void IPC_Pipe::flushPending()
{
    bool recreated = false;
    while (!m_pending.isEmpty() && !m_control->stopping) {
        const int fd = openForWrite();
        if (fd < 0) {
            if (m_control->stopping)
                return;
            const int err = errno;
            if (err == ENOENT && !recreated) {
                recreated = true;
                createFifo(false);
                continue;
            }
            if (m_control->draining && err == ENXIO) {
                qWarning("%s: no client reading, %d message(s) not delivered at shutdown", pipename,
                         m_pending.size());
                m_pending.clear();
                return;
            }
            // Kept: tried again, in order, when the next message is written.
            qDebug("open failed");
            return;
        }
        if (m_control->stopping) {
            // Released by shutdown, not by a client.
            ::close(fd);
            return;
        }
        const bool written = writeAll(fd, m_pending.first());
        const int err = errno;
        ::close(fd);
        if (written) {
            m_pending.removeFirst();
            // The client ends a message at end of file; an open for the next
            // message right after this close could join both into one read.
            if (!m_pending.isEmpty() || !m_control->draining)
                pause(InterMessageGapMs);
            continue;
        }
        if (m_control->stopping)
            return;
        qWarning("write to %s failed: %s - sent again at the next open", pipename, std::strerror(err));
        if (err != EPIPE)
            return; // not a client going away: try again with the next message
        // The client closed its end while we wrote: the next open waits for it.
    }
}

void IPC_Pipe::PipeWrite(QString message)
{
    qDebug() << "pipe thread write=" << QThread::currentThreadId();
    if (m_control->stopping)
        return;
    if (m_pending.size() >= MaxPendingMessages) {
        qWarning("%s: too many messages waiting, oldest dropped", pipename);
        m_pending.removeFirst();
    }
    // JSON is UTF-8 whatever the panel's locale.
    m_pending.append(message.toUtf8() + '\n');
    flushPending();
}

// ---------------------------------------------------------------- shutdown

void IPC_Pipe::finishReader(QThread *thread, IPC_Pipe *end)
{
    if (!thread)
        return;
    // Held until the thread is gone, so the stop event outlives every use.
    const std::shared_ptr<PipeControl> control = end && thread->isRunning() ? end->m_control : nullptr;
    if (control) {
        control->stopping = true;
        control->wake();
    }
    thread->quit();
    thread->wait();
}

void IPC_Pipe::finishWriter(QThread *thread, IPC_Pipe *end, int graceMs)
{
    if (!thread)
        return;
    if (!thread->isRunning() || !end) {
        thread->wait();
        return;
    }
    // Copies: the end deletes itself when its thread finishes.
    const std::shared_ptr<PipeControl> control = end->m_control;
    const QByteArray path = end->m_path;
    control->draining = true;
    // Queued behind the writes already waiting, which still go out if a
    // client is reading.
    QMetaObject::invokeMethod(end, [thread] { thread->quit(); }, Qt::QueuedConnection);
    if (thread->wait(graceMs))
        return;
    // Whatever still waits after the grace is abandoned.
    control->stopping = true;
    control->wake();
    // A writer blocked in open() returns as soon as any reader exists.
    const int release = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    thread->quit();
    thread->wait();
    if (release >= 0)
        ::close(release);
}
