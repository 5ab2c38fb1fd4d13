// test-components: common screens
// Home and the standby screen: the way into a session.
#include "ccu_records.h"
#include "globalvariable.h"
#include "home.h"
#include "standby.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class tst_Home : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        f_price = 0.65f;
        gun_status[1].charge_style = 0;
    }

    void priceLine_data()
    {
        QTest::addColumn<float>("price");
        QTest::addColumn<QString>("shown");
        QTest::newRow("tariff") << 0.65f << "€ 0.65/kWh";
        QTest::newRow("free") << 0.0f << "€ 0.00/kWh";
        QTest::newRow("rounded") << 0.456f << "€ 0.46/kWh";
    }
    void priceLine()
    {
        QFETCH(float, price);
        QFETCH(QString, shown);
        f_price = price;
        home screen;
        for (const char *name : {"label_price1", "label_price2"})
            QVERIFY(child<QLabel>(screen, name)->text().contains(">" + shown + "</p>"));
    }

    void standby_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("soc");
        QTest::addColumn<QString>("shown"); // setting line, energy to go, bar
        QTest::newRow("€10 at 0.65, empty") << 2 << 0 << "15.38  kWh  |  € 10.00 15.3846 0";
        QTest::newRow("full, half") << 1 << 57 << "charge your battery full 0 57";
        // Past 100 from the CCU fills the bar instead of leaving the last value.
        QTest::newRow("not chosen, past full") << 0 << 120 << " 0 100";
    }
    void standby()
    {
        QFETCH(int, style);
        QFETCH(int, soc);
        QFETCH(QString, shown);
        gun_status[1].charge_style = quint16(style);
        gun_status[1].f_togokWh = 0;
        str_quantity = "15.38";
        str_amount = "10.00";
        f_CusSetkWh = 15.384615f;
        Standby screen;
        charginfo.SOC_Current = 64;
        screen.page_show();
        charginfo.SOC_Current = quint16(soc);
        screen.page_show();
        QCOMPARE(QString("%1 %2 %3")
                     .arg(child<QLabel>(screen, "label_setinfo")->text())
                     .arg(double(gun_status[1].f_togokWh))
                     .arg(child<QProgressBar>(screen, "progressBar")->value()),
                 shown);
        QCOMPARE(int(int_soc_start), soc);
    }
};

QTEST_MAIN(tst_Home)
#include "tst_home.moc"
