#include "fifoends.h"

#include "logging.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ReopenRetryMs = 1000;
constexpr int StallMs = 5000; // an HMI that stops reading mid-message

// A notifier may be the one whose signal is being handled: it goes later.
void release(QSocketNotifier *&notifier, int &fd)
{
    if (notifier) {
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool isFifo(int fd)
{
    struct stat st;
    return ::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
}

} // namespace

bool ensureFifo(const QString &path, QString *problem)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) == 0) {
        if (S_ISFIFO(st.st_mode))
            return true;
        *problem = path + QStringLiteral(" exists and is not a FIFO");
        return false;
    }
    if (::mkfifo(name.constData(), 0666) != 0 && errno != EEXIST) {
        *problem = QStringLiteral("cannot create %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- reading end

HmiFifoReader::HmiFifoReader(const QString &path, QObject *parent) : QObject(parent), m_path(path)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &HmiFifoReader::openFifo);
}

HmiFifoReader::~HmiFifoReader() { closeFifo(); }

void HmiFifoReader::start() { openFifo(); }

void HmiFifoReader::openFifo()
{
    QString problem;
    int fd = -1;
    if (ensureFifo(m_path, &problem)) {
        // Without waiting for the HMI: the notifier wakes when it writes.
        fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            problem = QStringLiteral("cannot open %1: %2").arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
        else if (!isFifo(fd))
            problem = m_path + QStringLiteral(" is not a FIFO");
    }
    if (!problem.isEmpty()) {
        if (fd >= 0)
            ::close(fd);
        qCWarning(lcHmi).noquote() << problem << "- trying again";
        m_retry.start(ReopenRetryMs);
        return;
    }
    m_fd = fd;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &HmiFifoReader::readable);
}

void HmiFifoReader::closeFifo() { release(m_notifier, m_fd); }

void HmiFifoReader::readable()
{
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            if (m_chunk.size() + n > MaxChunkBytes)
                m_overflow = true;
            else if (!m_overflow)
                m_chunk.append(buffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return; // more to come before the HMI closes
        break;      // end of file: the HMI closed its end (or a read error)
    }
    const QByteArray chunk = m_chunk;
    const bool overflow = m_overflow;
    m_chunk.clear();
    m_overflow = false;
    // Opened again before anything is handed on, so the HMI's next open
    // finds a reader at once.
    closeFifo();
    openFifo();
    if (overflow)
        qCWarning(lcHmi) << "more than" << MaxChunkBytes << "bytes in one message on ocppout, dropped";
    else if (!chunk.isEmpty())
        emit chunkReceived(chunk);
}

// ---------------------------------------------------------------- writing end

HmiFifoWriter::HmiFifoWriter(const QString &path, QObject *parent) : QObject(parent), m_path(path)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &HmiFifoWriter::pump);
}

HmiFifoWriter::~HmiFifoWriter() { release(m_notifier, m_fd); }

quint64 HmiFifoWriter::send(const QByteArray &message, int ttlMs)
{
    Pending p{m_nextHandle++, message, QElapsedTimer(), ttlMs};
    p.age.start();
    m_queue.append(p);
    if (!m_timer.isActive())
        pump();
    return p.handle;
}

bool HmiFifoWriter::cancel(quint64 handle)
{
    for (int i = 0; i < m_queue.size(); ++i) {
        if (m_queue.at(i).handle != handle)
            continue;
        if (i == 0 && m_fd >= 0)
            return false; // being written
        m_queue.removeAt(i);
        return true;
    }
    return false;
}

void HmiFifoWriter::schedule(int ms)
{
    m_timer.start(ms);
}

void HmiFifoWriter::pump()
{
    if (m_fd >= 0) {
        if (m_writeStarted.elapsed() > StallMs) {
            qCWarning(lcHmi) << "the HMI stopped reading ocppin; message dropped";
            finishCurrent(true);
        } else {
            schedule(500);
        }
        return;
    }
    while (!m_queue.isEmpty() && m_queue.first().age.elapsed() > m_queue.first().ttlMs) {
        qCWarning(lcHmi).noquote() << "no HMI reading ocppin in time; dropped:"
                                   << QString::fromUtf8(m_queue.first().bytes).simplified();
        m_queue.removeFirst();
    }
    if (m_queue.isEmpty())
        return;
    QString problem;
    if (!ensureFifo(m_path, &problem)) {
        qCWarning(lcHmi).noquote() << problem;
        schedule(ReopenRetryMs);
        return;
    }
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // ENXIO: no HMI has the FIFO open for reading (not running, or
        // between two of its opens).
        if (errno != ENXIO)
            qCWarning(lcHmi) << "cannot open ocppin:" << std::strerror(errno);
        schedule(errno == ENXIO ? NoReaderRetryMs : ReopenRetryMs);
        return;
    }
    if (!isFifo(fd)) {
        ::close(fd);
        qCWarning(lcHmi).noquote() << m_path << "is not a FIFO";
        schedule(ReopenRetryMs);
        return;
    }
    m_fd = fd;
    m_written = 0;
    m_writeStarted.start();
    writable();
}

void HmiFifoWriter::writable()
{
    if (m_fd < 0 || m_queue.isEmpty())
        return;
    const QByteArray &bytes = m_queue.first().bytes;
    while (m_written < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + m_written, size_t(bytes.size() - m_written));
        if (n > 0) {
            m_written += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            if (!m_notifier) {
                m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
                connect(m_notifier, &QSocketNotifier::activated, this, &HmiFifoWriter::writable);
            }
            m_notifier->setEnabled(true);
            schedule(500); // stall check
            return;
        }
        // The HMI went away while we wrote (EPIPE): the message goes again
        // whole at the next open.
        qCWarning(lcHmi) << "write to ocppin failed:" << std::strerror(errno);
        finishCurrent(false);
        return;
    }
    finishCurrent(true);
}

void HmiFifoWriter::finishCurrent(bool done)
{
    release(m_notifier, m_fd);
    if (done && !m_queue.isEmpty()) {
        qCDebug(lcHmi).noquote() << "->" << QString::fromUtf8(m_queue.first().bytes).simplified();
        m_queue.removeFirst();
    }
    // The close ends the message for the HMI; the next open waits a little so
    // that it does not join the two.
    schedule(done ? GapMs : NoReaderRetryMs);
}
