#include "factorymode.h"
#include "ui_factorymode.h"

#include "ccu_records.h"
#include "dc_meter_data.h"
#include "globalvariable.h"
#include "idleclose.h"
#include "stopreason.h"
#include "styletokens.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDebug>
#include <QEvent>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>

QTimer timer_updata_serialdata;

namespace {
QString noDecimals(double value) { return QString::number(value, 'f', 0); }
QString oneDecimal(double value) { return QString::number(value, 'f', 1); }

// A list item as a number. The lists offer only numbers and the words the
// handlers test for; anything else (a stray translation, say) is refused
// rather than sent to the CCU as a zero limit.
bool listNumber(const QString &text, float *value)
{
    bool ok = false;
    *value = text.toFloat(&ok);
    if (!ok)
        qWarning().noquote() << "factory mode: not a setting value:" << text;
    return ok;
}

// A styled combo box draws no arrow of its own unless given an image file;
// this one is painted over the drop-down area.
class DropDownArrow : public QWidget
{
public:
    static constexpr int Width = 30;

    explicit DropDownArrow(QComboBox *box) : QWidget(box), m_box(box)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        box->installEventFilter(this);
        place();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            place();
        return false;
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPointF centre = QRectF(rect()).center();
        QPainterPath path;
        path.moveTo(centre + QPointF(-7, -4));
        path.lineTo(centre + QPointF(7, -4));
        path.lineTo(centre + QPointF(0, 4));
        path.closeSubpath();
        painter.fillPath(path, m_box->isEnabled() ? QColor(Qt::white) : QColor(0x75, 0x75, 0x75));
    }

private:
    void place() { setGeometry(m_box->width() - Width, 0, Width, m_box->height()); }
    QComboBox *m_box;
};
} // namespace

FactoryMode::FactoryMode(QWidget *parent) : QMainWindow(parent), ui(new Ui::FactoryMode), m_idle(new IdleClose(this))
{
    ui->setupUi(this);
    // Frameless: a window manager's title bar would push the panel-sized
    // content off the bottom of the display. The close button is our own.
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    setGeometry(unitRect(0, 0, 64, 40));
    setFont(QFont(QStringLiteral("Roboto")));
    setStyleSheet(factorymode_window_sty);
    ui->centralwidget->setStyleSheet(factorymode_panel_sty);
    ui->pushButton_close->setStyleSheet(factorymode_close_sty);

    QPalette transparent = ui->label_transparent->palette();
    transparent.setBrush(QPalette::Window, QBrush(QColor(0, 255, 0, 0)));
    ui->label_transparent->setPalette(transparent);

    // The boxes show the CCU's alarm flags; a touch must not toggle them.
    for (QCheckBox *box : ui->groupBox_5->findChildren<QCheckBox *>())
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->label_StopReason->setWordWrap(true);
    for (QComboBox *box : findChildren<QComboBox *>()) {
        new DropDownArrow(box);
        // A plain list rather than a menu, so that its sheet styles the
        // items (dark, finger-high rows).
        box->setItemDelegate(new QStyledItemDelegate(box));
        box->view()->setStyleSheet(factorymode_list_sty);
    }

    connect(&timer_updata_serialdata, &QTimer::timeout, this, &FactoryMode::update);
    // The CCU's limits must not stay open to whoever comes next.
    connect(m_idle, &IdleClose::idle, this, [this] {
        qDebug() << "factory screen closed after two minutes without a touch";
        on_pushButton_close_clicked();
    });

    ChargingData_update();
    AlarmSetting_update();
    ParaSetting_update();
    Alarm_update();
    BMS_Data_update();
}

FactoryMode::~FactoryMode()
{
    // The timer is process-wide and outlives this window.
    timer_updata_serialdata.stop();
    delete ui;
}

QString FactoryMode::chargingPhaseText(int phase)
{
    switch (phase) {
    case 1: return tr("1--Handshaking");
    case 2: return tr("2--Preparing");
    case 3: return tr("3--Charging)");
    case 4: return tr("4--Stopping");
    case 5: return tr("5--Charging Suspanded");
    case 6: return tr("6--Finished");
    case 7: return tr("7--Waiting");
    default: return tr("reserved");
    }
}

void FactoryMode::page_show()
{
    // Refresh at once: the screen opens on current values, not on the ones
    // of the last time it was shown.
    update();
    show();
    raise();
    timer_updata_serialdata.start(1000);
    m_idle->start();
}

void FactoryMode::page_hide()
{
    hide();
    timer_updata_serialdata.stop();
    m_idle->stop();
}

void FactoryMode::on_pushButton_close_clicked()
{
    page_hide();
    emit jump_back();
}

void FactoryMode::update()
{
    ui->label_FWVer->setText(FirmewareVersion);
    ui->label_CCU_ver->setText(bootupinfo.CCU_FW_Ver);
    ChargingData_update();
    AlarmSetting_update();
    ParaSetting_update();
    Alarm_update();
    BMS_Data_update();
}

void FactoryMode::Rs232_SetPara_Signal() {}

void FactoryMode::ChargingData_update()
{
    ui->label_Temperature->setText(systemstatus.TemperatureStr);
    ui->label_SysStatus->setText(str_systa);
    ui->label_Gun1Status->setText(str_gun1sta);
    ui->label_ChargingPhase->setText(chargingPhaseText(charginfo.Charging_phase));
    ui->label_Vol_Output->setText(noDecimals(charginfo.DC_Voltage_Out));
    ui->label_Vol_Request->setText(noDecimals(charginfo.DC_Voltage_Request));
    ui->label_Current_Outout->setText(noDecimals(charginfo.DC_Current_Out));
    ui->label_Current_Request->setText(noDecimals(charginfo.DC_Current_Request));
    ui->label_SOC_Current->setText(QString::number(charginfo.SOC_Current));
    ui->label_Time_Togo->setText(QString::number(charginfo.Time_Full_Togo));
    ui->label_StopReason->setText(stopReasonText(charginfo.Stop_Reason));
}

void FactoryMode::AlarmSetting_update()
{
    // The CCU takes no alarm settings from the panel: shown, never editable.
    ui->groupBox_alarm_setting->setEnabled(false);
}

void FactoryMode::ParaSetting_update()
{
    const bool powerLimit = bootupinfo.PowerLimit_enable;
    ui->label_PowerLimitEnable->setText(powerLimit ? tr("enable") : tr("disable"));
    ui->label_VolLimit->setText(QString::number(bootupinfo.Max_DC_Voltage / 10));
    ui->label_FanCtrl->setText(QString::number(bootupinfo.Fan_Speed));
    ui->comboBox_CurrentLimit_Para->setEnabled(powerLimit);
    ui->comboBox_PowerLimit_Para->setEnabled(powerLimit);
}

void FactoryMode::Alarm_update()
{
    ui->checkBox_DoorOpen->setChecked(errorinfo.Err_Sys_DoorOpen);
    ui->checkBox_SYS_EPO->setChecked(errorinfo.Err_Sys_EPO);
    ui->checkBox_SYS_SPD->setChecked(errorinfo.Err_Sys_SPD);
    ui->checkBox_SYS_RectifierFail->setChecked(errorinfo.Err_Sys_Rectifier);
    ui->checkBox_SYS_OverTemp->setChecked(errorinfo.Err_Sys_TemperatureOver);
    ui->checkBox_SYS_FanFail->setChecked(errorinfo.Err_Sys_Fan);
    ui->checkBox_SYS_PowerSupply->setChecked(errorinfo.Err_Sys_PowerSupply);
    ui->checkBox_SYS_Others->setChecked(errorinfo.Err_Sys_others);
    ui->checkBox_SYS_RectifierCom->setChecked(errorinfo.Err_Sys_Rectifier_Com);
    ui->checkBox_SYS_Dcmeter1->setChecked(dc_meter_data[1].Com_error);
    ui->checkBox_SYS_RS232->setChecked(errorinfo.Err_Sys_RS232);
    ui->checkBox_Gun1_ISO->setChecked(errorinfo.Err_Gun1_ISO);
    ui->checkBox_Gun1_Lock->setChecked(errorinfo.Err_Gun1_Elock);
    ui->checkBox_Gun1_OverTemp->setChecked(errorinfo.Err_Gun1_TemperatureOver);
    ui->checkBox_Gun1_Rectifier->setChecked(errorinfo.Err_Gun1_Rectifier);
    ui->checkBox_Gun1_ISO_Com->setChecked(errorinfo.Err_Gun1_ISO_Com);
    ui->checkBox_Gun1_ShortCircuit->setChecked(errorinfo.Err_Gun1_Output_ShortCircuit);
    ui->checkBox_Gun1_RectifierCom->setChecked(errorinfo.Err_Gun1_Rectifier_Com);
    ui->checkBox_Gun1_PLC->setChecked(errorinfo.Err_Gun1_PLC_Com);
    ui->checkBox_Gun1_others->setChecked(errorinfo.Err_Gun1_others);
}

void FactoryMode::BMS_Data_update()
{
    ui->label_BMS_VolLimit->setText(noDecimals(charginfo.BMS_Voltage_Limit));
    ui->label_BMS_CurLimit->setText(noDecimals(charginfo.BMS_Current_Limit));
    ui->label_BMS_TempLimit->setText(oneDecimal(charginfo.BMS_Temperature_Limit / 10.0));
    ui->label_BMS_Vol->setText(oneDecimal(charginfo.BMS_Voltage_Max / 10.0));
    ui->label_BMS_Temp->setText(oneDecimal(charginfo.BMS_Temperature_Max / 10.0));
}

void FactoryMode::on_comboBox_PowerLimit_En_currentIndexChanged(const QString &text)
{
    if (text == tr("setting"))
        return;
    qDebug().noquote() << " power limit enable:" << text;
    emit signal_setpara_PowerlimitEn(text == tr("enable"));
}

void FactoryMode::on_comboBox_CurrentLimit_Para_currentIndexChanged(const QString &text)
{
    if (text == tr("setting"))
        return;
    float amperes = 0;
    if (!listNumber(text, &amperes))
        return;
    qDebug().noquote() << " current limit setting to:" << text;
    // The CCU is asked for 3 A below the chosen limit.
    emit signal_setpara_Currentlimit(amperes - 3.0f);
}

void FactoryMode::on_comboBox_PowerLimit_Para_currentIndexChanged(const QString &text)
{
    if (text == tr("setting"))
        return;
    if (text == tr("Max")) {
        emit signal_setpara_Powerlimit(22.0f);
        return;
    }
    float kilowatts = 0;
    if (!listNumber(text, &kilowatts))
        return;
    qDebug().noquote() << "power limit setting to:" << text;
    emit signal_setpara_Powerlimit(kilowatts);
}

void FactoryMode::on_comboBox_VolLimit_Para_currentIndexChanged(const QString &text)
{
    if (text == tr("setting"))
        return;
    float volts = 0;
    if (!listNumber(text, &volts))
        return;
    // The CCU takes the voltage limit in tenths of a volt, as it reports
    // its maximum output voltage.
    const float tenths = volts * 10.0f;
    qDebug() << "vol setting to:" << tenths;
    emit signal_setpara_Voltagelimit(tenths);
}

void FactoryMode::on_comboBox_FanCtrl_currentIndexChanged(const QString &text)
{
    if (text == tr("setting"))
        return;
    float percent = 0;
    if (!listNumber(text, &percent))
        return;
    qDebug().noquote() << "Fan contrl setting to:" << text;
    emit signal_setpara_FanSpeedCtrl(ushort(text.toUShort()));
}
