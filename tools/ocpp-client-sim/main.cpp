// ocpp-client-sim: plays the local OCPP client on the two FIFOs of the
// charger HMI's data directory. Prints every message the HMI writes, answers
// each request, and sends the central system's commands typed on stdin.
//
// Transport as the HMI expects it: the HMI writes one message per open-close
// of "ocppout"; we write one message per open-close of "ocppin".

#include <QByteArray>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const char FailurePhrase[] = "failure to process the message";

struct Options
{
    std::string dataDir;
    bool rejectAuthorize = false;
    QString startStatus = "Accepted";
    int failCount = 0;
    QStringList failActions{"StartTransaction", "StopTransaction", "MeterValues"};
    bool silent = false;
    bool newFifos = false;
    int transactionId = 1;
};

const char Usage[] =
    "Usage: ocpp-client-sim [options] [DATA_DIR]\n"
    "\n"
    "Plays the local OCPP client on the FIFOs DATA_DIR/ocppout (HMI to client)\n"
    "and DATA_DIR/ocppin (client to HMI), creating them when missing.\n"
    "Every message the HMI writes is printed with '<-', every message sent with '->'.\n"
    "\n"
    "Options:\n"
    "  --data-dir DIR          data directory (default: $HMI_DATA_DIR or /home/root/Tarnel-LCD/)\n"
    "  --reject-authorize      answer Authorize with idTagInfo status Invalid\n"
    "  --reject-start STATUS   answer StartTransaction with this idTagInfo status\n"
    "                          (Blocked, Expired, Invalid, ConcurrentTx, ...)\n"
    "  --fail N                answer the next N transaction messages with\n"
    "                          \"failure to process the message\"\n"
    "  --fail-only ACTION      count --fail only for ACTION (StartTransaction,\n"
    "                          StopTransaction or MeterValues)\n"
    "  --silent                answer nothing\n"
    "  --new-fifos             remove both FIFOs and make them afresh at start, as a\n"
    "                          client that owns them does when it restarts\n"
    "  --transaction-id N      first transactionId handed out (default 1)\n"
    "  -h, --help              this text\n"
    "\n"
    "Commands on stdin (each sent with a key of its own; the answer is printed):\n"
    "  RemoteStartTransaction IDTAG    (or: start IDTAG)\n"
    "  RemoteStopTransaction ID        (or: stop ID; a non-number is sent as a string)\n"
    "  Reset Soft|Hard                 (or: reset TYPE; sent as typed)\n"
    "  send RAW                        write RAW as one message, unchanged\n"
    "  fail N | silent on|off | reject-authorize on|off | reject-start STATUS|off\n"
    "  help | quit\n"
    "Ctrl-C or SIGTERM ends the simulator at once.\n";

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 's';
    const int saved = errno;
    (void)!::write(g_signalPipe[1], &c, 1);
    errno = saved;
}

std::mutex g_printLock;

void print(const QString &line)
{
    std::lock_guard<std::mutex> lock(g_printLock);
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString shown(QByteArray message)
{
    while (message.endsWith('\n'))
        message.chop(1);
    return QString::fromUtf8(message);
}

bool ensureFifo(const std::string &path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISFIFO(st.st_mode)) {
            std::fprintf(stderr, "ocpp-client-sim: %s exists and is not a FIFO\n", path.c_str());
            return false;
        }
        return true;
    }
    if (::mkfifo(path.c_str(), 0666) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "ocpp-client-sim: cannot create %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Writes queued messages into "ocppin", one open-close each. The open waits
// for the HMI's reader; shutdown releases it by opening the FIFO for reading
// itself.
class Sender
{
public:
    explicit Sender(std::string path) : m_path(std::move(path))
    {
        if (::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0)
            m_wake[0] = m_wake[1] = -1;
        m_thread = std::thread([this] { run(); });
    }
    ~Sender() { stop(); }

    void send(const QByteArray &message)
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_queue.push_back(message);
        }
        m_changed.notify_one();
    }

    void stop()
    {
        if (!m_thread.joinable())
            return;
        m_stopping = true;
        m_changed.notify_one();
        const char c = 'q';
        (void)!::write(m_wake[1], &c, 1);
        const int release = ::open(m_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        m_thread.join();
        if (release >= 0)
            ::close(release);
        ::close(m_wake[0]);
        ::close(m_wake[1]);
    }

private:
    void run()
    {
        for (;;) {
            QByteArray message;
            {
                std::unique_lock<std::mutex> lock(m_lock);
                m_changed.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
                if (m_stopping)
                    return;
                message = m_queue.front();
            }
            int fd;
            do {
                fd = ::open(m_path.c_str(), O_WRONLY | O_CLOEXEC);
            } while (fd < 0 && errno == EINTR && !m_stopping);
            if (m_stopping) {
                if (fd >= 0)
                    ::close(fd);
                return;
            }
            if (fd < 0) {
                print(QString("!! cannot open ocppin: %1").arg(std::strerror(errno)));
                pollfd p = {m_wake[0], POLLIN, 0};
                ::poll(&p, 1, 1000);
                continue;
            }
            const bool ok = writeAll(fd, message);
            ::close(fd);
            if (m_stopping)
                return;
            if (ok) {
                print("-> " + shown(message));
                {
                    std::lock_guard<std::mutex> lock(m_lock);
                    m_queue.pop_front();
                }
                // Let the HMI see end of file before the next open, or two
                // messages would reach it as one text.
                pollfd p = {m_wake[0], POLLIN, 0};
                ::poll(&p, 1, 20);
            } else {
                print(QString("!! write to ocppin failed (%1), sending again").arg(std::strerror(errno)));
            }
        }
    }

    bool writeAll(int fd, const QByteArray &bytes)
    {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        qint64 off = 0;
        while (off < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + off, size_t(bytes.size() - off));
            if (n > 0) {
                off += n;
            } else if (n < 0 && errno == EAGAIN) {
                pollfd fds[2] = {{fd, POLLOUT, 0}, {m_wake[0], POLLIN, 0}};
                ::poll(fds, 2, -1);
                if (fds[1].revents)
                    return false;
            } else if (!(n < 0 && errno == EINTR)) {
                return false;
            }
        }
        return true;
    }

    const std::string m_path;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_stopping{false};
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    std::thread m_thread;
};

class Client
{
public:
    Client(const Options &options, Sender &sender) : m_opt(options), m_sender(sender) {}

    // One open-close of "ocppout". The HMI ends each message with the
    // closing brace on a line of its own and a blank line; two messages that
    // came within one open are taken apart there.
    void received(const QByteArray &chunk)
    {
        int from = 0;
        while (from < chunk.size()) {
            int end = chunk.indexOf("\n}\n\n", from);
            end = end < 0 ? chunk.size() : end + 4;
            const QByteArray message = chunk.mid(from, end - from);
            from = end;
            if (!message.trimmed().isEmpty())
                handle(message);
        }
    }

    // A command line from stdin; false for quit.
    bool command(const QString &line)
    {
        const QString text = line.trimmed();
        if (text.isEmpty())
            return true;
        const int blank = text.indexOf(' ');
        const QString verb = (blank < 0 ? text : text.left(blank)).toLower();
        const QString arg = blank < 0 ? QString() : text.mid(blank + 1).trimmed();
        QJsonObject payload;
        if (verb == "remotestarttransaction" || verb == "start") {
            payload.insert("connectorId", 1);
            payload.insert("idTag", arg);
            request("RemoteStartTransaction", payload);
        } else if (verb == "remotestoptransaction" || verb == "stop") {
            bool isNumber = false;
            const int id = arg.toInt(&isNumber);
            payload.insert("transactionId", isNumber ? QJsonValue(id) : QJsonValue(arg));
            request("RemoteStopTransaction", payload);
        } else if (verb == "reset") {
            payload.insert("type", arg);
            request("Reset", payload);
        } else if (verb == "send") {
            m_sender.send(arg.toUtf8());
        } else if (verb == "fail") {
            m_opt.failCount = arg.toInt();
            print(QString("-- the next %1 transaction message(s) fail").arg(m_opt.failCount));
        } else if (verb == "silent") {
            m_opt.silent = arg.toLower() != "off";
            print(m_opt.silent ? "-- silent" : "-- answering");
        } else if (verb == "reject-authorize") {
            m_opt.rejectAuthorize = arg.toLower() != "off";
            print(m_opt.rejectAuthorize ? "-- Authorize rejected" : "-- Authorize accepted");
        } else if (verb == "reject-start") {
            m_opt.startStatus = (arg.isEmpty() || arg.toLower() == "off") ? QString("Accepted") : arg;
            print("-- StartTransaction answered " + m_opt.startStatus);
        } else if (verb == "help") {
            std::lock_guard<std::mutex> lock(g_printLock);
            std::fputs(Usage, stdout);
            std::fflush(stdout);
        } else if (verb == "quit" || verb == "exit") {
            return false;
        } else {
            print("!! unknown command: " + text + " (try help)");
        }
        return true;
    }

private:
    void request(const QString &action, const QJsonObject &payload)
    {
        const QString key = QString("cs%1").arg(++m_lastKey);
        m_awaiting[key] = action;
        m_sender.send(key.toUtf8() + '=' + action.toUtf8() + '=' + QJsonDocument(payload).toJson(QJsonDocument::Compact));
    }

    void answer(const QString &key, const QString &action, const QJsonObject &payload)
    {
        if (m_opt.silent)
            return;
        m_sender.send(key.toUtf8() + '=' + action.toUtf8() + "Response=" +
                      QJsonDocument(payload).toJson(QJsonDocument::Compact));
    }

    bool failNow(const QString &action)
    {
        if (m_opt.failCount <= 0 || !m_opt.failActions.contains(action))
            return false;
        --m_opt.failCount;
        return true;
    }

    void handle(const QByteArray &message)
    {
        print("<- " + shown(message));
        const QString text = QString::fromUtf8(message);
        const int first = text.indexOf('=');
        const int second = first < 0 ? -1 : text.indexOf('=', first + 1);
        if (second < 0) {
            print("!! not key=action=payload, not answered");
            return;
        }
        const QString key = text.left(first);
        const QString action = text.mid(first + 1, second - first - 1);
        QJsonParseError error;
        const QJsonObject payload = QJsonDocument::fromJson(text.mid(second + 1).toUtf8(), &error).object();
        if (error.error != QJsonParseError::NoError) {
            print("!! payload is not JSON (" + error.errorString() + "), not answered");
            return;
        }

        if (action.endsWith("Response")) {
            const auto it = m_awaiting.find(key);
            if (it == m_awaiting.end()) {
                print("!! response to no request of ours: " + key);
                return;
            }
            print(QString("== %1 (%2) answered: %3").arg(it->second, key, payload.value("status").toString()));
            m_awaiting.erase(it);
            return;
        }

        const QJsonObject failure{{"error", FailurePhrase}};
        QJsonObject reply;
        if (action == "Authorize") {
            reply.insert("idTagInfo", QJsonObject{{"status", m_opt.rejectAuthorize ? "Invalid" : "Accepted"}});
        } else if (action == "StartTransaction") {
            if (failNow(action)) {
                reply = failure;
            } else {
                const QString expiry = QDateTime::currentDateTimeUtc().addDays(1).toString("yyyy-MM-dd'T'hh:mm:ss'Z'");
                reply.insert("idTagInfo", QJsonObject{{"expiryDate", expiry}, {"status", m_opt.startStatus}});
                reply.insert("transactionId", m_opt.transactionId++);
            }
        } else if (action == "StopTransaction") {
            reply = failNow(action) ? failure : QJsonObject{{"idTagInfo", QJsonObject{{"status", "Accepted"}}}};
        } else if (action == "MeterValues") {
            reply = failNow(action) ? failure : QJsonObject();
        } else if (action == "StatusNotification" || action == "Heartbeat") {
            reply = QJsonObject();
        } else {
            print("!! unknown action " + action + ", not answered");
            return;
        }
        answer(key, action, reply);
    }

    Options m_opt;
    Sender &m_sender;
    int m_lastKey = 0;
    std::map<QString, QString> m_awaiting;
};

bool parseArguments(int argc, char **argv, Options &opt, int &exitCode)
{
    const char *env = std::getenv("HMI_DATA_DIR");
    opt.dataDir = env && *env ? env : "/home/root/Tarnel-LCD/";
    bool failOnlyGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool takesValue = a == "--data-dir" || a == "--reject-start" || a == "--fail" ||
                                a == "--fail-only" || a == "--transaction-id";
        if (takesValue && i + 1 >= argc) {
            std::fprintf(stderr, "ocpp-client-sim: %s needs a value\n", a.c_str());
            exitCode = 2;
            return false;
        }
        const char *v = takesValue ? argv[++i] : nullptr;
        if (a == "-h" || a == "--help") {
            std::fputs(Usage, stdout);
            exitCode = 0;
            return false;
        } else if (a == "--data-dir") {
            opt.dataDir = v;
        } else if (a.rfind("--data-dir=", 0) == 0) {
            opt.dataDir = a.substr(11);
        } else if (a == "--reject-authorize") {
            opt.rejectAuthorize = true;
        } else if (a == "--reject-start") {
            opt.startStatus = QString::fromLocal8Bit(v);
        } else if (a == "--fail") {
            opt.failCount = std::atoi(v);
        } else if (a == "--fail-only") {
            if (!failOnlyGiven)
                opt.failActions.clear();
            failOnlyGiven = true;
            opt.failActions << QString::fromLocal8Bit(v);
        } else if (a == "--silent") {
            opt.silent = true;
        } else if (a == "--new-fifos") {
            opt.newFifos = true;
        } else if (a == "--transaction-id") {
            opt.transactionId = std::atoi(v);
        } else if (!a.empty() && a[0] != '-') {
            opt.dataDir = a;
        } else {
            std::fprintf(stderr, "ocpp-client-sim: unknown option %s\n%s", a.c_str(), Usage);
            exitCode = 2;
            return false;
        }
    }
    if (!opt.dataDir.empty() && opt.dataDir.back() != '/')
        opt.dataDir += '/';
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    Options opt;
    int exitCode = -1;
    if (!parseArguments(argc, argv, opt, exitCode))
        return exitCode;

    const std::string outPath = opt.dataDir + "ocppout";
    const std::string inPath = opt.dataDir + "ocppin";
    if (opt.newFifos) {
        ::unlink(outPath.c_str());
        ::unlink(inPath.c_str());
    }
    if (!ensureFifo(outPath) || !ensureFifo(inPath))
        return 1;

    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return 1;
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    print(QString("-- ocpp-client-sim on %1 (ocppout, ocppin)").arg(QString::fromStdString(opt.dataDir)));
    Sender sender(inPath);
    Client client(opt, sender);

    bool stdinOpen = true;
    std::string stdinBuffer;
    bool running = true;
    while (running) {
        // Opened without waiting; the poll below wakes when the HMI writes.
        const int fd = ::open(outPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            std::fprintf(stderr, "ocpp-client-sim: cannot open %s: %s\n", outPath.c_str(), std::strerror(errno));
            return 1;
        }
        QByteArray chunk;
        for (;;) {
            pollfd fds[3] = {{fd, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0) {
                if (errno == EINTR)
                    continue;
                running = false;
                break;
            }
            if (fds[1].revents) {
                running = false;
                break;
            }
            if (fds[2].revents) {
                char buf[4096];
                const ssize_t n = ::read(0, buf, sizeof buf);
                if (n <= 0) {
                    stdinOpen = false; // e.g. started in the background: keep serving
                } else {
                    stdinBuffer.append(buf, size_t(n));
                    size_t nl;
                    while (running && (nl = stdinBuffer.find('\n')) != std::string::npos) {
                        const std::string line = stdinBuffer.substr(0, nl);
                        stdinBuffer.erase(0, nl + 1);
                        running = client.command(QString::fromLocal8Bit(line.c_str()));
                    }
                    if (!running)
                        break;
                }
            }
            if (fds[0].revents) {
                char buf[65536];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0) {
                    chunk.append(buf, int(n));
                } else if (n == 0) {
                    break; // the HMI closed: one message (or more) complete
                } else if (errno != EAGAIN && errno != EINTR) {
                    break;
                }
            }
        }
        ::close(fd);
        if (!chunk.isEmpty())
            client.received(chunk);
    }
    sender.stop();
    print("-- ocpp-client-sim stopped");
    return 0;
}
