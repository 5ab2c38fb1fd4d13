// test-components: common
// `charger-hmi --set-service-pin`, the real program on a real terminal: the
// PIN asked twice and never echoed, what it refuses, and that it never takes
// the PIN from the command line.
#include "servicepin.h"
#include "testsupport.h"

#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

namespace {
// A terminal as a technician's shell leaves it (echo on, lines), the
// program on its slave end, the test typing on the master end.
class Terminal
{
public:
    Terminal()
    {
        char name[256] = {0};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Terminal() { ::close(m_master), ::close(m_slave); }
    bool type(const QByteArray &line) { return ::write(m_master, line.constData(), size_t(line.size())) == line.size(); }
    // What the terminal showed, echoed input included.
    QByteArray shown()
    {
        char buf[1024];
        ssize_t n;
        while ((n = ::read(m_master, buf, sizeof buf)) > 0)
            m_shown.append(buf, int(n));
        return m_shown;
    }
    QString path;

private:
    int m_master = -1, m_slave = -1;
    QByteArray m_shown;
};

bool waitFor(QProcess &p, QByteArray &out, const QByteArray &text)
{
    QElapsedTimer t;
    t.start();
    while (!out.contains(text) && t.elapsed() < 10000 && p.state() == QProcess::Running) {
        p.waitForReadyRead(200);
        out += p.readAllStandardOutput();
    }
    return out.contains(text);
}
} // namespace

class tst_SetServicePin : public QObject
{
    Q_OBJECT
private slots:
    void entries_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second"); // empty: not asked
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("told");
        QTest::newRow("same twice") << QByteArray("246813") << QByteArray("246813") << 0 << "Service PIN stored";
        QTest::newRow("differ") << QByteArray("246813") << QByteArray("246831") << 1 << "differ";
        QTest::newRow("empty") << QByteArray("") << QByteArray() << 1 << "empty";
        QTest::newRow("not digits") << QByteArray("13a5") << QByteArray() << 1 << "digits only";
    }
    void entries()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(int, exitCode);
        QFETCH(QString, told);
        TestDataDir dir;
        Terminal tty;
        QVERIFY(!tty.path.isEmpty());
        QProcess hmi;
        hmi.setStandardInputFile(tty.path);
        hmi.start(QStringLiteral(HMI_BIN_DIR "/charger-hmi"), {"--set-service-pin", "--data-dir", dir.path()});
        QVERIFY(hmi.waitForStarted(5000));
        QByteArray out;
        QVERIFY2(waitFor(hmi, out, "PIN (digits): "), out.constData());
        QVERIFY(tty.type(first + '\n'));
        if (!second.isNull()) {
            QVERIFY2(waitFor(hmi, out, "again: "), out.constData());
            QVERIFY(tty.type(second + '\n'));
        }
        QVERIFY(hmi.waitForFinished(10000));
        out += hmi.readAllStandardOutput();
        const QByteArray errors = hmi.readAllStandardError();
        QCOMPARE(hmi.exitCode(), exitCode);
        QVERIFY2((out + errors).contains(told.toUtf8()), (out + errors).constData());
        if (!first.isEmpty())
            QVERIFY2(!tty.shown().contains(first), tty.shown().constData()); // never echoed
        QCOMPARE(QFile::exists(dir.file("Service.json")), exitCode == 0);
        if (exitCode == 0)
            QCOMPARE(ServicePin(dir.path() + '/').check(QString::fromLatin1(first)), ServicePin::Result::Accepted);
    }

    // Never from the command line or a pipe; the program does not start
    // either.
    void refusedWays_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("told");
        QTest::newRow("PIN as a value") << QStringList{"--set-service-pin=2468"} << "takes no value";
        QTest::newRow("no terminal") << QStringList{"--set-service-pin"} << "on a terminal";
    }
    void refusedWays()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, told);
        TestDataDir dir;
        QProcess hmi;
        hmi.setStandardInputFile(QProcess::nullDevice());
        hmi.start(QStringLiteral(HMI_BIN_DIR "/charger-hmi"),
                  args + QStringList{"--data-dir", dir.path(), "-platform", "offscreen"});
        QVERIFY(hmi.waitForFinished(10000));
        QCOMPARE(hmi.exitCode(), 2);
        QVERIFY(hmi.readAllStandardError().contains(told.toUtf8()));
        QVERIFY(!QFile::exists(dir.file("Service.json")));
    }
};

QTEST_GUILESS_MAIN(tst_SetServicePin)
#include "tst_setservicepin.moc"
