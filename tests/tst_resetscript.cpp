// test-components: common
// The reset script hand-over on real files and a real shell: which scripts
// are refused and why, what the script is given, what is logged of its end,
// and the exit code the program then leaves with.
#include "resetscript.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray GoodScript = "echo \"$HMI_PID $0\" > \"$(dirname \"$0\")/ran\"\n";
}

class tst_ResetScript : public QObject
{
    Q_OBJECT
private slots:
    void check_data()
    {
        QTest::addColumn<QString>("kind");   // file, symlink, dir, fifo, missing
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("owner");      // -1: this user
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("refused"); // a fragment of the reason; empty: may run
        const int me = -1, nobody = 65534;
        QTest::newRow("0755") << "file" << 0755 << me << GoodScript << "";
        QTest::newRow("0644, not executable") << "file" << 0644 << me << GoodScript << "";
        QTest::newRow("0700") << "file" << 0700 << me << GoodScript << "";
        QTest::newRow("group-writable") << "file" << 0775 << me << GoodScript << "writable by its group (mode 0775)";
        QTest::newRow("world-writable") << "file" << 0757 << me << GoodScript << "writable by anyone (mode 0757)";
        QTest::newRow("another user's") << "file" << 0755 << nobody << GoodScript
                                        << "owned by uid 65534, neither this program's user";
        QTest::newRow("symbolic link") << "symlink" << 0755 << me << GoodScript << "a symbolic link";
        QTest::newRow("directory") << "dir" << 0755 << me << QByteArray() << "not a regular file";
        QTest::newRow("fifo") << "fifo" << 0644 << me << QByteArray() << "not a regular file";
        QTest::newRow("missing") << "missing" << 0 << me << QByteArray() << "No such file";
        QTest::newRow("binary") << "file" << 0755 << me << QByteArray("\x7f" "ELF\0\0\1", 7) << "not a text file";
        QTest::newRow("too large") << "file" << 0755 << me << QByteArray(70 * 1024, '#') << "larger than";
    }
    void check()
    {
        QFETCH(QString, kind);
        QFETCH(int, mode);
        QFETCH(int, owner);
        QFETCH(QByteArray, content);
        QFETCH(QString, refused);
        if (owner >= 0 && ::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        TestDataDir dir;
        const QString path = dir.file("softwarereset.sh");
        const QByteArray native = QFile::encodeName(path);
        if (kind == "file" || kind == "symlink") {
            const QString target = kind == "file" ? path : dir.file("elsewhere.sh");
            QVERIFY(dir.write(QFileInfo(target).fileName(), content));
            QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(mode)), 0);
            if (kind == "symlink")
                QVERIFY(QFile::link(target, path));
        } else if (kind == "dir") {
            QVERIFY(QDir(dir.path()).mkdir("softwarereset.sh"));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(native.constData(), mode_t(mode)), 0);
        }
        if (owner >= 0)
            QCOMPARE(::chown(native.constData(), uid_t(owner), gid_t(owner)), 0);

        const ResetScriptCheck c = checkResetScript(path);
        QVERIFY2(refused.isEmpty() ? c.refusal.isEmpty() : c.refusal.contains(refused), qPrintable(c.refusal));
        QCOMPARE(c.missing, kind == "missing");
        QCOMPARE(c.content, refused.isEmpty() ? content : QByteArray());
    }

    // What runs is what was checked; the script gets the program's PID and
    // its own path, the program's environment stays as it was.
    void runsTheCheckedText()
    {
        TestDataDir dir;
        QVERIFY(dir.write("softwarereset.sh", GoodScript));
        const QString path = dir.file("softwarereset.sh");
        const ResetScriptCheck checked = checkResetScript(path);
        QVERIFY(checked.refusal.isEmpty());
        // Swapped after the check, as a writer of the directory could.
        QVERIFY(dir.write("softwarereset.sh", "touch \"$(dirname \"$0\")/swapped\"\n"));
        QVERIFY(runResetScript(path, checked));
        QCOMPARE(dir.read("ran").trimmed(), QByteArray::number(QCoreApplication::applicationPid()) + ' '
                                                 + QFile::encodeName(path));
        QVERIFY(!QFile::exists(dir.file("swapped")));
        QVERIFY(!qEnvironmentVariableIsSet("HMI_PID"));
    }

    void endLogged_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("logged");
        QTest::newRow("returns 0") << QByteArray("exit 0\n") << 5000 << true << "ended with exit status 0";
        QTest::newRow("fails") << QByteArray("exit 7\n") << 5000 << false << "ended with exit status 7";
        QTest::newRow("killed") << QByteArray("kill -KILL $$\n") << 5000 << false << "ended by a signal";
        QTest::newRow("hangs") << QByteArray("exec sleep 30\n") << 300 << false << "still running after 0.3 s: stopped";
    }
    void endLogged()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, timeoutMs);
        QFETCH(bool, ok);
        QFETCH(QString, logged);
        TestDataDir dir;
        QVERIFY(dir.write("hardwarereset.sh", content));
        const QString path = dir.file("hardwarereset.sh");
        LogCapture log;
        QCOMPARE(runResetScript(path, checkResetScript(path), timeoutMs), ok);
        QVERIFY2(log.contains("reset script " + path + ' ' + logged), qPrintable(log.lines().join('\n')));
    }

    // Refused, missing or run: the program leaves with ExitAfterReset.
    void handOverEndsTheProgram_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no script
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("logged");
        QTest::newRow("returned") << GoodScript << 0755 << "ended with exit status 0";
        QTest::newRow("refused") << GoodScript << 0666 << "reset script refused:";
        QTest::newRow("missing") << QByteArray() << 0 << "reset script missing:";
    }
    void handOverEndsTheProgram()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, mode);
        QFETCH(QString, logged);
        TestDataDir dir;
        const QString path = dir.file("softwarereset.sh");
        if (!content.isEmpty()) {
            QVERIFY(dir.write("softwarereset.sh", content));
            QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
        }
        LogCapture log;
        QObject scope; // no timer outlives this case
        QTimer::singleShot(0, &scope, [&] { handOverToResetScript(path); });
        QTimer::singleShot(10000, &scope, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), ExitAfterReset);
        QCOMPARE(programExitCode(), ExitAfterReset);
        QVERIFY(log.contains(logged));
        QCOMPARE(QFile::exists(dir.file("ran")), mode == 0755);
    }
};

QTEST_GUILESS_MAIN(tst_ResetScript)
#include "tst_resetscript.moc"
