// test-components: core screens_b
#include "charging_child1.h"
#include "charging_child2.h"
#include "energydelivery.h"
#include "fonts.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QFontInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_EnergyDelivery : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void headingByPhase_data();
    void headingByPhase();
    void preparingRequestsOneStopAfter301Ticks();
    void stoppingLeavesAfter151Ticks();
    void finishedLeavesAfter16Ticks();
    void finishedInterruptedByChargingStays();
    void barSweepsWhileCharging();
    void barAt100RestartsAt8();
    void otherPhasesChangeNothing_data();
    void otherPhasesChangeNothing();
    void dotsCycleWhilePreparing();
    void infoUpdateTexts_data();
    void infoUpdateTexts();
    void pageShowRefreshesAndStartsTimer();
    void pageShowLeavingAtOnceKeepsNoTimer();
    void stopButtonAsksForDetails();
    void fontsResolveToRoboto();

    void child1CancelReturns();
    void child2ConfirmStopsLocally();
    void child2CancelHidesAndGoesBack();
    void popupsAreFramelessCards();

private:
    static void resetState();
    // `times` refreshes of the screen in the given charging phase.
    static void tick(EnergyDelivery &screen, quint16 phase, int times = 1)
    {
        Charging_phase = phase;
        for (int i = 0; i < times; ++i)
            screen.Soc_Refresh();
    }
};

void tst_EnergyDelivery::initTestCase() { QVERIFY(registerRobotoFonts() > 0); }

void tst_EnergyDelivery::resetState()
{
    Charging_phase = 0;
    int_soc = 0;
    soc_progressbar = 0;
    prepare_count = stop_count = finish_count = 0;
    propare_n = 0;
    timer_SocRefresh.stop();
    gun_status[1] = Status();
}

void tst_EnergyDelivery::init() { resetState(); }

void tst_EnergyDelivery::headingByPhase_data()
{
    QTest::addColumn<int>("phase");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<bool>("dots");
    QTest::newRow("1 preparing") << 1 << "preparing" << true;
    QTest::newRow("2 preparing") << 2 << "preparing" << true;
    QTest::newRow("3 charging") << 3 << "charging" << false;
    QTest::newRow("4 stopping") << 4 << "stopping" << true;
    QTest::newRow("5 suspended") << 5 << "suspanded" << false;
}

void tst_EnergyDelivery::headingByPhase()
{
    QFETCH(int, phase);
    QFETCH(QString, heading);
    QFETCH(bool, dots);
    EnergyDelivery screen;
    screen.show();
    QCOMPARE(child<QLabel>(screen, "label_head")->text(), QString("preparing..."));
    Charging_phase = quint16(phase);
    screen.Soc_Refresh();
    QCOMPARE(child<QLabel>(screen, "label_head")->text(), heading);
    QCOMPARE(child<QLabel>(screen, "label_prepare")->isVisible(), dots);
}

void tst_EnergyDelivery::preparingRequestsOneStopAfter301Ticks()
{
    EnergyDelivery screen;
    QSignalSpy stop(&screen, &EnergyDelivery::signal_gun_stop);
    QSignalSpy complete(&screen, &EnergyDelivery::jump_complete);
    tick(screen, 1, 300);
    QCOMPARE(stop.count(), 0);
    tick(screen, 2); // both preparing codes count together
    QCOMPARE(stop.count(), 1);
    QCOMPARE(stop.at(0).at(0).value<ushort>(), ushort(1));
    QCOMPARE(prepare_count, quint16(0));
    // Counting starts again: the next request needs another 301 ticks.
    tick(screen, 2, 300);
    QCOMPARE(stop.count(), 1);
    tick(screen, 2);
    QCOMPARE(stop.count(), 2);
    QCOMPARE(complete.count(), 0);
}

void tst_EnergyDelivery::stoppingLeavesAfter151Ticks()
{
    EnergyDelivery screen;
    QSignalSpy complete(&screen, &EnergyDelivery::jump_complete);
    QSignalSpy stop(&screen, &EnergyDelivery::signal_gun_stop);
    tick(screen, 1, 200);
    tick(screen, 4, 150);
    QCOMPARE(complete.count(), 0);
    QCOMPARE(prepare_count, quint16(0)); // stopping clears the preparing count
    tick(screen, 4);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(stop_count, quint16(0));
    QCOMPARE(stop.count(), 0);
}

void tst_EnergyDelivery::finishedLeavesAfter16Ticks()
{
    EnergyDelivery screen;
    QSignalSpy complete(&screen, &EnergyDelivery::jump_complete);
    tick(screen, 6, 15);
    QCOMPARE(complete.count(), 0);
    tick(screen, 6);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(finish_count, quint16(0));
}

void tst_EnergyDelivery::finishedInterruptedByChargingStays()
{
    EnergyDelivery screen;
    QSignalSpy complete(&screen, &EnergyDelivery::jump_complete);
    tick(screen, 6, 15);
    tick(screen, 3);
    tick(screen, 6, 15);
    QCOMPARE(complete.count(), 0);
    tick(screen, 6);
    QCOMPARE(complete.count(), 1);
}

void tst_EnergyDelivery::barSweepsWhileCharging()
{
    EnergyDelivery screen;
    QProgressBar *bar = child<QProgressBar>(screen, "progressBar");
    int_soc = 50;
    Charging_phase = 1;
    screen.Soc_Refresh();
    QCOMPARE(bar->value(), 50);
    Charging_phase = 3;
    const int expected[] = {58, 66, 74, 82, 90, 98, 100, 8, 16, 24};
    for (int value : expected) {
        screen.Soc_Refresh();
        QCOMPARE(bar->value(), value);
        QCOMPARE(soc_progressbar, value);
    }
}

void tst_EnergyDelivery::barAt100RestartsAt8()
{
    EnergyDelivery screen;
    soc_progressbar = 100;
    Charging_phase = 3;
    screen.Soc_Refresh();
    QCOMPARE(child<QProgressBar>(screen, "progressBar")->value(), 8);
}

void tst_EnergyDelivery::otherPhasesChangeNothing_data()
{
    QTest::addColumn<int>("phase");
    QTest::newRow("0") << 0;
    QTest::newRow("7") << 7;
    QTest::newRow("65535") << 65535;
}

void tst_EnergyDelivery::otherPhasesChangeNothing()
{
    QFETCH(int, phase);
    EnergyDelivery screen;
    screen.show();
    int_soc = 40;
    tick(screen, 1, 5);
    QLabel *head = child<QLabel>(screen, "label_head");
    QLabel *dots = child<QLabel>(screen, "label_prepare");
    const QString dotText = dots->text();
    int_soc = 90;
    Charging_phase = quint16(phase);
    screen.Soc_Refresh();
    QCOMPARE(head->text(), QString("preparing"));
    QCOMPARE(dots->text(), dotText);
    QCOMPARE(child<QProgressBar>(screen, "progressBar")->value(), 40);
    QCOMPARE(prepare_count, quint16(5));
    QCOMPARE(propare_n, quint16(1));
}

void tst_EnergyDelivery::dotsCycleWhilePreparing()
{
    EnergyDelivery screen;
    QLabel *dots = child<QLabel>(screen, "label_prepare");
    Charging_phase = 2;
    const char *const expected[] = {" ", ".", "..", "...", " ", "."};
    for (const char *text : expected) {
        screen.Soc_Refresh();
        QCOMPARE(dots->text(), QString(text));
    }
    // Charging shows no dots and leaves the step where it was.
    Charging_phase = 3;
    screen.Soc_Refresh();
    QCOMPARE(propare_n, quint16(2));
    Charging_phase = 4;
    screen.Soc_Refresh();
    QCOMPARE(dots->text(), QString(".."));
}

void tst_EnergyDelivery::infoUpdateTexts_data()
{
    QTest::addColumn<QString>("kwh");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("volts");
    QTest::addColumn<QString>("amps");
    QTest::addColumn<QString>("money");
    QTest::addColumn<QString>("togo");
    QTest::addColumn<QString>("remain");
    QTest::addColumn<QString>("soc");
    QTest::newRow("fast charge") << "1.2" << "3" << "370" << "60" << "3.25" << "--" << "--" << "75";
    QTest::newRow("fixed amount") << "0.4" << "1" << "375" << "55" << "0.3" << "14.9" << "43" << "70";
}

void tst_EnergyDelivery::infoUpdateTexts()
{
    QFETCH(QString, kwh);
    QFETCH(QString, minutes);
    QFETCH(QString, volts);
    QFETCH(QString, amps);
    QFETCH(QString, money);
    QFETCH(QString, togo);
    QFETCH(QString, remain);
    QFETCH(QString, soc);
    str_chargedkWh = kwh;
    str_chargedtime = minutes;
    str_chargeVoltage = volts;
    str_chargeCurrent = amps;
    str_chargedMoney = money;
    str_togokWh = togo;
    str_remaintime = remain;
    str_soc = soc;
    EnergyDelivery screen;
    screen.InfoUpdate();
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo1")->text(), kwh + "kWh");
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo2")->text(), minutes + "min");
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo3")->text(), volts + "V");
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo4")->text(), amps + "A");
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo5")->text(), money + "€");
    const QString open = "<p style='text-align:Center;color:white;'><span style='font-size:60px;'>";
    QCOMPARE(child<QLabel>(screen, "label_togoinfo1")->text(),
             open + togo + "</span><span style='font-size:36px;'> kWh </span>");
    QCOMPARE(child<QLabel>(screen, "label_togoinfo2")->text(),
             open + remain + "</span><span style='font-size:36px;'>  min</span>");
    QCOMPARE(child<QLabel>(screen, "label_soc")->text(), soc);
    // The cost sits in the middle column, between time spent and voltage.
    const int costX = child<QLabel>(screen, "label_chargedinfo5")->x();
    QVERIFY(child<QLabel>(screen, "label_chargedinfo2")->x() < costX);
    QVERIFY(costX < child<QLabel>(screen, "label_chargedinfo3")->x());
}

void tst_EnergyDelivery::pageShowRefreshesAndStartsTimer()
{
    EnergyDelivery screen;
    Charging_phase = 1;
    int_soc = 33;
    screen.page_show();
    QVERIFY(screen.isVisible());
    QCOMPARE(prepare_count, quint16(1));
    QCOMPARE(child<QProgressBar>(screen, "progressBar")->value(), 33);
    QVERIFY(timer_SocRefresh.isActive());
    QCOMPARE(timer_SocRefresh.interval(), 200);
    QVERIFY(!timer_SocRefresh.isSingleShot());
    // The timer drives the same refresh.
    QTRY_VERIFY_WITH_TIMEOUT(prepare_count >= 2, 2000);
    screen.page_hide();
    QVERIFY(!screen.isVisible());
    QVERIFY(!timer_SocRefresh.isActive());
}

void tst_EnergyDelivery::pageShowLeavingAtOnceKeepsNoTimer()
{
    // A finished phase carried over from an earlier showing: the first
    // refresh already leaves the screen, as the main window hides it.
    EnergyDelivery screen;
    connect(&screen, &EnergyDelivery::jump_complete, &screen, &EnergyDelivery::page_hide);
    QSignalSpy complete(&screen, &EnergyDelivery::jump_complete);
    Charging_phase = 6;
    finish_count = 15;
    screen.page_show();
    QCOMPARE(complete.count(), 1);
    QVERIFY(screen.isHidden());
    QVERIFY(!timer_SocRefresh.isActive());
}

void tst_EnergyDelivery::stopButtonAsksForDetails()
{
    EnergyDelivery screen;
    screen.show();
    QSignalSpy details(&screen, &EnergyDelivery::show_charging_child1);
    QSignalSpy stop(&screen, &EnergyDelivery::signal_gun_stop);
    QPushButton *button = child<QPushButton>(screen, "pushButton_stop");
    QCOMPARE(button->text(), QString("Stop"));
    QCOMPARE(button->geometry(), QRect(480, 540, 320, 80));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(details.count(), 1);
    QCOMPARE(stop.count(), 0);
}

void tst_EnergyDelivery::fontsResolveToRoboto()
{
    EnergyDelivery screen;
    screen.show();
    for (const char *name : {"label_head", "label_prepare", "label_soc", "label_charged1", "label_chargedinfo1"}) {
        QLabel *label = child<QLabel>(screen, name);
        label->ensurePolished();
        QCOMPARE(QFontInfo(label->font()).family(), QString("Roboto"));
    }
    QPushButton *button = child<QPushButton>(screen, "pushButton_stop");
    button->ensurePolished();
    QCOMPARE(QFontInfo(button->font()).family(), QString("Roboto"));
}

void tst_EnergyDelivery::child1CancelReturns()
{
    Charging_child1 popup;
    popup.page_show();
    QSignalSpy back(&popup, &Charging_child1::jump_charging);
    QPushButton *button = child<QPushButton>(popup, "pushButton");
    QCOMPARE(button->text(), QString("Cancel"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(back.count(), 1);
    // The main window hides it; the popup itself stays as it is.
    QVERIFY(popup.isVisible());
}

void tst_EnergyDelivery::child2ConfirmStopsLocally()
{
    Charging_child2 popup;
    popup.page_show();
    QSignalSpy stop(&popup, &Charging_child2::signal_gun_stop);
    QSignalSpy back(&popup, &Charging_child2::jump_back);
    gun_status[1].startRequest = 3;
    QTest::mouseClick(child<QPushButton>(popup, "pushButton_confirm"), Qt::LeftButton);
    QCOMPARE(stop.count(), 1);
    QCOMPARE(stop.at(0).at(0).value<ushort>(), ushort(1));
    QCOMPARE(gun_status[1].startRequest, quint16(5));
    QCOMPARE(back.count(), 0);
}

void tst_EnergyDelivery::child2CancelHidesAndGoesBack()
{
    Charging_child2 popup;
    popup.page_show();
    QSignalSpy stop(&popup, &Charging_child2::signal_gun_stop);
    QSignalSpy back(&popup, &Charging_child2::jump_back);
    bool hiddenWhenSignalled = false;
    connect(&popup, &Charging_child2::jump_back, this, [&] { hiddenWhenSignalled = popup.isHidden(); });
    gun_status[1].startRequest = 3;
    QTest::mouseClick(child<QPushButton>(popup, "pushButton_cancel"), Qt::LeftButton);
    QCOMPARE(back.count(), 1);
    QVERIFY(hiddenWhenSignalled);
    QCOMPARE(stop.count(), 0);
    QCOMPARE(gun_status[1].startRequest, quint16(3));
}

void tst_EnergyDelivery::popupsAreFramelessCards()
{
    Charging_child1 one;
    Charging_child2 two;
    for (QDialog *popup : {static_cast<QDialog *>(&one), static_cast<QDialog *>(&two)}) {
        QVERIFY(popup->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(popup->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(popup->geometry(), QRect(240, 200, 800, 400));
        QLabel *label = child<QLabel>(*popup, "label");
        // Every line of the message fits its box.
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
    }
}

QTEST_MAIN(tst_EnergyDelivery)
#include "tst_energydelivery.moc"
