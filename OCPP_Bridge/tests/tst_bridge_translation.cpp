// The bridge's tables: the HMI's requests in OCPP form, the HMI's
// measurands and energy figures, the central system's frames, the
// configuration keys it may change, and the durable queue's file.
#include "chargepointconfig.h"
#include "csmsconnection.h"
#include "hmienvelope.h"
#include "transactionstore.h"
#include "translation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDateTime Now = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);

QJsonObject obj(const char *json) { return QJsonDocument::fromJson(json).object(); }

} // namespace

class tst_BridgeTranslation : public QObject
{
    Q_OBJECT

private slots:
    void energyText_data();
    void energyText();
    void refinedReading_data();
    void refinedReading();
    void sampledValues_data();
    void sampledValues();
    void requests_data();
    void requests();
    void measurandLists_data();
    void measurandLists();
    void answersForHmi_data();
    void answersForHmi();
    void envelope_data();
    void envelope();
    void frames_data();
    void frames();
    void configurationChanges_data();
    void configurationChanges();
    void storeSurvivesRestart();
};

void tst_BridgeTranslation::energyText_data()
{
    QTest::addColumn<QString>("kWh");
    QTest::addColumn<qint64>("wh");
    QTest::newRow("one decimal") << "1234.5" << qint64(1234500);
    QTest::newRow("whole") << "12" << qint64(12000);
    QTest::newRow("register top") << "999999.9" << qint64(999999900);
    QTest::newRow("fourth decimal rounds") << "12.3456" << qint64(12346);
    QTest::newRow("negative") << "-1.0" << qint64(-1);
    QTest::newRow("exponent") << "1e3" << qint64(-1);
    QTest::newRow("not measured") << "NotSupported" << qint64(-1);
}

void tst_BridgeTranslation::energyText()
{
    QFETCH(QString, kWh);
    QTEST(Translation::kWhTextToWh(kWh), "wh");
}

void tst_BridgeTranslation::refinedReading_data()
{
    QTest::addColumn<qint64>("wholeKWh");
    QTest::addColumn<qint64>("lastWh");
    QTest::addColumn<qint64>("wh");
    QTest::newRow("no reading yet") << qint64(12) << qint64(-1) << qint64(12000);
    QTest::newRow("reading within the kWh") << qint64(12) << qint64(12300) << qint64(12300);
    QTest::newRow("older reading below") << qint64(12) << qint64(11900) << qint64(12000);
    QTest::newRow("reading beyond the kWh") << qint64(12) << qint64(13000) << qint64(12000);
    QTest::newRow("register wrapped") << qint64(0) << qint64(999999900) << qint64(0);
}

void tst_BridgeTranslation::refinedReading()
{
    QFETCH(qint64, wholeKWh);
    QFETCH(qint64, lastWh);
    QTEST(Translation::refinedWh(wholeKWh, lastWh), "wh");
}

void tst_BridgeTranslation::sampledValues_data()
{
    QTest::addColumn<QString>("measurand");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected"); // measurand/unit/value, or "" when dropped
    QTest::newRow("energy register") << "Power.Active.Export" << "kWh" << "12.3"
                                     << "Energy.Active.Import.Register/Wh/12300";
    QTest::newRow("voltage") << "Voltage" << "V" << "400.0" << "Voltage/V/400.0";
    QTest::newRow("charging current") << "Current.Export" << "A" << "60.0" << "Current.Import/A/60.0";
    QTest::newRow("state of charge") << "SoC" << "Percent" << "80" << "SoC/Percent/80";
    QTest::newRow("not supported") << "Temperature" << "null" << "NotSupported" << "";
    QTest::newRow("blank before the name") << " Voltage" << "null" << "NotSupported" << "";
    QTest::newRow("value no number") << "Voltage" << "V" << "nan" << "";
}

void tst_BridgeTranslation::sampledValues()
{
    QFETCH(QString, measurand);
    QFETCH(QString, unit);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    const QJsonObject hmi{{"format", "Raw"}, {"measurand", measurand}, {"unit", unit}, {"value", value}};
    QJsonObject ocpp;
    const bool kept = Translation::sampledValue(hmi, &ocpp);
    QCOMPARE(kept, !expected.isEmpty());
    if (!kept)
        return;
    QCOMPARE(QStringList({ocpp.value("measurand").toString(), ocpp.value("unit").toString(),
                          ocpp.value("value").toString()})
                 .join('/'),
             expected);
    QCOMPARE(ocpp.value("context").toString(), QString("Sample.Periodic"));
    QCOMPARE(ocpp.contains("location"), measurand == "SoC");
}

void tst_BridgeTranslation::requests_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("hmi");
    QTest::addColumn<qint64>("lastWh");
    QTest::addColumn<QByteArray>("ocpp"); // "" when not sent
    const QByteArray ts = "\"timestamp\": \"2024-03-05T14:00:00Z\"";
    QTest::newRow("start, no reservation")
        << "StartTransaction"
        << "{\"connectorId\": 1, \"idTag\": \"CARD1\", \"meterStart\": 1234, \"reservationId\": 0, " + ts + "}"
        << qint64(-1)
        << "{\"connectorId\": 1, \"idTag\": \"CARD1\", \"meterStart\": 1234000, " + ts + "}";
    QTest::newRow("start, reservation and finer register")
        << "StartTransaction"
        << "{\"connectorId\": 1, \"idTag\": \"CARD1\", \"meterStart\": 1234, \"reservationId\": 7, " + ts + "}"
        << qint64(1234500)
        << "{\"connectorId\": 1, \"idTag\": \"CARD1\", \"meterStart\": 1234500, \"reservationId\": 7, " + ts + "}";
    QTest::newRow("start, tag of 21 characters")
        << "StartTransaction"
        << "{\"connectorId\": 1, \"idTag\": \"123456789012345678901\", \"meterStart\": 0, " + ts + "}" << qint64(-1)
        << QByteArray();
    QTest::newRow("stop, known reason")
        << "StopTransaction" << "{\"meterStop\": 1235, \"reason\": \"Local\", " + ts + ", \"transactionId\": 5}"
        << qint64(1235600) << "{\"meterStop\": 1235600, \"reason\": \"Local\", " + ts + ", \"transactionId\": 5}";
    QTest::newRow("stop, unknown reason")
        << "StopTransaction" << "{\"meterStop\": 1235, \"reason\": \"Bored\", " + ts + ", \"transactionId\": 5}"
        << qint64(-1) << "{\"meterStop\": 1235000, \"reason\": \"Other\", " + ts + ", \"transactionId\": 5}";
    QTest::newRow("stop, no reason")
        << "StopTransaction" << "{\"meterStop\": 1235, \"reason\": \"\", " + ts + ", \"transactionId\": -2}"
        << qint64(-1) << "{\"meterStop\": 1235000, " + ts + ", \"transactionId\": -2}";
    QTest::newRow("meter values, NotSupported dropped")
        << "MeterValues"
        << "{\"connectorId\": 1, \"meterValue\": [{\"sampledValue\": ["
           "{\"format\": \"Raw\", \"measurand\": \"Power.Active.Export\", \"unit\": \"kWh\", \"value\": \"3.4\"},"
           "{\"format\": \"Raw\", \"measurand\": \"Frequency\", \"unit\": \"null\", \"value\": \"NotSupported\"}], " +
               ts + "}], \"transactionId\": 9}"
        << qint64(-1)
        << "{\"connectorId\": 1, \"meterValue\": [{\"sampledValue\": [{\"context\": \"Sample.Periodic\", \"format\": "
           "\"Raw\", \"measurand\": \"Energy.Active.Import.Register\", \"unit\": \"Wh\", \"value\": \"3400\"}], " +
               ts + "}], \"transactionId\": 9}";
    QTest::newRow("meter values, nothing measurable")
        << "MeterValues"
        << "{\"connectorId\": 1, \"meterValue\": [{\"sampledValue\": [{\"format\": \"Raw\", \"measurand\": \"\", "
           "\"unit\": \"null\", \"value\": \"NotSupported\"}], " + ts + "}], \"transactionId\": 9}"
        << qint64(-1) << QByteArray();
    QTest::newRow("status, unknown error code")
        << "StatusNotification" << QByteArray("{\"connectorId\": 1, \"errorCode\": \"Smoke\", \"status\": \"Faulted\"}")
        << qint64(-1)
        << QByteArray("{\"connectorId\": 1, \"errorCode\": \"OtherError\", \"status\": \"Faulted\", "
                      "\"timestamp\": \"2024-03-05T14:07:09Z\"}");
    QTest::newRow("status, unknown status")
        << "StatusNotification" << QByteArray("{\"connectorId\": 1, \"errorCode\": \"NoError\", \"status\": \"Busy\"}")
        << qint64(-1) << QByteArray();
    QTest::newRow("authorize, quote in the tag")
        << "Authorize" << QByteArray("{\"idTag\": \"A\\\"B\"}") << qint64(-1) << QByteArray();
}

void tst_BridgeTranslation::requests()
{
    QFETCH(QString, action);
    QFETCH(QByteArray, hmi);
    QFETCH(qint64, lastWh);
    QFETCH(QByteArray, ocpp);
    const QJsonObject in = QJsonDocument::fromJson(hmi).object();
    QVERIFY(!in.isEmpty());
    Translation::Outcome o;
    if (action == "StartTransaction")
        o = Translation::startTransaction(in, lastWh, Now);
    else if (action == "StopTransaction")
        o = Translation::stopTransaction(in, lastWh, Now);
    else if (action == "MeterValues")
        o = Translation::meterValues(in, Now);
    else if (action == "StatusNotification")
        o = Translation::statusNotification(in, Now);
    else
        o = Translation::authorize(in);
    QCOMPARE(o.ok, !ocpp.isEmpty());
    if (o.ok)
        QCOMPARE(o.payload, QJsonDocument::fromJson(ocpp).object());
    else
        QVERIFY(!o.problem.isEmpty());
}

void tst_BridgeTranslation::measurandLists_data()
{
    QTest::addColumn<QString>("ocpp");
    QTest::addColumn<QString>("hmi"); // null when refused
    QTest::newRow("all four") << "Energy.Active.Import.Register,Voltage,Current.Import,SoC"
                              << "Power.Active.Export,Voltage,Current.Export,SoC";
    QTest::newRow("blanks after commas") << "SoC, Voltage" << "SoC,Voltage";
    QTest::newRow("none") << "" << "";
    QTest::newRow("not measurable") << "Power.Active.Import" << QString();
    QTest::newRow("empty part") << "Voltage,,SoC" << QString();
}

void tst_BridgeTranslation::measurandLists()
{
    QFETCH(QString, ocpp);
    QFETCH(QString, hmi);
    bool ok = false;
    const QString stored = Translation::measurandsToHmi(ocpp, &ok);
    QCOMPARE(ok, !hmi.isNull());
    if (ok) {
        QCOMPARE(stored, hmi);
        // What GetConfiguration reports is what was set.
        QCOMPARE(Translation::measurandsToOcpp(stored), QString(ocpp).remove(' '));
    }
}

void tst_BridgeTranslation::answersForHmi_data()
{
    QTest::addColumn<QByteArray>("ocpp");
    QTest::addColumn<QByteArray>("hmi");
    QTest::newRow("unknown status") << QByteArray("{\"idTagInfo\": {\"status\": \"Maybe\"}}")
                                    << QByteArray("{\"idTagInfo\": {\"status\": \"Invalid\"}}");
    // The HMI would send its message again on this phrase.
    QTest::newRow("failure phrase in a date")
        << QByteArray("{\"idTagInfo\": {\"status\": \"Blocked\", \"expiryDate\": \"failure to process the message\"}}")
        << QByteArray("{\"idTagInfo\": {\"status\": \"Blocked\"}}");
    QTest::newRow("no idTagInfo") << QByteArray("{}") << QByteArray("{}");
}

void tst_BridgeTranslation::answersForHmi()
{
    QFETCH(QByteArray, ocpp);
    QFETCH(QByteArray, hmi);
    QCOMPARE(Translation::hmiIdTagAnswer(obj(ocpp)), obj(hmi));
}

void tst_BridgeTranslation::envelope_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QStringList>("actions"); // of the messages found; "!" for one that is none
    const QByteArray authorize = "1=Authorize={\n    \"idTag\": \"A\"\n}\n\n";
    const QByteArray meter = "1=MeterValues={\n    \"meterValue\": [\n        {\n            \"x\": 1\n        }\n"
                             "    ]\n}\n\n";
    QTest::newRow("one message") << authorize << QStringList{"Authorize"};
    QTest::newRow("two within one open") << authorize + meter << QStringList{"Authorize", "MeterValues"};
    QTest::newRow("nested braces stay together") << meter << QStringList{"MeterValues"};
    QTest::newRow("compact") << QByteArray("7=Reset={\"type\":\"Soft\"}") << QStringList{"Reset"};
    QTest::newRow("garbage after a message") << authorize + "xyz" << QStringList{"Authorize", "!"};
    QTest::newRow("no envelope") << QByteArray("{\"idTag\": \"A\"}\n") << QStringList{"!"};
    QTest::newRow("broken JSON") << QByteArray("1=Authorize={\"idTag\": }\n") << QStringList{"!"};
    QTest::newRow("blank lines only") << QByteArray("\n\n\n") << QStringList{};
}

void tst_BridgeTranslation::envelope()
{
    QFETCH(QByteArray, chunk);
    QStringList actions;
    for (const QByteArray &text : HmiEnvelope::split(chunk)) {
        const HmiEnvelope::Message m = HmiEnvelope::parse(text);
        actions << (m.ok ? m.action : QStringLiteral("!"));
    }
    QTEST(actions, "actions");
}

void tst_BridgeTranslation::frames_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("error");
    QTest::newRow("call") << QByteArray("[2,\"a1\",\"Reset\",{\"type\":\"Soft\"}]") << 2 << "a1" << "";
    QTest::newRow("result") << QByteArray("[3,\"a1\",{}]") << 3 << "a1" << "";
    QTest::newRow("error") << QByteArray("[4,\"a1\",\"InternalError\",\"x\",{}]") << 4 << "a1" << "";
    QTest::newRow("not JSON") << QByteArray("garbage") << 0 << "" << "FormationViolation";
    QTest::newRow("call without payload") << QByteArray("[2,\"a1\",\"Reset\"]") << 0 << "a1" << "FormationViolation";
    QTest::newRow("number as id") << QByteArray("[2,5,\"Reset\",{}]") << 0 << "" << "FormationViolation";
    QTest::newRow("id too long") << QByteArray("[2,\"" + QByteArray(37, 'x') + "\",\"Reset\",{}]") << 0 << ""
                                 << "FormationViolation";
    QTest::newRow("unknown type") << QByteArray("[9,\"a1\",{}]") << 0 << "a1" << "ProtocolError";
}

void tst_BridgeTranslation::frames()
{
    QFETCH(QByteArray, text);
    const OcppFrame f = OcppFrame::parse(text);
    QTEST(int(f.type), "type");
    QTEST(f.id, "id");
    QTEST(f.error, "error");
}

void tst_BridgeTranslation::configurationChanges_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("stored"); // the line's value afterwards; null: file unchanged
    QTest::newRow("interval read at start") << "ConnectionTimeOut" << "90" << "RebootRequired" << "90";
    QTest::newRow("negative interval") << "ConnectionTimeOut" << "-5" << "Rejected" << QString();
    QTest::newRow("boolean any case") << "StopTransactionOnInvalidId" << "FALSE" << "RebootRequired" << "false";
    QTest::newRow("boolean other word") << "StopTransactionOnEVSideDisconnect" << "yes" << "Rejected" << QString();
    QTest::newRow("measurands by their OCPP names") << "MeterValuesSampledData" << "Energy.Active.Import.Register,SoC"
                                                    << "RebootRequired" << "Power.Active.Export,SoC";
    QTest::newRow("measurand not measurable") << "MeterValuesSampledData" << "Power.Active.Import" << "Rejected"
                                              << QString();
    QTest::newRow("heartbeat, the bridge's own") << "HeartbeatInterval" << "120" << "Accepted" << "120";
    QTest::newRow("read-only key") << "ChargePointId" << "X" << "Rejected" << QString();
    QTest::newRow("unknown key") << "AuthorizationKey" << "secret" << "NotSupported" << QString();
}

void tst_BridgeTranslation::configurationChanges()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    QTemporaryDir dir;
    const QString path = dir.filePath("configuration.json");
    QVERIFY(QFile::copy(QStringLiteral(HMI_SOURCE_DIR "/deploy/configuration.json"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    // One read-only key as a central system may find it.
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QByteArray original = f.readAll();
    original.replace("    ]\n}", "        ,{ \"key\": \"ChargePointId\", \"readonly\": true, \"value\": \"CP1\" }\n    ]\n}");
    f.resize(0);
    f.write(original);
    f.close();

    ChargePointConfig config(path);
    int heartbeat = -1;
    QTEST(config.change(key, value, &heartbeat), "status");
    QCOMPARE(heartbeat, key == "HeartbeatInterval" && !stored.isNull() ? stored.toInt() : -1);
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    const QByteArray text = after.readAll();
    if (stored.isNull()) {
        QCOMPARE(text, original);
        return;
    }
    // The HMI reads the new value; the file keeps its one-key-a-line form.
    const QJsonArray keys = QJsonDocument::fromJson(text).object().value("configurationKey").toArray();
    QString found;
    for (const QJsonValue &k : keys)
        if (k.toObject().value("key") == key)
            found = k.toObject().value("value").toString();
    QCOMPARE(found, stored);
    QVERIFY2(text.contains("        { \"key\": \"" + key.toUtf8() + "\", \"readonly\": false, \"value\": \"" +
                           stored.toUtf8() + "\" }"),
             text.constData());
    for (const QByteArray &line : original.split('\n'))
        if (!line.contains('"' + key.toUtf8() + '"') && line.contains("\"key\""))
            QVERIFY2(text.contains(line.trimmed().replace(",{", "{")), line.constData());
    // GetConfiguration tells what was set, in the central system's names.
    QStringList unknown;
    QCOMPARE(config.get({key}, heartbeat >= 0 ? heartbeat : 300, &unknown).value(0).value,
             key == "MeterValuesSampledData" ? value : stored);
}

void tst_BridgeTranslation::storeSurvivesRestart()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("OcppQueue.json");
    {
        TransactionStore store(path);
        QVERIFY(store.load());
        TransactionStore::Transaction &t = store.newTransaction(1, "CARD1");
        QCOMPARE(t.localId, qint64(-1));
        const qint64 seq = store.nextSeq();
        store.append("StartTransaction", QJsonObject{{"meterStart", 1000}}, true, seq).localId = t.localId;
        store.append("MeterValues", QJsonObject{{"transactionId", -1}}, false, store.nextSeq());
        store.transactions().last().hmiId = -1;
        store.setLastEnergyWh(1234500);
        QVERIFY(store.save());
    }
    TransactionStore again(path);
    QVERIFY(again.load());
    QCOMPARE(again.queue().size(), 2);
    QCOMPARE(again.queue().at(0).action, QString("StartTransaction"));
    QCOMPARE(again.queue().at(0).localId, qint64(-1));
    QCOMPARE(again.queue().at(1).answered, false);
    QVERIFY(again.byHmiId(-1));
    QCOMPARE(again.lastEnergyWh(), qint64(1234500));
    // Numbers go on where they stopped: no id or order is handed out twice.
    QCOMPARE(again.newTransaction(1, "CARD2").localId, qint64(-2));
    QVERIFY(again.nextSeq() > again.queue().at(1).seq);

    // A damaged file is kept aside; the bridge starts empty instead of failing.
    QFile damaged(path);
    QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("{\"queue\": [");
    damaged.close();
    TransactionStore broken(path);
    QVERIFY(!broken.load());
    QVERIFY(broken.queue().isEmpty());
    QVERIFY(QFile::exists(path + ".corrupt"));
}

QTEST_GUILESS_MAIN(tst_BridgeTranslation)
#include "tst_bridge_translation.moc"
