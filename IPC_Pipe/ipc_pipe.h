#ifndef IPC_PIPE_H
#define IPC_PIPE_H

// One end of one FIFO to the local OCPP client. The reading end delivers one
// message per open-close of the client; the writing end sends each message in
// its own open-write-close cycle. Both block only on their own thread and can
// always be released for shutdown.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class QThread;

// Stop state of one pipe end. Shared between the end (on its thread) and its
// owner (on the GUI thread), so the owner can still signal it while the end
// deletes itself at thread finish.
struct PipeControl
{
    PipeControl();
    ~PipeControl();
    PipeControl(const PipeControl &) = delete;
    PipeControl &operator=(const PipeControl &) = delete;

    void wake();

    std::atomic<bool> stopping{false}; // abandon everything at once
    std::atomic<bool> draining{false}; // write what is queued, never wait for a client
    int wakeFd = -1;                   // readable once stop or drain was asked for
};

class IPC_Pipe : public QObject
{
    Q_OBJECT
public:
    explicit IPC_Pipe(const char *name, QObject *parent = nullptr);
    ~IPC_Pipe() override;

    QByteArray pipedata;
    const char *pipename; // points into m_path, which never changes

    // Largest message the reading end accepts; OCPP messages are a few
    // hundred bytes, anything far beyond is not a message of the client.
    static constexpr int MaxMessageBytes = 1 << 20;
    // Messages kept for a FIFO that cannot be opened.
    static constexpr int MaxPendingMessages = 1000;
    // Quiet time after each message written, so the client sees its end.
    static constexpr int InterMessageGapMs = 20;
    // A FIFO the client removed or replaced by a new one is noticed within
    // this time, by comparing the node at the path with the one held open.
    static constexpr int NodeCheckMs = 2000;
    // A writer whose client is not reading tries again this often (at once
    // when the client opens the FIFO, where the system reports it).
    static constexpr int ClientRetryMs = 1000;
    // Without a wake-up event (none could be made), stop is looked for this
    // often, so that shutdown stays bounded.
    static constexpr int NoWakeSliceMs = 100;

    // Ends the thread an end lives on, from the thread that owns it.
    // Reading end: PipeRead returns at once. Writing end: what is queued still
    // goes out to a client that is reading, for at most graceMs; a writer
    // blocked in an open with nobody at the far end is released.
    // Call each once, while the end is alive (only these end its thread).
    static void finishReader(QThread *thread, IPC_Pipe *end);
    static void finishWriter(QThread *thread, IPC_Pipe *end, int graceMs = 300);

signals:
    void signal_ocppin(QString);

public slots:
    void PipeRead();
    void PipeWrite(QString message);
    void PipeInit();

private slots:
    // Ends the writer's thread once the writes queued before it are done.
    void quitThread();

private:
    enum class ReadResult { Message, TooLong, Failed, Replaced, Stopped };
    bool createFifo(bool logExisting);
    bool isCurrentNode(int fd) const;
    int sliceMs(int ms) const;
    ReadResult readOneMessage(QByteArray &data);
    int openForWrite();
    void waitForClient();
    bool writeAll(int fd, const QByteArray &bytes);
    void flushPending();
    void pause(int ms);

    const QByteArray m_path;
    const std::shared_ptr<PipeControl> m_control;
    QList<QByteArray> m_pending; // writing end: encoded messages not yet delivered
    int m_watch = -1;             // writing end: reports opens in the FIFO's directory
};

#endif // IPC_PIPE_H
