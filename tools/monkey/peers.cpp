#include "peers.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace monkey {

// ---------------------------------------------------------------- one simulator

PeerProcess::PeerProcess(const QString &program) : m_program(program) {}

PeerProcess::~PeerProcess()
{
    stop();
}

bool PeerProcess::start(const QStringList &arguments, bool awaitFirstLine, QString *firstLine)
{
    // The serial simulators log every frame on stderr; only their answers matter.
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(m_program, arguments);
    if (!m_process.waitForStarted(10000))
        return false;
    if (!awaitFirstLine)
        return true;
    QElapsedTimer clock;
    clock.start();
    while (!m_process.canReadLine()) {
        const int left = 10000 - int(clock.elapsed());
        if (left <= 0 || !running())
            return false;
        m_process.waitForReadyRead(left);
    }
    const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    if (firstLine)
        *firstLine = line;
    return !line.isEmpty();
}

void PeerProcess::send(const QString &line)
{
    if (running())
        m_process.write((line + '\n').toLocal8Bit());
}

void PeerProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate(); // every simulator ends on SIGTERM
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

// ---------------------------------------------------------------- what the client received

// The client prints each message on a line of its own starting with "<- "
// (received), "-> " (sent) or a two-character mark of its own; a message from
// the charger is indented JSON that ends with "}" alone on its line.
void ClientView::feed(const QByteArray &output)
{
    m_pending += output;
    int end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        line(m_pending.left(end));
        m_pending.remove(0, end + 1);
    }
}

void ClientView::line(const QByteArray &text)
{
    static const char *const marks[] = {"<- ", "-> ", "== ", "!! ", "-- "};
    bool header = false;
    for (const char *mark : marks)
        header = header || text.startsWith(mark);
    if (header) {
        finishBlock();
        m_block = text;
        m_inBlock = true;
        if (text.startsWith("-> "))
            ++sent;
    } else if (m_inBlock) {
        m_block += '\n' + text;
    } else {
        return;
    }
    if (text == "}")
        finishBlock();
}

void ClientView::finishBlock()
{
    if (!m_inBlock)
        return;
    m_inBlock = false;
    if (m_block.startsWith("<- "))
        received(QString::fromUtf8(m_block.mid(3)));
    m_block.clear();
}

void ClientView::received(const QString &message)
{
    const int first = message.indexOf('=');
    const int second = first < 0 ? -1 : message.indexOf('=', first + 1);
    if (second < 0)
        return;
    const QString action = message.mid(first + 1, second - first - 1);
    if (action == QLatin1String("StatusNotification")) {
        static const QRegularExpression status(QStringLiteral("\"status\": \"(\\w*)\""));
        const QRegularExpressionMatch m = status.match(message, second);
        if (m.hasMatch()) {
            lastStatus = m.captured(1);
            ++statusNotifications;
        }
    } else if (action == QLatin1String("StartTransaction")) {
        transactionOpen = true;
        ++starts;
    } else if (action == QLatin1String("StopTransaction")) {
        transactionOpen = false;
        ++stops;
    }
}

// ---------------------------------------------------------------- the peers

Peers::Peers(const QString &binDir, const QString &dataDir, bool device)
    : m_dataDir(dataDir), m_device(device), m_client(binDir + "/ocpp-client-sim"), m_ccu(binDir + "/ccu-sim"),
      m_meter(binDir + "/meter-sim")
{
}

bool Peers::startSerial(const QStringList &ccuArguments)
{
    if (!m_device)
        return true;
    return m_ccu.start(ccuArguments, true, &m_ccuPath) &&
           m_meter.start({"--voltage", "400", "--current", "50", "--energy", "100"}, true, &m_meterPath);
}

bool Peers::startClient()
{
    m_client.process().setProcessChannelMode(QProcess::SeparateChannels);
    if (!m_client.start({"--data-dir", m_dataDir}, false))
        return false;
    m_upSince.start();
    return true;
}

void Peers::stopAll()
{
    pump();
    if (m_client.running())
        m_upBefore += m_upSince.elapsed();
    m_client.stop();
    m_ccu.stop();
    m_meter.stop();
}

bool Peers::restartClient(bool newFifos)
{
    pump();
    if (m_client.running())
        m_upBefore += m_upSince.elapsed();
    m_client.stop();
    pump();
    if (newFifos) {
        QFile::remove(QDir(m_dataDir).filePath("ocppin"));
        QFile::remove(QDir(m_dataDir).filePath("ocppout"));
    }
    return startClient();
}

void Peers::pump()
{
    const QByteArray output = m_client.process().readAllStandardOutput();
    if (!output.isEmpty())
        m_seen.feed(output);
}

qint64 Peers::clientUpMs() const
{
    return m_upBefore + (m_client.running() && m_upSince.isValid() ? m_upSince.elapsed() : 0);
}

} // namespace monkey
