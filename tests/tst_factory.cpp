// test-components: core status
// The factory screen: what it shows for the CCU's records, what each list
// choice sends, and how a technician gets in and out.

#include "ccu_records.h"
#include "dc_meter_data.h"
#include "factorymode.h"
#include "fonts.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
const char *const SettingSignals[] = {
    SIGNAL(signal_setpara_Powerlimit(float)),   SIGNAL(signal_setpara_Currentlimit(float)),
    SIGNAL(signal_setpara_Voltagelimit(float)), SIGNAL(signal_setpara_PowerlimitEn(bool)),
    SIGNAL(signal_setpara_FanSpeedCtrl(ushort)),
};

// The CCU's figures the screen shows, in the records' own units.
struct CcuFigures
{
    QString temperature;
    quint16 phase = 0;
    float voltageOut = 0, voltageRequest = 0, currentOut = 0, currentRequest = 0;
    quint16 soc = 0;
    quint32 timeToGo = 0;
    quint16 stopReason = 0;
    quint32 bmsVoltageLimit = 0, bmsCurrentLimit = 0;
    qint16 bmsTemperatureLimit = 0, bmsTemperatureMax = 0;
    quint32 bmsVoltageMax = 0;
    quint32 maxDcVoltage = 0;
    quint16 fanSpeed = 0;
    QString firmware;
};

void setRecords(const CcuFigures &f)
{
    systemstatus.TemperatureStr = f.temperature;
    charginfo.Charging_phase = f.phase;
    charginfo.DC_Voltage_Out = f.voltageOut;
    charginfo.DC_Voltage_Request = f.voltageRequest;
    charginfo.DC_Current_Out = f.currentOut;
    charginfo.DC_Current_Request = f.currentRequest;
    charginfo.SOC_Current = f.soc;
    charginfo.Time_Full_Togo = f.timeToGo;
    charginfo.Stop_Reason = f.stopReason;
    charginfo.BMS_Voltage_Limit = f.bmsVoltageLimit;
    charginfo.BMS_Current_Limit = f.bmsCurrentLimit;
    charginfo.BMS_Temperature_Limit = f.bmsTemperatureLimit;
    charginfo.BMS_Temperature_Max = f.bmsTemperatureMax;
    charginfo.BMS_Voltage_Max = f.bmsVoltageMax;
    bootupinfo.Max_DC_Voltage = f.maxDcVoltage;
    bootupinfo.Fan_Speed = f.fanSpeed;
    bootupinfo.CCU_FW_Ver = f.firmware;
}

void resetRecords()
{
    setRecords(CcuFigures());
    bootupinfo.PowerLimit_enable = false;
    dc_meter_data[1].Com_error = false;
    for (Shared<bool> *flag :
         {&errorinfo.Err_Sys_RS232, &errorinfo.Err_Sys_DoorOpen, &errorinfo.Err_Sys_EPO, &errorinfo.Err_Sys_SPD,
          &errorinfo.Err_Sys_Rectifier, &errorinfo.Err_Sys_TemperatureOver, &errorinfo.Err_Sys_Fan,
          &errorinfo.Err_Sys_others, &errorinfo.Err_Sys_PowerSupply, &errorinfo.Err_Sys_Rectifier_Com,
          &errorinfo.Err_Gun1_ISO, &errorinfo.Err_Gun1_Elock, &errorinfo.Err_Gun1_TemperatureOver,
          &errorinfo.Err_Gun1_Rectifier, &errorinfo.Err_Gun1_others, &errorinfo.Err_Gun1_Rectifier_Com,
          &errorinfo.Err_Gun1_ISO_Com, &errorinfo.Err_Gun1_Output_ShortCircuit, &errorinfo.Err_Gun1_PLC_Com})
        *flag = false;
}
} // namespace

Q_DECLARE_METATYPE(Shared<bool> *)

class tst_Factory : public QObject
{
    Q_OBJECT

private:
    FactoryMode *screen = nullptr;
    QString text(const char *label) const { return screen->findChild<QLabel *>(label)->text(); }
    QComboBox *list(const QString &name) const { return screen->findChild<QComboBox *>(name); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void phaseTexts_data();
    void phaseTexts();
    void liveValues();
    void stopReasonOutOfRange();
    void powerLimitGatesTheLists_data();
    void powerLimitGatesTheLists();
    void alarmBoxes_data();
    void alarmBoxes();
    void alarmBoxesIgnoreTouch();
    void listChoiceSends_data();
    void listChoiceSends();
    void settingSendsNothing();
    void showRefreshHide();
    void closeButton();
    void rendersWithoutClipping();
};

void tst_Factory::initTestCase()
{
    QVERIFY(registerRobotoFonts() > 0);
}

void tst_Factory::init()
{
    resetRecords();
    screen = new FactoryMode;
}

void tst_Factory::cleanup()
{
    delete screen;
    screen = nullptr;
}

void tst_Factory::phaseTexts_data()
{
    QTest::addColumn<int>("phase");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0") << 0 << "reserved";
    QTest::newRow("1") << 1 << "1--Handshaking";
    QTest::newRow("2") << 2 << "2--Preparing";
    QTest::newRow("3") << 3 << "3--Charging)";
    QTest::newRow("4") << 4 << "4--Stopping";
    QTest::newRow("5") << 5 << "5--Charging Suspanded";
    QTest::newRow("6") << 6 << "6--Finished";
    QTest::newRow("7") << 7 << "7--Waiting";
    QTest::newRow("8") << 8 << "reserved";
    QTest::newRow("9") << 9 << "reserved";
}

void tst_Factory::phaseTexts()
{
    QFETCH(int, phase);
    charginfo.Charging_phase = quint16(phase);
    screen->update();
    QTEST(text("label_ChargingPhase"), "shown");
}

void tst_Factory::liveValues()
{
    // Until the first refresh the versions are a row of x.
    QVERIFY(text("label_FWVer").contains(QRegularExpression("^x+$")));
    QVERIFY(text("label_CCU_ver").contains(QRegularExpression("^x+$")));

    str_systa = "Normal";
    str_gun1sta = "Charging";
    setRecords({"25.0Centigrade", 0,
                399.6f, 400.4f, 120.4f, 125.0f, // voltage and current, out and requested
                63, 42, 5,                      // SOC, time to go, stop reason
                450, 200, 550, -25, 3651,       // the battery's limits and maxima
                7505, 80, "0102030405060708"}); // boot-up figures

    screen->update();

    QCOMPARE(text("label_Temperature"), QString("25.0Centigrade"));
    QCOMPARE(text("label_SysStatus"), QString("Normal"));
    QCOMPARE(text("label_Gun1Status"), QString("Charging"));
    QCOMPARE(text("label_Vol_Output"), QString("400"));
    QCOMPARE(text("label_Vol_Request"), QString("400"));
    QCOMPARE(text("label_Current_Outout"), QString("120"));
    QCOMPARE(text("label_Current_Request"), QString("125"));
    QCOMPARE(text("label_SOC_Current"), QString("63"));
    QCOMPARE(text("label_Time_Togo"), QString("42"));
    QCOMPARE(text("label_StopReason"), QString("5-Upper Controller Request Stop"));
    QCOMPARE(text("label_BMS_VolLimit"), QString("450"));
    QCOMPARE(text("label_BMS_CurLimit"), QString("200"));
    QCOMPARE(text("label_BMS_TempLimit"), QString("55.0"));
    QCOMPARE(text("label_BMS_Temp"), QString("-2.5"));
    QCOMPARE(text("label_BMS_Vol"), QString("365.1"));
    QCOMPARE(text("label_VolLimit"), QString("750"));
    QCOMPARE(text("label_FanCtrl"), QString("80"));
    QCOMPARE(text("label_FWVer"), FirmewareVersion);
    QCOMPARE(text("label_CCU_ver"), QString("0102030405060708"));
    // The alarm settings are shown but never offered.
    QVERIFY(!screen->findChild<QGroupBox *>("groupBox_alarm_setting")->isEnabled());
}

void tst_Factory::stopReasonOutOfRange()
{
    charginfo.Stop_Reason = 35;
    screen->update();
    QCOMPARE(text("label_StopReason"), QString("35-Communicate with CCU Failed"));
    charginfo.Stop_Reason = 36;
    screen->update();
    QVERIFY2(text("label_StopReason").contains("Unknown"), qPrintable(text("label_StopReason")));
    charginfo.Stop_Reason = 255;
    screen->update();
    QVERIFY2(text("label_StopReason").contains("Unknown"), qPrintable(text("label_StopReason")));
}

void tst_Factory::powerLimitGatesTheLists_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("shown");
    QTest::newRow("power limit disabled") << false << "disable";
    QTest::newRow("power limit enabled") << true << "enable";
}

void tst_Factory::powerLimitGatesTheLists()
{
    QFETCH(bool, enabled);
    bootupinfo.PowerLimit_enable = !enabled;
    screen->update();
    bootupinfo.PowerLimit_enable = enabled;
    screen->update();
    QTEST(text("label_PowerLimitEnable"), "shown");
    QCOMPARE(list("comboBox_CurrentLimit_Para")->isEnabled(), enabled);
    QCOMPARE(list("comboBox_PowerLimit_Para")->isEnabled(), enabled);
    // The other three are always offered.
    QVERIFY(list("comboBox_PowerLimit_En")->isEnabled());
    QVERIFY(list("comboBox_VolLimit_Para")->isEnabled());
    QVERIFY(list("comboBox_FanCtrl")->isEnabled());
}

void tst_Factory::alarmBoxes_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<Shared<bool> *>("flag");
    const QList<QPair<const char *, Shared<bool> *>> rows = {
        {"checkBox_DoorOpen", &errorinfo.Err_Sys_DoorOpen},
        {"checkBox_SYS_EPO", &errorinfo.Err_Sys_EPO},
        {"checkBox_SYS_SPD", &errorinfo.Err_Sys_SPD},
        {"checkBox_SYS_RectifierFail", &errorinfo.Err_Sys_Rectifier},
        {"checkBox_SYS_OverTemp", &errorinfo.Err_Sys_TemperatureOver},
        {"checkBox_SYS_FanFail", &errorinfo.Err_Sys_Fan},
        {"checkBox_SYS_PowerSupply", &errorinfo.Err_Sys_PowerSupply},
        {"checkBox_SYS_Others", &errorinfo.Err_Sys_others},
        {"checkBox_SYS_RectifierCom", &errorinfo.Err_Sys_Rectifier_Com},
        {"checkBox_SYS_Dcmeter1", &dc_meter_data[1].Com_error},
        {"checkBox_SYS_RS232", &errorinfo.Err_Sys_RS232},
        {"checkBox_Gun1_ISO", &errorinfo.Err_Gun1_ISO},
        {"checkBox_Gun1_Lock", &errorinfo.Err_Gun1_Elock},
        {"checkBox_Gun1_OverTemp", &errorinfo.Err_Gun1_TemperatureOver},
        {"checkBox_Gun1_Rectifier", &errorinfo.Err_Gun1_Rectifier},
        {"checkBox_Gun1_ISO_Com", &errorinfo.Err_Gun1_ISO_Com},
        {"checkBox_Gun1_ShortCircuit", &errorinfo.Err_Gun1_Output_ShortCircuit},
        {"checkBox_Gun1_RectifierCom", &errorinfo.Err_Gun1_Rectifier_Com},
        {"checkBox_Gun1_PLC", &errorinfo.Err_Gun1_PLC_Com},
        {"checkBox_Gun1_others", &errorinfo.Err_Gun1_others},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QString(row.first) << row.second;
}

void tst_Factory::alarmBoxes()
{
    QFETCH(QString, box);
    QFETCH(Shared<bool> *, flag);
    const QList<QCheckBox *> boxes = screen->findChildren<QCheckBox *>();
    QCOMPARE(boxes.size(), 20);

    *flag = true;
    screen->update();
    for (QCheckBox *b : boxes)
        QCOMPARE(b->isChecked(), b->objectName() == box);

    *flag = false;
    screen->update();
    for (QCheckBox *b : boxes)
        QVERIFY(!b->isChecked());
}

void tst_Factory::alarmBoxesIgnoreTouch()
{
    screen->page_show();
    QCheckBox *box = screen->findChild<QCheckBox *>("checkBox_SYS_EPO");
    // Through the window, as a finger arrives, not straight to the box.
    const QPoint onIndicator = box->mapTo(screen, QPoint(8, box->height() / 2));
    QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, {}, onIndicator);
    QTest::mouseClick(screen->windowHandle(), Qt::LeftButton, {}, box->mapTo(screen, box->rect().center()));
    QVERIFY(!box->isChecked());
    screen->page_hide();
}

void tst_Factory::listChoiceSends_data()
{
    QTest::addColumn<QString>("listName");
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("signalIndex");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("current 80") << "comboBox_CurrentLimit_Para" << "80" << 1 << QVariant(77.0f)
                                << " current limit setting to: 80";
    QTest::newRow("current 10") << "comboBox_CurrentLimit_Para" << "10" << 1 << QVariant(7.0f)
                                << " current limit setting to: 10";
    QTest::newRow("power Max") << "comboBox_PowerLimit_Para" << "Max" << 0 << QVariant(22.0f) << "";
    QTest::newRow("power 15") << "comboBox_PowerLimit_Para" << "15" << 0 << QVariant(15.0f)
                              << "power limit setting to: 15";
    QTest::newRow("voltage 800") << "comboBox_VolLimit_Para" << "800" << 2 << QVariant(8000.0f)
                                 << "vol setting to: 8000";
    QTest::newRow("voltage 500") << "comboBox_VolLimit_Para" << "500" << 2 << QVariant(5000.0f)
                                 << "vol setting to: 5000";
    QTest::newRow("enable") << "comboBox_PowerLimit_En" << "enable" << 3 << QVariant(true) << " power limit enable: enable";
    QTest::newRow("disable") << "comboBox_PowerLimit_En" << "disable" << 3 << QVariant(false)
                             << " power limit enable: disable";
    QTest::newRow("fan 90") << "comboBox_FanCtrl" << "90" << 4 << QVariant::fromValue(ushort(90))
                            << "Fan contrl setting to: 90";
    QTest::newRow("fan 100") << "comboBox_FanCtrl" << "100" << 4 << QVariant::fromValue(ushort(100))
                             << "Fan contrl setting to: 100";
}

void tst_Factory::listChoiceSends()
{
    QFETCH(QString, listName);
    QFETCH(QString, item);
    QFETCH(int, signalIndex);
    QFETCH(QVariant, value);
    QFETCH(QString, logLine);
    bootupinfo.PowerLimit_enable = true;
    screen->update();
    QList<QSignalSpy *> spies;
    for (const char *sig : SettingSignals)
        spies << new QSignalSpy(screen, sig);
    LogCapture log;

    QComboBox *box = list(listName);
    const int index = box->findText(item);
    QVERIFY(index > 0);
    box->setCurrentIndex(index);
    // Picking the same item again sends nothing more.
    box->setCurrentIndex(index);

    for (int i = 0; i < spies.size(); ++i) {
        QCOMPARE(spies[i]->count(), i == signalIndex ? 1 : 0);
    }
    const QVariant sent = spies[signalIndex]->first().first();
    QCOMPARE(sent.userType(), value.userType());
    QCOMPARE(sent, value);
    QCOMPARE(log.lines(), logLine.isEmpty() ? QStringList() : QStringList({logLine}));
    qDeleteAll(spies);
}

void tst_Factory::settingSendsNothing()
{
    bootupinfo.PowerLimit_enable = true;
    screen->update();
    const QStringList lists = {"comboBox_PowerLimit_En", "comboBox_CurrentLimit_Para", "comboBox_PowerLimit_Para",
                               "comboBox_VolLimit_Para", "comboBox_FanCtrl"};
    for (const QString &name : lists) {
        QComboBox *box = list(name);
        QCOMPARE(box->itemText(0), QString("setting"));
        QCOMPARE(box->currentIndex(), 0);
        box->setCurrentIndex(box->count() - 1);
    }
    QList<QSignalSpy *> spies;
    for (const char *sig : SettingSignals)
        spies << new QSignalSpy(screen, sig);
    LogCapture log;
    for (const QString &name : lists)
        list(name)->setCurrentIndex(0);
    for (QSignalSpy *spy : spies)
        QCOMPARE(spy->count(), 0);
    QVERIFY(log.lines().isEmpty());
    qDeleteAll(spies);
}

void tst_Factory::showRefreshHide()
{
    charginfo.SOC_Current = 10;
    screen->page_show();
    QVERIFY(screen->isVisible());
    QVERIFY(screen->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(screen->geometry(), QRect(0, 0, 1280, 800));
    QVERIFY(timer_updata_serialdata.isActive());
    QCOMPARE(timer_updata_serialdata.interval(), 1000);
    QCOMPARE(text("label_SOC_Current"), QString("10"));

    charginfo.SOC_Current = 11;
    QMetaObject::invokeMethod(&timer_updata_serialdata, "timeout");
    QCOMPARE(text("label_SOC_Current"), QString("11"));

    screen->page_hide();
    QVERIFY(!screen->isVisible());
    QVERIFY(!timer_updata_serialdata.isActive());
}

void tst_Factory::closeButton()
{
    QSignalSpy back(screen, &FactoryMode::jump_back);
    screen->page_show();
    QPushButton *close = screen->findChild<QPushButton *>("pushButton_close");
    QVERIFY(close->isVisible());
    // Big enough for a finger, inside the panel.
    QVERIFY(close->width() >= 100 && close->height() >= 40);
    QVERIFY(screen->rect().contains(QRect(close->mapTo(screen, QPoint(0, 0)), close->size())));

    QTest::mouseClick(close, Qt::LeftButton);

    QVERIFY(!screen->isVisible());
    QVERIFY(!timer_updata_serialdata.isActive());
    QCOMPARE(back.count(), 1);
}

void tst_Factory::rendersWithoutClipping()
{
    // Busy values: the longest texts each field can carry.
    str_systa = "Avaible(but with alarm)";
    str_gun1sta = "Not Installed";
    setRecords({"125.0Centigrade", 5,
                750.2f, 750.0f, 249.6f, 250.0f,
                100, 65535, 35,
                65535, 65535, -32768, -250, 65535,
                65535, 100, "0102030405060708"});
    bootupinfo.PowerLimit_enable = false;
    errorinfo.Err_Sys_DoorOpen = true;
    errorinfo.Err_Gun1_PLC_Com = true;
    dc_meter_data[1].Com_error = true;

    screen->page_show();
    QApplication::processEvents();
    const QImage image = screen->grab().toImage();
    QCOMPARE(image.size(), QSize(1280, 800));
    const QString png = QStringLiteral(HMI_BIN_DIR "/factorymode.png");
    QVERIFY(image.save(png));
    qInfo() << "rendered" << png;

    for (QLabel *label : screen->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(screen))
            continue;
        QCOMPARE(QFontInfo(label->font()).family(), QString("Roboto"));
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        if (!label->wordWrap())
            QVERIFY2(needed <= label->contentsRect().width(),
                     qPrintable(label->objectName() + ": " + label->text()));
        QVERIFY2(screen->rect().contains(QRect(label->mapTo(screen, QPoint(0, 0)), label->size())),
                 qPrintable(label->objectName()));
    }
    for (QCheckBox *box : screen->findChildren<QCheckBox *>())
        QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(box->objectName()));
    // An open list, items large enough for a finger.
    QComboBox *voltage = list("comboBox_VolLimit_Para");
    voltage->showPopup();
    QWidget *popup = voltage->view()->window();
    QVERIFY(popup->isVisible());
    QVERIFY(popup->grab().save(QStringLiteral(HMI_BIN_DIR "/factorymode_list.png")));
    QVERIFY(voltage->view()->visualRect(voltage->model()->index(1, 0)).height() >= 30);
    voltage->hidePopup();

    for (QComboBox *box : screen->findChildren<QComboBox *>())
        QVERIFY2(box->sizeHint().width() <= box->width(),
                 qPrintable(box->objectName() + QString(" %1 > %2").arg(box->sizeHint().width()).arg(box->width())));
    screen->page_hide();
}

QTEST_MAIN(tst_Factory)
#include "tst_factory.moc"
