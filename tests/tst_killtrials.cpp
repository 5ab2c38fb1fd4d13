// test-labels: soak
// A hundred power cuts during charging (./test.sh --soak; not in the default
// run). The charger (this binary run as the program, see sessionchild.h)
// charges in the simulation build with MeterValues every second, so that the
// energy register and Transaction.json are rewritten several times a second,
// and is killed with SIGKILL at a random moment. After each kill both files
// must be whole; the next trial's start closes the killed transaction. At
// the end every transaction was closed with a StopTransaction "PowerLoss".
// HMI_KILL_TRIALS sets the number of trials.
#include "globalvariable.h"
#include "ptysupport.h"
#include "sessionchild.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

#include <csignal>

class tst_KillTrials : public QObject
{
    Q_OBJECT

private slots:
    void killDuringRewrites();
};

void tst_KillTrials::killDuringRewrites()
{
    const int trials = qEnvironmentVariableIsSet("HMI_KILL_TRIALS") ? qEnvironmentVariableIntValue("HMI_KILL_TRIALS")
                                                                     : 100;
    TestDataDir dir;
    dir.write("configuration.json",
              "{\"configurationKey\":[{\"key\":\"MeterValueSampleInterval\",\"value\":\"1\"},"
              "{\"key\":\"MeterValuesSampledData\",\"value\":\"Power.Active.Export,SoC\"}]}");
    dir.write("IDtag.json", "{\"IDtag\":\"SOAK-CARD\"}");
    Simulator client;
    client.process.setProcessChannelMode(QProcess::MergedChannels);
    client.start("ocpp-client-sim", {"--data-dir", dir.path()});

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HMI_DATA_DIR", dir.path());
    env.insert("HMI_GPIO_PREFIX", dir.file("gpio"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "*.debug=false;qt.qpa.*=false");
    env.insert("HMI_TEST_CHILD", "1");

    QSet<int> opened;
    int whole = 0;
    bool registerSaved = false;
    QElapsedTimer clock;
    clock.start();
    for (int trial = 0; trial < trials; ++trial) {
        QProcess charger;
        charger.setProcessEnvironment(env);
        charger.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        charger.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(charger.waitForStarted(5000));
        QVERIFY2(QTest::qWaitFor([&] { return charger.canReadLine(); }, 30000), "no charging");
        const QByteArray line = charger.readLine().trimmed();
        opened << line.mid(9).toInt();
        // Somewhere within the next few rewrites.
        QTest::qWait(int(QRandomGenerator::global()->bounded(2500)));
        charger.kill();
        QVERIFY(charger.waitForFinished(5000));

        // The register file appears with the first save; from then on it is
        // always there and whole.
        registerSaved = registerSaved || QFile::exists(dir.file("EnergyMeter_Lcd.json"));
        const QJsonObject reg = QJsonDocument::fromJson(dir.read("EnergyMeter_Lcd.json")).object();
        QVERIFY2(!registerSaved || reg.value("EnergyMeter_LCD").isString(),
                 qPrintable(QString("trial %1: EnergyMeter_Lcd.json missing or damaged").arg(trial)));
        QJsonParseError error;
        const QJsonDocument record = QJsonDocument::fromJson(dir.read("Transaction.json"), &error);
        QVERIFY2(error.error == QJsonParseError::NoError && !record["transactions"].toArray().isEmpty(),
                 qPrintable(QString("trial %1: Transaction.json missing or damaged").arg(trial)));
        ++whole;
    }

    // The last one is closed by the program's next start.
    QProcess restarted;
    QProcessEnvironment plain = env;
    plain.remove("HMI_TEST_CHILD");
    restarted.setProcessEnvironment(plain);
    restarted.start(QStringLiteral(HMI_BIN_DIR "/charger-hmi"), {"-platform", "offscreen"});
    QVERIFY(restarted.waitForStarted(5000));
    QVERIFY(QTest::qWaitFor([&] { return !QFile::exists(dir.file("Transaction.json")); }, 15000));
    ::kill(pid_t(restarted.processId()), SIGTERM);
    QVERIFY(restarted.waitForFinished(10000));

    // Every transaction was closed by the start after its kill.
    const QByteArray mark = "<- 1=StopTransaction=";
    QVERIFY(QTest::qWaitFor([&] { return client.output().count(mark) >= opened.size(); }, 5000));
    QSet<int> closed;
    int stops = 0;
    const QByteArray &out = client.output();
    for (int at = out.indexOf(mark); at >= 0; at = out.indexOf(mark, at + 1)) {
        const int from = at + mark.size();
        const QJsonObject stop = QJsonDocument::fromJson(out.mid(from, out.indexOf("\n}", from) + 2 - from)).object();
        QCOMPARE(stop["reason"].toString(), QString("PowerLoss"));
        closed << stop["transactionId"].toInt();
        ++stops;
    }
    QCOMPARE(closed, opened);
    qInfo("%d kills in %.0f s: register and record whole after every one; %d transactions, %d StopTransaction "
          "messages (%d sent again after a kill during the answer)",
          whole, clock.elapsed() / 1000.0, int(opened.size()), stops, stops - int(closed.size()));
}

HMI_TEST_MAIN_WITH_CHARGING_CHILD(tst_KillTrials)

#include "tst_killtrials.moc"
