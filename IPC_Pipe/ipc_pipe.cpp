#include "ipc_pipe.h"

#include "globalvariable.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
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
    if (m_watch >= 0)
        ::close(m_watch);
    if (!m_pending.isEmpty())
        qWarning("%s: %d message(s) not delivered at shutdown", pipename, m_pending.size());
}

// ---------------------------------------------------------------- creation

// Makes sure a FIFO is at the path: creates a missing one, and puts one in
// place of anything else (a plain file would swallow every message written
// to it and hand the same old text to every read).
bool IPC_Pipe::createFifo(bool logExisting)
{
    struct stat st;
    if (::stat(pipename, &st) == 0) {
        if (S_ISFIFO(st.st_mode)) {
            if (logExisting)
                qDebug("file is already exist.");
            return true;
        }
        qWarning("%s is not a FIFO: replaced by a new FIFO", pipename);
        if (::unlink(pipename) != 0 && errno != ENOENT)
            return false;
    }
    const bool made = ::mkfifo(pipename, 0666) == 0 || errno == EEXIST;
    qDebug("new a fifo file .");
    return made;
}

void IPC_Pipe::PipeInit()
{
    createFifo(true);
    // Opens in the FIFO's directory wake a writer that waits for its client
    // (the client opening "ocppout"); set up before the first message.
    const int slash = m_path.lastIndexOf('/');
    const QByteArray dir = slash > 0 ? m_path.left(slash) : QByteArray(slash == 0 ? "/" : ".");
    m_watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch >= 0 && ::inotify_add_watch(m_watch, dir.constData(), IN_OPEN | IN_CREATE | IN_MOVED_TO) < 0) {
        ::close(m_watch);
        m_watch = -1;
    }
}

// Whether fd still is the node at the path: a client that restarts may
// remove the FIFO and make a new one, which the old descriptor never sees.
bool IPC_Pipe::isCurrentNode(int fd) const
{
    struct stat held, current;
    if (::fstat(fd, &held) != 0 || ::stat(pipename, &current) != 0)
        return false;
    return held.st_dev == current.st_dev && held.st_ino == current.st_ino;
}

// A wait of ms, cut short to a slice when no wake-up event exists.
int IPC_Pipe::sliceMs(int ms) const
{
    return m_control->wakeFd >= 0 ? ms : qMin(ms, NoWakeSliceMs);
}

// Waits ms milliseconds unless a stop is asked for first.
void IPC_Pipe::pause(int ms)
{
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms; left > 0 && !m_control->stopping; left = ms - clock.elapsed()) {
        pollfd p = {m_control->wakeFd, POLLIN, 0};
        if (::poll(&p, 1, sliceMs(int(left))) > 0)
            return;
    }
}

// ---------------------------------------------------------------- reading end

// One message: everything a client writes between its open and its close.
// The FIFO is opened without blocking and then waited on together with the
// stop event, so the reader is never stuck in a system call at shutdown.
IPC_Pipe::ReadResult IPC_Pipe::readOneMessage(QByteArray &data)
{
    if (!createFifo(false))
        return ReadResult::Failed;
    const int fd = ::open(pipename, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return ReadResult::Failed;
    // Replaced by something else between the check and the open.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode)) {
        ::close(fd);
        return ReadResult::Failed;
    }

    bool tooLong = false;
    bool begun = false;
    long long total = 0;
    char buffer[16384];
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_control->wakeFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, sliceMs(NodeCheckMs));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return ReadResult::Failed;
        }
        if (fds[1].revents || m_control->stopping) {
            ::close(fd);
            return ReadResult::Stopped;
        }
        if (ready == 0) {
            // Quiet: is this still the client's FIFO?
            if (!begun && !isCurrentNode(fd)) {
                ::close(fd);
                return ReadResult::Replaced;
            }
            continue;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            begun = true;
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
    while (!m_control->stopping) {
        qDebug() << "pipe thread read=" << QThread::currentThreadId();
        QByteArray data;
        const ReadResult result = readOneMessage(data);
        if (result == ReadResult::Stopped || m_control->stopping)
            break;
        if (result == ReadResult::TooLong)
            continue;
        if (result == ReadResult::Replaced) {
            qDebug("%s was removed or replaced: opened again", pipename);
            continue;
        }
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

// Waits until the client may have opened the FIFO: an open in its directory
// (where the system reports it), the retry time, or a stop.
void IPC_Pipe::waitForClient()
{
    pollfd fds[2] = {{m_watch, POLLIN, 0}, {m_control->wakeFd, POLLIN, 0}};
    ::poll(fds, 2, sliceMs(ClientRetryMs));
    if (m_watch >= 0 && fds[0].revents) {
        char events[4096];
        while (::read(m_watch, events, sizeof events) > 0) {
        }
    }
}

// Opens the FIFO at the path, as it is now, once a client reads it. The open
// itself never blocks: a writer blocked in open() on a FIFO that the client
// has since replaced would wait for ever, and shutdown with it. While
// draining for shutdown it never waits for a client that is not there.
int IPC_Pipe::openForWrite()
{
    int waited = 0;
    for (;;) {
        if (m_control->stopping) {
            errno = ECANCELED;
            return -1;
        }
        if (!createFifo(false))
            return -1;
        const int fd = ::open(pipename, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            struct stat st;
            if (::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode)) {
                ocppClientAbsent = false;
                return fd;
            }
            ::close(fd); // replaced between the check and the open
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != ENXIO)
            return -1;
        // No client has it open for reading.
        ocppClientAbsent = true;
        if (m_control->draining) {
            // The client may be between two of its opens.
            if (waited >= 200)
                return -1;
            pause(10);
            waited += 10;
            continue;
        }
        waitForClient();
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
            const int ready = ::poll(fds, 2, sliceMs(NodeCheckMs));
            if (ready < 0 && errno != EINTR)
                return false;
            if (fds[1].revents || m_control->stopping) {
                errno = ECANCELED;
                return false;
            }
            if (ready == 0 && !isCurrentNode(fd)) {
                errno = ESTALE; // the client went on with a new FIFO
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
    while (!m_pending.isEmpty() && !m_control->stopping) {
        const int fd = openForWrite();
        if (fd < 0) {
            if (m_control->stopping)
                return;
            if (m_control->draining && errno == ENXIO) {
                qWarning("%s: no client reading, %d message(s) not delivered at shutdown", pipename,
                         m_pending.size());
                m_pending.clear();
                return;
            }
            // Kept: tried again, in order, when the next message is written.
            qDebug("open failed");
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
        if (err != EPIPE && err != ESTALE)
            return; // not a client going away: try again with the next message
        // The client closed its end while we wrote, or moved to a new FIFO:
        // the next open finds it.
    }
}

void IPC_Pipe::quitThread()
{
    QThread::currentThread()->quit();
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
    control->draining = true;
    // Queued behind the writes already waiting, which still go out if a
    // client is reading.
    QMetaObject::invokeMethod(end, "quitThread", Qt::QueuedConnection);
    if (thread->wait(graceMs))
        return;
    // Whatever still waits after the grace is abandoned. The writer never
    // blocks for longer than a slice without looking at this.
    control->stopping = true;
    control->wake();
    thread->quit();
    thread->wait();
}
