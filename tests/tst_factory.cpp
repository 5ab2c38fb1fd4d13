// test-components: common screens
// The factory screen: what it shows for the CCU's records, what each list
// choice sends, and how a technician gets in and out.

#include "ccu_records.h"
#include "factorymode.h"
#include "fonts.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using Setter = std::function<void()>;
Q_DECLARE_METATYPE(Setter)

class tst_Factory : public QObject
{
    Q_OBJECT

private:
    FactoryMode *screen = nullptr;
    QString text(const char *label) const { return child<QLabel>(*screen, label)->text(); }
    QComboBox *list(const QString &name) const { return screen->findChild<QComboBox *>(name); }

private slots:
    void initTestCase() { QVERIFY(registerRobotoFonts() > 0); }
    void init()
    {
        bootupinfo.PowerLimit_enable = true;
        screen = new FactoryMode;
    }
    void cleanup() { delete screen; }

    void shows_data()
    {
        QTest::addColumn<Setter>("set");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, Setter set, const char *label, const char *shown) {
            QTest::newRow(name) << set << QString(label) << QString(shown);
        };
        row("phase 0", [] { charginfo.Charging_phase = 0; }, "label_ChargingPhase", "reserved");
        row("phase 3", [] { charginfo.Charging_phase = 3; }, "label_ChargingPhase", "3--Charging)");
        row("phase 9", [] { charginfo.Charging_phase = 9; }, "label_ChargingPhase", "reserved");
        row("Max_DC_Voltage 7505", [] { bootupinfo.Max_DC_Voltage = 7505; }, "label_VolLimit", "750");
        row("BMS_Temperature_Max -25", [] { charginfo.BMS_Temperature_Max = -25; }, "label_BMS_Temp", "-2.5");
        row("stop reason 36", [] { charginfo.Stop_Reason = 36; }, "label_StopReason", "36Unknown Stop Reason");
        row("power limit disabled", [] { bootupinfo.PowerLimit_enable = false; }, "label_PowerLimitEnable", "disable");
    }

    void shows()
    {
        QFETCH(Setter, set);
        QFETCH(QString, label);
        set();
        screen->update();
        QTEST(text(qPrintable(label)), "shown");
    }

    void listChoiceSends_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("sent"); // the setting signal and its value
        QTest::addColumn<QString>("logLine");
        QTest::newRow("current 80") << "comboBox_CurrentLimit_Para" << "80" << "current 77"
                                    << " current limit setting to: 80";
        QTest::newRow("power Max") << "comboBox_PowerLimit_Para" << "Max" << "power 22" << "";
        QTest::newRow("voltage 800") << "comboBox_VolLimit_Para" << "800" << "voltage 8000" << "vol setting to: 8000";
        QTest::newRow("enable") << "comboBox_PowerLimit_En" << "enable" << "enable 1" << " power limit enable: enable";
        QTest::newRow("fan 90") << "comboBox_FanCtrl" << "90" << "fan 90" << "Fan contrl setting to: 90";
        QTest::newRow("setting") << "comboBox_FanCtrl" << "setting" << "" << "";
    }

    void listChoiceSends()
    {
        QFETCH(QString, listName);
        QFETCH(QString, item);
        QFETCH(QString, sent);
        QFETCH(QString, logLine);
        screen->update();
        QComboBox *box = list(listName);
        const int index = box->findText(item);
        QVERIFY(index >= 0);
        if (index == 0) // back to "setting" from a choice
            box->setCurrentIndex(box->count() - 1);
        QStringList got;
        QObject to;
        const auto note = [&got](const char *name) {
            return [&got, name](double v) { got << name + QString::number(v); };
        };
        connect(screen, &FactoryMode::signal_setpara_Currentlimit, &to, note("current "));
        connect(screen, &FactoryMode::signal_setpara_Powerlimit, &to, note("power "));
        connect(screen, &FactoryMode::signal_setpara_Voltagelimit, &to, note("voltage "));
        connect(screen, &FactoryMode::signal_setpara_PowerlimitEn, &to, note("enable "));
        connect(screen, &FactoryMode::signal_setpara_FanSpeedCtrl, &to, note("fan "));
        LogCapture log;
        box->setCurrentIndex(index);
        box->setCurrentIndex(index); // the same item again sends nothing more
        QCOMPARE(got, sent.isEmpty() ? QStringList() : QStringList({sent}));
        QCOMPARE(log.lines(), logLine.isEmpty() ? QStringList() : QStringList({logLine}));
    }

    void openWatchClose()
    {
        QSignalSpy back(screen, &FactoryMode::jump_back);
        // The longest texts the fields can carry.
        str_systa = "Avaible(but with alarm)";
        systemstatus.TemperatureStr = QString("125.0Centigrade");
        charginfo.BMS_Temperature_Limit = -32768;
        bootupinfo.CCU_FW_Ver = QString("0102030405060708");
        screen->page_show();
        for (QLabel *label : screen->findChildren<QLabel *>()) {
            if (label->text().isEmpty() || !label->isVisibleTo(screen) || label->wordWrap())
                continue;
            QCOMPARE(QFontInfo(label->font()).family(), QString("Roboto"));
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     qPrintable(label->objectName() + ": " + label->text()));
        }
        // Refreshed each second while shown.
        QCOMPARE(timer_updata_serialdata.interval(), 1000);
        charginfo.SOC_Current = 11;
        QMetaObject::invokeMethod(&timer_updata_serialdata, "timeout");
        QCOMPARE(text("label_SOC_Current"), QString("11"));
        QTest::mouseClick(child<QPushButton>(*screen, "pushButton_close"), Qt::LeftButton);
        QVERIFY(!screen->isVisible());
        QVERIFY(!timer_updata_serialdata.isActive());
        QCOMPARE(back.count(), 1);
    }

    // Two minutes without a touch close the screen; a touch in it, in an
    // open list too, starts the wait again; one elsewhere does not.
    void leftAloneCloses()
    {
        QSignalSpy back(screen, &FactoryMode::jump_back);
        screen->page_show();
        QTimer *idle = screen->findChild<QTimer *>("idleCloseTimer");
        QVERIFY(idle && idle->isActive());
        QCOMPARE(idle->interval(), 2 * 60 * 1000);
        QWidget elsewhere;
        elsewhere.show();
        idle->stop();
        QTest::mouseClick(&elsewhere, Qt::LeftButton);
        QVERIFY(!idle->isActive());
        QComboBox *box = list("comboBox_FanCtrl");
        box->showPopup();
        QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(idle->isActive());
        box->hidePopup();
        LogCapture log;
        QMetaObject::invokeMethod(idle, "timeout");
        QVERIFY(!screen->isVisible());
        QVERIFY(!timer_updata_serialdata.isActive());
        QCOMPARE(back.count(), 1);
        QVERIFY(log.contains("factory screen closed after two minutes without a touch"));
        QTest::mouseClick(&elsewhere, Qt::LeftButton);
        QVERIFY(!idle->isActive());
    }
};

QTEST_MAIN(tst_Factory)
#include "tst_factory.moc"
