#ifndef OCPP_BRIDGE_FIFOENDS_H
#define OCPP_BRIDGE_FIFOENDS_H

// The bridge's ends of the HMI's two FIFOs, on the bridge's one thread,
// never blocking it:
// - "ocppout" (HMI to bridge) is kept open for reading; each time the HMI
//   closes its end (one message per open-close) what came is delivered;
// - "ocppin" (bridge to HMI) is opened for each message, written and closed,
//   with a quiet gap after it so the HMI's reader sees the end of each one.
//   A message that cannot reach the HMI before its time is up is dropped.

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// Makes sure a FIFO exists at path; false (and why) when something else is there.
bool ensureFifo(const QString &path, QString *problem);

class HmiFifoReader : public QObject
{
    Q_OBJECT
public:
    explicit HmiFifoReader(const QString &path, QObject *parent = nullptr);
    ~HmiFifoReader() override;

    void start();

    // More than this in one open-close is no message of the HMI.
    static constexpr int MaxChunkBytes = 1 << 20;

signals:
    // Everything the HMI wrote between one open and its close.
    void chunkReceived(const QByteArray &chunk);

private:
    void openFifo();
    void closeFifo();
    void readable();

    const QString m_path;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_chunk;
    bool m_overflow = false;
    QTimer m_retry;
};

class HmiFifoWriter : public QObject
{
    Q_OBJECT
public:
    explicit HmiFifoWriter(const QString &path, QObject *parent = nullptr);
    ~HmiFifoWriter() override;

    // Queues one message; it is dropped unless it reaches the HMI within
    // ttlMs. Returns a handle for cancel().
    quint64 send(const QByteArray &message, int ttlMs);
    // Drops a message that has not been written yet; false if it was.
    bool cancel(quint64 handle);
    int waiting() const { return m_queue.size(); }

    static constexpr int GapMs = 20;       // after each message
    static constexpr int NoReaderRetryMs = 100;

private:
    struct Pending
    {
        quint64 handle;
        QByteArray bytes;
        QElapsedTimer age;
        int ttlMs;
    };
    void pump();
    void writable();
    void finishCurrent(bool written);
    void schedule(int ms);

    const QString m_path;
    QList<Pending> m_queue;
    quint64 m_nextHandle = 1;
    int m_fd = -1;          // open while the head message is being written
    qint64 m_written = 0;   // bytes of the head message already written
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_timer;
    QElapsedTimer m_writeStarted;
};

#endif // OCPP_BRIDGE_FIFOENDS_H
