// test-components: common
// The reset script hand-over on real files and a real shell: which scripts
// are refused and why, what the script is given, and what is logged of its
// end. (tst_resetexit runs the whole hand-over in the real program.)
#include "resetscript.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray Script = "echo \"$HMI_PID $0\" > \"$(dirname \"$0\")/ran\"\n";
}

class tst_ResetScript : public QObject
{
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<QString>("kind"); // file, symlink, fifo, missing
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refused"); // a fragment of the reason; empty: may run
        QTest::newRow("0644") << "file" << 0644 << false << Script << "";
        QTest::newRow("group-writable") << "file" << 0775 << false << Script << "writable by its group (mode 0775)";
        QTest::newRow("world-writable") << "file" << 0757 << false << Script << "writable by anyone (mode 0757)";
        QTest::newRow("another user's") << "file" << 0755 << true << Script << "owned by uid 65534, neither";
        QTest::newRow("symbolic link") << "symlink" << 0755 << false << Script << "a symbolic link";
        QTest::newRow("fifo") << "fifo" << 0644 << false << QByteArray() << "not a regular file";
        QTest::newRow("missing") << "missing" << 0 << false << QByteArray() << "No such file";
        QTest::newRow("binary") << "file" << 0755 << false << QByteArray("\x7f" "ELF\0\1", 6) << "not a text file";
    }
    void check()
    {
        QFETCH(QString, kind);
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        QFETCH(QByteArray, content);
        QFETCH(QString, refused);
        if (otherOwner && ::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        TestDataDir dir;
        const QString path = dir.file("softwarereset.sh");
        const QString file = kind == "symlink" ? dir.file("elsewhere.sh") : path;
        const QByteArray native = QFile::encodeName(file);
        if (kind == "fifo")
            QCOMPARE(::mkfifo(native.constData(), mode_t(mode)), 0);
        else if (kind != "missing")
            QVERIFY(dir.write(QFileInfo(file).fileName(), content) && ::chmod(native.constData(), mode_t(mode)) == 0);
        if (kind == "symlink")
            QVERIFY(QFile::link(file, path));
        if (otherOwner)
            QCOMPARE(::chown(native.constData(), 65534, 65534), 0);

        const ResetScriptCheck c = checkResetScript(path);
        QVERIFY2(refused.isEmpty() ? c.refusal.isEmpty() : c.refusal.contains(refused), qPrintable(c.refusal));
        QCOMPARE(c.missing, kind == "missing");
        QCOMPARE(c.content, refused.isEmpty() ? content : QByteArray());
    }

    // What runs is what was checked; the script gets the program's PID and
    // its own path, the program's own environment stays as it was.
    void runsTheCheckedText()
    {
        TestDataDir dir;
        QVERIFY(dir.write("softwarereset.sh", Script));
        const QString path = dir.file("softwarereset.sh");
        const ResetScriptCheck checked = checkResetScript(path);
        QVERIFY(dir.write("softwarereset.sh", "touch \"$(dirname \"$0\")/swapped\"\n")); // swapped after the check
        QVERIFY(runResetScript(path, checked));
        QCOMPARE(dir.read("ran").trimmed(),
                 QByteArray::number(QCoreApplication::applicationPid()) + ' ' + QFile::encodeName(path));
        QVERIFY(!QFile::exists(dir.file("swapped")));
        QVERIFY(!qEnvironmentVariableIsSet("HMI_PID"));
    }

    void endLogged_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<QString>("logged");
        QTest::newRow("fails") << QByteArray("exit 7\n") << 5000 << "ended with exit status 7";
        QTest::newRow("killed") << QByteArray("kill -KILL $$\n") << 5000 << "ended by a signal";
        QTest::newRow("hangs") << QByteArray("exec sleep 30\n") << 300 << "still running after 0.3 s: stopped";
    }
    void endLogged()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, timeoutMs);
        QFETCH(QString, logged);
        TestDataDir dir;
        QVERIFY(dir.write("hardwarereset.sh", content));
        const QString path = dir.file("hardwarereset.sh");
        LogCapture log;
        QVERIFY(!runResetScript(path, checkResetScript(path), timeoutMs));
        QVERIFY2(log.contains("reset script " + path + ' ' + logged), qPrintable(log.lines().join('\n')));
    }
};

QTEST_GUILESS_MAIN(tst_ResetScript)
#include "tst_resetscript.moc"
