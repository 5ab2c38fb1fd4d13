// test-components: common status core
// The dynamic status file: the nine published values and their merge into
// the installed template.

#include "ccu_records.h"
#include "cloud_wr.h"
#include "connector.h"
#include "datafiles.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QtTest>

#include <ctime>

class tst_Connector : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Local time nine hours off UTC: a stamp in local time shows up.
        qputenv("TZ", "UTC-9");
        tzset();
    }

    void statusTexts_data()
    {
        QTest::addColumn<QVector<int>>("record"); // link lost, plugged, gun, system
        QTest::addColumn<QString>("texts");       // plugged|gun|system
        QTest::newRow("idle") << QVector<int>{0, 0, 0, 0} << "unplugged|Idle|Normal";
        QTest::newRow("charging with alarm") << QVector<int>{0, 1, 1, 1} << "plugged|Charging|Avaible(but with alarm)";
        QTest::newRow("faults") << QVector<int>{0, 1, 2, 2} << "plugged|Fault|Fault";
        QTest::newRow("not installed, updating") << QVector<int>{0, 0, 3, 3} << "unplugged|Not Installed|FW updating";
        QTest::newRow("plug code unknown") << QVector<int>{0, 2, 0, 0} << "|Idle|Normal";
        QTest::newRow("unknown codes keep the previous text") << QVector<int>{0, 0, 5, 4} << "unplugged|prev|prev";
        QTest::newRow("link lost overrides a charging report") << QVector<int>{1, 1, 1, 0} << "plugged|Idle|Fault";
    }
    void statusTexts()
    {
        QFETCH(QVector<int>, record);
        QFETCH(QString, texts);
        errorinfo.Err_Sys_RS232 = record[0];
        systemstatus.Gun1_plugged_sta = quint16(record[1]);
        systemstatus.Gun1_available_sta = quint16(record[2]);
        systemstatus.Sys_available_sta = quint16(record[3]);
        str_gun1sta = str_systa = "prev";
        const QStringList v = Connector::statusValues();
        const auto value = [&v](const char *name) { return v.at(objname.indexOf(name)); };
        QCOMPARE(value("GunPlugedStatus") + '|' + value("GunStatus") + '|' + value("SystemStatus"), texts);
        QCOMPARE(str_gun1sta + '|' + str_systa, texts.section('|', 1)); // as the factory screen shows them
    }

    void templateMerge_data()
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

    void templateMerge()
    {
        QFETCH(QByteArray, content);
        QFETCH(QJsonObject, expected);
        TestDataDir dir;
        dir.write("DynamicStatus.json", content);
        // Installed readable by the other programs on the charger: it stays so.
        const QFileDevice::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        QVERIFY(QFile::setPermissions(dir.file("DynamicStatus.json"), mode));
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
        QCOMPARE(root.keys(), QJsonDocument::fromJson(content).object().keys()); // updated, never created nor dropped
        for (const QString &key : expected.keys())
            QCOMPARE(root.value(key), expected.value(key));
        if (root.contains("TimeStamp")) { // in UTC
            QDateTime stamp = QDateTime::fromString(root.value("TimeStamp").toString(), "yyyy-MM-dd hh:mm:ss");
            stamp.setTimeSpec(Qt::UTC);
            QVERIFY(stamp.isValid() && qAbs(stamp.secsTo(QDateTime::currentDateTimeUtc())) <= 2);
        }
        // The layout other programs parse.
        QCOMPARE(written, QJsonDocument(root).toJson(QJsonDocument::Indented));
        const QFileDevice::Permissions user = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
        QCOMPARE(QFile::permissions(dir.file("DynamicStatus.json")) & ~user, mode);
        // Beside it only its spare, holding the installed content.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"DynamicStatus.json", "DynamicStatus.json.new"}));
        QCOMPARE(dir.read("DynamicStatus.json.new"), content);
    }

    // Volatile status is rewritten by swapping names with a spare kept beside
    // it, so that the flash sees the same two files again instead of a new
    // one per rewrite; whatever the spare held, the published file is exactly
    // the new content, in the installed mode.
    void rewriteSwapsWithSpare_data()
    {
        QTest::addColumn<QByteArray>("published"); // null: none yet
        QTest::addColumn<QByteArray>("spare");     // null: none yet
        const QByteArray old("{\n    \"SOC\": \"1%\"\n}\n");
        QTest::newRow("first rewrite") << old << QByteArray();
        QTest::newRow("spare longer than the new content") << old << QByteArray(4096, 'x');
        QTest::newRow("spare empty") << old << QByteArray("");
        QTest::newRow("no published file yet") << QByteArray() << QByteArray();
    }
    void rewriteSwapsWithSpare()
    {
        QFETCH(QByteArray, published);
        QFETCH(QByteArray, spare);
        TestDataDir dir;
        const QString path = dir.file("DynamicStatus.json");
        const QFileDevice::Permissions mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
        if (!published.isNull()) {
            dir.write("DynamicStatus.json", published);
            QVERIFY(QFile::setPermissions(path, mode | QFile::ReadUser | QFile::WriteUser));
        }
        if (!spare.isNull()) {
            dir.write("DynamicStatus.json.new", spare);
            QVERIFY(QFile::setPermissions(path + ".new", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                            QFile::WriteUser));
        }
        for (const char *soc : {"2%", "3%"}) {
            const QJsonObject status{{"SOC", soc}};
            QVERIFY(writeJsonFile(path, status, FileSync::NoSync));
            QCOMPARE(dir.read("DynamicStatus.json"), QJsonDocument(status).toJson(QJsonDocument::Indented));
        }
        // After two rewrites the spare holds the first one, complete.
        QCOMPARE(dir.read("DynamicStatus.json.new"),
                     QJsonDocument(QJsonObject{{"SOC", "2%"}}).toJson(QJsonDocument::Indented));
        if (!published.isNull()) {
            const QFileDevice::Permissions user = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
            QCOMPARE(QFile::permissions(path) & ~user, mode);
        }
    }

    // An idle charger must not rewrite the file every 5 s: only a changed
    // value, or a minute without a write, brings it to the flash.
    void writeCadence_data()
    {
        QTest::addColumn<QString>("change"); // the value changed before the second call, "" for none
        QTest::addColumn<qint64>("laterMs");
        QTest::addColumn<bool>("writes");
        QTest::newRow("unchanged, next 5 s tick") << "" << qint64(5000) << false;
        QTest::newRow("unchanged, just under a minute") << "" << Connector::AliveIntervalMs - 1 << false;
        QTest::newRow("unchanged, a minute later") << "" << Connector::AliveIntervalMs << true;
        QTest::newRow("gun status") << "gun" << qint64(5000) << true;
        QTest::newRow("state of charge") << "soc" << qint64(5000) << true;
        QTest::newRow("stop reason") << "reason" << qint64(5000) << true;
        QTest::newRow("temperature") << "temperature" << qint64(1) << true;
        QTest::newRow("CCU link lost") << "link" << qint64(5000) << true;
    }
    void writeCadence()
    {
        QFETCH(QString, change);
        QFETCH(qint64, laterMs);
        QFETCH(bool, writes);
        TestDataDir dir;
        const QByteArray marker(R"({"GunStatus": "marker", "TimeStamp": "marker"})");
        dir.write("DynamicStatus.json", marker);
        errorinfo.Err_Sys_RS232 = false;
        systemstatus.Gun1_available_sta = 0;
        systemstatus.Sys_available_sta = 0;
        systemstatus.TemperatureStr = QString("25.0Centigrade");
        Str_ChargeStopReason = "Local";
        str_soc = "45";

        Connector connector;
        const qint64 start = 7000;
        QVERIFY(connector.writeIfDue(start)); // the first call always publishes
        QVERIFY(dir.read("DynamicStatus.json") != marker);
        // Further calls without a change do not count as writes.
        QVERIFY(!connector.writeIfDue(start + 1000));
        dir.write("DynamicStatus.json", marker);

        if (change == "gun")
            systemstatus.Gun1_available_sta = 1;
        else if (change == "soc")
            str_soc = "46";
        else if (change == "reason")
            Str_ChargeStopReason = "Remote";
        else if (change == "temperature")
            systemstatus.TemperatureStr = QString("25.5Centigrade");
        else if (change == "link")
            errorinfo.Err_Sys_RS232 = true;
        QCOMPARE(connector.writeIfDue(start + laterMs), writes);
        QCOMPARE(dir.read("DynamicStatus.json") != marker, writes);
    }

    void failuresLeaveFileUntouched_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("logLine");
        const QByteArray good("{\"GunStatus\": \"Idle\", \"SOC\": \"5%\"}\n");
        const QStringList two = {"a", "b"};
        QTest::newRow("missing") << QByteArray() << two << "open json file error.";
        QTest::newRow("garbage bytes") << QByteArray("\x00\xff\xfe{", 4) << two << "json error!";
        QTest::newRow("a list, not an object") << QByteArray("[\"GunStatus\", \"SOC\"]\n") << two << "json error!";
        QTest::newRow("fewer values") << good << QStringList({"Charging"}) << "valuelist wrong,size = ";
    }

    void failuresLeaveFileUntouched()
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
};

QTEST_GUILESS_MAIN(tst_Connector)
#include "tst_connector.moc"
