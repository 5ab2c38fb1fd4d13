// The Debian packages of this build tree: cpack makes them, dpkg installs them
// into throw-away roots. The maintainer scripts run without chroot and with
// DPKG_ROOT set, so they act inside the root only; stand-ins for systemctl and
// deb-systemd-invoke on the PATH record any attempt to start a service.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QString DataDir = QStringLiteral("home/root/Tarnel-LCD");
const QString Hmi = QStringLiteral("charger-hmi");
const QString Simulators = QStringLiteral("charger-hmi-simulators");

// The defaults of the data directory and the mode each gets there.
struct Default
{
    const char *name;
    QFile::Permissions mode;
};
const QFile::Permissions Rw = QFile::ReadOwner | QFile::WriteOwner;
const QFile::Permissions RwR = Rw | QFile::ReadGroup | QFile::ReadOther;
const QFile::Permissions Rwx = RwR | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
const Default Defaults[] = {
    {"configuration.json", RwR}, {"IDtag.json", RwR}, {"DynamicStatus.json", RwR},
    {"bridge.json", Rw}, // the central system's password
    {"softwarereset.sh", Rwx}, {"hardwarereset.sh", Rwx},
};

// Every file of each package: path, mode, the file of the tree it must equal.
struct PackagedFile
{
    QString package;
    QString path;
    QFile::Permissions mode;
    QString source;
};
QList<PackagedFile> packageTable()
{
    QList<PackagedFile> files = {
        {Hmi, "usr/bin/charger-hmi", Rwx, {}},
        {Hmi, "usr/bin/ocpp-bridge", Rwx, {}},
        {Hmi, "lib/systemd/system/charger-hmi.service", RwR, "deploy/charger-hmi.service"},
        {Hmi, "lib/systemd/system/charger-ocpp-bridge.service", RwR, "deploy/charger-ocpp-bridge.service"},
        {Simulators, "usr/bin/ccu-sim", Rwx, {}},
        {Simulators, "usr/bin/meter-sim", Rwx, {}},
        {Simulators, "usr/bin/ocpp-client-sim", Rwx, {}},
        {Simulators, "usr/bin/hmi-demo", Rwx, {}},
    };
    for (const Default &d : Defaults) {
        const QString name = QString::fromLatin1(d.name);
        files.append({Hmi, "usr/share/charger-hmi/" + name, name.endsWith(".sh") ? Rwx : RwR, "deploy/" + name});
    }
    for (const QString &package : {Hmi, Simulators}) {
        files.append({package, "usr/share/doc/" + package + "/copyright", RwR, "deploy/debian/copyright"});
        files.append({package, "usr/share/doc/" + package + "/changelog.gz", RwR, {}});
    }
    return files;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable " + path.toUtf8() + ">");
}

bool writeFile(const QString &path, const QByteArray &content, QFile::Permissions mode)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size()
           && f.setPermissions(mode);
}

QString sourceFile(const QString &relative) { return QStringLiteral(HMI_SOURCE_DIR "/") + relative; }

// A program's exit code and what it printed (both channels).
struct Run
{
    int code = -1;
    QString output;
};
Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(), int timeoutMs = 120000)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    Run r;
    if (!p.waitForStarted() || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        r.output = program + ": did not run to its end";
        return r;
    }
    r.output = QString::fromLocal8Bit(p.readAll());
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

// A root with an empty dpkg database, for dpkg --root.
class Root
{
public:
    explicit Root(const QString &stubs) : m_stubs(stubs)
    {
        QDir(m_dir.path()).mkpath("var/lib/dpkg/info");
        QDir(m_dir.path()).mkpath("var/lib/dpkg/updates");
        writeFile(path("var/lib/dpkg/status"), {}, RwR);
    }
    QString path(const QString &relative = {}) const { return m_dir.path() + '/' + relative; }
    QString data(const QString &name) const { return path(DataDir + '/' + name); }

    // dpkg ACTION ARG inside this root; as root itself, otherwise under fakeroot.
    Run dpkg(const QString &action, const QString &arg) const
    {
        QStringList args = {"--root=" + m_dir.path(), "--force-script-chrootless", "--force-depends",
                            "--log=" + path("dpkg.log"), action, arg};
        QString program = "dpkg";
        if (geteuid() != 0) {
            args.prepend(program);
            program = "fakeroot";
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", m_stubs + ':' + env.value("PATH"));
        return run(program, args, env);
    }

private:
    QTemporaryDir m_dir;
    QString m_stubs;
};

} // namespace

class tst_Packaging : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void controlFields_data();
    void controlFields();
    void packagedFiles_data();
    void packagedFiles();
    void nothingElsePackaged_data();
    void nothingElsePackaged();
    void dataDirectory_data();
    void dataDirectory();
    void upgradeRemovePurge();
    void cleanup();

private:
    QString deb(const QString &package) const { return m_debs.value(package); }
    QString stubLog() const { return m_work.filePath("started.log"); }

    QTemporaryDir m_work;
    QMap<QString, QString> m_debs;
    QScopedPointer<Root> m_installed; // both packages, installed once
};

void tst_Packaging::initTestCase()
{
    QVERIFY(m_work.isValid());
    // An older deb-systemd-helper (before Debian 12) ignores DPKG_ROOT and
    // would enable the service on this machine instead of in the root.
    if (!readFile("/usr/bin/deb-systemd-helper").contains("DPKG_ROOT"))
        QSKIP("this deb-systemd-helper does not know DPKG_ROOT: installing would touch this machine's /etc");
    // Anything that would start or stop a service leaves a line here.
    const QString stubs = m_work.filePath("stubs");
    QVERIFY(QDir().mkpath(stubs));
    for (const char *tool : {"systemctl", "deb-systemd-invoke", "invoke-rc.d", "service"}) {
        QVERIFY(writeFile(stubs + '/' + tool,
                          "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> '" + stubLog().toUtf8() + "'\n", Rwx));
    }

    const Run cpack = run("cpack", {"-G", "DEB", "-B", m_work.filePath("out"), "--config",
                                    QStringLiteral(HMI_BIN_DIR "/CPackConfig.cmake")}, QProcessEnvironment::systemEnvironment(), 240000);
    QVERIFY2(cpack.code == 0, qPrintable(cpack.output));
    for (const QString &package : {Hmi, Simulators}) {
        const QString name = QString("%1_%2_%3.deb").arg(package, HMI_VERSION, HMI_DEB_ARCH);
        QVERIFY2(QFileInfo::exists(m_work.filePath("out/" + name)), qPrintable(name + " missing:\n" + cpack.output));
        m_debs[package] = m_work.filePath("out/" + name);
    }

    m_installed.reset(new Root(stubs));
    for (const QString &package : {Hmi, Simulators}) {
        const Run install = m_installed->dpkg("--install", deb(package));
        QVERIFY2(install.code == 0, qPrintable(install.output));
    }
}

void tst_Packaging::cleanup()
{
    QVERIFY2(!QFileInfo::exists(stubLog()), readFile(stubLog()).constData());
}

void tst_Packaging::controlFields_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("pattern");

    QTest::newRow("hmi version") << Hmi << "Version" << "^" HMI_VERSION "$";
    QTest::newRow("hmi architecture") << Hmi << "Architecture" << "^" HMI_DEB_ARCH "$";
    QTest::newRow("hmi font") << Hmi << "Depends" << "(^|, )fonts-roboto-unhinted(,|$)";
    QTest::newRow("hmi qt widgets") << Hmi << "Depends" << "libqt5widgets5 \\(>= ";
    QTest::newRow("hmi serial port") << Hmi << "Depends" << "libqt5serialport5 \\(>= ";
    QTest::newRow("bridge websockets") << Hmi << "Depends" << "libqt5websockets5 \\(>= ";
    QTest::newRow("sim version") << Simulators << "Version" << "^" HMI_VERSION "$";
    QTest::newRow("sim architecture") << Simulators << "Architecture" << "^" HMI_DEB_ARCH "$";
    QTest::newRow("meter-sim libmodbus") << Simulators << "Depends" << "libmodbus5 \\(>= ";
    QTest::newRow("demo qt test") << Simulators << "Depends" << "libqt5test5 \\(>= ";
}

void tst_Packaging::controlFields()
{
    QFETCH(QString, package);
    QFETCH(QString, field);
    QFETCH(QString, pattern);
    const Run r = run("dpkg-deb", {"--field", deb(package), field});
    QCOMPARE(r.code, 0);
    const QString value = r.output.trimmed();
    QVERIFY2(QRegularExpression(pattern).match(value).hasMatch(), qPrintable(field + ": " + value));
}

void tst_Packaging::packagedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("source");
    for (const PackagedFile &f : packageTable())
        QTest::newRow(qPrintable(f.path)) << f.path << int(f.mode) << f.source;
}

void tst_Packaging::packagedFiles()
{
    QFETCH(QString, path);
    QFETCH(int, mode);
    QFETCH(QString, source);
    const QFileInfo installed(m_installed->path(path));
    QVERIFY2(installed.isFile(), qPrintable(path));
    const QFile::Permissions owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    const QFile::Permissions all = owner | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
                                   | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(int(installed.permissions() & all), mode);
    if (!source.isEmpty())
        QCOMPARE(readFile(installed.filePath()), readFile(sourceFile(source)));
}

void tst_Packaging::nothingElsePackaged_data()
{
    QTest::addColumn<QString>("package");
    QTest::newRow(qPrintable(Hmi)) << Hmi;
    QTest::newRow(qPrintable(Simulators)) << Simulators;
}

// No test, tool or stray file slips into a package, and nothing is shipped
// under /home (postinst lays the data directory out instead).
void tst_Packaging::nothingElsePackaged()
{
    QFETCH(QString, package);
    const Run r = run("dpkg-deb", {"--contents", deb(package)});
    QCOMPARE(r.code, 0);
    QStringList shipped;
    for (const QString &line : r.output.split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith('-')) // regular files; directories start with 'd'
            shipped << line.section(' ', -1).mid(2); // "./usr/bin/x" -> "usr/bin/x"
        else
            QVERIFY2(line.startsWith('d'), qPrintable(line));
    }
    QStringList expected;
    for (const PackagedFile &f : packageTable()) {
        if (f.package == package)
            expected << f.path;
    }
    shipped.sort();
    expected.sort();
    QCOMPARE(shipped, expected);
}

void tst_Packaging::dataDirectory_data()
{
    QTest::addColumn<QStringList>("operatorFiles"); // in the data directory before installing
    QTest::addColumn<QStringList>("operatorLinks"); // dangling links there

    QTest::newRow("fresh panel") << QStringList() << QStringList();
    QTest::newRow("configuration, register, transaction kept")
        << QStringList{"configuration.json", "EnergyMeter_Lcd.json", "Transaction.json"} << QStringList();
    QTest::newRow("every default already there")
        << QStringList{"configuration.json", "IDtag.json", "DynamicStatus.json", "bridge.json", "softwarereset.sh",
                       "hardwarereset.sh"}
        << QStringList();
    QTest::newRow("operator's link kept") << QStringList{"EnergyMeter_Lcd.json"}
                                          << QStringList{"configuration.json", "bridge.json"};
}

void tst_Packaging::dataDirectory()
{
    QFETCH(QStringList, operatorFiles);
    QFETCH(QStringList, operatorLinks);

    Root root(m_work.filePath("stubs"));
    QVERIFY(QDir().mkpath(root.data({})));
    const QFile::Permissions operatorMode = Rw | QFile::ReadGroup;
    for (const QString &name : operatorFiles)
        QVERIFY(writeFile(root.data(name), "the operator's " + name.toUtf8() + '\n', operatorMode));
    for (const QString &name : operatorLinks)
        QVERIFY(QFile::link("/nonexistent/" + name, root.data(name)));

    const Run install = root.dpkg("--install", deb(Hmi));
    QVERIFY2(install.code == 0, qPrintable(install.output));

    for (const QString &name : operatorFiles) {
        QCOMPARE(readFile(root.data(name)), "the operator's " + name.toUtf8() + '\n');
        QCOMPARE(QFileInfo(root.data(name)).permissions() & (Rwx | QFile::WriteGroup | QFile::WriteOther), operatorMode);
    }
    for (const QString &name : operatorLinks)
        QCOMPARE(QFileInfo(root.data(name)).symLinkTarget(), "/nonexistent/" + name);
    for (const Default &d : Defaults) {
        const QString name = QString::fromLatin1(d.name);
        if (operatorFiles.contains(name) || operatorLinks.contains(name))
            continue;
        QCOMPARE(readFile(root.data(name)), readFile(sourceFile("deploy/" + name)));
        QCOMPARE(QFileInfo(root.data(name)).permissions() & (Rwx | QFile::WriteGroup | QFile::WriteOther), d.mode);
    }
    // Nothing half-copied is left beside the files.
    const QStringList left = QDir(root.data({})).entryList(QDir::Files | QDir::Hidden | QDir::System);
    QCOMPARE(left.filter(".dpkg-new"), QStringList());
}

// The life of the package on a panel: enabled on installation, the operator's
// data and choices kept through an upgrade and a removal, and a purge that
// leaves the data directory and says so.
void tst_Packaging::upgradeRemovePurge()
{
    Root root(m_work.filePath("stubs"));
    const QString wants = "etc/systemd/system/multi-user.target.wants/";
    Run r = root.dpkg("--install", deb(Hmi));
    QVERIFY2(r.code == 0, qPrintable(r.output));
    QCOMPARE(QFileInfo(root.path(wants + "charger-hmi.service")).symLinkTarget(),
             QStringLiteral("/lib/systemd/system/charger-hmi.service"));
    QVERIFY(!QFileInfo(root.path(wants + "charger-ocpp-bridge.service")).isSymLink());

    // The charger has been at work: an edited configuration, a register.
    const QByteArray config = "{ \"configurationKey\": [] }\n";
    const QByteArray reg = "{\n    \"EnergyMeter_LCD\": \"4711.3\"\n}\n";
    QVERIFY(writeFile(root.data("configuration.json"), config, RwR));
    QVERIFY(writeFile(root.data("EnergyMeter_Lcd.json"), reg, RwR));

    r = root.dpkg("--install", deb(Hmi)); // the same version again takes the upgrade path
    QVERIFY2(r.code == 0, qPrintable(r.output));
    QCOMPARE(readFile(root.data("configuration.json")), config);
    QCOMPARE(readFile(root.data("EnergyMeter_Lcd.json")), reg);
    QVERIFY(QFileInfo(root.path(wants + "charger-hmi.service")).isSymLink());

    // An operator's "systemctl disable" survives the next upgrade.
    QVERIFY(QFile::remove(root.path(wants + "charger-hmi.service")));
    r = root.dpkg("--install", deb(Hmi));
    QVERIFY2(r.code == 0, qPrintable(r.output));
    QVERIFY(!QFileInfo(root.path(wants + "charger-hmi.service")).isSymLink());

    r = root.dpkg("--remove", Hmi);
    QVERIFY2(r.code == 0, qPrintable(r.output));
    QVERIFY(!QFileInfo::exists(root.path("usr/bin/charger-hmi")));
    QCOMPARE(readFile(root.data("EnergyMeter_Lcd.json")), reg);

    r = root.dpkg("--purge", Hmi);
    QVERIFY2(r.code == 0, qPrintable(r.output));
    QVERIFY2(r.output.contains("/home/root/Tarnel-LCD/ is left in place"), qPrintable(r.output));
    QCOMPARE(readFile(root.data("configuration.json")), config);
    QCOMPARE(readFile(root.data("EnergyMeter_Lcd.json")), reg);
    QVERIFY(QFileInfo::exists(root.data("softwarereset.sh")));
    QVERIFY(!QFileInfo::exists(root.path("var/lib/systemd/deb-systemd-helper-enabled/charger-hmi.service.dsh-also")));
}

QTEST_GUILESS_MAIN(tst_Packaging)
#include "tst_packaging.moc"
