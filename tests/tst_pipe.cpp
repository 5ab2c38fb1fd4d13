// test-components: core pipe
// The FIFO transport: creation, one message per open-close in both
// directions, UTF-8 whatever the locale, nothing lost while the client is
// away or goes away mid-write, no spinning on a broken FIFO, and a shutdown
// that never hangs.

#include "ipc_pipe.h"
#include "testsupport.h"
#include "thread_pipe.h"
#include "tst_pipe_farend.h"

#include <QElapsedTimer>
#include <QTextCodec>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/stat.h>

class tst_pipe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void createsBothFifos();
    void keepsExistingFifos();
    void outgoingMessageBytes_data();
    void outgoingMessageBytes();
    void incomingMessageText_data();
    void incomingMessageText();
    void messagesWaitForTheClientInOrder();
    void clientGoingAwayMidWriteLosesNothing();
    void plainFileInsteadOfFifoDoesNotSpin();
    void oversizedMessageIsDropped();
    void shutdownNeverHangs_data();
    void shutdownNeverHangs();
    void stopStillDeliversWhatIsQueued();
};

enum Situation { Idle, WriterWaitsForClient, ClientHoldsInputOpen, ClientStopsReading };

static bool isFifo(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

void tst_pipe::initTestCase()
{
    // As the program does: a reader going away costs a failed write.
    std::signal(SIGPIPE, SIG_IGN);
}

void tst_pipe::createsBothFifos()
{
    TestDataDir dir;
    LogCapture log;
    {
        Thread_pipe pipe;
        QTRY_VERIFY(isFifo(dir.file("ocppin")) && isFifo(dir.file("ocppout")));
        QTRY_COMPARE(log.count("new a fifo file ."), 2);
    }
    QCOMPARE(log.count("file is already exist."), 0);
}

void tst_pipe::keepsExistingFifos()
{
    TestDataDir dir;
    { Thread_pipe first; QTRY_VERIFY(isFifo(dir.file("ocppin")) && isFifo(dir.file("ocppout"))); }
    LogCapture log;
    {
        Thread_pipe second;
        QTRY_VERIFY(log.contains("file is already exist."));
        QTRY_VERIFY(log.contains("pipe thread read="));
    }
    QCOMPARE(log.count("new a fifo file ."), 0);
    QCOMPARE(log.count("file is already exist."), 1); // the writer's; the reader says nothing
}

void tst_pipe::outgoingMessageBytes_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QString("1=Authorize={\n}\n") << QByteArray("1=Authorize={\n}\n\n");
    QTest::newRow("non-ascii") << QString::fromUtf8("Jürgen ✓ 日本") << QByteArray("J\xc3\xbcrgen \xe2\x9c\x93 \xe6\x97\xa5\xe6\x9c\xac\n");
    QTest::newRow("empty") << QString() << QByteArray("\n");
}

void tst_pipe::outgoingMessageBytes()
{
    QFETCH(QString, message);
    QFETCH(QByteArray, bytes);
    // A panel in the C locale must still send UTF-8.
    QTextCodec *previous = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    TestDataDir dir;
    Thread_pipe pipe;
    FarEnd client(dir.path());
    client.startReading();
    emit pipe.ocppwrite(message);
    QTRY_COMPARE(client.chunks().size(), 1);
    QTextCodec::setCodecForLocale(previous);
    QCOMPARE(client.chunks().first(), bytes);
}

void tst_pipe::incomingMessageText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("line feed kept") << QByteArray("1=AuthorizeResponse={}\n") << QString("1=AuthorizeResponse={}\n");
    QTest::newRow("utf-8") << QByteArray("k=Reset={\"type\":\"J\xc3\xbcrgen\"}") << QString::fromUtf8("k=Reset={\"type\":\"Jürgen\"}");
    QTest::newRow("cut at NUL") << QByteArray("abc\0def", 7) << QString("abc");
    QTest::newRow("NUL first") << QByteArray("\0abc", 4) << QString();
    QTest::newRow("two in one open") << QByteArray("1=A={}\n2=B={}\n") << QString("1=A={}\n2=B={}\n");
    QTest::newRow("backslashes pass") << QByteArray("a\\\"b") << QString("a\\\"b");
}

void tst_pipe::incomingMessageText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    TestDataDir dir;
    Thread_pipe pipe;
    QStringList received;
    QObject sink;
    connect(pipe.ocppin, &IPC_Pipe::signal_ocppin, &sink, [&](const QString &t) { received << t; });
    FarEnd client(dir.path());
    QVERIFY(client.send(bytes));
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.first(), text);
}

void tst_pipe::messagesWaitForTheClientInOrder()
{
    TestDataDir dir;
    LogCapture log;
    Thread_pipe pipe;
    for (int i = 1; i <= 3; ++i)
        emit pipe.ocppwrite(QString("1=Msg=%1\n}\n").arg(i));
    // Nobody reads: the writer waits, the GUI thread does not.
    QTRY_VERIFY(log.contains("pipe thread write="));
    QTest::qWait(50);
    FarEnd client(dir.path());
    client.startReading();
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(client.next(), QString("1=Msg=%1\n}\n\n").arg(i).toUtf8());
    QCOMPARE(client.next(100), QByteArray());
}

void tst_pipe::clientGoingAwayMidWriteLosesNothing()
{
    TestDataDir dir;
    LogCapture log;
    Thread_pipe pipe;
    QTRY_VERIFY(isFifo(dir.file("ocppout")));
    // Larger than the pipe buffer, so the writer is still writing when the
    // client leaves.
    QString big = "1=MeterValues={\n";
    big += QString(300000, 'x');
    big += "\n}\n";

    FarEnd client(dir.path());
    const int fd = ::open(client.outPath().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(fd >= 0);
    emit pipe.ocppwrite(big);
    pollfd p = {fd, POLLIN, 0};
    QVERIFY(::poll(&p, 1, 3000) == 1);
    char some[1000];
    QVERIFY(::read(fd, some, sizeof some) > 0);
    ::close(fd);
    QTRY_VERIFY(log.contains("sent again at the next open"));

    client.startReading();
    QCOMPARE(client.next(), (big + '\n').toUtf8());
}

void tst_pipe::plainFileInsteadOfFifoDoesNotSpin()
{
    TestDataDir dir;
    QVERIFY(dir.write("ocppin", "1=Reset={\"type\": \"Soft\"}"));
    LogCapture log;
    QElapsedTimer clock;
    clock.start();
    {
        Thread_pipe pipe;
        QStringList received;
        QObject sink;
        connect(pipe.ocppin, &IPC_Pipe::signal_ocppin, &sink, [&](const QString &t) { received << t; });
        QTRY_VERIFY(log.contains("open pipe failed."));
        QTest::qWait(300);
        QCOMPARE(log.count("open pipe failed."), 1); // one pass per second, not a spin
        QVERIFY(received.isEmpty());
        clock.restart();
    }
    QVERIFY2(clock.elapsed() < 1000, "the pause after a failed open must not hold up shutdown");
}

void tst_pipe::oversizedMessageIsDropped()
{
    TestDataDir dir;
    LogCapture log;
    Thread_pipe pipe;
    QStringList received;
    QObject sink;
    connect(pipe.ocppin, &IPC_Pipe::signal_ocppin, &sink, [&](const QString &t) { received << t; });
    FarEnd client(dir.path());
    QVERIFY(client.send(QByteArray(3 * 1024 * 1024, '{'), 10000));
    QTRY_VERIFY(log.contains("dropped, too long"));
    QVERIFY(client.send("1=AuthorizeResponse={}"));
    QTRY_COMPARE(received, QStringList{"1=AuthorizeResponse={}"});
}

void tst_pipe::shutdownNeverHangs_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<bool>("stopFirst");
    for (bool stopFirst : {false, true}) {
        const char *how = stopFirst ? "stop, then destroy: " : "destroy: ";
        QTest::newRow(qPrintable(QString(how) + "idle")) << int(Idle) << stopFirst;
        QTest::newRow(qPrintable(QString(how) + "writer waits for a client")) << int(WriterWaitsForClient) << stopFirst;
        QTest::newRow(qPrintable(QString(how) + "client holds ocppin open")) << int(ClientHoldsInputOpen) << stopFirst;
        QTest::newRow(qPrintable(QString(how) + "client stops reading")) << int(ClientStopsReading) << stopFirst;
    }
}

void tst_pipe::shutdownNeverHangs()
{
    QFETCH(int, situation);
    QFETCH(bool, stopFirst);
    TestDataDir dir;
    LogCapture log;
    FarEnd client(dir.path());
    int held = -1;
    auto pipe = std::make_unique<Thread_pipe>();
    QTRY_VERIFY(isFifo(dir.file("ocppout")) && log.contains("pipe thread read="));
    switch (situation) {
    case WriterWaitsForClient:
        emit pipe->ocppwrite("1=Authorize={\n}\n");
        QTRY_VERIFY(log.contains("pipe thread write="));
        break;
    case ClientHoldsInputOpen:
        held = client.openIn();
        QVERIFY(held >= 0);
        QVERIFY(::write(held, "1=Auth", 6) == 6);
        break;
    case ClientStopsReading:
        held = ::open(client.outPath().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        QVERIFY(held >= 0);
        emit pipe->ocppwrite(QString(200000, 'x'));
        QTRY_VERIFY(log.contains("pipe thread write="));
        break;
    default:
        break;
    }
    QTest::qWait(20);
    QElapsedTimer clock;
    clock.start();
    if (stopFirst) {
        pipe->stop();
        QVERIFY2(clock.elapsed() < 1500, "stop() hung");
        QVERIFY(!timer_starttransaction_retry_1);
        QVERIFY(!pipe->Ocppout_Write_Thread);
        clock.restart();
    }
    pipe.reset();
    QVERIFY2(clock.elapsed() < 1500, "destructor hung");
    if (held >= 0)
        ::close(held);
}

void tst_pipe::stopStillDeliversWhatIsQueued()
{
    TestDataDir dir;
    Thread_pipe pipe;
    FarEnd client(dir.path());
    client.startReading();
    QTRY_VERIFY(isFifo(dir.file("ocppout")));
    for (int i = 1; i <= 3; ++i)
        emit pipe.ocppwrite(QString("1=StopTransaction={\n    \"n\": %1\n}\n").arg(i));
    pipe.stop();
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(client.next(), QString("1=StopTransaction={\n    \"n\": %1\n}\n\n").arg(i).toUtf8());
}

QTEST_GUILESS_MAIN(tst_pipe)
#include "tst_pipe.moc"
