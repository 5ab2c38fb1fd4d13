// test-components: common status core session
// The session supervisor driven tick by tick, without a window: a view stub
// records what the rules ask of the screens and moves the page as the main
// window's navigation does.
#include "ccu_records.h"
#include "configuration.h"
#include "datafiles.h"
#include "dc_meter_data.h"
#include "globalvariable.h"
#include "sessionsupervisor.h"
#include "sessionview.h"
#include "testsupport.h"
#include "transactionrecord.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {
// The screens as the supervisor sees them: each page change moves the page
// as the main window does; what is shown is recorded.
struct ViewStub : SessionView
{
    QStringList shown;
    void showClock(const QString &) override {}
    void showPlugIcon(bool) override {}
    void showNetworkIcon(quint16) override {}
    void setPluginPrompt(bool on) override { shown << (on ? "prompt" : "prompt off"); }
    void openStandbyPage() override { gun_status[1].page = page_standby; }
    void openChargingPage() override
    {
        gun_status[1].page = page_charging;
        shown << "charging page " + str_chargedkWh + " kWh " + str_chargedMoney;
    }
    void openCompletionPage() override
    {
        const QString page = gun_status[1].page;
        if (page == page_standby_child2 || page == page_charging_child1 || page == page_charging_child2 ||
            page == page_charging)
            gun_status[1].page = page_complete;
    }
    void openStopConfirmation() override { gun_status[1].page = page_charging_child2; }
    void closeStopConfirmation() override { shown << "stop dialog off"; }
    void refreshChargingFigures() override {}
    void refreshCompletionFigures() override {}
    void showErrorPopup(const QString &text) override { shown << text; }
};

// Records every request the supervisor raises, with the status at that moment.
struct Requests : QObject
{
    QStringList log;
    explicit Requests(SessionSupervisor *w)
    {
        connect(w, &SessionSupervisor::StatusNotification_req, this, [this] { log << "Status:" + gun_status[1].status; });
        connect(w, &SessionSupervisor::StrartTransaction_req, this, [this] { log << "StartTransaction"; });
        connect(w, &SessionSupervisor::StopTransacation_req, this, [this] { log << "Stop:" + gun_status[1].stopReason; });
        connect(w, &SessionSupervisor::Authorize_req, this, [this] { log << "Authorize"; });
        connect(w, &SessionSupervisor::signal_gun_Start_Command, this, [this] {
            log << "CcuStart";
            Start_command_set_1 = true; // what the CCU owner's relay does
        });
        connect(w, &SessionSupervisor::signal_gun_Stop_Command, this, [this] {
            log << "CcuStop";
            Stop_command_set_1 = true;
        });
        connect(w, &SessionSupervisor::signal_SoftwareReset, this, [this] { log << "SoftwareReset"; });
        connect(w, &SessionSupervisor::signal_HardwareReset, this, [this] { log << "HardwareReset"; });
    }
    QStringList take()
    {
        QStringList l = log;
        log.clear();
        return l;
    }
};

QByteArray configWith(const QString &invalidId, const QString &evSide = "true")
{
    QString keys = "{\"key\":\"ConnectionTimeOut\",\"value\":\"30\"},{\"key\":\"MeterValueSampleInterval\",\"value\":\"60\"}";
    if (!invalidId.isEmpty())
        keys += ",{\"key\":\"StopTransactionOnInvalidId\",\"value\":\"" + invalidId + "\"}";
    keys += ",{\"key\":\"StopTransactionOnEVSideDisconnect\",\"value\":\"" + evSide + "\"}";
    return QString("{\"configurationKey\":[%1]}").arg(keys).toUtf8();
}
} // namespace

class tst_Supervisor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startupWindowThenAvailable();
    void tickLinesOnlyOnChange_data();
    void tickLinesOnlyOnChange();
    void availabilityRules_data();
    void availabilityRules();
    void authorizationWindowExpires();
    void cardSessionEndToEnd();
    void chargingPageOpensWithThisSessionsFigures();
    void persistentFaultDuringChargingSendsOneTransaction();
    void completionPage_data();
    void completionPage();
    void rejectedCardShowsPopup();
    void remoteStartGivesTheCcuStart();
    void faultsAndRecovery();
    void unansweredStartEndsAndFreesTheConnector();
    void abortBeforeChargingSendsNoStop();
    void newSessionAsksForTheCardAgain();
    void remoteStopWithAStopDialogOpen_data();
    void remoteStopWithAStopDialogOpen();
    void fixedAmountStopsAtTheTarget_data();
    void fixedAmountStopsAtTheTarget();
    void resetWhileIdleRunsScript();
    void resetDuringChargingStopsFirst_data();
    void resetDuringChargingStopsFirst();
    void resetWaitsForTheStopAnswer_data();
    void resetWaitsForTheStopAnswer();
    void shutdownStopsTheSession_data();
    void shutdownStopsTheSession();
    void completeShowOnHomeChangesNoPage();
    void stopNeverCarriedOutEndsTheSession();
    void summaryLeftBeforeTheTick_data();
    void summaryLeftBeforeTheTick();
    void statusPausesBlock();

    void chargingProfile_data();
    void chargingProfile();
    void registerArithmetic_data();
    void registerArithmetic();
    void remainingTime_data();
    void remainingTime();

private:
    SessionSupervisor *makeSupervisor(const QByteArray &config = configWith("true"));
    void passStartupWindow(SessionSupervisor *w);
    void reachCharging(SessionSupervisor *w, Requests &r);
    // Plugged, card accepted: the standby page.
    void reachStandby(SessionSupervisor *w);
    // A new supervisor's session on the charging page, its StartTransaction
    // accepted; the requests it raises are recorded from then on.
    Requests &acceptedSession(SessionSupervisor *&w);
    // The main window's navigation, as far as the page goes.
    void openAuthorization();
    void showHome(SessionSupervisor *w);

    TestDataDir *m_dir = nullptr;
    ViewStub m_view;
    SessionSupervisor *m_supervisor = nullptr;
    std::unique_ptr<Requests> m_requests;
};

void tst_Supervisor::initTestCase()
{
    SessionSupervisor::setPauseScale(0);
}

void tst_Supervisor::init()
{
    m_dir = new TestDataDir;
    m_view.shown.clear();
    for (Status &s : gun_status)
        s = Status();
    coldboot = false;
    self_check_time = 0;
    SystemResetReq = 0;
    Start_command_set_1 = Stop_command_set_1 = false;
    Debug_EVSideDisconnect = false;
    Network_State = 0;
    debug = Debug();
    ConfigObj = QJsonObject();
    int_chargedtime_s = 0;
    systemstatus.Sys_available_sta = 0;
    systemstatus.Gun1_available_sta = 0;
    systemstatus.Gun1_plugged_sta = 0;
    errorinfo.Err_Sys_RS232 = false;
    errorinfo.Err_Gun1_Elock = false;
    errorinfo.Err_Gun1_ISO = false;
    dc_meter_data[1].Com_error = false;
    charginfo.Time_Full_Togo = 0;
}

void tst_Supervisor::cleanup()
{
    m_requests.reset();
    delete m_supervisor;
    m_supervisor = nullptr;
    timer_connection.stop();
    timer_SendMeterValue_1.stop();
    delete m_dir;
    m_dir = nullptr;
}

// As the main window starts: the home page (the session record prepared),
// then the first tick.
SessionSupervisor *tst_Supervisor::makeSupervisor(const QByteArray &config)
{
    m_dir->write("configuration.json", config);
    m_supervisor = new SessionSupervisor(&m_view);
    showHome(m_supervisor);
    m_supervisor->tick();
    return m_supervisor;
}

void tst_Supervisor::showHome(SessionSupervisor *w)
{
    gun_status[1].page = page_home;
    w->resetSession();
    VariableInit();
}

void tst_Supervisor::openAuthorization()
{
    gun_status[1].page = gun_status[1].gun_plugin ? page_authorize : page_authorize_plugin;
}

void tst_Supervisor::passStartupWindow(SessionSupervisor *w)
{
    while (self_check_time <= 9)
        w->tick();
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Available);
}

void tst_Supervisor::startupWindowThenAvailable()
{
    SessionSupervisor *w = makeSupervisor();
    // The constructor already showed the home page and ran one tick.
    QCOMPARE(gun_status[1].status, sta_Unavailable);
    QCOMPARE(gun_status[1].page, page_home);
    Requests r(w);
    for (int i = 0; i < 9; ++i)
        w->tick();
    QCOMPARE(gun_status[1].status, sta_Unavailable);
    QVERIFY(r.log.isEmpty());
    w->tick(); // the 11th run
    QCOMPARE(r.take(), QStringList{"Status:Available"});
    w->tick();
    QVERIFY(r.log.isEmpty());
}

// An idle charger logs nothing per second by default; a page, status or
// card change is an event and logged once. With hmi.session.debug on, every
// tick prints its three lines again.
void tst_Supervisor::tickLinesOnlyOnChange_data()
{
    QTest::addColumn<bool>("debugOn");
    QTest::addColumn<QVector<int>>("counts"); // page, status, card lines
    // 11 ticks (start-up window), Available, 60 idle ticks, card read, page change.
    QTest::newRow("default") << false << QVector<int>{2, 2, 2};
    QTest::newRow("hmi.session.debug=true") << true << QVector<int>{72, 72, 72};
}

void tst_Supervisor::tickLinesOnlyOnChange()
{
    QFETCH(bool, debugOn);
    QFETCH(QVector<int>, counts);
    if (debugOn)
        QLoggingCategory::setFilterRules(QStringLiteral("hmi.session.debug=true"));
    LogCapture log;
    SessionSupervisor *w = makeSupervisor();
    passStartupWindow(w); // 11 more ticks, the status becomes Available
    for (int i = 0; i < 60; ++i)
        w->tick();
    gun_status[1].CardRead = 1;
    gun_status[1].page = page_authorize;
    w->tick();
    QLoggingCategory::setFilterRules(QString());
    QCOMPARE(QVector<int>({log.count("show page = "), log.count("gun_status[1].status = "), log.count("card read = ")}),
             counts);
    if (!debugOn) {
        QCOMPARE(log.count("show page = " + page_authorize), 1);
        QCOMPARE(log.count("gun_status[1].status = " + sta_Available), 1);
    }
}

void tst_Supervisor::availabilityRules_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("plugged");
    QTest::addColumn<int>("cardRead");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("windowStarted");
    QTest::newRow("8a plugged, no card") << sta_Available << true << 0 << sta_Preparing << false;
    QTest::newRow("8b card before plug") << sta_Available << false << 2 << sta_Preparing << true;
    QTest::newRow("8c unplugged") << sta_Preparing << false << 0 << sta_Available << false;
    QTest::newRow("plugged with card stays") << sta_Available << true << 2 << sta_Available << false;
    QTest::newRow("preparing plugged stays") << sta_Preparing << true << 0 << sta_Preparing << false;
}

void tst_Supervisor::availabilityRules()
{
    QFETCH(QString, status);
    QFETCH(bool, plugged);
    QFETCH(int, cardRead);
    SessionSupervisor *w = makeSupervisor();
    passStartupWindow(w);
    Requests r(w);
    gun_status[1].status = status;
    gun_status[1].CardRead = quint16(cardRead);
    debug.gun1_plugin = plugged;
    w->tick();
    QTEST(gun_status[1].status, "expected");
    QFETCH(QString, expected);
    QCOMPARE(r.take(), expected == status ? QStringList() : QStringList{"Status:" + expected});
    QTEST(timer_connection.isActive(), "windowStarted");
    if (timer_connection.isActive())
        QCOMPARE(timer_connection.interval(), 30000);
}

void tst_Supervisor::authorizationWindowExpires()
{
    SessionSupervisor *w = makeSupervisor();
    passStartupWindow(w);
    Requests r(w);
    QSignalSpy rfid(w, &SessionSupervisor::signal_set_RFID_state);
    gun_status[1].CardRead = 2;
    w->tick();
    QVERIFY(timer_connection.isActive());
    r.take();
    w->AuthorizeExpired();
    QCOMPARE(gun_status[1].status, sta_Available);
    QCOMPARE(gun_status[1].CardRead, quint16(0));
    QCOMPARE(r.take(), QStringList{"Status:Available"});
    QCOMPARE(rfid.count(), 1);
    // Expiry in any other status does nothing.
    w->AuthorizeExpired();
    QVERIFY(r.log.isEmpty());

    // Plugging in within the window stops it.
    gun_status[1].CardRead = 2;
    w->tick();
    QVERIFY(timer_connection.isActive());
    debug.gun1_plugin = true;
    w->tick();
    QVERIFY(!timer_connection.isActive());
}

void tst_Supervisor::reachCharging(SessionSupervisor *w, Requests &r)
{
    passStartupWindow(w);
    openAuthorization();
    QCOMPARE(gun_status[1].page, page_authorize_plugin);
    debug.gun1_plugin = true;
    w->tick();
    QCOMPARE(gun_status[1].page, page_authorize);
    QCOMPARE(gun_status[1].status, sta_Preparing);
    gun_status[1].CardRead = 2;
    w->tick();
    QCOMPARE(gun_status[1].page, page_standby);
    w->Gun_startcharging(1);
    w->tick();
    QCOMPARE(gun_status[1].page, page_charging);
    QVERIFY(timer_SendMeterValue_1.isActive());
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Charging);
    QStringList log = r.take();
    QCOMPARE(log.count("StartTransaction"), 1);
    QVERIFY(log.indexOf("Status:Charging") < log.indexOf("StartTransaction"));
}

Requests &tst_Supervisor::acceptedSession(SessionSupervisor *&w)
{
    w = makeSupervisor();
    m_requests = std::make_unique<Requests>(w);
    reachCharging(w, *m_requests);
    gun_status[1].startRequest = 3;
    return *m_requests;
}

void tst_Supervisor::reachStandby(SessionSupervisor *w)
{
    passStartupWindow(w);
    debug.gun1_plugin = true;
    openAuthorization();
    gun_status[1].CardRead = 2;
    w->tick();
    QCOMPARE(gun_status[1].page, page_standby);
}

void tst_Supervisor::cardSessionEndToEnd()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    reachCharging(w, r);
    gun_status[1].startRequest = 3; // StartTransaction accepted
    // The driver stops with the card and confirms.
    gun_status[1].page = page_charging_child1;
    gun_status[1].CardRead = 4;
    w->tick();
    QCOMPARE(gun_status[1].page, page_charging_child2);
    w->Gun_stopcharging(1);
    QVERIFY(Stop_command_set_1);
    w->tick();
    w->enterComplete();
    QCOMPARE(gun_status[1].page, page_complete);
    QVERIFY(!timer_SendMeterValue_1.isActive());
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Finishing);
    QStringList log = r.take();
    QCOMPARE(log.filter("Stop:").size(), 1);
    QVERIFY(log.contains("Stop:Other"));
    w->tick();
    QVERIFY(r.take().filter("Stop:").isEmpty());

    // Home, unplug: Available again; the register was saved.
    showHome(w);
    debug.gun1_plugin = false;
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Available);
    QVERIFY(m_dir->read("EnergyMeter_Lcd.json").contains("EnergyMeter_LCD"));
}

void tst_Supervisor::chargingPageOpensWithThisSessionsFigures()
{
    SessionSupervisor *w = makeSupervisor();
    gun_status[1].f_energy_LcdCal = 1000.0;
    Requests r(w);
    reachCharging(w, r);
    QCOMPARE(gun_status[1].f_startmeter, 1000.0);
    QCOMPARE(m_view.shown.filter("charging page"), QStringList{"charging page 0.0 kWh 0.00"});
}

void tst_Supervisor::persistentFaultDuringChargingSendsOneTransaction()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    reachCharging(w, r);
    systemstatus.Sys_available_sta = 2;
    errorinfo.Err_Gun1_ISO = true;
    for (int i = 0; i < 3; ++i)
        w->tick();
    const QStringList log = r.take();
    // Each tick: Faulted by the fault rule, Charging again by the charging rule.
    QCOMPARE(log.count("Status:Faulted"), 3);
    QCOMPARE(log.count("Status:Charging"), 3);
    QCOMPARE(log.count("StartTransaction"), 0);
    QCOMPARE(gun_status[1].errorcode, err_GroundFailure);
}

void tst_Supervisor::completionPage_data()
{
    QTest::addColumn<int>("startRequest");
    QTest::addColumn<QString>("invalidIdKey");
    QTest::addColumn<bool>("evSideTrigger");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("startRequestAfter");

    QTest::newRow("3 normal end") << 3 << "true" << false << QStringList{"Status:Finishing", "Stop:Other"} << 3;
    QTest::newRow("3 EV side disconnect")
        << 3 << "true" << true << QStringList{"Status:Finishing", "Stop:EVDisconnected"} << 3;
    QTest::newRow("5 local stop") << 5 << "true" << false << QStringList{"Status:Finishing", "Stop:Local"} << 5;
    QTest::newRow("8 remote stop") << 8 << "true" << false << QStringList{"Status:Finishing", "Stop:Remote"} << 0;
    QTest::newRow("4 rejected, key true")
        << 4 << "true" << false
        << QStringList{"Status:SuspendedEVSE", "Stop:DeAuthorized", "Status:Finishing"} << 0;
    QTest::newRow("4 rejected, key false")
        << 4 << "false" << false
        << QStringList{"Status:SuspendedEVSE", "Status:Finishing", "Stop:DeAuthorized"} << 0;
    // Whatever the state of the start, a session that sent one ends with a
    // StopTransaction: a rejected start whatever the key says, a start never
    // answered, a remote command answered meanwhile.
    QTest::newRow("4 rejected, key missing")
        << 4 << "" << false << QStringList{"Status:SuspendedEVSE", "Status:Finishing", "Stop:DeAuthorized"} << 0;
    QTest::newRow("2 start never answered") << 2 << "true" << false << QStringList{"Status:Finishing", "Stop:Other"} << 2;
    QTest::newRow("9 stray remote stop rejected")
        << 9 << "true" << false << QStringList{"Status:Finishing", "Stop:Other"} << 9;
    QTest::newRow("7 remote start rejected meanwhile")
        << 7 << "true" << true << QStringList{"Status:Finishing", "Stop:EVDisconnected"} << 7;
}

void tst_Supervisor::completionPage()
{
    QFETCH(QString, invalidIdKey);
    QFETCH(int, startRequest);
    QFETCH(bool, evSideTrigger);
    SessionSupervisor *w = makeSupervisor(configWith(invalidIdKey));
    Requests r(w);
    reachCharging(w, r);
    gun_status[1].startRequest = quint16(startRequest);
    Debug_EVSideDisconnect = evSideTrigger;
    Stop_command_set_1 = true;
    w->enterComplete();
    QCOMPARE(gun_status[1].page, page_complete);
    w->tick();
    QTEST(r.take(), "expected");
    QTEST(int(gun_status[1].startRequest), "startRequestAfter");
    QVERIFY(!Debug_EVSideDisconnect);
    // A second tick sends nothing more.
    w->tick();
    QVERIFY(r.take().filter("Stop:").isEmpty());
}

void tst_Supervisor::rejectedCardShowsPopup()
{
    SessionSupervisor *w = makeSupervisor();
    passStartupWindow(w);
    debug.gun1_plugin = true;
    w->tick();
    openAuthorization();
    QCOMPARE(gun_status[1].page, page_authorize);
    QSignalSpy rfid(w, &SessionSupervisor::signal_set_RFID_state);
    gun_status[1].CardRead = 3;
    w->tick();
    QCOMPARE(gun_status[1].CardRead, quint16(0));
    QVERIFY(m_view.shown.last().startsWith("Information: The card is invalid"));
    QCOMPARE(rfid.count(), 1);
}

void tst_Supervisor::remoteStartGivesTheCcuStart()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    reachStandby(w);
    r.take();
    gun_status[1].startRequest = 6;
    w->tick();
    QCOMPARE(gun_status[1].page, page_charging);
    QCOMPARE(r.take().count("CcuStart"), 1);
    w->tick();
    QCOMPARE(r.take().count("CcuStart"), 0);
}

void tst_Supervisor::faultsAndRecovery()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    passStartupWindow(w);
    r.take();
    // A CCU fault with no alarm bit keeps the code; the first alarm names it.
    systemstatus.Gun1_available_sta = 2;
    w->tick();
    QCOMPARE(gun_status[1].errorcode, err_NoError);
    errorinfo.Err_Gun1_Elock = true;
    w->tick();
    QCOMPARE(gun_status[1].errorcode, err_ConnectorLockFailure);
    QCOMPARE(r.take(), QStringList{"Status:Faulted"});
    // The meter failing as well keeps the CCU's code.
    dc_meter_data[1].Com_error = true;
    w->tick();
    QCOMPARE(gun_status[1].errorcode, err_ConnectorLockFailure);
    // Cleared while idle: available again, and the central system hears it.
    systemstatus.Gun1_available_sta = 0;
    dc_meter_data[1].Com_error = false;
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Available);
    QCOMPARE(r.take(), QStringList{"Status:Available"});
    // During a session the status stays with the session's transitions.
    gun_status[1].page = page_fixedcharge;
    systemstatus.Gun1_available_sta = 2;
    w->tick();
    systemstatus.Gun1_available_sta = 0;
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Faulted);
    QCOMPARE(gun_status[1].errorcode, err_NoError);
}

// A stop the CCU never carries out (no phase 4 or 6 reaches the page) does
// not hold the charging page: a minute later the session ends all the same.
void tst_Supervisor::stopNeverCarriedOutEndsTheSession()
{
    SessionSupervisor *w = nullptr;
    Requests &r = acceptedSession(w);
    w->tick();
    r.take();
    Stop_command_set_1 = true;
    for (int second = 1; second < 60; ++second)
        w->tick();
    QCOMPARE(gun_status[1].page, page_charging);
    QVERIFY(r.take().isEmpty());
    w->tick();
    QCOMPARE(gun_status[1].page, page_complete);
    QCOMPARE(r.take(), (QStringList{"Status:Finishing", "Stop:Other"}));
    // The driver is not thanked for a payment of a charge the charger lost.
    QCOMPARE(w->sessionOutcome(), SessionEnd::Fault);
}

void tst_Supervisor::summaryLeftBeforeTheTick_data()
{
    QTest::addColumn<int>("startRequest");
    QTest::addColumn<bool>("pulledAtTheCar");
    QTest::addColumn<QStringList>("ends");
    QTest::newRow("accepted") << 3 << false << QStringList{"Status:Finishing", "Stop:Other"};
    QTest::newRow("remote stop") << 8 << false << QStringList{"Status:Finishing", "Stop:Remote"};
    QTest::newRow("start never answered") << 2 << false << QStringList{"Status:Finishing", "Stop:Other"};
    // StopTransactionOnEVSideDisconnect "false" keeps the transaction past the
    // pulled cable, not past the session.
    QTest::newRow("cable pulled at the car") << 3 << true << QStringList{"Status:Finishing", "Stop:Other"};
}

// The charge ends between two ticks and the driver taps through the summary
// and its card to home at once: the completion rules never saw their page,
// yet the transaction ends and the connector is offered again.
void tst_Supervisor::summaryLeftBeforeTheTick()
{
    QFETCH(int, startRequest);
    QFETCH(bool, pulledAtTheCar);
    QFETCH(QStringList, ends);
    SessionSupervisor *w = nullptr;
    Requests &r = acceptedSession(w);
    if (pulledAtTheCar)
        ConfigObj.insert("StopTransactionOnEVSideDisconnect", "false");
    gun_status[1].startRequest = quint16(startRequest);
    w->tick();
    r.take();
    w->enterComplete();
    QCOMPARE(gun_status[1].page, page_complete);
    Debug_EVSideDisconnect = pulledAtTheCar;
    showHome(w);
    QCOMPARE(r.take(), ends);
    debug.gun1_plugin = false;
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Available);
    // One StopTransaction: the next ticks send none.
    w->tick();
    QVERIFY(!r.take().join(' ').contains("Stop:"));
}

void tst_Supervisor::resetWhileIdleRunsScript()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    passStartupWindow(w);
    m_dir->write("hardwarereset.sh", "echo \"$HMI_PID\" > \"$(dirname \"$0\")/reset-ran\"\n");
    SystemResetReq = 2;
    w->tick();
    QVERIFY(r.take().contains("HardwareReset"));
    QCOMPARE(m_dir->read("reset-ran").trimmed(), QByteArray::number(QCoreApplication::applicationPid()));
}

void tst_Supervisor::resetDuringChargingStopsFirst_data()
{
    QTest::addColumn<bool>("faulted");
    QTest::addColumn<QString>("page");
    QTest::newRow("charging") << false << page_charging;
    // A fault holds the status at Faulted; the session still runs.
    QTest::newRow("faulted, charging page") << true << page_charging;
    QTest::newRow("faulted, stop confirmation open") << true << page_charging_child2;
}

void tst_Supervisor::resetDuringChargingStopsFirst()
{
    QFETCH(bool, faulted);
    QFETCH(QString, page);
    SessionSupervisor *w = nullptr;
    Requests &r = acceptedSession(w);
    gun_status[1].page = page;
    if (faulted)
        systemstatus.Sys_available_sta = 2;
    m_dir->write("softwarereset.sh", "touch \"$(dirname \"$0\")/reset-ran\"\n");
    SystemResetReq = 1;
    w->tick();
    QCOMPARE(r.take().count("CcuStop"), 1);
    w->tick();
    QCOMPARE(r.take().count("CcuStop"), 0); // once set, no second stop
    QVERIFY(!QFile::exists(m_dir->file("reset-ran")));
    w->enterComplete();
    w->tick();
    const QStringList log = r.take();
    QCOMPARE(log.filter("Stop:"), QStringList{"Stop:SoftReset"}); // one StopTransaction, the reset's
    QVERIFY(log.indexOf("Stop:SoftReset") < log.indexOf("SoftwareReset"));
    QVERIFY(QFile::exists(m_dir->file("reset-ran")));
}

void tst_Supervisor::unansweredStartEndsAndFreesTheConnector()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    reachCharging(w, r);
    gun_status[1].startRequest = 2; // the StartTransaction is never answered
    w->Gun_stopcharging(1);
    r.take();
    w->enterComplete();
    w->tick();
    QCOMPARE(r.take(), (QStringList{"Status:Finishing", "Stop:Other"}));
    showHome(w);
    debug.gun1_plugin = false;
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Available);
    // The next session sends its own StartTransaction.
    r.take();
    debug.gun1_plugin = true;
    openAuthorization();
    gun_status[1].CardRead = 2;
    w->tick();
    w->Gun_startcharging(1);
    w->tick();
    QCOMPARE(gun_status[1].page, page_charging);
    QCOMPARE(r.take().count("StartTransaction"), 1);
}

// Stopped on the standby page: no StartTransaction went out, so no
// StopTransaction may (it would name the previous transaction).
void tst_Supervisor::abortBeforeChargingSendsNoStop()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    gun_status[1].transactionId = 41; // the previous session's
    reachStandby(w);
    gun_status[1].page = page_standby_child2;
    w->Gun_stopcharging(1);
    gun_status[1].startRequest = 5; // what the confirmation does
    w->tick();
    QCOMPARE(gun_status[1].page, page_complete);
    w->tick();
    QCOMPARE(gun_status[1].status, sta_Finishing);
    QVERIFY(r.take().filter("Stop:").isEmpty());
}

// Abandoned at the standby page with the card accepted and the EV-side
// trigger set: the next session from home asks for the card again.
void tst_Supervisor::newSessionAsksForTheCardAgain()
{
    SessionSupervisor *w = makeSupervisor();
    reachStandby(w);
    Debug_EVSideDisconnect = true;
    QSignalSpy rfid(w, &SessionSupervisor::signal_set_RFID_state);
    showHome(w);
    QVERIFY(!Debug_EVSideDisconnect);
    QCOMPARE(rfid.count(), 1);
    openAuthorization();
    w->tick();
    w->tick();
    QCOMPARE(gun_status[1].page, page_authorize);
    QCOMPARE(gun_status[1].CardRead, quint16(0));
}

void tst_Supervisor::remoteStopWithAStopDialogOpen_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("energy delivery page") << page_charging;
    QTest::newRow("card prompt") << page_charging_child1;
    QTest::newRow("stop confirmation") << page_charging_child2;
}

void tst_Supervisor::remoteStopWithAStopDialogOpen()
{
    QFETCH(QString, page);
    SessionSupervisor *w = nullptr;
    Requests &r = acceptedSession(w);
    gun_status[1].page = page;
    gun_status[1].startRequest = 8; // RemoteStopTransaction accepted
    w->tick();
    QCOMPARE(r.take().count("CcuStop"), 1);
    w->enterComplete(); // the charge has stopped: the screen moves on
    QCOMPARE(gun_status[1].page, page_complete);
    w->tick();
    QCOMPARE(r.take().filter("Stop:"), QStringList{"Stop:Remote"});
}

void tst_Supervisor::fixedAmountStopsAtTheTarget_data()
{
    QTest::addColumn<float>("kWh");
    QTest::addColumn<float>("money");
    // The fixed-amount screen sets both, one from the other at f_price.
    QTest::newRow("energy target") << 0.5f << 0.5f * f_price;
    QTest::newRow("money target") << 0.2f / f_price << 0.2f;
}

void tst_Supervisor::fixedAmountStopsAtTheTarget()
{
    QFETCH(float, kWh);
    QFETCH(float, money);
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    gun_status[1].charge_style = 2;
    gun_status[1].f_CusSetkWh = kWh;
    gun_status[1].f_CusSetAmount = money;
    reachCharging(w, r);
    gun_status[1].startRequest = 3;
    int ticks = 0;
    while (!Stop_command_set_1 && ticks++ < 600)
        w->tick();
    QVERIFY(Stop_command_set_1);
    QVERIFY(gun_status[1].f_chargedkWh >= kWh || gun_status[1].f_chargedMoney >= money);
    QVERIFY(gun_status[1].f_chargedkWh < kWh + 0.01f); // within a second of the target
    QCOMPARE(r.take().count("CcuStop"), 1);
    w->enterComplete();
    w->tick();
    QCOMPARE(r.take().filter("Stop:"), QStringList{"Stop:Local"});
}

void tst_Supervisor::resetWaitsForTheStopAnswer_data()
{
    QTest::addColumn<int>("answeredBeforeTick");
    QTest::addColumn<int>("ticks");
    QTest::newRow("answered") << 1 << 2;
    QTest::newRow("never answered: two ticks at most") << -1 << 3;
}

// The reset script ends the program: the StopTransaction's answer is awaited
// a little, so that the next start does not send it once more.
void tst_Supervisor::resetWaitsForTheStopAnswer()
{
    QFETCH(int, answeredBeforeTick);
    SessionSupervisor *w = nullptr;
    Requests &r = acceptedSession(w);
    m_dir->write("softwarereset.sh", "touch \"$(dirname \"$0\")/reset-ran\"\n");
    // What the OCPP link does: the stop stays recorded until answered.
    const QString stop = "1=StopTransaction={}\n";
    connect(w, &SessionSupervisor::StopTransacation_req, this, [&] { transactionRecord.messageQueued(stop); });
    SystemResetReq = 1;
    w->tick();
    w->enterComplete();
    int ticks = 0;
    while (!QFile::exists(m_dir->file("reset-ran")) && ticks < 5) {
        if (ticks == answeredBeforeTick)
            transactionRecord.messageSettled(stop);
        w->tick();
        ++ticks;
    }
    transactionRecord.clear();
    QTEST(ticks, "ticks");
    QCOMPARE(r.take().filter("Stop:"), QStringList{"Stop:SoftReset"});
}

void tst_Supervisor::shutdownStopsTheSession_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("charging") << page_charging << QStringList{"CcuStop", "Stop:Reboot"};
    QTest::newRow("stop confirmation") << page_charging_child2 << QStringList{"CcuStop", "Stop:Reboot"};
    QTest::newRow("standby") << page_standby << QStringList();
    QTest::newRow("completed") << page_complete << QStringList();
    QTest::newRow("completion page before its tick") << "completion, no tick" << QStringList{"Stop:Reboot"};
}

// SIGTERM or SIGINT: the CCU stops first, then the StopTransaction (Reboot).
void tst_Supervisor::shutdownStopsTheSession()
{
    QFETCH(QString, page);
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    if (page == page_standby) {
        reachStandby(w);
    } else {
        reachCharging(w, r);
        gun_status[1].f_energy_LcdCal += 2.5;
        gun_status[1].page = page;
        if (page != page_charging && page != page_charging_child2) {
            w->Gun_stopcharging(1);
            gun_status[1].page = page_charging;
            w->enterComplete();
            if (page == page_complete)
                w->tick();
        }
    }
    r.take();
    QFETCH(QStringList, expected);
    QCOMPARE(w->stopForShutdown(), expected.contains("CcuStop"));
    QCOMPARE(r.take(), expected);
    if (expected.contains("CcuStop")) {
        QCOMPARE(gun_status[1].f_stopmeter, gun_status[1].f_energy_LcdCal);
        QVERIFY(!timer_SendMeterValue_1.isActive());
    }
}

void tst_Supervisor::completeShowOnHomeChangesNoPage()
{
    SessionSupervisor *w = makeSupervisor();
    QSignalSpy rfid(w, &SessionSupervisor::signal_set_RFID_state);
    w->enterComplete();
    QCOMPARE(gun_status[1].page, page_home);
    QCOMPARE(rfid.count(), 1);
}

void tst_Supervisor::statusPausesBlock()
{
    SessionSupervisor *w = makeSupervisor();
    Requests r(w);
    reachCharging(w, r);
    SessionSupervisor::setPauseScale(1);
    gun_status[1].status = sta_Preparing;
    QElapsedTimer t;
    t.start();
    w->tick(); // back to Charging: 200 ms
    SessionSupervisor::setPauseScale(0);
    QVERIFY(t.elapsed() >= 190);
}

void tst_Supervisor::chargingProfile_data()
{
    QTest::addColumn<int>("minute");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("phase");
    QTest::addColumn<float>("volts");
    QTest::addColumn<int>("soc");
    QTest::addColumn<double>("step");
    QTest::newRow("first ten seconds") << 0 << 5 << 1 << 0.0f << 70 << 0.0;
    QTest::newRow("minute 0") << 0 << 20 << 3 << 370.0f << 70 << 370.0 * 60 / 3600000;
    QTest::newRow("minute 3") << 3 << 20 << 3 << 380.0f << 85 << 380.0 * 55 / 3600000;
    QTest::newRow("minute 5") << 5 << 20 << 3 << 400.0f << 95 << 400.0 * 20 / 3600000;
    QTest::newRow("finished") << 6 << 20 << 6 << 0.0f << 95 << 0.0;
}

void tst_Supervisor::chargingProfile()
{
    QFETCH(int, minute);
    QFETCH(int, second);
    QFETCH(double, step);
    SessionSupervisor *w = makeSupervisor();
    Status &gun = gun_status[1];
    gun.int_chargedtime = minute;
    int_chargedtime_s = quint32(second - 1);
    gun.f_energy_LcdCal = 100.0;
    gun.f_startmeter = 100.0;
    w->chargingData().update();
    QTEST(int(gun.Charging_phase), "phase");
    QTEST(gun.f_voltage, "volts");
    QTEST(int(gun.soc), "soc");
    QVERIFY(qAbs(gun.f_energy_LcdCal - (100.0 + step)) < 1e-9);
    QCOMPARE(Charging_phase, gun.Charging_phase);
    QCOMPARE(str_soc, QString::number(gun.soc));
}

void tst_Supervisor::registerArithmetic_data()
{
    QTest::addColumn<double>("start");    // register and start register before
    QTest::addColumn<float>("volts");     // held: the profile keeps the values as they stand
    QTest::addColumn<float>("amps");
    QTest::addColumn<int>("updates");
    QTest::addColumn<double>("after");    // the register after
    QTest::addColumn<QString>("charged");
    // Reaching the wrap value starts the register again from 0; the session
    // energy is counted across the wrap, never negative.
    QTest::newRow("wrap") << 999999.0 << 400.0f << 3600.0f << 4 << 0.4 << "1.3";
    // 6 Wh a second at 140 MWh: a float register would stand still.
    QTest::newRow("low power above 131 MWh") << 140000.0 << 360.0f << 60.0f << 1000 << 140006.0 << "6.0";
}

void tst_Supervisor::registerArithmetic()
{
    QFETCH(double, start);
    QFETCH(float, volts);
    QFETCH(float, amps);
    QFETCH(int, updates);
    QFETCH(double, after);
    SessionSupervisor *w = makeSupervisor();
    Status &gun = gun_status[1];
    gun.f_energy_LcdCal = start;
    gun.f_startmeter = start;
    gun.f_voltage = volts;
    gun.f_current = amps;
    Stop_command_set_1 = true;
    for (int i = 0; i < updates; ++i)
        w->chargingData().update();
    QVERIFY2(qAbs(gun.f_energy_LcdCal - after) < 1e-6, qPrintable(QString::number(gun.f_energy_LcdCal, 'f', 6)));
    QTEST(str_chargedkWh, "charged");
}

void tst_Supervisor::remainingTime_data()
{
    QTest::addColumn<float>("target");
    QTest::addColumn<float>("charged");
    QTest::addColumn<float>("volts");
    QTest::addColumn<float>("amps");
    QTest::addColumn<QString>("text");
    // togo x 60000 / P: 2.5 rounds up to 3, -2.5 up to -2. 450 V x 1000 A
    // keeps every step exact in binary (0.125 kWh per second).
    QTest::newRow("half up") << 30.0f << 11.25f << 450.0f << 1000.0f << "3";
    QTest::newRow("negative half") << 0.0f << 18.75f << 450.0f << 1000.0f << "-2";
    QTest::newRow("under 500 W") << 10.0f << 1.0f << 100.0f << 4.0f << "--";
}

void tst_Supervisor::remainingTime()
{
    QFETCH(float, target);
    QFETCH(float, charged);
    QFETCH(float, volts);
    QFETCH(float, amps);
    SessionSupervisor *w = makeSupervisor();
    Status &gun = gun_status[1];
    gun.charge_style = 2;
    gun.f_CusSetkWh = target;
    gun.f_voltage = volts;
    gun.f_current = amps;
    Stop_command_set_1 = true; // the profile keeps the values as they stand
    gun.f_energy_LcdCal = 50.0 + double(charged) - double(volts) * double(amps) / 3600000.0;
    gun.f_startmeter = 50.0;
    w->chargingData().update();
    QTEST(gun.str_remaintime, "text");
    QCOMPARE(gun.str_togokWh, QString::number(double(gun.f_togokWh), 'f', 1));
}

QTEST_GUILESS_MAIN(tst_Supervisor)
#include "tst_supervisor.moc"
