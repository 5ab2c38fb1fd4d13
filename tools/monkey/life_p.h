#ifndef MONKEY_LIFE_P_H
#define MONKEY_LIFE_P_H

// What the three parts of a life share: set-up and end (life.cpp), the
// stream of steps (life_stream.cpp), the invariants (life_checks.cpp).

#include "application.h"
#include "globalvariable.h"
#include "life.h"
#include "panel.h"
#include "peers.h"
#include "shutdown.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>

namespace monkey {

// Bounds of the invariants. Time the OCPP client is down does not count.
constexpr int LoopAnswerMs = 5000;     // a due timer fires within this
constexpr int StatusSeenMs = 15000;    // the client sees the connector's status
constexpr int StopSeenMs = 15000;      // the client sees a StopTransaction the charger sent
constexpr int InboundMs = 15000;       // the client writes what it was told to send, the charger reads it
constexpr int TransactionEndTicks = 60; // ticks off the charging pages before the StopTransaction,
constexpr int TransactionEndMs = 30000; // and time: a start answered late is re-sent on the retry timer
constexpr int HeldStopMs = 60000;      // a stop waiting for its start's transactionId, the client answering

int64_t monotonicMs();
void raiseTo(std::atomic<int64_t> &value, int64_t candidate);
// The charger's last log lines, for a failure report.
QStringList logTail();

class Life : public QObject
{
public:
    Life(const Options &options, Record &record)
        : m_o(options), m_rec(record), m_rng(lifeSeed(options.seed, record.life)),
          m_peers(options.binDir, options.dataDir(), !DebugMode_ChargerGun)
    {
    }

    int run();

private:
    struct Item
    {
        int delayMs;
        std::function<void()> act;
    };

    // ------------------------------------------------ random stream
    quint64 next() { return m_rng(); }
    int below(int n) { return n <= 1 ? 0 : int(next() % quint64(n)); }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    bool chance(double p) { return unit() < p; }
    template<typename T> const T &oneOf(const QVector<T> &list) { return list.at(below(list.size())); }

    // ------------------------------------------------ set-up and end
    bool prepareFiles();
    bool startCharger();
    void resetEnded(int exitCode);
    int finish(int code);

    // ------------------------------------------------ steps
    void schedule(int delayMs, std::function<void()> act) { m_queue.push_back({delayMs, std::move(act)}); }
    void runQueue();
    void stepDone();
    void drawStep();
    void note(const QString &what);
    void tick();
    QPoint somewhere();
    QPoint aimed(QString *name);
    void tap(const QPoint &p, bool quick = false);
    void touchStep();
    void keyStep();
    void peerStep();
    void clientSends(const QString &command);

    // ------------------------------------------------ invariants
    void check();
    void fail(const QString &what);
    // A fault of the session's rules rather than of the program: reported
    // with its seed and step, once per kind and life; the life goes on.
    void finding(const QString &kind, const QString &what);
    QString pageProblem() const;
    void watchTransactions();
    void checkRegister();
    bool cwdClean(QString *found) const;

    const Options &m_o;
    Record &m_rec;
    std::mt19937_64 m_rng;
    Peers m_peers;
    std::unique_ptr<ChargerApplication> m_app;
    std::unique_ptr<Panel> m_panel;
    std::unique_ptr<ShutdownSignals> m_shutdown;
    QVector<Item> m_queue;
    int64_t m_dueAt = 0;
    int64_t m_step = 0;
    int m_ticks = 0;
    bool m_failed = false;
    QString m_stoppedBy; // "reset", "exit" or empty
    int m_resetsAsked = 0;
    qint64 m_resetLogSize = 0; // of monkey-resets.log when the life began

    // Transactions as the charger requests them, and what the client saw.
    bool m_transactionOpen = false;
    QStringList m_startRequests; // the values startRequest took during the open transaction
    QStringList m_trail;         // page/status and what was done, while the transaction is open
    int m_offChargingTicks = 0;      // the tick the session left the charging pages
    int64_t m_offChargingSince = 0;
    int64_t m_transactionStep = 0;
    QVector<qint64> m_stopsInFlight; // client-up time of each StopTransaction not seen yet
    qint64 m_heldSince = -1;         // client-up time since a stop waits for its start's answer
    bool m_clientSilent = false;     // told to answer nothing
    int m_stopsSeen = 0;
    bool m_statusUnknown = false;    // the client restarted: what it knew may be lost
    int m_notificationsSent = 0;     // StatusNotification requests of the charger
    int m_notificationsAtRestart = 0;
    QStringList m_findings;
    // The way back: what the client was told to send and has written, and
    // what the charger has read.
    int m_received = 0;          // messages the charger has read
    int m_receivedBefore = 0;
    int m_sentBefore = 0;
    qint64 m_commandSince = -1;  // client-up time of a command still to be written
    int m_sentAtCommand = 0;
    int64_t m_unreadSince = -1;  // the client wrote and the charger has read nothing since
    qint64 m_mismatchSince = -1;
    QString m_lastPage;
    QString m_lastStatus;
};

} // namespace monkey

#endif // MONKEY_LIFE_P_H
