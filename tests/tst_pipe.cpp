// test-components: common pipe
// The FIFO transport: nothing lost while the client is away or leaves
// mid-write, no spinning on a broken FIFO, a shutdown that never hangs.

#include "ipc_pipe.h"
#include "testsupport.h"
#include "thread_pipe.h"
#include "tst_pipe_farend.h"

#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

enum Situation { Idle, WriterWaitsForClient, ClientHoldsInputOpen, ClientStopsReading };

class tst_pipe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); } // as the program does

    void messagesWaitForTheClientInOrder()
    {
        TestDataDir dir;
        LogCapture log;
        Thread_pipe pipe;
        for (int i = 1; i <= 3; ++i)
            emit pipe.ocppwrite(QString("1=Msg=%1\n}\n").arg(i));
        QTRY_VERIFY(log.contains("pipe thread write=")); // blocked in its open, off the GUI thread
        FarEnd client(dir.path());
        client.startReading();
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(client.next(), QString("1=Msg=%1\n}\n\n").arg(i).toUtf8());
        QCOMPARE(client.next(100), QByteArray());
    }

    void clientGoingAwayMidWriteLosesNothing()
    {
        TestDataDir dir;
        LogCapture log;
        Thread_pipe pipe;
        QTRY_COMPARE(log.count("new a fifo file ."), 2);
        // Larger than the pipe buffer: the writer is still at it when the client leaves.
        const QString big = "1=MeterValues={\n" + QString(300000, 'x') + "\n}\n";
        FarEnd client(dir.path());
        const int fd = client.openOut();
        QVERIFY(fd >= 0);
        emit pipe.ocppwrite(big);
        pollfd p = {fd, POLLIN, 0};
        char some[1000];
        QVERIFY(::poll(&p, 1, 3000) == 1 && ::read(fd, some, sizeof some) > 0);
        ::close(fd);
        QTRY_VERIFY(log.contains("sent again at the next open"));
        client.startReading();
        QCOMPARE(client.next(), (big + '\n').toUtf8());
    }

    // Something else than a FIFO at either path (a plain file left by a
    // careless client or an "echo > ocppin") is replaced by a FIFO, and
    // messages go through it both ways.
    void plainFileInPlaceOfAFifo_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("ocppin") << "ocppin";
        QTest::newRow("ocppout") << "ocppout";
    }
    void plainFileInPlaceOfAFifo()
    {
        QFETCH(QString, name);
        TestDataDir dir;
        QVERIFY(dir.write(name, "1=Reset={\"type\": \"Soft\"}"));
        LogCapture log;
        Thread_pipe pipe;
        QStringList received;
        connect(pipe.ocppin, &IPC_Pipe::signal_ocppin, this, [&](const QString &t) { received << t; });
        emit pipe.ocppwrite("1=Authorize={\n}\n");
        QTRY_VERIFY(log.contains(name + " is not a FIFO: replaced by a new FIFO"));
        FarEnd client(dir.path());
        client.startReading();
        QCOMPARE(client.next(), QByteArray("1=Authorize={\n}\n\n"));
        QVERIFY(client.send("1=AuthorizeResponse={}"));
        QTRY_COMPARE(received, QStringList{"1=AuthorizeResponse={}"});
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(dir.file(name)).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
        QCOMPARE(log.count("is not a FIFO"), 1);
    }

    // No wake-up event could be made for an end (no descriptor left as it
    // was made): its thread still ends promptly, idle or waiting.
    void shutdownBoundedWithoutWakeUpEvent_data()
    {
        QTest::addColumn<bool>("reader");
        QTest::newRow("reading end") << true;
        QTest::newRow("writing end, waiting for a client") << false;
    }
    void shutdownBoundedWithoutWakeUpEvent()
    {
        QFETCH(bool, reader);
        TestDataDir dir;
        LogCapture log;
        const QByteArray path = QFile::encodeName(dir.file(reader ? "ocppin" : "ocppout"));
        IPC_Pipe *end = nullptr;
        {
            rlimit saved;
            QVERIFY(::getrlimit(RLIMIT_NOFILE, &saved) == 0);
            rlimit tight = saved;
            tight.rlim_cur = 256;
            QVERIFY(::setrlimit(RLIMIT_NOFILE, &tight) == 0);
            std::vector<int> held;
            for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;)
                held.push_back(fd);
            end = new IPC_Pipe(path.constData());
            for (int fd : held)
                ::close(fd);
            QVERIFY(::setrlimit(RLIMIT_NOFILE, &saved) == 0);
        }
        QThread thread;
        end->moveToThread(&thread);
        connect(&thread, &QThread::finished, end, &QObject::deleteLater);
        connect(&thread, &QThread::started, end, reader ? &IPC_Pipe::PipeRead : &IPC_Pipe::PipeInit);
        thread.start();
        if (!reader)
            QMetaObject::invokeMethod(end, "PipeWrite", Qt::QueuedConnection, Q_ARG(QString, "1=Authorize={\n}\n"));
        QTRY_VERIFY(log.contains(reader ? "pipe thread read=" : "pipe thread write="));
        QTest::qWait(50);

        std::atomic<bool> done{false};
        std::thread finisher([&] {
            if (reader)
                IPC_Pipe::finishReader(&thread, end);
            else
                IPC_Pipe::finishWriter(&thread, end);
            done = true;
        });
        const bool prompt = QTest::qWaitFor([&] { return done.load(); }, 3000);
        if (!prompt) { // its thread cannot be left behind: the process ends here
            std::fprintf(stderr, "FAIL: the %s end did not end without its wake-up event\n", reader ? "reading" : "writing");
            std::abort();
        }
        finisher.join();
    }

    void oversizedMessageIsDropped()
    {
        TestDataDir dir;
        LogCapture log;
        Thread_pipe pipe;
        QStringList received;
        connect(pipe.ocppin, &IPC_Pipe::signal_ocppin, this, [&](const QString &t) { received << t; });
        FarEnd client(dir.path());
        QVERIFY(client.send(QByteArray(3 * 1024 * 1024, '{'), 10000));
        QTRY_VERIFY(log.contains("dropped, too long"));
        QVERIFY(client.send("1=AuthorizeResponse={}"));
        QTRY_COMPARE(received, QStringList{"1=AuthorizeResponse={}"});
    }

    void shutdownNeverHangs_data()
    {
        QTest::addColumn<int>("situation");
        const char *names[] = {"idle", "writer waits for a client", "client holds ocppin open", "client stops reading"};
        for (int s = Idle; s <= ClientStopsReading; ++s)
            QTest::newRow(names[s]) << s;
    }
    void shutdownNeverHangs()
    {
        QFETCH(int, situation);
        TestDataDir dir;
        LogCapture log;
        FarEnd client(dir.path());
        int held = -1;
        auto pipe = std::make_unique<Thread_pipe>();
        QTRY_VERIFY(log.count("new a fifo file .") == 2 && log.contains("pipe thread read="));
        if (situation == WriterWaitsForClient)
            emit pipe->ocppwrite("1=Authorize={\n}\n");
        if (situation == ClientHoldsInputOpen)
            QVERIFY((held = client.openIn()) >= 0 && ::write(held, "1=Auth", 6) == 6);
        if (situation == ClientStopsReading) {
            QVERIFY((held = client.openOut()) >= 0);
            emit pipe->ocppwrite(QString(200000, 'x'));
        }
        if (situation == WriterWaitsForClient || situation == ClientStopsReading)
            QTRY_VERIFY(log.contains("pipe thread write="));
        QTest::qWait(20);
        QElapsedTimer clock;
        clock.start();
        pipe.reset(); // the same teardown as stop()
        QVERIFY2(clock.elapsed() < 1500, "destructor hung");
        if (held >= 0)
            ::close(held);
    }
};

QTEST_GUILESS_MAIN(tst_pipe)
#include "tst_pipe.moc"
