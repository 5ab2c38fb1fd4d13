#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

// Small helpers shared by the tests: a private data directory, a capture of
// the log lines the code under test writes, a screen's named children and
// the OCPP link's state reset.

#include "globalvariable.h"
#include "transactionrecord.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <mutex>

// A fresh data directory that FilePath points at while it lives.
class TestDataDir
{
public:
    TestDataDir()
    {
        m_previous = FilePath;
        FilePath = m_dir.path() + '/';
    }
    ~TestDataDir() { FilePath = m_previous; }
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    bool write(const QString &name, const QByteArray &content) const
    {
        QFile f(file(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        return f.write(content) == content.size();
    }
    QByteArray read(const QString &name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A named child of a screen; the test stops here when the form lacks it.
template<typename T> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(name);
    Q_ASSERT(c);
    return c;
}

// The state the OCPP link reads and writes, as a fresh start leaves it:
// connector 1 available without fault, nothing kept for re-sending and no
// transaction recorded, no configuration keys, re-sending every 10 s, no
// reset asked for.
inline void resetOcppState()
{
    gun_status[1] = Status();
    gun_status[1].status = sta_Available;
    gun_status[1].errorcode = err_NoError;
    StartTransactionCache.clear();
    StopTransactionCache.clear();
    MeterValueCache.clear();
    transactionRecord.clear();
    ConfigObj = QJsonObject();
    Config.TransactionMessageRetryInterval = 10000;
    SystemResetReq = 0;
}

// Collects every log line (any thread) while it lives; earlier handlers are
// restored afterwards. One std::mutex guards both the current capture and
// its lines: worker threads log while a test reads, installs or removes its
// capture, and ThreadSanitizer sees through this lock (not through the
// toolkit's contended one). Removal waits for a line being stored.
class LogCapture
{
public:
    LogCapture()
    {
        std::lock_guard<std::mutex> lock(mutex());
        current() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        std::lock_guard<std::mutex> lock(mutex());
        current() = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // A list of its own: one shared with the capture would be detached by
    // the logging thread outside the lock.
    QStringList lines() const
    {
        std::lock_guard<std::mutex> lock(mutex());
        QStringList copy;
        copy.reserve(m_lines.size());
        for (const QString &l : m_lines)
            copy << l;
        return copy;
    }
    int count(const QString &fragment) const
    {
        std::lock_guard<std::mutex> lock(mutex());
        int n = 0;
        for (const QString &l : m_lines)
            n += l.contains(fragment) ? 1 : 0;
        return n;
    }
    bool contains(const QString &fragment) const { return count(fragment) > 0; }
    void clear()
    {
        std::lock_guard<std::mutex> lock(mutex());
        m_lines.clear();
    }

private:
    static std::mutex &mutex()
    {
        static std::mutex m;
        return m;
    }
    static LogCapture *&current()
    {
        static LogCapture *capture = nullptr;
        return capture;
    }
    static void handler(QtMsgType, const QMessageLogContext &, const QString &msg)
    {
        std::lock_guard<std::mutex> lock(mutex());
        if (LogCapture *self = current())
            self->m_lines << msg;
    }
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};

#endif // TESTSUPPORT_H
