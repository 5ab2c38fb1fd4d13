// test-components: core screens_b
// Charging, its stop dialogs, completion, the error popup and the stop reasons.
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "globalvariable.h"
#include "stopreason.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

// Refreshes as the 200 ms timer would: "1*300 2" is 300 ticks in phase 1, then one in phase 2.
static void play(EnergyDelivery &screen, const QString &script)
{
    for (const QString &step : script.split(' ', Qt::SkipEmptyParts)) {
        const QStringList p = step.split('*');
        Charging_phase = quint16(p.at(0).toUInt());
        for (int i = 0, n = p.size() > 1 ? p.at(1).toInt() : 1; i < n; ++i)
            screen.Soc_Refresh();
    }
}

static QString text(QWidget &w, const char *name)
{
    QTextDocument doc;
    doc.setHtml(child<QLabel>(w, name)->text());
    return doc.toPlainText();
}

static void press(QWidget &w, const char *name) { QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton); }

class tst_EnergyDelivery : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Charging_phase = 0;
        int_soc = soc_progressbar = 0;
        prepare_count = stop_count = finish_count = propare_n = 0;
        timer_SocRefresh.stop();
        timer_page_errpage.stop();
        gun_status[1] = Status();
    }

    void counters_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("seen"); // stop requests to the CCU, moves to the summary
        QTest::newRow("preparing 300") << "1*300" << "0 0";
        QTest::newRow("preparing 301, both codes") << "1*300 2" << "1 0";
        QTest::newRow("next request after 301 more") << "1*301 2*300" << "1 0";
        QTest::newRow("second request") << "1*301 2*301" << "2 0";
        QTest::newRow("stopping 150") << "1*200 4*150" << "0 0";
        QTest::newRow("stopping 151 leaves") << "1*200 4*151" << "0 1";
        QTest::newRow("stopping clears preparing") << "1*200 4 1*101" << "0 0";
        QTest::newRow("finished 15") << "6*15" << "0 0";
        QTest::newRow("finished 16 leaves") << "6*16" << "0 1";
        QTest::newRow("charging tick restarts it") << "6*15 3 6*15" << "0 0";
        QTest::newRow("then 16 leave") << "6*15 3 6*16" << "0 1";
    }
    void counters()
    {
        QFETCH(QString, script);
        QFETCH(QString, seen);
        EnergyDelivery screen;
        QSignalSpy stop(&screen, &EnergyDelivery::signal_gun_stop);
        QSignalSpy complete(&screen, &EnergyDelivery::jump_complete);
        play(screen, script);
        QCOMPARE(QString("%1 %2").arg(stop.count()).arg(complete.count()), seen);
        for (const auto &args : stop)
            QCOMPARE(args.at(0).value<ushort>(), ushort(1));
    }

    void headingByPhase()
    {
        EnergyDelivery screen;
        screen.show();
        QStringList seen;
        for (int phase = 1; phase <= 5; ++phase) {
            play(screen, QString::number(phase));
            seen << text(screen, "label_head") + (child<QLabel>(screen, "label_prepare")->isVisible() ? "..." : "");
        }
        QCOMPARE(seen, QStringList({"preparing...", "preparing...", "charging", "stopping...", "suspanded"}));
    }

    void barAndDots()
    {
        EnergyDelivery screen;
        QProgressBar *bar = child<QProgressBar>(screen, "progressBar");
        QLabel *dots = child<QLabel>(screen, "label_prepare");
        int_soc = 50;
        QStringList seen;
        for (int i = 0; i < 5; ++i) {
            play(screen, "2");
            seen << dots->text();
        }
        QCOMPARE(seen, QStringList({" ", ".", "..", "...", " "}));
        QCOMPARE(bar->value(), 50);
        QList<int> sweep;
        for (int i = 0; i < 10; ++i) {
            play(screen, "3");
            sweep << bar->value();
        }
        QCOMPARE(sweep, QList<int>({58, 66, 74, 82, 90, 98, 100, 8, 16, 24}));
        // Unknown phases change nothing; charging left the dots' step alone.
        play(screen, "0 7 65535");
        QCOMPARE(text(screen, "label_head"), QString("charging"));
        QCOMPARE(bar->value(), 24);
        play(screen, "4");
        QCOMPARE(dots->text(), QString("."));
    }

    void infoUpdateTexts()
    {
        str_chargedkWh = "0.4";
        str_chargedtime = "1";
        str_chargeVoltage = "375";
        str_chargeCurrent = "55";
        str_chargedMoney = "0.3";
        str_togokWh = "14.9";
        str_remaintime = "43";
        str_soc = "70";
        int_soc = 70;
        EnergyDelivery charging;
        Complete done;
        soc_progressbar = 24; // the charging sweep, not the charge
        charging.InfoUpdate();
        done.InfoUpdate();
        for (QWidget *w : {static_cast<QWidget *>(&charging), static_cast<QWidget *>(&done)}) {
            QStringList shown;
            for (const char *name : {"label_chargedinfo1", "label_chargedinfo2", "label_chargedinfo3",
                                     "label_chargedinfo4", "label_chargedinfo5", "label_togoinfo1",
                                     "label_togoinfo2", "label_soc"})
                shown << text(*w, name);
            QCOMPARE(shown, QStringList({"0.4kWh", "1min", "375V", "55A", "0.3€", "14.9 kWh ", "43 min", "70"}));
        }
        QCOMPARE(child<QProgressBar>(done, "progressBar")->value(), 70);
    }

    void pageShowAndHide()
    {
        EnergyDelivery screen;
        QSignalSpy details(&screen, &EnergyDelivery::show_charging_child1);
        Charging_phase = 1;
        int_soc = 33;
        screen.page_show();
        QCOMPARE(prepare_count, quint16(1));
        QCOMPARE(child<QProgressBar>(screen, "progressBar")->value(), 33);
        QCOMPARE(timer_SocRefresh.interval(), 200);
        QTRY_VERIFY_WITH_TIMEOUT(prepare_count >= 2, 2000); // the timer drives the same refresh
        press(screen, "pushButton_stop");
        QCOMPARE(details.count(), 1);
        screen.page_hide();
        QVERIFY(!timer_SocRefresh.isActive());

        // A finished phase carried over: the first refresh already leaves,
        // as the main window hides the screen, and no refresh keeps running.
        connect(&screen, &EnergyDelivery::jump_complete, &screen, &EnergyDelivery::page_hide);
        Charging_phase = 6;
        finish_count = 15;
        screen.page_show();
        QVERIFY(screen.isHidden());
        QVERIFY(!timer_SocRefresh.isActive());
    }

    void stopDialogsAndCompletion()
    {
        Charging_child1 details;
        details.page_show();
        QSignalSpy back(&details, &Charging_child1::jump_charging);
        press(details, "pushButton");
        QCOMPARE(back.count(), 1);

        Charging_child2 confirm;
        confirm.page_show();
        QSignalSpy stop(&confirm, &Charging_child2::signal_gun_stop);
        QSignalSpy cancel(&confirm, &Charging_child2::jump_back);
        gun_status[1].startRequest = 3;
        press(confirm, "pushButton_cancel");
        QVERIFY(confirm.isHidden());
        QCOMPARE(cancel.count() * 10 + stop.count(), 10);
        QCOMPARE(gun_status[1].startRequest, quint16(3));
        confirm.page_show();
        press(confirm, "pushButton_confirm");
        QCOMPARE(cancel.count() * 10 + stop.count(), 11);
        QCOMPARE(stop.at(0).at(0).value<ushort>(), ushort(1));
        QCOMPARE(gun_status[1].startRequest, quint16(5)); // stopped locally

        Complete done;
        done.show();
        QSignalSpy popup(&done, &Complete::show_complete_child);
        press(done, "pushButton_confirm");
        Complete_child thanks;
        thanks.page_show();
        QSignalSpy home(&thanks, &Complete_child::jump_home);
        press(thanks, "pushButton");
        QCOMPARE(popup.count() * 10 + home.count(), 11);
    }

    void errorPopup()
    {
        ErrorMsg popup;
        popup.page_show("Information:The transaction is stopped by Remote command!");
        QCOMPARE(timer_page_errpage.interval(), 10000);
        // The first message's period is nearly over when the next one
        // arrives: it gets the full ten seconds. Markup shows as it is.
        timer_page_errpage.start(50);
        const QString next = "<b>Stop Reason:</b> " + stopReasonText(35);
        popup.page_show(next);
        QCOMPARE(child<QLabel>(popup, "label")->text(), next);
        QCOMPARE(child<QLabel>(popup, "label")->textFormat(), Qt::PlainText);
        QTest::qWait(150);
        QVERIFY(popup.isVisible());
        QVERIFY(timer_page_errpage.remainingTime() > 5000);
        timer_page_errpage.start(20); // the expiry itself closes it
        QTRY_VERIFY_WITH_TIMEOUT(popup.isHidden(), 2000);
        popup.page_show("Information: The cable is unpluged at car side!");
        press(popup, "pushButton");
        QVERIFY(popup.isHidden());
        QVERIFY(!timer_page_errpage.isActive());
    }

    void stopReason_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 0 << "0NA";
        QTest::newRow("bms") << 17 << "17(BMS)Hign Temperture";
        QTest::newRow("last") << 35 << "35-Communicate with CCU Failed";
        // Past the table the code stays readable, never a read past its end.
        QTest::newRow("one past the end") << 36 << "36Unknown Stop Reason";
        QTest::newRow("word maximum") << 65535 << "65535Unknown Stop Reason";
        QTest::newRow("negative") << -1 << "-1Unknown Stop Reason";
    }
    void stopReason()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(StopReason.size(), 36);
        QCOMPARE(stopReasonText(code), text);
    }
};

QTEST_MAIN(tst_EnergyDelivery)
#include "tst_energydelivery.moc"
