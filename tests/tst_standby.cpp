// test-components: core screens_a
#include "ccu_records.h"
#include "fonts.h"
#include "globalvariable.h"
#include "standby.h"
#include "tst_home_look.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_Standby : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void settingLine_data();
    void settingLine();
    void stateOfCharge_data();
    void stateOfCharge();
    void startAndAbort();
    void look_data();
    void look();
};

void tst_Standby::initTestCase()
{
    QVERIFY(registerRobotoFonts() > 0);
}

void tst_Standby::init()
{
    gun_status[1].charge_style = 0;
    gun_status[1].f_togokWh = 0;
    charginfo.SOC_Current = 30;
    systemstatus.Gun1_available_sta = 1;
}

void tst_Standby::settingLine_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<float>("kwh");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<float>("togo");

    QTest::newRow("€10 at 0.65") << 2 << "15.38" << "10.00" << 15.384615f << "15.38  kWh  |  €  10.00" << 15.384615f;
    QTest::newRow("30 kWh") << 2 << "30.00" << "19.50" << 30.0f << "30.00  kWh  |  €  19.50" << 30.0f;
    QTest::newRow("full") << 1 << "15.38" << "10.00" << 15.0f << "charge your battery full" << 0.0f;
    QTest::newRow("not chosen") << 0 << "15.38" << "10.00" << 15.0f << "" << 0.0f;
}

void tst_Standby::settingLine()
{
    QFETCH(int, style);
    QFETCH(QString, quantity);
    QFETCH(QString, amount);
    QFETCH(float, kwh);
    QFETCH(QString, shown);
    QFETCH(float, togo);

    gun_status[1].charge_style = quint16(style);
    str_quantity = quantity;
    str_amount = amount;
    f_CusSetkWh = kwh;
    Standby screen;
    screen.page_show();
    QVERIFY(screen.isVisible());
    QCOMPARE(screen.findChild<QLabel *>("label_setinfo")->text(), shown);
    QCOMPARE(gun_status[1].f_togokWh, togo);
}

void tst_Standby::stateOfCharge_data()
{
    QTest::addColumn<int>("soc");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QString>("number");

    QTest::newRow("empty") << 0 << 0 << "0";
    QTest::newRow("half") << 57 << 57 << "57";
    QTest::newRow("full") << 100 << 100 << "100";
    // A value past 100 from the CCU fills the bar instead of leaving the last one.
    QTest::newRow("past full") << 120 << 100 << "120";
}

void tst_Standby::stateOfCharge()
{
    QFETCH(int, soc);
    QFETCH(int, bar);
    QFETCH(QString, number);

    Standby screen;
    charginfo.SOC_Current = 64;
    screen.page_show();
    charginfo.SOC_Current = quint16(soc);
    screen.page_show();
    QCOMPARE(int(int_soc_start), soc);
    QCOMPARE(screen.findChild<QProgressBar *>("progressBar")->value(), bar);
    QCOMPARE(screen.findChild<QLabel *>("label_soc")->text(), number);
    // The simulation build marks the gun as not yet available.
    QCOMPARE(int(systemstatus.Gun1_available_sta), 0);

    // Not refreshed while shown: the value read on entry stays.
    charginfo.SOC_Current = 5;
    QCOMPARE(screen.findChild<QLabel *>("label_soc")->text(), number);
}

void tst_Standby::startAndAbort()
{
    Standby screen;
    screen.page_show();
    QSignalSpy start(&screen, &Standby::signal_req_start);
    QSignalSpy abort(&screen, &Standby::show_charing_child2);

    auto *startButton = screen.findChild<QPushButton *>("pushButton_start");
    QCOMPARE(startButton->text(), QString("Start"));
    QTest::mouseClick(startButton, Qt::LeftButton);
    QTest::mouseClick(startButton, Qt::LeftButton);
    QCOMPARE(start.count(), 2);
    QCOMPARE(start.at(0).at(0).value<ushort>(), ushort(1));
    QCOMPARE(abort.count(), 0);

    auto *abortButton = screen.findChild<QPushButton *>("pushButton_abort");
    QCOMPARE(abortButton->text(), QString("Abort"));
    QTest::mouseClick(abortButton, Qt::LeftButton);
    QCOMPARE(abort.count(), 1);
    QCOMPARE(abort.at(0).at(0).toString(), QString("chargingstandby"));
    QCOMPARE(start.count(), 2);
}

void tst_Standby::look_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("soc");
    QTest::addColumn<QString>("shot");
    QTest::newRow("fixed") << 2 << 30 << "standby";
    QTest::newRow("full, empty battery") << 1 << 0 << "standby_soc0";
    QTest::newRow("largest fixed, full battery") << 2 << 100 << "standby_soc100";
    QTest::newRow("nearly empty") << 1 << 4 << "standby_soc4";
}

void tst_Standby::look()
{
    QFETCH(int, style);
    QFETCH(int, soc);
    QFETCH(QString, shot);

    gun_status[1].charge_style = quint16(style);
    str_quantity = soc == 100 ? "100.00" : "15.38";
    str_amount = soc == 100 ? "65.00" : "10.00";
    charginfo.SOC_Current = quint16(soc);
    LookPanel panel;
    auto *screen = new Standby(&panel);
    panel.show();
    screen->page_show();
    CHECK_LOOK(screen);
    const QImage img = renderPanel(&panel);
    saveShot(img, shot);
    // The fill starts at the bar's left end and reaches as far as the charge.
    const QRect bar = screen->findChild<QProgressBar *>("progressBar")->geometry().translated(0, 140);
    const QColor start = img.pixelColor(bar.left() + 60, bar.center().y() + 60);
    const QColor end = img.pixelColor(bar.right() - 20, bar.center().y() + 60);
    if (soc < 10)
        QVERIFY2(start.lightness() < 40, qPrintable(start.name()));
    else
        QVERIFY2(start.lightness() > 120, qPrintable(start.name()));
    if (soc == 100)
        QVERIFY2(end.green() > 150, qPrintable(end.name()));
    else
        QVERIFY2(end.lightness() < 40, qPrintable(end.name()));
}

QTEST_MAIN(tst_Standby)
#include "tst_standby.moc"
