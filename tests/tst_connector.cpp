// test-components: core status
// The dynamic status file: the nine published values and their merge into
// the installed template.

#include "ccu_records.h"
#include "cloud_wr.h"
#include "connector.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QtTest>

#include <ctime>

class tst_Connector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void statusTexts_data();
    void statusTexts();
    void templateMerge_data();
    void templateMerge();
    void failuresLeaveFileUntouched_data();
    void failuresLeaveFileUntouched();
};

void tst_Connector::initTestCase()
{
    // Local time nine hours off UTC: a stamp in local time shows up.
    qputenv("TZ", "UTC-9");
    tzset();
}

void tst_Connector::statusTexts_data()
{
    QTest::addColumn<bool>("linkLost");
    QTest::addColumn<int>("plugged");
    QTest::addColumn<int>("gun");
    QTest::addColumn<int>("system");
    QTest::addColumn<QString>("plugText");
    QTest::addColumn<QString>("gunText");
    QTest::addColumn<QString>("systemText");
    QTest::newRow("idle") << false << 0 << 0 << 0 << "unplugged" << "Idle" << "Normal";
    QTest::newRow("charging with alarm") << false << 1 << 1 << 1 << "plugged" << "Charging"
                                         << "Avaible(but with alarm)";
    QTest::newRow("faults") << false << 1 << 2 << 2 << "plugged" << "Fault" << "Fault";
    QTest::newRow("not installed, updating") << false << 0 << 3 << 3 << "unplugged" << "Not Installed" << "FW updating";
    QTest::newRow("plug code unknown") << false << 2 << 0 << 0 << "" << "Idle" << "Normal";
    QTest::newRow("unknown codes keep the previous text") << false << 0 << 5 << 4 << "unplugged" << "previous gun"
                                                          << "previous system";
    QTest::newRow("link lost overrides a charging report") << true << 1 << 1 << 0 << "plugged" << "Idle" << "Fault";
    QTest::newRow("link lost overrides unknown codes") << true << 0 << 7 << 9 << "unplugged" << "Idle" << "Fault";
}

void tst_Connector::statusTexts()
{
    QFETCH(bool, linkLost);
    QFETCH(int, plugged);
    QFETCH(int, gun);
    QFETCH(int, system);
    errorinfo.Err_Sys_RS232 = linkLost;
    systemstatus.Gun1_plugged_sta = quint16(plugged);
    systemstatus.Gun1_available_sta = quint16(gun);
    systemstatus.Sys_available_sta = quint16(system);
    str_gun1sta = "previous gun";
    str_systa = "previous system";

    const QStringList values = Connector::statusValues();
    QTEST(values.at(objname.indexOf("GunPlugedStatus")), "plugText");
    QTEST(values.at(objname.indexOf("GunStatus")), "gunText");
    QTEST(values.at(objname.indexOf("SystemStatus")), "systemText");
    // The factory screen shows the same texts.
    QTEST(QString(str_gun1sta), "gunText");
    QTEST(QString(str_systa), "systemText");
}

void tst_Connector::templateMerge_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QJsonObject>("expected"); // the members whose values matter
    QFile installed(QStringLiteral(HMI_SOURCE_DIR "/deploy/DynamicStatus.json"));
    QVERIFY(installed.open(QIODevice::ReadOnly));
    QTest::newRow("installed template")
        << installed.readAll()
        << QJsonObject({{"AmbientTemperature", "25.0Centigrade"}, {"ChargeStopReason", "Local"},
                        {"GunPlugedStatus", "unplugged"}, {"GunStatus", "Fault"}, {"OutputCurrent", "3.0A"},
                        {"OutputVoltage", "400.0V"}, {"SOC", "45%"}, {"SystemStatus", "Normal"}});
    QTest::newRow("a member of its own") << QByteArray(R"({"GunStatus": "old", "SiteName": "Bay 4"})")
                                         << QJsonObject({{"GunStatus", "Fault"}, {"SiteName", "Bay 4"}});
    QTest::newRow("numbers and objects")
        << QByteArray(R"({"SOC": 12, "SystemStatus": {"a": 1}, "OutputCurrent": null})")
        << QJsonObject({{"SOC", "45%"}, {"SystemStatus", "Normal"}, {"OutputCurrent", "3.0A"}});
}

void tst_Connector::templateMerge()
{
    QFETCH(QByteArray, content);
    QFETCH(QJsonObject, expected);
    TestDataDir dir;
    dir.write("DynamicStatus.json", content);
    errorinfo.Err_Sys_RS232 = false;
    systemstatus.Gun1_plugged_sta = 0;
    systemstatus.Gun1_available_sta = 2;
    systemstatus.Sys_available_sta = 0;
    systemstatus.TemperatureStr = QString("25.0Centigrade");
    Str_ChargeStopReason = "Local";
    str_chargeCurrent = "3.0";
    str_chargeVoltage = "400.0";
    str_soc = "45";

    Connector().Json_Write();

    const QByteArray written = dir.read("DynamicStatus.json");
    const QJsonObject root = QJsonDocument::fromJson(written).object();
    // Members are updated, never created nor dropped.
    QCOMPARE(root.keys(), QJsonDocument::fromJson(content).object().keys());
    for (const QString &key : expected.keys())
        QCOMPARE(root.value(key), expected.value(key));
    if (root.contains("TimeStamp")) { // in UTC
        QDateTime stamp = QDateTime::fromString(root.value("TimeStamp").toString(), "yyyy-MM-dd hh:mm:ss");
        stamp.setTimeSpec(Qt::UTC);
        QVERIFY2(qAbs(stamp.secsTo(QDateTime::currentDateTimeUtc())) <= 2, qPrintable(root.value("TimeStamp").toString()));
    }
    // The layout other programs parse: four-space indent, sorted, final newline.
    QCOMPARE(written, QJsonDocument(root).toJson(QJsonDocument::Indented));
}

void tst_Connector::failuresLeaveFileUntouched_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("logLine");
    const QByteArray good("{\"GunStatus\": \"Idle\", \"SOC\": \"5%\"}\n");
    const QStringList two = {"a", "b"};
    QTest::newRow("missing") << QByteArray() << two << "open json file error.";
    QTest::newRow("empty file") << QByteArray("") << two << "json error!";
    QTest::newRow("garbage bytes") << QByteArray("\x00\xff\xfe{", 4) << two << "json error!";
    QTest::newRow("a list, not an object") << QByteArray("[\"GunStatus\", \"SOC\"]\n") << two << "json error!";
    QTest::newRow("fewer values") << good << QStringList({"Charging"}) << "valuelist wrong,size = ";
    QTest::newRow("more values") << good << QStringList({"Charging", "7%", "x"}) << "valuelist wrong,size = ";
}

void tst_Connector::failuresLeaveFileUntouched()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, values);
    QFETCH(QString, logLine);
    TestDataDir dir;
    if (!content.isNull())
        dir.write("DynamicStatus.json", content);
    LogCapture log;

    Cloud_WR().JsonWrite({"GunStatus", "SOC"}, values);

    QCOMPARE(dir.read("DynamicStatus.json"), content);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), content.isNull() ? 0 : 1);
    QCOMPARE(log.count(logLine), 1);
}

QTEST_GUILESS_MAIN(tst_Connector)
#include "tst_connector.moc"
