#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

// Small helpers shared by the tests: a private data directory and a capture
// of the log lines the code under test writes.

#include "globalvariable.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
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

// Collects every log line (any thread) while it lives; earlier handlers are
// restored afterwards.
class LogCapture
{
public:
    LogCapture()
    {
        instance() = this;
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        instance() = nullptr;
    }
    QStringList lines() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_lines;
    }
    int count(const QString &fragment) const
    {
        int n = 0;
        for (const QString &l : lines())
            n += l.contains(fragment) ? 1 : 0;
        return n;
    }
    bool contains(const QString &fragment) const { return count(fragment) > 0; }
    void clear()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_lines.clear();
    }

private:
    // Worker threads log while a test installs or removes its capture.
    static std::atomic<LogCapture *> &instance()
    {
        static std::atomic<LogCapture *> current{nullptr};
        return current;
    }
    static void handler(QtMsgType type, const QMessageLogContext &ctx, const QString &msg)
    {
        if (LogCapture *self = instance().load()) {
            std::lock_guard<std::mutex> lock(self->m_lock);
            self->m_lines << msg;
        }
        (void)type;
        (void)ctx;
    }
    mutable std::mutex m_lock;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};

#endif // TESTSUPPORT_H
