// test-components: core screens_a
#include "fixedcharge.h"
#include "fonts.h"
#include "globalvariable.h"
#include "keyboard.h"
#include "tst_home_look.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

// What the driver reads on the summary line.
static QString plain(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

class tst_FixedCharge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void presets_data();
    void presets();
    void summaryLineComposition();
    void setDisplay_data();
    void setDisplay();
    void pageShowKeepsTheChoice();
    void buttons();
    void keypadToSummary_data();
    void keypadToSummary();
    void look();
};

void tst_FixedCharge::initTestCase()
{
    QVERIFY(registerRobotoFonts() > 0);
}

void tst_FixedCharge::init()
{
    f_price = 0.65f;
    f_CusSetAmount = 0;
    f_CusSetkWh = 0;
    gun_status[1].f_CusSetAmount = 0;
    gun_status[1].f_CusSetkWh = 0;
    str_amount = "0.00";
    str_quantity = "0.00";
}

void tst_FixedCharge::presets_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("quantity");

    QTest::newRow("€30") << "pushButton_A1" << "€30" << "30.00" << "46.15";
    QTest::newRow("€20") << "pushButton_A2" << "€20" << "20.00" << "30.77";
    QTest::newRow("€10") << "pushButton_A3" << "€10" << "10.00" << "15.38";
    QTest::newRow("€5") << "pushButton_A4" << "€5" << "5.00" << "7.69";
    QTest::newRow("30 kWh") << "pushButton_Q1" << "30 kWh" << "19.50" << "30.00";
    QTest::newRow("20 kWh, two blanks") << "pushButton_Q2" << "20  kWh" << "13.00" << "20.00";
    QTest::newRow("10 kWh") << "pushButton_Q3" << "10 kWh" << "6.50" << "10.00";
    QTest::newRow("5 kWh") << "pushButton_Q4" << "5 kWh" << "3.25" << "5.00";
}

void tst_FixedCharge::presets()
{
    QFETCH(QString, button);
    QFETCH(QString, label);
    QFETCH(QString, amount);
    QFETCH(QString, quantity);

    FixedCharge screen;
    screen.show();
    auto *b = screen.findChild<QPushButton *>(button);
    QVERIFY(b);
    QCOMPARE(b->text(), label);
    QTest::mouseClick(b, Qt::LeftButton);

    QCOMPARE(str_amount, amount);
    QCOMPARE(str_quantity, quantity);
    QCOMPARE(QString::number(double(gun_status[1].f_CusSetAmount), 'f', 2), amount);
    QCOMPARE(QString::number(double(gun_status[1].f_CusSetkWh), 'f', 2), quantity);
    QCOMPARE(plain(screen.findChild<QLabel *>("label_setdisplay")->text()),
             "You set to: Charge " + quantity + " kWh | Cost € " + amount);
}

void tst_FixedCharge::summaryLineComposition()
{
    FixedCharge screen;
    screen.show();
    QTest::mouseClick(screen.findChild<QPushButton *>("pushButton_A3"), Qt::LeftButton);
    const QString expected =
        "<p style='text-align:Center;line-height:70%;color:white;'>"
        "<span style='font-size:24px;line-height:100%;font:Regular;'>You set to: Charge </span>"
        "<span style='font-size:36px;line-height:100%;font:Regular;'>15.38</span>"
        "<span style='font-size:24px;line-height:100%;font:Regular;'> kWh | Cost  € </span>"
        "<span style='font-size:36px;line-height:100%;font:Regular;'>10.00</span>";
    QCOMPARE(fixedcharge_label_setdisplay_str, expected);
    QCOMPARE(screen.findChild<QLabel *>("label_setdisplay")->text(), expected);
}

void tst_FixedCharge::setDisplay_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<float>("amount");
    QTest::addColumn<float>("kwh");
    QTest::addColumn<QString>("shown");

    QTest::newRow("amount typed") << 1 << 10.0f << 99.0f << "You set to: Charge 15.38 kWh | Cost € 10.00";
    QTest::newRow("quantity typed") << 2 << 99.0f << 30.0f << "You set to: Charge 30.00 kWh | Cost € 19.50";
    // Neither mode: nothing is derived, the record is reprinted as it is.
    QTest::newRow("other number") << 3 << 4.0f << 4.0f << "You set to: Charge 7.00 kWh | Cost € 2.00";
}

void tst_FixedCharge::setDisplay()
{
    QFETCH(int, which);
    QFETCH(float, amount);
    QFETCH(float, kwh);
    QFETCH(QString, shown);

    gun_status[1].f_CusSetAmount = 2;
    gun_status[1].f_CusSetkWh = 7;
    f_CusSetAmount = amount;
    f_CusSetkWh = kwh;
    FixedCharge screen;
    screen.set_display(which);
    QCOMPARE(plain(screen.findChild<QLabel *>("label_setdisplay")->text()), shown);
    if (which == 1 || which == 2) {
        QCOMPARE(gun_status[1].f_CusSetAmount, f_CusSetAmount);
        QCOMPARE(gun_status[1].f_CusSetkWh, f_CusSetkWh);
    } else {
        QCOMPARE(f_CusSetAmount, amount);
        QCOMPARE(f_CusSetkWh, kwh);
    }
}

void tst_FixedCharge::pageShowKeepsTheChoice()
{
    FixedCharge screen;
    QTest::mouseClick(screen.findChild<QPushButton *>("pushButton_Q3"), Qt::LeftButton);
    screen.hide();
    str_amount = "garbage";
    screen.page_show(1);
    QVERIFY(screen.isVisible());
    QCOMPARE(str_amount, QString("6.50"));
    QCOMPARE(plain(screen.findChild<QLabel *>("label_setdisplay")->text()),
             QString("You set to: Charge 10.00 kWh | Cost € 6.50"));

    gun_status[1].f_CusSetAmount = 7.5f;
    gun_status[1].f_CusSetkWh = 0;
    screen.page_show(1);
    QCOMPARE(str_amount, QString("7.50"));
    QCOMPARE(str_quantity, QString("0.00"));
    // A gun number outside the record array only shows the screen.
    screen.page_show(5);
    QCOMPARE(str_amount, QString("7.50"));
}

void tst_FixedCharge::buttons()
{
    FixedCharge screen;
    screen.show();
    QSignalSpy keypad(&screen, &FixedCharge::jump_keyboard);
    QSignalSpy authorize(&screen, &FixedCharge::jump_authorize);

    QTest::mouseClick(screen.findChild<QPushButton *>("pushButton_A_Cus"), Qt::LeftButton);
    QTest::mouseClick(screen.findChild<QPushButton *>("pushButton_Q_Cus"), Qt::LeftButton);
    QCOMPARE(keypad.count(), 2);
    QCOMPARE(keypad.at(0).at(0).toInt(), 1);
    QCOMPARE(keypad.at(1).at(0).toInt(), 2);
    QCOMPARE(authorize.count(), 0);

    QTest::mouseClick(screen.findChild<QPushButton *>("pushButton_confirm"), Qt::LeftButton);
    QCOMPARE(authorize.count(), 1);
    QCOMPARE(keypad.count(), 2);

    // A preset acts when pressed, before the finger lifts.
    QTest::mousePress(screen.findChild<QPushButton *>("pushButton_A4"), Qt::LeftButton);
    QCOMPARE(str_amount, QString("5.00"));
    QTest::mouseRelease(screen.findChild<QPushButton *>("pushButton_A4"), Qt::LeftButton);
}

void tst_FixedCharge::keypadToSummary_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("shown");

    QTest::newRow("bare dot") << 2 << QStringList{"pushButton_dot"} << "You set to: Charge 0.00 kWh | Cost € 0.00";
    QTest::newRow("amount 13") << 1 << QStringList{"pushButton_1", "pushButton_3"}
                               << "You set to: Charge 20.00 kWh | Cost € 13.00";
    QTest::newRow("emptied") << 1 << QStringList{"pushButton_backspace"} << "You set to: Charge 0.00 kWh | Cost € 0.00";
    QTest::newRow("clamped") << 2 << QStringList{"pushButton_2", "pushButton_5", "pushButton_0"}
                             << "You set to: Charge 100.00 kWh | Cost € 65.00";
}

// The keypad's confirm reaches the screen as the main window wires it.
void tst_FixedCharge::keypadToSummary()
{
    QFETCH(int, which);
    QFETCH(QStringList, keys);
    QFETCH(QString, shown);

    FixedCharge screen;
    Keyboard kb;
    connect(&kb, &Keyboard::signal_cusconfirm, &screen, &FixedCharge::set_display);
    screen.show();
    QTest::mouseClick(screen.findChild<QPushButton *>("pushButton_Q1"), Qt::LeftButton);
    kb.page_show(which);
    for (const QString &k : keys)
        QTest::mouseClick(kb.findChild<QPushButton *>(k), Qt::LeftButton);
    QTest::mouseClick(kb.findChild<QPushButton *>("pushButton_confirm"), Qt::LeftButton);
    QCOMPARE(plain(screen.findChild<QLabel *>("label_setdisplay")->text()), shown);
}

void tst_FixedCharge::look()
{
    LookPanel panel;
    auto *screen = new FixedCharge(&panel);
    panel.show();
    screen->page_show(1);
    QTest::mouseClick(screen->findChild<QPushButton *>("pushButton_A3"), Qt::LeftButton);
    const QImage img = renderPanel(&panel);
    saveShot(img, "fixedcharge");
    CHECK_LOOK(screen);

    // The widest summary the keypad allows still fits.
    f_CusSetkWh = 100;
    screen->set_display(2);
    CHECK_LOOK(screen);
    saveShot(renderPanel(&panel), "fixedcharge_max");
}

QTEST_MAIN(tst_FixedCharge)
#include "tst_fixedcharge.moc"
