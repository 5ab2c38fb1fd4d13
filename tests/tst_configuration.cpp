// test-components: common status core
#include "configuration.h"
#include "datafiles.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QtTest>

class tst_Configuration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readConfiguration_data();
    void readConfiguration();
    void laterPairReplacesEarlier();
    void coldBootThenLaterCalls();
    void energyRegisterRoundTrip_data();
    void energyRegisterRoundTrip();
    void corruptEnergyFileIsKeptAside();

private:
    void resetGlobals();
};

void tst_Configuration::resetGlobals()
{
    coldboot = false;
    ConfigObj = QJsonObject();
    Config = Configuration();
    gun_status[1] = Status();
}

void tst_Configuration::init()
{
    resetGlobals();
}

static QByteArray configWith(const QString &pairs)
{
    return QString("{\"configurationKey\":[%1]}").arg(pairs).toUtf8();
}

void tst_Configuration::readConfiguration_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("keyCount");
    QTest::addColumn<quint32>("connection");
    QTest::addColumn<quint32>("meterValue");
    QTest::addColumn<quint32>("retry");

    const QByteArray full = configWith(
        "{\"key\":\"ConnectionTimeOut\",\"value\":\"60\"},"
        "{\"key\":\"MeterValueSampleInterval\",\"value\":\"30\",\"readonly\":true},"
        "{\"key\":\"TransactionMessageRetryInterval\",\"value\":\"20\"},"
        "{\"key\":\"StopTransactionOnInvalidId\",\"value\":\"true\"}");
    QTest::newRow("all keys") << true << full << 4 << 60000u << 30000u << 20000u;
    // Absent file, not JSON, values as numbers, absent keys, zero: the
    // intervals fall back to their minimum instead of a spinning 0 ms timer.
    QTest::newRow("missing file") << false << QByteArray() << 0 << MinConnectionTimeOutMs
                                  << MinMeterValueSampleIntervalMs << MinTransactionMessageRetryIntervalMs;
    QTest::newRow("not json") << true << QByteArray("configurationKey = 5") << 0 << MinConnectionTimeOutMs
                              << MinMeterValueSampleIntervalMs << MinTransactionMessageRetryIntervalMs;
    QTest::newRow("values as numbers")
        << true
        << configWith("{\"key\":\"ConnectionTimeOut\",\"value\":60},{\"key\":\"MeterValueSampleInterval\",\"value\":30}")
        << 2 << MinConnectionTimeOutMs << MinMeterValueSampleIntervalMs << MinTransactionMessageRetryIntervalMs;
    QTest::newRow("absent keys") << true << configWith("{\"key\":\"ConnectionTimeOut\",\"value\":\"90\"}") << 1
                                 << 90000u << MinMeterValueSampleIntervalMs << MinTransactionMessageRetryIntervalMs;
    QTest::newRow("zero, garbage, negative")
        << true
        << configWith("{\"key\":\"ConnectionTimeOut\",\"value\":\"0\"},{\"key\":\"MeterValueSampleInterval\",\"value\":\"ten\"},"
                      "{\"key\":\"TransactionMessageRetryInterval\",\"value\":\"-5\"}")
        << 3 << MinConnectionTimeOutMs << MinMeterValueSampleIntervalMs << MinTransactionMessageRetryIntervalMs;
    // A short interval the operator chose stays; a huge one is held to a day
    // (beyond an int of milliseconds no timer would start).
    QTest::newRow("short kept, huge held to a day")
        << true
        << configWith("{\"key\":\"ConnectionTimeOut\",\"value\":\"5\"},{\"key\":\"MeterValueSampleInterval\",\"value\":\"3000000\"},"
                      "{\"key\":\"TransactionMessageRetryInterval\",\"value\":\"99999999999999999999999\"}")
        << 3 << 5000u << 86400000u << 86400000u;
    // Seconds beyond what milliseconds can hold: a day, or the fallback for a
    // negative one, never an overflow.
    QTest::newRow("beyond the range")
        << true
        << configWith("{\"key\":\"ConnectionTimeOut\",\"value\":\"2222222222222222222\"},"
                      "{\"key\":\"MeterValueSampleInterval\",\"value\":\"-9000000000000000000\"},"
                      "{\"key\":\"TransactionMessageRetryInterval\",\"value\":\"9223372036854775807\"}")
        << 3 << 86400000u << MinMeterValueSampleIntervalMs << 86400000u;
    QTest::newRow("array is not an array") << true << QByteArray("{\"configurationKey\":{\"key\":\"x\"}}") << 0
                                           << MinConnectionTimeOutMs << MinMeterValueSampleIntervalMs
                                           << MinTransactionMessageRetryIntervalMs;
}

void tst_Configuration::readConfiguration()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, content);
    TestDataDir dir;
    if (present)
        QVERIFY(dir.write("configuration.json", content));
    LogCapture log;
    ReadConfigration();
    QFETCH(int, keyCount);
    QVERIFY(log.contains(QString("configration file has keys = %1").arg(keyCount)));
    QCOMPARE(ConfigObj.size(), keyCount);
    QTEST(Config.ConnectionTimeOut, "connection");
    QTEST(Config.MeterValueSampleInterval, "meterValue");
    QTEST(Config.TransactionMessageRetryInterval, "retry");
}

void tst_Configuration::laterPairReplacesEarlier()
{
    TestDataDir dir;
    dir.write("configuration.json",
              configWith("{\"key\":\"StopTransactionOnInvalidId\",\"value\":\"true\"},"
                         "{\"key\":\"StopTransactionOnInvalidId\",\"value\":\"false\"},"
                         "{\"key\":\"MeterValuesSampledData\",\"value\":7}"));
    ReadConfigration();
    QCOMPARE(configText("StopTransactionOnInvalidId"), QString("false"));
    // A number is kept with its JSON type, but reads as empty text.
    QCOMPARE(ConfigObj.value("MeterValuesSampledData").toInt(), 7);
    QCOMPARE(configText("MeterValuesSampledData"), QString());
    QCOMPARE(configText("absent"), QString());
}

void tst_Configuration::coldBootThenLaterCalls()
{
    TestDataDir dir;
    dir.write("configuration.json", configWith("{\"key\":\"ConnectionTimeOut\",\"value\":\"45\"}"));
    dir.write("EnergyMeter_Lcd.json", "{\n    \"EnergyMeter_LCD\": \"1234.5\"\n}\n");
    dir.write("StatusNotification.json", QByteArray(4096, 'x')); // replaced whole
    Status &gun = gun_status[1];
    gun.gun_plugin = true;

    VariableInit();
    QVERIFY(coldboot);
    QCOMPARE(gun.status, QString("Unavailable"));
    QCOMPARE(gun.errorcode, QString("NoError"));
    QVERIFY(!gun.gun_plugin);
    QCOMPARE(gun.f_energy_LcdCal, 1234.5);
    QCOMPARE(Config.ConnectionTimeOut, 45000u);
    QCOMPARE(dir.read("StatusNotification.json"),
             QByteArray("{\n    \"connectorId\": 1,\n    \"errorCode\": \"NoError\",\n    \"status\": \"Unavailable\"\n}\n"));
    // Rewritten through a temporary file that is renamed over it: none is left.
    QCOMPARE(QDir(dir.path()).entryList({"*.json*"}, QDir::Files).size(), 3);

    // A session later: the home page resets the session but keeps status,
    // plug, card state, reason, transaction and the register.
    gun.status = sta_Finishing;
    gun.gun_plugin = true;
    gun.CardRead = 2;
    gun.stopReason = Local;
    gun.transactionId = 77;
    gun.f_energy_LcdCal = 1300.25;
    gun.f_energy = 1300.25;
    gun.f_stopmeter = 1300.0;
    gun.charge_style = 2;
    gun.IDtag = "card";
    gun.IDtag_stop = "card";
    gun.startRequest = 3;
    gun.f_chargedkWh = 5;
    gun.int_chargedtime = 12;
    gun.f_CusSetkWh = 20;
    Start_command_set_1 = true;
    Stop_command_set_1 = true;
    SystemResetReq = 1;
    dir.write("configuration.json", configWith("{\"key\":\"ConnectionTimeOut\",\"value\":\"99\"}"));

    VariableInit();
    QCOMPARE(gun.status, sta_Finishing);
    QVERIFY(gun.gun_plugin);
    QCOMPARE(gun.CardRead, quint16(2));
    QCOMPARE(gun.stopReason, Local);
    QCOMPARE(gun.transactionId, 77);
    QCOMPARE(gun.f_energy_LcdCal, 1300.25);
    QCOMPARE(gun.f_energy, 1300.25);
    QCOMPARE(gun.f_stopmeter, 1300.0);
    QCOMPARE(gun.charge_style, quint16(0));
    QCOMPARE(gun.page, page_home);
    QVERIFY(gun.IDtag.isEmpty() && gun.IDtag_stop.isEmpty());
    QCOMPARE(gun.Charging_phase, quint16(1));
    QCOMPARE(gun.startRequest, quint16(0));
    QCOMPARE(gun.f_chargedkWh, 0.0f);
    QCOMPARE(gun.int_chargedtime, 0);
    QCOMPARE(gun.str_togokWh, QString("--"));
    QCOMPARE(gun.str_remaintime, QString("--"));
    QCOMPARE(gun.f_CusSetkWh, 0.0f);
    QVERIFY(!Start_command_set_1 && !Stop_command_set_1);
    QCOMPARE(SystemResetReq, quint16(0));
    // The configuration is read once per run.
    QCOMPARE(Config.ConnectionTimeOut, 45000u);
    // Elements 0 and 2 are never touched.
    QVERIFY(gun_status[0].page.isEmpty() && gun_status[2].status.isEmpty());
}

void tst_Configuration::energyRegisterRoundTrip_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("zero") << 0.0 << QByteArray("{\n    \"EnergyMeter_LCD\": \"0.0\"\n}\n");
    QTest::newRow("one decimal") << 1234.54 << QByteArray("{\n    \"EnergyMeter_LCD\": \"1234.5\"\n}\n");
    QTest::newRow("large") << 999999.8 << QByteArray("{\n    \"EnergyMeter_LCD\": \"999999.8\"\n}\n");
}

void tst_Configuration::energyRegisterRoundTrip()
{
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    TestDataDir dir;
    QVERIFY(writeEnergyRegister(value));
    QCOMPARE(dir.read("EnergyMeter_Lcd.json"), expected);
    QCOMPARE(readEnergyRegister(), QString::fromLatin1(expected).section('"', 3, 3).toDouble());
}

void tst_Configuration::corruptEnergyFileIsKeptAside()
{
    TestDataDir dir;
    QCOMPARE(readEnergyRegister(), 0.0); // no file yet: a new charger
    const QByteArray damaged("{\n    \"EnergyMeter_LCD\": \"12");
    dir.write("EnergyMeter_Lcd.json", damaged);
    LogCapture log;
    QCOMPARE(readEnergyRegister(), 0.0);
    QVERIFY(log.contains("energy register file unreadable"));
    QCOMPARE(dir.read("EnergyMeter_Lcd.json.corrupt"), damaged);

    dir.write("EnergyMeter_Lcd.json", "{\"EnergyMeter_LCD\": \"-5\"}");
    QCOMPARE(readEnergyRegister(), 0.0);
}

QTEST_GUILESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
