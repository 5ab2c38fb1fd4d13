// test-components: core screens_a
// Home, the plug-in prompt and the standby screen: the way into a session.
#include "ccu_records.h"
#include "chargerconnect.h"
#include "globalvariable.h"
#include "home.h"
#include "standby.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
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
        QTest::newRow("tariff") << 0.65f << "€0.65/kWh";
        QTest::newRow("free") << 0.0f << "€0.00/kWh";
        QTest::newRow("rounded") << 0.456f << "€0.46/kWh";
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

    void tiles_data()
    {
        QTest::addColumn<QPoint>("touch"); // over a tile's labels and price
        QTest::addColumn<QString>("seen");
        QTest::newRow("fast, title") << QPoint(340, 200) << "prompt 0";
        QTest::newRow("fast, price") << QPoint(340, 350) << "prompt 0";
        QTest::newRow("fixed, corner") << QPoint(700, 110) << "fixed 2";
        QTest::newRow("fixed, price") << QPoint(940, 350) << "fixed 2";
        QTest::newRow("exit corner") << QPoint(5, 655) << "exit 0";
    }
    // Fast charge asks for the prompt before storing its mode; fixed amount
    // stores first, as its screen reads it. The exit corner draws nothing.
    void tiles()
    {
        QFETCH(QPoint, touch);
        QFETCH(QString, seen);
        home screen;
        screen.show();
        QStringList got;
        auto note = [&](const char *what) { got << QString("%1 %2").arg(what).arg(gun_status[1].charge_style); };
        connect(&screen, &home::jump_authorize, this, [&] { note("prompt"); });
        connect(&screen, &home::jump_fixedcharge, this, [&] { note("fixed"); });
        connect(&screen, &home::UI_exit, this, [&] { note("exit"); });
        QTest::mouseClick(screen.childAt(touch), Qt::LeftButton);
        QCOMPARE(got, QStringList{seen});
        QCOMPARE(screen.childAt(QPoint(90, 655)), nullptr);
    }

    void promptBackAbandonsTheSession()
    {
        QWidget owner;
        Chargerconnect prompt(&owner);
        QVERIFY(prompt.isWindow()); // above the main window and its veil
        QSignalSpy home(&prompt, &Chargerconnect::jump_home);
        prompt.page_show();
        QTest::mouseClick(child<QPushButton>(prompt, "pushButton"), Qt::LeftButton);
        QCOMPARE(home.count(), 1);
        // Hiding is the main window's business; Enter does not touch "back".
        QTest::keyClick(&prompt, Qt::Key_Return);
        QCOMPARE(home.count(), 1);
    }

    void standby_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("soc");
        QTest::addColumn<QString>("shown"); // setting line, energy to go, bar
        QTest::newRow("€10 at 0.65, empty") << 2 << 0 << "15.38  kWh  |  €  10.00 15.3846 0";
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
        systemstatus.Gun1_available_sta = 1;
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
        QCOMPARE(child<QLabel>(screen, "label_soc")->text(), QString::number(soc));
        QCOMPARE(int(int_soc_start), soc);
        QCOMPARE(int(systemstatus.Gun1_available_sta), 0); // the simulation marks it not yet available
    }

    void standbyStartAndAbort()
    {
        Standby screen;
        screen.page_show();
        QSignalSpy start(&screen, &Standby::signal_req_start);
        QSignalSpy abort(&screen, &Standby::show_charing_child2);
        QTest::mouseClick(child<QPushButton>(screen, "pushButton_start"), Qt::LeftButton);
        QCOMPARE(start.count(), 1);
        QCOMPARE(start.at(0).at(0).value<ushort>(), ushort(1));
        QTest::mouseClick(child<QPushButton>(screen, "pushButton_abort"), Qt::LeftButton);
        QCOMPARE(abort.count(), 1);
        QCOMPARE(abort.at(0).at(0).toString(), QString("chargingstandby"));
        QCOMPARE(start.count(), 1);
    }
};

QTEST_MAIN(tst_Home)
#include "tst_home.moc"
