// What the driver meets between sessions, through the main window and its
// real screens driven by the supervisor's tick: pages left untouched go back
// home, the completion card tells how the session ended, a refused or
// expired authorization says so, and a fault puts the home page out of order
// until it clears.
#include "authorization.h"
#include "ccu_records.h"
#include "chargerconnect.h"
#include "complete.h"
#include "complete_child.h"
#include "dc_meter_data.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "fixedcharge.h"
#include "globalvariable.h"
#include "help.h"
#include "home.h"
#include "keyboard.h"
#include "mainwindow.h"
#include "screentext.h"
#include "sessionsupervisor.h"
#include "standby.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <functional>

namespace {
void clearFaults()
{
    systemstatus.Sys_available_sta = 0;
    systemstatus.Gun1_available_sta = 0;
    errorinfo.Err_Gun1_Elock = false;
    errorinfo.Err_Gun1_ISO = false;
    errorinfo.Err_Sys_RS232 = false;
    dc_meter_data[1].Com_error = false;
    ocppClientAbsent = false;
}
} // namespace

class tst_DriverStates : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MainWindow::setPauseScale(0); }
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        // Short idle times: two ticks on a page, three on the completion page.
        m_dir->write("configuration.json", "{\"configurationKey\":["
                                           "{\"key\":\"IdleReturnTimeout\",\"value\":\"2\"},"
                                           "{\"key\":\"CompletionIdleReturnTimeout\",\"value\":\"3\"},"
                                           "{\"key\":\"StopTransactionOnEVSideDisconnect\",\"value\":\"true\"}]}");
        for (Status &s : gun_status)
            s = Status();
        coldboot = false;
        self_check_time = 0;
        Start_command_set_1 = Stop_command_set_1 = false;
        Debug_EVSideDisconnect = false;
        SystemResetReq = 0;
        int_chargedtime_s = 0; // the simulated charge delivers nothing in its first seconds
        debug = Debug();
        clearFaults();
    }
    void cleanup()
    {
        timer_connection.stop();
        timer_SendMeterValue_1.stop();
        clearFaults();
        Language::select(0);
        m_dir.reset();
    }

    void idleReturn_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("limit"); // ticks; 0: the page stays
        QTest::newRow("fixed amount") << "fixedcharge" << 2;
        QTest::newRow("keypad") << "keypad" << 2;
        QTest::newRow("authorization") << "authorize" << 2;
        QTest::newRow("plug-in prompt") << "authorize_plugin" << 2;
        QTest::newRow("help") << "help" << 2;
        QTest::newRow("completion") << "complete" << 3;
        QTest::newRow("completion card") << "complete_child" << 3;
        QTest::newRow("authorization, card accepted") << "authorize_card" << 0;
        QTest::newRow("standby") << "chargingstandby" << 0;
        QTest::newRow("charging") << "charging" << 0;
    }
    void idleReturn()
    {
        QFETCH(QString, page);
        QFETCH(int, limit);
        MainWindow w;
        startUp(w);
        QWidget *touched = openPage(w, page);
        const QString shown = gun_status[1].page;

        // A touch halfway starts the wait again.
        const int before = limit > 0 ? limit - 1 : 10;
        for (int i = 0; i < before; ++i)
            w.timerUpdate();
        QCOMPARE(gun_status[1].page, shown);
        QTest::mousePress(touched, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseRelease(touched, Qt::LeftButton, {}, QPoint(2, 2));
        for (int i = 0; i < before; ++i)
            w.timerUpdate();
        QCOMPARE(gun_status[1].page, shown);
        if (page == "help")
            QVERIFY(w.helpWindow()->isVisible());

        w.timerUpdate();
        if (limit == 0) {
            QCOMPARE(gun_status[1].page, shown);
            return;
        }
        QCOMPARE(gun_status[1].page, page_home);
        QVERIFY(w.homepage()->isVisible());
        QVERIFY(!w.complete()->isVisible() && !w.complete_child()->isVisible() && !w.fixedcharge()->isVisible());
        QVERIFY(!w.helpWindow()->isVisible());
        QVERIFY(!w.label_mask->isVisible());
    }

    void outcomeCard_data()
    {
        QTest::addColumn<QList<int>>("startRequests"); // during charging, the last at the end
        QTest::addColumn<double>("kWh");
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("end");
        QTest::newRow("paid, driver's stop") << QList<int>{3, 5} << 5.0 << "" << int(SessionEnd::Paid);
        QTest::newRow("paid, car full") << QList<int>{3} << 5.0 << "" << int(SessionEnd::Paid);
        QTest::newRow("rejected start") << QList<int>{4} << 0.2 << "" << int(SessionEnd::Rejected);
        QTest::newRow("start never answered") << QList<int>{2} << 5.0 << "" << int(SessionEnd::NotConfirmed);
        QTest::newRow("aborted on standby") << QList<int>{} << 0.0 << "abort" << int(SessionEnd::Aborted);
        QTest::newRow("stopped before energy") << QList<int>{3, 5} << 0.0 << "" << int(SessionEnd::Aborted);
        QTest::newRow("no energy") << QList<int>{3} << 0.0 << "" << int(SessionEnd::NoEnergy);
        QTest::newRow("remote stop") << QList<int>{3, 8} << 5.0 << "" << int(SessionEnd::RemoteStop);
        QTest::newRow("fault") << QList<int>{3} << 5.0 << "fault" << int(SessionEnd::Fault);
        QTest::newRow("EV disconnected") << QList<int>{3} << 5.0 << "unplugged" << int(SessionEnd::EvDisconnected);
    }
    void outcomeCard()
    {
        QFETCH(QList<int>, startRequests);
        QFETCH(double, kWh);
        QFETCH(QString, event);
        QFETCH(int, end);
        MainWindow w;
        QStringList stopReasons;
        connect(&w, &MainWindow::StopTransacation_req, this, [&] { stopReasons << gun_status[1].stopReason; });
        startUp(w);
        toStandby(w);
        if (event == "abort") {
            QTest::mouseClick(w.standby()->findChild<QPushButton *>("pushButton_abort"), Qt::LeftButton);
            QCOMPARE(gun_status[1].page, page_standby_child2);
            gun_status[1].startRequest = 5; // what the dialog's confirm leaves
            Stop_command_set_1 = true;
            w.timerUpdate();
        } else {
            Start_command_set_1 = true;
            w.timerUpdate();
            QCOMPARE(gun_status[1].page, page_charging);
            for (int request : startRequests) {
                gun_status[1].startRequest = quint16(request);
                gun_status[1].f_energy_LcdCal += kWh / startRequests.size();
                if (event == "fault" && request == startRequests.first())
                    systemstatus.Gun1_available_sta = 2;
                w.timerUpdate();
                systemstatus.Gun1_available_sta = 0;
            }
            if (event == "unplugged")
                Debug_EVSideDisconnect = true;
            w.complete_show();
            w.timerUpdate();
        }
        QCOMPARE(gun_status[1].page, page_complete);
        QTest::mouseClick(w.complete()->findChild<QPushButton *>("pushButton_confirm"), Qt::LeftButton);
        QCOMPARE(gun_status[1].page, page_complete_child);
        const QString card = w.complete_child()->findChild<QLabel *>("label")->text();
        if (SessionEnd(end) == SessionEnd::Paid) {
            QVERIFY2(card.contains("Payment Processed"), qPrintable(card));
        } else {
            QVERIFY2(!card.contains("Payment"), qPrintable(card));
            QVERIFY2(card.contains("Session ended"), qPrintable(card));
            QVERIFY2(card.contains(Complete_child::reasonText(SessionEnd(end)).toHtmlEscaped()), qPrintable(card));
        }
        // Still one StopTransaction, whatever the card says.
        QVERIFY(stopReasons.size() <= 1);
    }

    void refusedCardSaysSo_data()
    {
        QTest::addColumn<bool>("plugged");
        QTest::newRow("cable in") << true;
        QTest::newRow("plug-in prompt up") << false;
    }
    void refusedCardSaysSo()
    {
        QFETCH(bool, plugged);
        MainWindow w;
        startUp(w);
        debug.gun1_plugin = plugged;
        w.timerUpdate();
        w.authorize_show();
        gun_status[1].CardRead = 3;
        w.timerUpdate();
        QVERIFY(w.authorization()->noticeShown());
        QVERIFY(w.errormessage->isVisible());
        QCOMPARE(gun_status[1].CardRead, quint16(0));
        // The next driver does not see it.
        w.Homepage_show();
        w.authorize_show();
        QVERIFY(!w.authorization()->noticeShown());
    }

    void expiredAuthorizationSaysSoAndGoesHome_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("words");
        QTest::newRow("EN") << 0 << "The authorization has expired";
        QTest::newRow("DE") << 1 << "Die Freigabe ist abgelaufen";
        QTest::newRow("ES") << 3 << "La autorización ha caducado";
    }
    // Told in the language of the driver it happened to, though the return
    // home brings English back for the next one.
    void expiredAuthorizationSaysSoAndGoesHome()
    {
        QFETCH(int, language);
        QFETCH(QString, words);
        MainWindow w;
        QStringList statuses;
        connect(&w, &MainWindow::StatusNotification_req, this, [&] { statuses << gun_status[1].status; });
        startUp(w);
        QVERIFY(Language::select(language));
        w.authorize_show();
        QCOMPARE(gun_status[1].page, page_authorize_plugin);
        gun_status[1].CardRead = 2; // accepted, the cable not yet in
        w.timerUpdate();
        QCOMPARE(gun_status[1].status, sta_Preparing);
        QVERIFY(timer_connection.isActive());
        w.AuthorizeExpired(); // the authorization window's expiry
        QVERIFY(w.errormessage->isVisible());
        const QString message = w.errormessage->findChild<QLabel *>("label")->text();
        QVERIFY2(message.startsWith(words), qPrintable(message));
        QCOMPARE(Language::current(), 0);
        QCOMPARE(gun_status[1].page, page_home);
        QVERIFY(w.homepage()->isVisible() && !w.gun_connect()->isVisible() && !w.label_mask->isVisible());
        QCOMPARE(statuses.last(), sta_Available);
    }

    void outOfOrder_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("faulted"); // the connector's status goes to Faulted
        QTest::newRow("connector lock") << "elock" << "Connector lock failure" << true;
        QTest::newRow("CCU fault without alarm") << "system" << "The CCU reports a fault" << true;
        QTest::newRow("CCU link lost") << "link" << "CCU link lost" << false;
        QTest::newRow("meter failed") << "meter" << "DC meter not answering" << true;
    }
    void outOfOrder()
    {
        QFETCH(QString, fault);
        QFETCH(QString, words);
        QFETCH(bool, faulted);
        MainWindow w;
        startUp(w);
        auto *tile = w.homepage()->findChild<QPushButton *>("pushButton_fastcharging");
        auto *band = w.homepage()->findChild<QLabel *>("label_outoforder");
        auto *health = w.findChild<QLabel *>("label_health");
        QVERIFY(!band->isVisible() && health->property("healthy").toBool());

        if (fault == "elock") {
            systemstatus.Gun1_available_sta = 2;
            errorinfo.Err_Gun1_Elock = true;
        } else if (fault == "system") {
            systemstatus.Sys_available_sta = 2;
        } else if (fault == "link") {
            errorinfo.Err_Sys_RS232 = true;
        } else {
            dc_meter_data[1].Com_error = true;
        }
        w.timerUpdate();
        QCOMPARE(gun_status[1].status == sta_Faulted, faulted);
        QVERIFY(band->isVisible());
        QVERIFY2(band->text().contains("Temporarily out of order") && band->text().contains(words),
                 qPrintable(band->text()));
        QVERIFY(!health->property("healthy").toBool());
        QTest::mouseClick(tile, Qt::LeftButton);
        QCOMPARE(gun_status[1].page, page_home);
        QVERIFY(!w.authorization()->isVisible());

        clearFaults();
        w.timerUpdate();
        QVERIFY(!band->isVisible());
        QVERIFY(health->property("healthy").toBool());
        QCOMPARE(gun_status[1].status, sta_Available);
        QTest::mouseClick(tile, Qt::LeftButton);
        QVERIFY(gun_status[1].page == page_authorize || gun_status[1].page == page_authorize_plugin);
    }

    // The help page names each link's state; the icon alone flags any.
    void healthDetailOnHelp()
    {
        MainWindow w;
        startUp(w);
        ocppClientAbsent = true;
        w.timerUpdate();
        QVERIFY(!w.findChild<QLabel *>("label_health")->property("healthy").toBool());
        QVERIFY(!w.homepage()->isOutOfOrder()); // the charger still charges; the messages wait
        QVERIFY2(w.helpWindow()->healthDetail().contains("OCPP client: not reading"),
                 qPrintable(w.helpWindow()->healthDetail()));
        ocppClientAbsent = false;
        w.timerUpdate();
        QVERIFY(w.findChild<QLabel *>("label_health")->property("healthy").toBool());
        QVERIFY(w.helpWindow()->healthDetail().contains("OCPP client: connected"));
    }

private:
    // Past the start-up window: Available.
    static void startUp(MainWindow &w)
    {
        w.show();
        while (self_check_time <= 9)
            w.timerUpdate();
        w.timerUpdate();
    }

    static void toStandby(MainWindow &w)
    {
        debug.gun1_plugin = true;
        w.timerUpdate();
        w.authorize_show();
        gun_status[1].CardRead = 2;
        w.timerUpdate();
        QCOMPARE(gun_status[1].page, page_standby);
    }

    // Opens the page and gives the widget a touch lands on.
    static QWidget *openPage(MainWindow &w, const QString &page)
    {
        if (page == "fixedcharge") {
            QTest::mouseClick(w.homepage()->findChild<QPushButton *>("pushButton_fixamount"), Qt::LeftButton);
            return w.fixedcharge();
        }
        if (page == "keypad") {
            w.fixedcharge_show();
            QTest::mouseClick(w.fixedcharge()->findChild<QPushButton *>("pushButton_A_Cus"), Qt::LeftButton);
            return w.keyboard();
        }
        if (page == "authorize" || page == "authorize_card") {
            debug.gun1_plugin = true;
            w.timerUpdate();
            w.authorize_show();
            if (page == "authorize_card")
                gun_status[1].CardRead = 1; // the card is being checked
            return w.authorization();
        }
        if (page == "authorize_plugin") {
            w.authorize_show();
            return w.gun_connect();
        }
        if (page == "help") {
            QTest::mouseClick(w.findChild<QPushButton *>("pushButton_help"), Qt::LeftButton);
            return w.helpWindow();
        }
        toStandby(w);
        if (page == "chargingstandby")
            return w.standby();
        Start_command_set_1 = true;
        gun_status[1].startRequest = 3;
        w.timerUpdate();
        if (page == "charging")
            return w.charging();
        gun_status[1].startRequest = 5;
        w.complete_show();
        w.timerUpdate(); // the StopTransaction goes out
        if (page == "complete")
            return w.complete();
        w.complete_child_show();
        return w.complete_child();
    }

    std::unique_ptr<TestDataDir> m_dir;
};

QTEST_MAIN(tst_DriverStates)
#include "tst_driverstates.moc"
