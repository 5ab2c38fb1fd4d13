// test-components: core screens_a
#include "fonts.h"
#include "globalvariable.h"
#include "home.h"
#include "tst_home_look.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_Home : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void priceLine_data();
    void priceLine();
    void fastChargeTile();
    void fixedAmountTile();
    void touchesReachOnlyTheTargets();
    void exitCorner();
    void look();
};

void tst_Home::initTestCase()
{
    QVERIFY(registerRobotoFonts() > 0);
}

void tst_Home::cleanup()
{
    f_price = 0.65f;
    gun_status[1].charge_style = 0;
}

void tst_Home::priceLine_data()
{
    QTest::addColumn<float>("price");
    QTest::addColumn<QString>("shown");
    QTest::newRow("tariff") << 0.65f << "€0.65/kWh";
    QTest::newRow("free") << 0.0f << "€0.00/kWh";
    QTest::newRow("one decimal") << 0.1f << "€0.10/kWh";
    QTest::newRow("two digits") << 12.5f << "€12.50/kWh";
    QTest::newRow("rounded") << 0.456f << "€0.46/kWh";
}

void tst_Home::priceLine()
{
    QFETCH(float, price);
    QFETCH(QString, shown);
    f_price = price;
    home screen;
    const QString expected = "<p style='font-size:24px;line-height:100%;font:Regular;color:white;text-align:Center;'>"
        + shown + "</p>";
    QCOMPARE(screen.findChild<QLabel *>("label_price1")->text(), expected);
    QCOMPARE(screen.findChild<QLabel *>("label_price2")->text(), expected);

    // Formatted once: a later price change shows only on a new screen.
    f_price = 3.0f;
    QCOMPARE(screen.findChild<QLabel *>("label_price1")->text(), expected);
}

void tst_Home::fastChargeTile()
{
    home screen;
    screen.show();
    QList<int> styleAtSignal;
    connect(&screen, &home::jump_authorize, this, [&] { styleAtSignal << gun_status[1].charge_style; });
    QSignalSpy fixed(&screen, &home::jump_fixedcharge);

    auto *tile = screen.findChild<QPushButton *>("pushButton_fastcharging");
    QTest::mouseClick(tile, Qt::LeftButton);
    QTest::mouseClick(tile, Qt::LeftButton);

    // The prompt is asked for before the mode is stored; the mode stays 1.
    QCOMPARE(styleAtSignal, QList<int>({0, 1}));
    QCOMPARE(gun_status[1].charge_style, quint16(1));
    QCOMPARE(fixed.count(), 0);
}

void tst_Home::fixedAmountTile()
{
    home screen;
    screen.show();
    QList<int> styleAtSignal;
    connect(&screen, &home::jump_fixedcharge, this, [&] { styleAtSignal << gun_status[1].charge_style; });
    QSignalSpy authorize(&screen, &home::jump_authorize);

    QTest::mouseClick(screen.findChild<QPushButton *>("pushButton_fixamount"), Qt::LeftButton);

    // Stored first: the fixed-amount screen may read it.
    QCOMPARE(styleAtSignal, QList<int>({2}));
    QCOMPARE(authorize.count(), 0);
}

void tst_Home::touchesReachOnlyTheTargets()
{
    home screen;
    screen.show();
    QCOMPARE(screen.geometry(), QRect(0, 140, 1280, 660));
    // Across each tile, over its labels and price, the touch lands on the transparent target.
    const QList<QPoint> fast = {{160, 150}, {340, 200}, {340, 320}, {340, 350}, {590, 390}};
    for (const QPoint &p : fast)
        QCOMPARE(screen.childAt(p)->objectName(), QString("pushButton_fastcharging"));
    const QList<QPoint> fixed = {{700, 110}, {940, 200}, {940, 320}, {940, 350}, {1190, 390}};
    for (const QPoint &p : fixed)
        QCOMPARE(screen.childAt(p)->objectName(), QString("pushButton_fixamount"));
}

void tst_Home::exitCorner()
{
    home screen;
    screen.show();
    QSignalSpy exit(&screen, &home::UI_exit);
    // Nothing is drawn there, yet the lower-left 4 x 4 units quit.
    QWidget *corner = screen.childAt(QPoint(5, 655));
    QVERIFY(corner);
    QCOMPARE(corner->objectName(), QString("pushButton_exit"));
    QCOMPARE(corner->geometry(), QRect(0, 580, 80, 80));
    QTest::mouseClick(corner, Qt::LeftButton);
    QCOMPARE(exit.count(), 1);
    QCOMPARE(screen.childAt(QPoint(90, 655)), nullptr);
}

void tst_Home::look()
{
    LookPanel panel;
    auto *screen = new home(&panel);
    panel.show();
    CHECK_LOOK(screen);
    const QImage img = renderPanel(&panel);
    saveShot(img, "home");
    // The tiles carry their gradients: orange on the left, blue on the right.
    const QColor orange = img.pixelColor(340, 260);
    const QColor blue = img.pixelColor(940, 260);
    QVERIFY2(orange.red() > 200 && orange.blue() < 80, qPrintable(orange.name()));
    QVERIFY2(blue.blue() > 100 && blue.red() < 40, qPrintable(blue.name()));
}

QTEST_MAIN(tst_Home)
#include "tst_home.moc"
