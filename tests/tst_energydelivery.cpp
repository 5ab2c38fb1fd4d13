// test-components: common screens
// Charging, completion, the error popup and the stop reasons.
#include "complete.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "globalvariable.h"
#include "stopreason.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
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
        QTest::newRow("second request") << "1*301 2*301" << "2 0";
        QTest::newRow("stopping 151 leaves") << "1*200 4*151" << "0 1";
        QTest::newRow("stopping clears preparing") << "1*200 4 1*101" << "0 0";
        QTest::newRow("finished 15") << "6*15" << "0 0";
        QTest::newRow("finished 16 leaves") << "6*16" << "0 1";
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

    // Heading and dots by phase; the bar holds the charge while preparing and sweeps while charging.
    void headingBarAndDots()
    {
        EnergyDelivery screen;
        screen.show();
        QProgressBar *bar = child<QProgressBar>(screen, "progressBar");
        QLabel *dots = child<QLabel>(screen, "label_prepare");
        auto head = [&] { return text(screen, "label_head") + (dots->isVisible() ? "|" + dots->text() : ""); };
        int_soc = 50;
        QStringList seen;
        for (int i = 0; i < 5; ++i) {
            play(screen, "2");
            seen << head();
        }
        QCOMPARE(seen, QStringList({"preparing| ", "preparing|.", "preparing|..", "preparing|...", "preparing| "}));
        QCOMPARE(bar->value(), 50);
        QList<int> sweep;
        for (int i = 0; i < 10; ++i) {
            play(screen, "3");
            sweep << bar->value();
        }
        QCOMPARE(sweep, QList<int>({58, 66, 74, 82, 90, 98, 100, 8, 16, 24}));
        // Unknown phases change nothing; charging left the dots' step alone.
        play(screen, "0 7 65535");
        QCOMPARE(head() + QString::number(bar->value()), QString("charging24"));
        play(screen, "4");
        QCOMPARE(head(), QString("stopping|."));
        play(screen, "5");
        QCOMPARE(head(), QString("suspended"));
    }

    // The power column: what the shown voltage and current make.
    void power_data()
    {
        QTest::addColumn<QString>("volts");
        QTest::addColumn<QString>("amps");
        QTest::addColumn<QString>("shown");
        QTest::newRow("mid charge") << "375" << "55" << "20.6kW";
        QTest::newRow("largest") << "750" << "200" << "150.0kW";
        QTest::newRow("idle") << "0" << "0" << "0.0kW";
        QTest::newRow("not known") << "--" << "60" << "--";
        QTest::newRow("nothing yet") << "" << "" << "--";
    }
    void power()
    {
        QFETCH(QString, volts);
        QFETCH(QString, amps);
        QFETCH(QString, shown);
        str_chargeVoltage = volts;
        str_chargeCurrent = amps;
        EnergyDelivery charging;
        charging.InfoUpdate();
        QCOMPARE(text(charging, "label_chargedinfo6"), shown);
    }

    void infoUpdateTexts()
    {
        for (auto [var, v] : {std::pair{&str_chargedkWh, "0.4"}, {&str_chargedtime, "1"}, {&str_chargeVoltage, "375"},
                              {&str_chargeCurrent, "55"}, {&str_chargedMoney, "0.3"}, {&str_togokWh, "14.9"},
                              {&str_remaintime, "43"}, {&str_soc, "70"}})
            *var = v;
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
            QCOMPARE(shown, QStringList({"0.4kWh", "1min", "375V", "55A", "€ 0.30", "14.9 kWh ", "43 min", "70"}));
        }
        QCOMPARE(child<QProgressBar>(done, "progressBar")->value(), 70);
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
    }

    void stopReason_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("first") << 0 << "0NA";
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
        QCOMPARE(stopReasonText(code), text);
    }
};

QTEST_MAIN(tst_EnergyDelivery)
#include "tst_energydelivery.moc"
