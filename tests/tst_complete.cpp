// test-components: core screens_b
#include "complete.h"
#include "complete_child.h"
#include "energydelivery.h"
#include "fonts.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_Complete : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void summaryShowsFinalFigures();
    void barShowsFinalSocNotTheSweep();
    void confirmOpensThePopupEachTime();
    void okReturnsHome();
    void figuresFitTheirBoxes_data();
    void figuresFitTheirBoxes();
};

void tst_Complete::initTestCase() { QVERIFY(registerRobotoFonts() > 0); }

void tst_Complete::init()
{
    // As the main window leaves them when it shows the summary.
    str_chargedkWh = "1.7";
    str_chargedtime = "6";
    str_chargeVoltage = "0";
    str_chargeCurrent = "0";
    str_chargedMoney = "1.1";
    str_togokWh = "0";
    str_remaintime = "0";
    str_soc = "95";
    int_soc = 95;
    soc_progressbar = 24;
    Charging_phase = 3;
}

void tst_Complete::summaryShowsFinalFigures()
{
    Complete screen;
    QCOMPARE(child<QLabel>(screen, "label_head")->text(), QString("Complete !"));
    screen.InfoUpdate();
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo1")->text(), QString("1.7kWh"));
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo2")->text(), QString("6min"));
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo3")->text(), QString("0V"));
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo4")->text(), QString("0A"));
    QCOMPARE(child<QLabel>(screen, "label_chargedinfo5")->text(), QString("1.1€"));
    QCOMPARE(child<QLabel>(screen, "label_togoinfo1")->text(), chargingFigureText("0", " kWh "));
    QCOMPARE(child<QLabel>(screen, "label_togoinfo2")->text(), chargingFigureText("0", "  min"));
    QCOMPARE(child<QLabel>(screen, "label_soc")->text(), QString("95"));
    const QStringList captions = {"charged", "spent", "voltage", "current", "cost"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(child<QLabel>(screen, qPrintable(QString("label_charged%1").arg(i + 1)))->text(), captions.at(i));
}

void tst_Complete::barShowsFinalSocNotTheSweep()
{
    Complete screen;
    EnergyDelivery charging; // its refresh keeps the sweep value in soc_progressbar
    screen.InfoUpdate();
    QCOMPARE(child<QProgressBar>(screen, "progressBar")->value(), 95);
    int_soc = 0;
    str_soc = "0";
    screen.InfoUpdate();
    QCOMPARE(child<QProgressBar>(screen, "progressBar")->value(), 0);
    QCOMPARE(soc_progressbar, 24);
}

void tst_Complete::confirmOpensThePopupEachTime()
{
    Complete screen;
    screen.show();
    QSignalSpy popup(&screen, &Complete::show_complete_child);
    QPushButton *confirm = child<QPushButton>(screen, "pushButton_confirm");
    QCOMPARE(confirm->text(), QString("Confirm"));
    QTest::mouseClick(confirm, Qt::LeftButton);
    QTest::mouseClick(confirm, Qt::LeftButton);
    // The main window shows the popup; showing a visible one changes nothing.
    QCOMPARE(popup.count(), 2);
}

void tst_Complete::okReturnsHome()
{
    Complete_child popup;
    popup.page_show();
    QVERIFY(popup.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(popup.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(popup.geometry(), QRect(240, 200, 800, 400));
    QSignalSpy home(&popup, &Complete_child::jump_home);
    QPushButton *ok = child<QPushButton>(popup, "pushButton");
    QCOMPARE(ok->text(), QString("OK"));
    QCOMPARE(ok->geometry(), QRect(300, 280, 200, 80));
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(home.count(), 1);
    QLabel *label = child<QLabel>(popup, "label");
    QVERIFY(label->text().contains("Thank you for using!"));
    QVERIFY(label->heightForWidth(label->width()) <= label->height());
}

void tst_Complete::figuresFitTheirBoxes_data()
{
    QTest::addColumn<QString>("togo");
    QTest::addColumn<QString>("remain");
    QTest::addColumn<bool>("fullSize");
    QTest::newRow("typical") << "14.2" << "38" << true;
    QTest::newRow("unknown") << "--" << "--" << true;
    QTest::newRow("large target, slow charge") << "100.0" << "12000" << false;
    QTest::newRow("overshoot") << "-0.3" << "-1" << true;
}

// True when the label draws white ink on its outermost rows or columns, that
// is, when some of its text is cut off. The screen is painted on the dark
// window colour of the panel.
static bool inkOnTheEdge(QLabel *label)
{
    QWidget *screen = label->window();
    QPalette pal = screen->palette();
    pal.setColor(QPalette::Window, Qt::black);
    screen->setPalette(pal);
    screen->setAutoFillBackground(true);
    const QImage img = screen->grab(label->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
    auto ink = [&](int x, int y) { return qGray(img.pixel(x, y)) > 128; };
    for (int x = 0; x < img.width(); ++x)
        if (ink(x, 0) || ink(x, img.height() - 1))
            return true;
    for (int y = 0; y < img.height(); ++y)
        if (ink(0, y) || ink(img.width() - 1, y))
            return true;
    return false;
}

// A long value is set smaller instead of being cut off at both ends.
void tst_Complete::figuresFitTheirBoxes()
{
    QFETCH(QString, togo);
    QFETCH(QString, remain);
    QFETCH(bool, fullSize);
    str_togokWh = togo;
    str_remaintime = remain;
    Complete screen;
    EnergyDelivery charging;
    screen.show();
    charging.show();
    screen.InfoUpdate();
    charging.InfoUpdate();
    for (QWidget *w : {static_cast<QWidget *>(&screen), static_cast<QWidget *>(&charging)}) {
        for (const char *name : {"label_togoinfo1", "label_togoinfo2"}) {
            QLabel *label = child<QLabel>(*w, name);
            QVERIFY2(!inkOnTheEdge(label), qPrintable(label->text()));
        }
        QLabel *label = child<QLabel>(*w, "label_togoinfo1");
        QCOMPARE(label->text() == chargingFigureText(togo, " kWh "), fullSize);
    }
}

QTEST_MAIN(tst_Complete)
#include "tst_complete.moc"
