// test-switches: device
// Whole sessions of the device build: the real object graph, its CCU and
// meter workers on their threads against ccu-sim and meter-sim on
// pseudo-terminals, and ocpp-client-sim on the FIFOs. The supervisor is ticked
// directly, five times a second; the device links run at their own pace.
#include "application.h"
#include "ccu_records.h"
#include "dc_meter_data.h"
#include "fonts.h"
#include "globalvariable.h"
#include "ptysupport.h"
#include "runtimeoptions.h"
#include "screenclick.h"
#include "testsupport.h"

#include <QtTest>

#include <functional>

class tst_DeviceSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void screenAndRemoteSessions();

private:
    // Ticks the supervisor until the condition holds or the time is up.
    bool tickUntil(ChargerApplication &app, const std::function<bool()> &done, int ms);
};

void tst_DeviceSession::initTestCase()
{
    registerRobotoFonts();
    QVERIFY(!DebugMode && !DebugMode_ChargerGun && Config_DC_Meter);
}

bool tst_DeviceSession::tickUntil(ChargerApplication &app, const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        app.window.timerUpdate();
        if (done())
            return true;
        QTest::qWait(200);
    }
    return done();
}

void tst_DeviceSession::screenAndRemoteSessions()
{
    TestDataDir dir;
    dir.write("configuration.json",
              "{\"configurationKey\":[{\"key\":\"MeterValueSampleInterval\",\"value\":\"10\"},"
              "{\"key\":\"MeterValuesSampledData\",\"value\":\"Power.Active.Export,SoC\"}]}");

    Simulator ccu, meter, client;
    CcuPortName = ccu.start("ccu-sim", {"--handshake-seconds", "1", "--prepare-seconds", "1", "--charge-seconds", "6",
                                        "--soc", "80", "--stop-seconds", "1"});
    QVERIFY2(CcuPortName.startsWith("/dev/"), qPrintable(CcuPortName));
    MeterPortName = meter.start("meter-sim", {"--voltage", "400", "--current", "100", "--energy", "1000"});
    QVERIFY2(MeterPortName.startsWith("/dev/"), qPrintable(MeterPortName));
    client.process.setProcessChannelMode(QProcess::MergedChannels);
    client.start("ocpp-client-sim", {"--data-dir", dir.path()});

    MainWindow::setPauseScale(0.1);
    ChargerApplication app;
    app.mytimer.stop(); // the test ticks the supervisor itself
    app.startDeviceLinks();
    Status &gun = gun_status[1];

    // The links come up: boot-up read, status, the meter's register.
    QVERIFY(tickUntil(app, [] { return gun_status[1].status == sta_Available; }, 20000));
    QVERIFY(tickUntil(app, [] { return dc_meter_data[1].Powerquantity >= 1000.0f; }, 8000));
    QVERIFY(!errorinfo.Err_Sys_RS232);

    // Session 1, from the screen: plug (reported by the CCU), card, start.
    // No simulated card on a charger's screen: the card comes through the
    // OCPP client, as an accepted Authorize.
    ccu.send("plug");
    QVERIFY(tickUntil(app, [] { return gun_status[1].gun_plugin; }, 5000));
    QVERIFY(clickVisible("pushButton_fastcharging"));
    QCOMPARE(gun.page, page_authorize);
    QVERIFY2(!visibleButton("checkBox_RFID"), "no simulated card in the device build");
    client.send(R"(send 1=AuthorizeResponse={"idTagInfo":{"status":"Accepted"}})");
    QVERIFY(tickUntil(app, [] { return gun_status[1].page == page_standby; }, 5000));
    QVERIFY(clickVisible("pushButton_start"));
    QVERIFY(tickUntil(app, [] { return gun_status[1].page == page_charging; }, 8000));
    QVERIFY(tickUntil(app, [] { return charginfo.Charging_phase == 3 && gun_status[1].f_voltage > 100; }, 8000));
    QVERIFY(gun.soc >= 80);
    QVERIFY(tickUntil(app, [] { return gun_status[1].page == page_complete; }, 20000));
    QVERIFY(tickUntil(app, [] { return gun_status[1].status == sta_Finishing; }, 3000));
    QVERIFY2(gun.f_chargedkWh > 0.01f, "the session energy comes from the meter's register");
    QVERIFY(clickVisible("pushButton_confirm"));
    QVERIFY(clickVisible("pushButton"));
    QCOMPARE(gun.page, page_home);
    ccu.send("unplug");
    QVERIFY(tickUntil(app, [] { return gun_status[1].status == sta_Available; }, 5000));

    // Session 2, started by the central system while the driver waits for
    // the card prompt.
    ccu.send("plug");
    QVERIFY(tickUntil(app, [] { return gun_status[1].gun_plugin; }, 5000));
    QVERIFY(clickVisible("pushButton_fastcharging"));
    client.send("RemoteStartTransaction REMOTE-TAG");
    QVERIFY(tickUntil(app, [] { return gun_status[1].page == page_charging; }, 8000));
    QCOMPARE(gun.IDtag, QString("REMOTE-TAG"));
    // The power stage really starts: the CCU runs its curve.
    QVERIFY(tickUntil(app, [] { return charginfo.Charging_phase == 3; }, 8000));
    QVERIFY(tickUntil(app, [] { return gun_status[1].page == page_complete; }, 20000));
    QVERIFY(tickUntil(app, [] { return gun_status[1].status == sta_Finishing; }, 3000));
    QTest::qWait(500);

    // Each session: one StartTransaction and one StopTransaction.
    QCOMPARE(client.count("<- 1=StartTransaction="), 2);
    QCOMPARE(client.count("<- 1=StopTransaction="), 2);
    QCOMPARE(client.count("\"idTag\": \"REMOTE-TAG\""), 1);
    QVERIFY(ccu.process.isOpen());

    // Exit: LEDs off, workers stopped, no hang.
    QElapsedTimer t;
    t.start();
    app.window.UI_interface_exit();
    QVERIFY(t.elapsed() < 3000);
}

QTEST_MAIN(tst_DeviceSession)
#include "tst_devicesession.moc"
