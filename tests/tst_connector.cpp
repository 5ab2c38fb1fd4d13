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

private:
    static QJsonObject readStatusFile(const TestDataDir &dir)
    {
        return QJsonDocument::fromJson(dir.read("DynamicStatus.json")).object();
    }

private slots:
    void initTestCase();
    void init();
    void statusTexts_data();
    void statusTexts();
    void unknownCodesKeepPreviousText();
    void displayValues();
    void fillsEveryTemplateMember();
    void templateMergeKeepsForeignMembers();
    void nonTextMembersBecomeText();
    void failuresLeaveFileUntouched_data();
    void failuresLeaveFileUntouched();
    void missingTemplateIsNotCreated();
};

void tst_Connector::initTestCase()
{
    // Local time nine hours off UTC: a time stamp in local time shows up.
    qputenv("TZ", "UTC-9");
    tzset();
}

void tst_Connector::init()
{
    errorinfo.Err_Sys_RS232 = false;
    systemstatus.Gun1_plugged_sta = 0;
    systemstatus.Gun1_available_sta = 0;
    systemstatus.Sys_available_sta = 0;
    systemstatus.TemperatureStr = QString();
    str_gun1sta.clear();
    str_systa.clear();
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
    QTest::newRow("charging with alarm") << false << 1 << 1 << 1 << "plugged" << "Charging" << "Avaible(but with alarm)";
    QTest::newRow("faults") << false << 1 << 2 << 2 << "plugged" << "Fault" << "Fault";
    QTest::newRow("not installed, updating") << false << 0 << 3 << 3 << "unplugged" << "Not Installed" << "FW updating";
    QTest::newRow("plug code unknown") << false << 2 << 0 << 0 << "" << "Idle" << "Normal";
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

    const QStringList values = Connector::statusValues();
    QCOMPARE(values.size(), objname.size());
    QTEST(values.at(objname.indexOf("GunPlugedStatus")), "plugText");
    QTEST(values.at(objname.indexOf("GunStatus")), "gunText");
    QTEST(values.at(objname.indexOf("SystemStatus")), "systemText");
    // The factory screen shows the same texts.
    QTEST(str_gun1sta, "gunText");
    QTEST(str_systa, "systemText");
}

void tst_Connector::unknownCodesKeepPreviousText()
{
    systemstatus.Gun1_available_sta = 5;
    systemstatus.Sys_available_sta = 4;
    QStringList values = Connector::statusValues();
    QCOMPARE(values.at(objname.indexOf("GunStatus")), QString());
    QCOMPARE(values.at(objname.indexOf("SystemStatus")), QString());

    systemstatus.Gun1_available_sta = 1;
    systemstatus.Sys_available_sta = 1;
    Connector::statusValues();
    systemstatus.Gun1_available_sta = 5;
    systemstatus.Sys_available_sta = 4;
    values = Connector::statusValues();
    QCOMPARE(values.at(objname.indexOf("GunStatus")), QString("Charging"));
    QCOMPARE(values.at(objname.indexOf("SystemStatus")), QString("Avaible(but with alarm)"));
}

void tst_Connector::displayValues()
{
    systemstatus.TemperatureStr = QString("25.0Centigrade");
    Str_ChargeStopReason = "Local";
    str_chargeCurrent = "12.5";
    str_chargeVoltage = "400.0";
    str_soc = "63";

    const QDateTime before = QDateTime::currentDateTimeUtc();
    const QStringList values = Connector::statusValues();
    const QDateTime after = QDateTime::currentDateTimeUtc();

    QCOMPARE(objname,
             QStringList({"AmbientTemperature", "ChargeStopReason", "GunPlugedStatus", "GunStatus", "OutputCurrent",
                          "OutputVoltage", "SOC", "SystemStatus", "TimeStamp"}));
    QCOMPARE(values.at(0), QString("25.0Centigrade"));
    QCOMPARE(values.at(1), QString("Local"));
    QCOMPARE(values.at(4), QString("12.5A"));
    QCOMPARE(values.at(5), QString("400.0V"));
    QCOMPARE(values.at(6), QString("63%"));
    QDateTime stamp = QDateTime::fromString(values.at(8), "yyyy-MM-dd hh:mm:ss");
    QVERIFY2(stamp.isValid(), qPrintable(values.at(8)));
    stamp.setTimeSpec(Qt::UTC);
    QVERIFY2(stamp >= before.addSecs(-1) && stamp <= after, qPrintable(values.at(8)));
}

void tst_Connector::fillsEveryTemplateMember()
{
    TestDataDir dir;
    QFile::copy(QStringLiteral(HMI_SOURCE_DIR "/deploy/DynamicStatus.json"), dir.file("DynamicStatus.json"));
    QFile::setPermissions(dir.file("DynamicStatus.json"), QFile::ReadOwner | QFile::WriteOwner);
    systemstatus.Gun1_plugged_sta = 1;
    systemstatus.Gun1_available_sta = 1;
    str_soc = "80";

    Connector connector;
    connector.Json_Write();

    const QByteArray written = dir.read("DynamicStatus.json");
    const QJsonObject root = QJsonDocument::fromJson(written).object();
    QCOMPARE(root.keys(), objname);
    QCOMPARE(root.value("GunStatus").toString(), QString("Charging"));
    QCOMPARE(root.value("GunPlugedStatus").toString(), QString("plugged"));
    QCOMPARE(root.value("SOC").toString(), QString("80%"));
    QVERIFY(!root.value("TimeStamp").toString().isEmpty());
    // The layout other programs parse: four-space indent, sorted, final newline.
    QCOMPARE(written, QJsonDocument(root).toJson(QJsonDocument::Indented));
    QVERIFY(written.startsWith("{\n    \"AmbientTemperature\": "));
    QCOMPARE(DynamicStatus_rootobj, root);
}

void tst_Connector::templateMergeKeepsForeignMembers()
{
    TestDataDir dir;
    dir.write("DynamicStatus.json", "{\"GunStatus\": \"old\", \"SiteName\": \"Bay 4\"}");
    systemstatus.Gun1_available_sta = 2;

    Connector().Json_Write();

    const QJsonObject root = readStatusFile(dir);
    QCOMPARE(root.keys(), QStringList({"GunStatus", "SiteName"}));
    QCOMPARE(root.value("GunStatus").toString(), QString("Fault"));
    QCOMPARE(root.value("SiteName").toString(), QString("Bay 4"));
}

void tst_Connector::nonTextMembersBecomeText()
{
    TestDataDir dir;
    dir.write("DynamicStatus.json", "{\"SOC\": 12, \"SystemStatus\": {\"a\": 1}, \"OutputCurrent\": null}");
    str_soc = "45";
    str_chargeCurrent = "3.0";

    Connector().Json_Write();

    const QJsonObject root = readStatusFile(dir);
    QCOMPARE(root.value("SOC"), QJsonValue("45%"));
    QCOMPARE(root.value("SystemStatus"), QJsonValue("Normal"));
    QCOMPARE(root.value("OutputCurrent"), QJsonValue("3.0A"));
}

void tst_Connector::failuresLeaveFileUntouched_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("logLine");

    const QStringList two = {"GunStatus", "SOC"};
    QTest::newRow("not json") << QByteArray("{\"GunStatus\": \"Idle\",") << two << QStringList({"a", "b"}) << "json error!";
    QTest::newRow("empty file") << QByteArray() << two << QStringList({"a", "b"}) << "json error!";
    QTest::newRow("garbage bytes") << QByteArray("\x00\xff\xfe{", 4) << two << QStringList({"a", "b"}) << "json error!";
    QTest::newRow("a list, not an object")
        << QByteArray("[\"GunStatus\", \"SOC\"]\n") << two << QStringList({"a", "b"}) << "json error!";
    QTest::newRow("fewer values") << QByteArray("{\"GunStatus\": \"Idle\", \"SOC\": \"5%\"}\n") << two
                                  << QStringList({"Charging"}) << "valuelist wrong,size = ";
    QTest::newRow("more values") << QByteArray("{\"GunStatus\": \"Idle\", \"SOC\": \"5%\"}\n") << two
                                 << QStringList({"Charging", "7%", "x"}) << "valuelist wrong,size = ";
}

void tst_Connector::failuresLeaveFileUntouched()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, values);
    QFETCH(QString, logLine);
    TestDataDir dir;
    dir.write("DynamicStatus.json", content);
    LogCapture log;

    Cloud_WR().JsonWrite(keys, values);

    QCOMPARE(dir.read("DynamicStatus.json"), content);
    QCOMPARE(log.count(logLine), 1);
    if (logLine.startsWith("valuelist"))
        QVERIFY(log.lines().last().endsWith(QString::number(values.size())));
}

void tst_Connector::missingTemplateIsNotCreated()
{
    TestDataDir dir;
    LogCapture log;
    Connector().Json_Write();
    QVERIFY(!QFile::exists(dir.file("DynamicStatus.json")));
    QCOMPARE(log.count("open json file error."), 1);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

QTEST_GUILESS_MAIN(tst_Connector)
#include "tst_connector.moc"
