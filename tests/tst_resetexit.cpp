// test-components: common
// A Reset from the central system, end to end: the real program with the
// OCPP client simulator on its FIFOs hands over to the reset script in its
// data directory and then ends with exit code 3, so that its service manager
// starts it again, whether the script returned, ended it by SIGTERM or was
// refused.
#include "ptysupport.h"
#include "resetscript.h"
#include "testsupport.h"

#include <QtTest>

#include <sys/stat.h>

class tst_ResetExit : public QObject
{
    Q_OBJECT
private slots:
    void resetEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: none
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("logged");
        const QByteArray records = "echo \"$HMI_PID\" > \"$(dirname \"$0\")/ran\"\n";
        QTest::newRow("script returns") << records << 0755 << "ended with exit status 0";
        // The workstation's script: SIGTERM to the program while it waits.
        QTest::newRow("script sends SIGTERM") << records + "kill -TERM \"$HMI_PID\"\n" << 0755
                                              << "ended with exit status 0";
        QTest::newRow("script group-writable") << records << 0775 << "reset script refused:";
        QTest::newRow("no script") << QByteArray() << 0 << "reset script missing:";
    }
    void resetEndsTheProgram()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, mode);
        QFETCH(QString, logged);
        const bool runs = mode == 0755;
        TestDataDir dir;
        if (!script.isEmpty()) {
            QVERIFY(dir.write("softwarereset.sh", script));
            QCOMPARE(::chmod(QFile::encodeName(dir.file("softwarereset.sh")).constData(), mode_t(mode)), 0);
        }

        QProcess hmi;
        hmi.setProcessChannelMode(QProcess::MergedChannels);
        hmi.start(QStringLiteral(HMI_BIN_DIR "/charger-hmi"),
                  {"-platform", "offscreen", "--data-dir", dir.path(), "--gpio-prefix", dir.file("gpio")});
        QVERIFY(hmi.waitForStarted(5000));
        const qint64 pid = hmi.processId();
        // The Reset once the program ticks: a message that is waiting before
        // the link has wired its reader is lost (a fault of the link's start).
        QByteArray output;
        QElapsedTimer up;
        up.start();
        while (!output.contains("show page") && up.elapsed() < 30000 && hmi.state() == QProcess::Running) {
            hmi.waitForReadyRead(500);
            output += hmi.readAll();
        }
        Simulator client;
        client.start("ocpp-client-sim", {"--data-dir", dir.path()});
        QVERIFY(client.send("Reset Soft"));
        QVERIFY(client.process.waitForBytesWritten(5000));

        const bool ended = hmi.waitForFinished(30000);
        output += hmi.readAll();
        if (!ended)
            hmi.kill();
        QVERIFY2(ended, output.right(3000).constData());
        // Under a sanitizer a report would change the exit code: the log tells.
        QCOMPARE(hmi.exitStatus(), QProcess::NormalExit);
        QVERIFY2(hmi.exitCode() == ExitAfterReset, output.right(6000).constData());
        QVERIFY2(output.contains("software reset!!!"), output.right(2000).constData());
        QVERIFY2(output.contains(logged.toUtf8()), output.right(2000).constData());
        QCOMPARE(dir.read("ran").trimmed(), runs ? QByteArray::number(pid) : QByteArray());
    }
};

QTEST_GUILESS_MAIN(tst_ResetExit)
#include "tst_resetexit.moc"
