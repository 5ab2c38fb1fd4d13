// test-components: common
// The simulation build end to end: the demo driver clicks through a fast
// charge and a fixed-amount session of the real program, with the OCPP
// client simulator on the FIFOs; the client's log shows what the central
// system would have received.
#include "testsupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

class tst_Demo : public QObject
{
    Q_OBJECT

private slots:
    void twoSessions();
};

void tst_Demo::twoSessions()
{
    TestDataDir dir;
    for (const char *f : {"configuration.json", "IDtag.json", "DynamicStatus.json"})
        QVERIFY(QFile::copy(QStringLiteral(HMI_SOURCE_DIR "/deploy/") + f, dir.file(f)));
    // Meter values every 10 s, so that the 20 s of the first session carry some.
    QByteArray config = dir.read("configuration.json");
    config.replace("\"MeterValueSampleInterval\", \"readonly\": false, \"value\": \"30\"",
                   "\"MeterValueSampleInterval\", \"readonly\": false, \"value\": \"10\"");
    QVERIFY(config.contains("\"value\": \"10\""));
    QFile::remove(dir.file("configuration.json"));
    QVERIFY(dir.write("configuration.json", config));
    const QString out = dir.file("pictures");

    QProcess demo;
    demo.setProcessChannelMode(QProcess::MergedChannels);
    demo.start(QStringLiteral(HMI_BIN_DIR "/hmi-demo"), {"--data-dir", dir.path(), "--out", out});
    QVERIFY(demo.waitForFinished(150000));
    const QByteArray output = demo.readAll();
    QVERIFY2(demo.exitCode() == 0, output.right(2000).constData());
    QVERIFY(output.contains("session sequence complete"));

    // A picture of every page passed, the completion page among them.
    const QStringList pictures = QDir(out).entryList({"*.png"});
    QVERIFY(pictures.size() >= 15);
    QVERIFY(!pictures.filter("complete_child").isEmpty());

    // What the OCPP client received, in order.
    QStringList sequence;
    const QString log = QString::fromUtf8(dir.read("ocpp-client-sim.log"));
    const QRegularExpression request("<- 1=(\\w+)=\\{([^}]*)\\}");
    for (auto it = request.globalMatch(log); it.hasNext();) {
        const auto m = it.next();
        QString entry = m.captured(1);
        const auto detail = QRegularExpression("\"(status|reason)\": \"(\\w+)\"").match(m.captured(2));
        if (detail.hasMatch())
            entry += ":" + detail.captured(2);
        sequence << entry;
    }
    const QStringList session = {"StatusNotification:Available", "StatusNotification:Preparing", "Authorize",
                                 "StatusNotification:Charging", "StartTransaction"};
    QCOMPARE(sequence.mid(0, session.size()), session);
    QCOMPARE(sequence.count("StartTransaction"), 2);
    const int firstStart = sequence.indexOf("StartTransaction");
    const int meterValues = sequence.indexOf("MeterValues");
    QVERIFY2(meterValues > firstStart && meterValues < sequence.indexOf("StopTransaction:Other"),
             qPrintable(sequence.join(' ')));
    QCOMPARE(sequence.count("StopTransaction:Other"), 1); // charged to the end
    QCOMPARE(sequence.count("StopTransaction:Local"), 1); // stopped by the driver
    QCOMPARE(sequence.last(), QString("StatusNotification:Available"));
    const int firstStop = sequence.indexOf("StopTransaction:Other");
    QCOMPARE(sequence.at(firstStop - 1), QString("StatusNotification:Finishing"));
    QCOMPARE(sequence.at(firstStop + 1), QString("StatusNotification:Available"));

    // The register grew by the sessions' energy and is on disk.
    const QString saved = QString::fromUtf8(dir.read("EnergyMeter_Lcd.json"));
    QVERIFY2(saved.section('"', 3, 3).toDouble() > 1.0, qPrintable(saved));
}

QTEST_GUILESS_MAIN(tst_Demo)
#include "tst_demo.moc"
