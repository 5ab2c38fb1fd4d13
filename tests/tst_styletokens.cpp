// test-components: common screens
#include "fonts.h"
#include "globalvariable.h"
#include "styletokens.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QtTest>

class tst_StyleTokens : public QObject
{
    Q_OBJECT

private slots:
    void geometryTruncates_data();
    void geometryTruncates();
    void composedSheets();
    void fontsRegisterAndResolve();
    void imagesLoad_data();
    void imagesLoad();
};

void tst_StyleTokens::geometryTruncates_data()
{
    QTest::addColumn<double>("units");
    QTest::addColumn<float>("dp");
    QTest::addColumn<int>("pixels");
    QTest::newRow("15.5 units") << 15.5 << 20.0f << 310;
    QTest::newRow("10.5 units") << 10.5 << 20.0f << 210;
    QTest::newRow("18.5 units") << 18.5 << 20.0f << 370;
    QTest::newRow("fraction truncated, not rounded") << 10.5 << 13.3f << 139; // 139.65
    QTest::newRow("whole panel width") << 64.0 << 20.0f << 1280;
}

void tst_StyleTokens::geometryTruncates()
{
    QFETCH(double, units);
    QFETCH(float, dp);
    QFETCH(int, pixels);
    const float oldX = dpX, oldY = dpY;
    dpX = dpY = dp;
    const QRect r = unitRect(units, units, units, units);
    dpX = oldX;
    dpY = oldY;
    QCOMPARE(r, QRect(pixels, pixels, pixels, pixels));
}

void tst_StyleTokens::composedSheets()
{
    const QString primary =
        "QPushButton{border-radius:40px;border-style:outset;color:white;font-size:40px;line-height:100%;font:Bold Condensed;"
        "background-color:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #1691FF,stop:1 #004C8E);}"
        "QPushButton:pressed{border-radius:40px;border-style:outset;color:white;font-size:40px;line-height:100%;"
        "font:Bold Condensed;background-color:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #017FB8,stop:1 "
        "#003D73);}";
    for (const QString *t : {&fixedcharge_pushbutton_Confirm_sty, &keyboar_confirm_sty, &standby_pushbutton_confirm_style,
                             &charging_pushbutton_stop_sty, &chargingchild_pushbotton_sty, &pushbutton_confirm_sty,
                             &complete_pushbutton_Confirm_sty, &comchild_pushbotton_sty})
        QCOMPARE(*t, primary);

    // Colour tokens carry their own semicolon; the sheets are plain concatenations.
    QCOMPARE("color:" + Natural_Gray, QString("color:#757575;"));
    QCOMPARE(pushbutton_cancel_sty, keyboar_cancel_sty);
    QVERIFY(keyboar_cancel_sty.startsWith("QPushButton{border-radius: 40px;border-style:outset;color:black;font-size:40px;"));
    QVERIFY(chargeconnect_pushbutton_sty.endsWith("stop:0 #757575,stop:1 #989898);}"));
    QVERIFY(standby_pregrassbar_style.contains("background-color:#000D12;}QProgressBar::chunk{"));
    QCOMPARE(standby_label_percent_style, QString("<p style='font-size:60px;color:white;text-align:center;'>%</p>"));
    QCOMPARE(charging_chargedinfo_sty, QString("font-size:24px;font:Light;qproperty-alignment:AlignCenter;color:white"));
    QCOMPARE(charging_togoinfo_str2, QString("<p style='text-align:Center;color:white;'><span style='font-size:60px;'>"
                                             "</span><span style='font-size:36px;'>  min</span>"));
}

void tst_StyleTokens::fontsRegisterAndResolve()
{
    QCOMPARE(robotoFontResources().size(), 16);
    // At start only the two faces of the customer screens; the rest on
    // demand, each face once.
    QCOMPARE(registerRobotoFonts(RobotoFaces::Screens), 2);
    QCOMPARE(registerRobotoFonts(RobotoFaces::Screens), 0);
    QCOMPARE(registerRobotoFonts(), 14);
    QCOMPARE(registerRobotoFonts(), 0);
    QVERIFY(QFontDatabase().families().contains("Roboto"));
    QFont f("Roboto");
    f.setPixelSize(24);
    QCOMPARE(QFontInfo(f).family(), QString("Roboto"));
    QVERIFY(QFontDatabase().styles("Roboto").contains("Bold"));
}

void tst_StyleTokens::imagesLoad_data()
{
    QTest::addColumn<QString>("path");
    const QStringList paths = {image_smartcharge, image_pay_instruction, image_charger_discon_red, image_standby_bat,
                               image_standby_bat2, charger_con, charger_discon, charger_signal_good,
                               charger_signal_error, charger_signal_lost};
    for (const QString &p : paths)
        QTest::newRow(qPrintable(p)) << p;
    for (const QString *sheet : {&image_back, &image_home, &image_language, &image_help, &image_setting}) {
        const QString p = sheet->section('(', 1).section(')', 0, 0);
        QTest::newRow(qPrintable(p)) << p;
    }
}

void tst_StyleTokens::imagesLoad()
{
    QFETCH(QString, path);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QVERIFY(image.width() >= 16 && image.height() >= 16);
    QVERIFY(image.hasAlphaChannel());
}

QTEST_MAIN(tst_StyleTokens)
#include "tst_styletokens.moc"
