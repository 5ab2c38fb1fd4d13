#ifndef OCPP_BRIDGE_BRIDGETEST_H
#define OCPP_BRIDGE_BRIDGETEST_H

// The bridge's peers for its tests, each a real process or a real FIFO end:
// - CsmsPeer: the ocpp-ts central system (tests/csms/csms.js) under node;
// - BridgeProcess: the ocpp-bridge program;
// - HmiEnd: the HMI's side of the two FIFOs, writing and reading exactly as
//   the HMI does (one message per open-write-close, JSON indented, a line
//   feed after each message; reading one message per open-close).

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <memory>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace BridgeTest {

inline QString csmsDir() { return QStringLiteral(BRIDGE_SOURCE_DIR "/tests/csms"); }
inline QString bridgeProgram() { return QStringLiteral(HMI_BIN_DIR "/ocpp-bridge"); }

// node and the central system's packages, which ./test.sh installs.
inline bool csmsAvailable(QString *why)
{
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty()) {
        *why = QStringLiteral("node is not installed (./test.sh installs it)");
        return false;
    }
    if (!QFile::exists(csmsDir() + QStringLiteral("/node_modules/ocpp-ts/package.json"))) {
        *why = QStringLiteral("run 'npm ci' in %1 (./test.sh does)").arg(csmsDir());
        return false;
    }
    return true;
}

inline QJsonObject json(const QByteArray &text) { return QJsonDocument::fromJson(text).object(); }

// Waits for a condition while the event loop runs; never longer than ms.
inline bool waitUntil(const std::function<bool()> &condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

class CsmsPeer
{
public:
    ~CsmsPeer() { kill(); }

    // Starts the central system (port 0: any free one) and waits until it listens.
    bool start(const QStringList &options = {}, int port = 0)
    {
        m_lines.clear();
        m_events.clear();
        m_proc.reset(new QProcess);
        m_proc->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(m_proc.get(), &QProcess::readyReadStandardOutput, [this] { readLines(); });
        m_proc->start(QStandardPaths::findExecutable(QStringLiteral("node")),
                      QStringList{csmsDir() + QStringLiteral("/csms.js"), QStringLiteral("--port"),
                                  QString::number(port)} +
                          options);
        if (!m_proc->waitForStarted(10000))
            return false;
        const int at = waitFor([](const QJsonObject &e) { return e.value("ev") == "listening"; }, 20000);
        if (at < 0)
            return false;
        m_port = m_events.at(at).value("port").toInt();
        return true;
    }

    int port() const { return m_port; }
    QString url(const QString &cpId = QStringLiteral("CP-TEST"), const QString &scheme = QStringLiteral("ws")) const
    {
        return QStringLiteral("%1://127.0.0.1:%2/ocpp/%3").arg(scheme).arg(m_port).arg(cpId);
    }

    void send(const QJsonObject &command)
    {
        if (m_proc)
            m_proc->write(QJsonDocument(command).toJson(QJsonDocument::Compact) + '\n');
    }
    void call(const QString &action, const QJsonObject &payload)
    {
        send({{"call", action}, {"payload", payload}});
    }

    const QList<QJsonObject> &events() const { return m_events; }

    // Index of the first event from `from` on that matches, waiting up to ms; -1 if none.
    int waitFor(const std::function<bool(const QJsonObject &)> &match, int ms, int from = 0)
    {
        int found = -1;
        waitUntil(
            [&] {
                for (int i = from; i < m_events.size(); ++i)
                    if (match(m_events.at(i))) {
                        found = i;
                        return true;
                    }
                return !m_proc || m_proc->state() == QProcess::NotRunning;
            },
            ms);
        return found;
    }
    int waitForCall(const QString &action, int ms, int from = 0)
    {
        return waitFor([&](const QJsonObject &e) { return e.value("ev") == "call" && e.value("action") == action; },
                       ms, from);
    }
    int waitForAnswer(const QString &action, int ms, int from = 0)
    {
        return waitFor(
            [&](const QJsonObject &e) {
                return (e.value("ev") == "result" || e.value("ev") == "error") && e.value("action") == action;
            },
            ms, from);
    }

    // The CALLs received, in order, as "Action" or "Action:detail".
    QStringList callSequence(int from = 0) const
    {
        QStringList out;
        for (int i = from; i < m_events.size(); ++i) {
            const QJsonObject e = m_events.at(i);
            if (e.value("ev") != "call")
                continue;
            const QJsonObject p = e.value("payload").toObject();
            QString entry = e.value("action").toString();
            if (p.contains("status"))
                entry += ':' + p.value("status").toString();
            if (p.contains("reason"))
                entry += ':' + p.value("reason").toString();
            out << entry;
        }
        return out;
    }
    QList<QJsonObject> payloads(const QString &action, int from = 0) const
    {
        QList<QJsonObject> out;
        for (int i = from; i < m_events.size(); ++i)
            if (m_events.at(i).value("ev") == "call" && m_events.at(i).value("action") == action)
                out << m_events.at(i).value("payload").toObject();
        return out;
    }
    // Every CALLERROR the central system sent: a payload that failed its schema check.
    QStringList errorsSent() const
    {
        QStringList out;
        for (const QJsonObject &e : m_events)
            if (e.value("ev") == "callerror-sent")
                out << QString::fromUtf8(QJsonDocument(e).toJson(QJsonDocument::Compact));
        return out;
    }

    // A crash of the central system: gone at once, no goodbye on the socket.
    void kill()
    {
        if (!m_proc)
            return;
        m_proc->kill();
        m_proc->waitForFinished(5000);
        readLines();
        m_proc.reset();
    }
    bool finished() const { return !m_proc || m_proc->state() == QProcess::NotRunning; }
    // SIGSTOP: a central system that hangs with its connections open; SIGCONT: back.
    void signal(int sig)
    {
        if (m_proc)
            ::kill(pid_t(m_proc->processId()), sig);
    }

private:
    void readLines()
    {
        if (!m_proc)
            return;
        m_lines += m_proc->readAllStandardOutput();
        int nl;
        while ((nl = m_lines.indexOf('\n')) >= 0) {
            const QByteArray line = m_lines.left(nl);
            m_lines.remove(0, nl + 1);
            m_events << json(line);
        }
    }

    std::unique_ptr<QProcess> m_proc;
    QByteArray m_lines;
    QList<QJsonObject> m_events;
    int m_port = 0;
};

class BridgeProcess
{
public:
    ~BridgeProcess() { stop(); }

    bool start(const QString &dataDir, const QStringList &options)
    {
        m_proc.reset(new QProcess);
        m_proc->setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(m_proc.get(), &QProcess::readyReadStandardOutput,
                         [this] { m_log += m_proc->readAllStandardOutput(); });
        m_proc->start(bridgeProgram(), QStringList{QStringLiteral("--data-dir"), dataDir} + options);
        return m_proc->waitForStarted(10000);
    }

    // Sends SIGTERM and waits for the exit; the exit code, or -1.
    int stop(int signal = SIGTERM)
    {
        if (!m_proc)
            return -1;
        if (m_proc->state() != QProcess::NotRunning)
            ::kill(pid_t(m_proc->processId()), signal);
        const bool ended = m_proc->waitForFinished(10000);
        m_log += m_proc->readAllStandardOutput();
        const int rc = ended && m_proc->exitStatus() == QProcess::NormalExit ? m_proc->exitCode() : -1;
        if (!ended)
            m_proc->kill(), m_proc->waitForFinished(2000);
        m_proc.reset();
        return rc;
    }

    bool waitForLog(const QString &text, int ms)
    {
        return waitUntil([&] { return m_log.contains(text.toUtf8()); }, ms);
    }
    QByteArray log() const { return m_log; }

private:
    std::unique_ptr<QProcess> m_proc;
    QByteArray m_log;
};

// The HMI's end of the FIFOs.
class HmiEnd
{
public:
    explicit HmiEnd(const QString &dataDir)
        : m_out(QFile::encodeName(dataDir + QStringLiteral("/ocppout"))),
          m_in(QFile::encodeName(dataDir + QStringLiteral("/ocppin")))
    {
        ::mkfifo(m_out.constData(), 0666);
        ::mkfifo(m_in.constData(), 0666);
        m_stop = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_reader = std::thread([this] { readLoop(); });
    }
    ~HmiEnd()
    {
        const quint64 one = 1;
        (void)!::write(m_stop, &one, sizeof one);
        m_reader.join();
        ::close(m_stop);
    }

    // One message the way the HMI writes it.
    static QByteArray message(const QString &key, const QString &action, const QJsonObject &payload)
    {
        return key.toUtf8() + '=' + action.toUtf8() + '=' + QJsonDocument(payload).toJson(QJsonDocument::Indented);
    }

    // One open-write-close of "ocppout", then the HMI's 20 ms pause.
    bool write(const QByteArray &text)
    {
        int fd = -1;
        waitUntil(
            [&] {
                fd = ::open(m_out.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                return fd >= 0;
            },
            5000);
        if (fd < 0)
            return false;
        const QByteArray bytes = text + '\n';
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            pollfd p = {fd, POLLOUT, 0};
            if ((n < 0 && errno != EAGAIN && errno != EINTR) || ::poll(&p, 1, 5000) <= 0)
                break;
        }
        ::close(fd);
        const bool ok = done == bytes.size();
        QTest::qWait(20);
        return ok;
    }
    // The HMI also leaves every status it sends in StatusNotification.json.
    bool send(const QString &action, const QJsonObject &payload, const QString &key = QStringLiteral("1"))
    {
        if (action == QLatin1String("StatusNotification")) {
            QFile f(QFile::decodeName(m_out).section('/', 0, -2) + QStringLiteral("/StatusNotification.json"));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(QJsonDocument(payload).toJson());
        }
        return write(message(key, action, payload));
    }

    QList<QByteArray> received() const
    {
        QMutexLocker lock(&m_lock);
        return m_received;
    }

    // The first message from `from` on whose action is `action`: its key
    // and payload; waits up to ms. Index -1 if none came.
    struct Message
    {
        int index = -1;
        QString key;
        QJsonObject payload;
        QByteArray raw;
    };
    Message waitFor(const QString &action, int ms, int from = 0)
    {
        Message m;
        waitUntil(
            [&] {
                const QList<QByteArray> all = received();
                for (int i = from; i < all.size(); ++i) {
                    const QByteArray &text = all.at(i);
                    const int first = text.indexOf('=');
                    const int second = text.indexOf('=', first + 1);
                    if (first < 0 || second < 0 || text.mid(first + 1, second - first - 1) != action.toUtf8())
                        continue;
                    m.index = i;
                    m.key = QString::fromUtf8(text.left(first));
                    m.raw = text;
                    // As the HMI reads it: every backslash dropped first.
                    QByteArray body = text.mid(second + 1);
                    body.replace('\\', QByteArray());
                    m.payload = json(body);
                    return true;
                }
                return false;
            },
            ms);
        return m;
    }

private:
    void readLoop()
    {
        for (;;) {
            const int fd = ::open(m_in.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                return;
            QByteArray data;
            bool stop = false;
            for (;;) {
                pollfd fds[2] = {{fd, POLLIN, 0}, {m_stop, POLLIN, 0}};
                if (::poll(fds, 2, -1) < 0 && errno != EINTR)
                    break;
                if (fds[1].revents) {
                    stop = true;
                    break;
                }
                char buf[4096];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0)
                    data.append(buf, int(n));
                else if (n == 0)
                    break;
                else if (errno != EAGAIN && errno != EINTR)
                    break;
            }
            ::close(fd);
            if (stop)
                return;
            if (!data.isEmpty()) {
                QMutexLocker lock(&m_lock);
                m_received << data;
            }
        }
    }

    const QByteArray m_out;
    const QByteArray m_in;
    int m_stop = -1;
    std::thread m_reader;
    mutable QMutex m_lock;
    QList<QByteArray> m_received;
};

// A data directory with the shipped configuration and a bridge.json.
inline void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void prepareDataDir(const QString &dir, const QJsonObject &bridgeJson)
{
    QFile::copy(QStringLiteral(HMI_SOURCE_DIR "/deploy/configuration.json"), dir + QStringLiteral("/configuration.json"));
    QFile::setPermissions(dir + QStringLiteral("/configuration.json"), QFile::ReadOwner | QFile::WriteOwner);
    writeFile(dir + QStringLiteral("/bridge.json"), QJsonDocument(bridgeJson).toJson());
}

// One configuration key of the HMI's file set to a value.
inline void setConfigKey(const QString &dir, const QString &key, const QString &value)
{
    const QString path = dir + QStringLiteral("/configuration.json");
    QJsonObject root = json(readFile(path));
    QJsonArray keys = root.value("configurationKey").toArray();
    bool found = false;
    for (int i = 0; i < keys.size(); ++i) {
        QJsonObject o = keys.at(i).toObject();
        if (o.value("key") == key) {
            o.insert("value", value);
            keys.replace(i, o);
            found = true;
        }
    }
    if (!found)
        keys.append(QJsonObject{{"key", key}, {"readonly", false}, {"value", value}});
    root.insert("configurationKey", keys);
    writeFile(path, QJsonDocument(root).toJson());
}

} // namespace BridgeTest

#endif // OCPP_BRIDGE_BRIDGETEST_H
