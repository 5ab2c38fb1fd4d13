#ifndef MONKEY_PEERS_H
#define MONKEY_PEERS_H

// The charger's peers during one life of the monkey: the OCPP client
// simulator on the data directory's FIFOs, and in the device build the CCU
// and meter simulators on pseudo-terminals. Commands go to their stdin; what
// the OCPP client received is read from its stdout.

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace monkey {

// One simulator as a child process.
class PeerProcess
{
public:
    explicit PeerProcess(const QString &program);
    ~PeerProcess();
    PeerProcess(const PeerProcess &) = delete;
    PeerProcess &operator=(const PeerProcess &) = delete;

    // Starts it; when a first line is awaited (the serial simulators name
    // their pseudo-terminal there), returns it, else an empty text. False
    // when it did not start or named nothing in time.
    bool start(const QStringList &arguments, bool awaitFirstLine, QString *firstLine = nullptr);
    void send(const QString &line);
    void stop();
    bool running() const { return m_process.state() == QProcess::Running; }
    QProcess &process() { return m_process; }

private:
    QString m_program;
    QProcess m_process;
};

// What the OCPP client has received from the charger, from its printout.
struct ClientView
{
    QString lastStatus;         // of the last StatusNotification; empty before the first
    bool transactionOpen = false; // a StartTransaction came and no StopTransaction after it
    int starts = 0;
    int stops = 0;
    int statusNotifications = 0;
    int sent = 0;               // messages the client has written to the charger

    void feed(const QByteArray &output);

private:
    void line(const QByteArray &text);
    void finishBlock();
    void received(const QString &message);

    QByteArray m_pending;
    QByteArray m_block;
    bool m_inBlock = false;
};

class Peers
{
public:
    Peers(const QString &binDir, const QString &dataDir, bool device);

    // Starts the serial simulators (device build) and the OCPP client; the
    // serial ones first, their paths are needed before the charger starts.
    bool startSerial(const QStringList &ccuArguments);
    bool startClient();
    void stopAll();

    void client(const QString &command) { m_client.send(command); }
    void ccu(const QString &command) { m_ccu.send(command); }
    void meter(const QString &command) { m_meter.send(command); }

    // The client ends and starts again, on the same FIFOs or on new ones.
    bool restartClient(bool newFifos);

    // Reads what the client printed since the last call.
    void pump();

    bool clientUp() const { return m_client.running(); }
    // How long the client has been up in this life; the bounds of the
    // invariants that wait for it run on this clock.
    qint64 clientUpMs() const;

    const ClientView &seen() const { return m_seen; }
    QString ccuPath() const { return m_ccuPath; }
    QString meterPath() const { return m_meterPath; }
    bool device() const { return m_device; }

private:
    QString m_dataDir;
    bool m_device;
    PeerProcess m_client;
    PeerProcess m_ccu;
    PeerProcess m_meter;
    QString m_ccuPath;
    QString m_meterPath;
    ClientView m_seen;
    QElapsedTimer m_upSince;
    qint64 m_upBefore = 0;
};

} // namespace monkey

#endif // MONKEY_PEERS_H
