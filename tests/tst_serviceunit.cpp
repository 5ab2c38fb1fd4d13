// test-components: common
// deploy/charger-hmi.service as systemd reads it: verified by systemd-analyze
// in a root where the unit is installed and enabled (skipped where
// systemd-analyze is missing), and the rules such a check does not see.
#include "testsupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {
const QString UnitFile = QStringLiteral(HMI_SOURCE_DIR "/deploy/charger-hmi.service");

// Every value of a key, lists split, whatever the section.
QStringList values(const QByteArray &unit, const QString &key)
{
    QStringList out;
    const QRegularExpression line("^\\s*" + key + "\\s*=(.*)$", QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(QString::fromUtf8(unit)); it.hasNext();)
        out += it.next().captured(1).split(' ', Qt::SkipEmptyParts);
    return out;
}

bool run(const QString &program, const QStringList &args, QByteArray *output)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return false;
    *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
} // namespace

class tst_ServiceUnit : public QObject
{
    Q_OBJECT
private slots:
    void verifiedBySystemd()
    {
        const QString analyze = QStandardPaths::findExecutable("systemd-analyze");
        if (analyze.isEmpty())
            QSKIP("systemd-analyze is not installed");
        QString systemUnits;
        for (const char *d : {"/usr/lib/systemd/system", "/lib/systemd/system"})
            if (QFileInfo::exists(QString(d) + "/multi-user.target"))
                systemUnits = d;
        if (systemUnits.isEmpty())
            QSKIP("no systemd unit directory");

        // A root as on the panel after `systemctl enable`: the distribution's
        // units, ours, its wants link, the program at its ExecStart path.
        QTemporaryDir root;
        const QString etc = root.filePath("etc/systemd/system");
        QVERIFY(QDir().mkpath(etc + "/multi-user.target.wants"));
        QVERIFY(QDir().mkpath(root.filePath("usr/lib/systemd")));
        QVERIFY(QDir().mkpath(root.filePath("usr/bin")));
        QByteArray out;
        QVERIFY2(run("cp", {"-a", systemUnits, root.filePath("usr/lib/systemd/system")}, &out), out.constData());
        QVERIFY(QFile::copy(UnitFile, etc + "/charger-hmi.service"));
        QVERIFY(QFile::link("../charger-hmi.service", etc + "/multi-user.target.wants/charger-hmi.service"));
        QVERIFY(QFile::copy(QStringLiteral(HMI_BIN_DIR "/charger-hmi"), root.filePath("usr/bin/charger-hmi")));

        const QString rootArg = "--root=" + root.path();
        const bool verified = run(analyze, {"verify", rootArg, "charger-hmi.service"}, &out);
        // A complaint about our unit fails it, whatever the exit code says.
        QVERIFY2(verified && !out.contains("charger-hmi"), out.constData());
        // For the record, not judged: systemd's exposure score of the unit.
        run(analyze, {"security", "--offline=true", rootArg, "charger-hmi.service"}, &out);
        qInfo().noquote() << QString::fromUtf8(out).split('\n').filter("Overall exposure").join(' ');
    }

    // The target that wants the unit waits for it; ordering the unit after
    // that target as well is a cycle that systemd breaks by dropping an order.
    void notOrderedAfterItsTarget()
    {
        QFile f(UnitFile);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray unit = f.readAll();
        const QStringList wantedBy = values(unit, "WantedBy") + values(unit, "RequiredBy");
        QVERIFY(!wantedBy.isEmpty());
        for (const QString &target : wantedBy)
            QVERIFY2(!values(unit, "After").contains(target), qPrintable(target));
    }
};

QTEST_GUILESS_MAIN(tst_ServiceUnit)
#include "tst_serviceunit.moc"
