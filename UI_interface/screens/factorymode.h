#ifndef FACTORYMODE_H
#define FACTORYMODE_H

// The service view of the CCU link: live system and charging data, every
// alarm flag, the vehicle's BMS limits, the firmware versions, and five lists
// with which a technician sets the CCU's limits and fan speed.

#include <QMainWindow>
#include <QTimer>

class IdleClose;

namespace Ui {
class FactoryMode;
}

// Refreshes the factory screen once per second while it is shown.
extern QTimer timer_updata_serialdata;

class FactoryMode : public QMainWindow
{
    Q_OBJECT
public:
    explicit FactoryMode(QWidget *parent = nullptr);
    ~FactoryMode() override;

    // Display text of a CCU charging phase code.
    static QString chargingPhaseText(int phase);

signals:
    void signal_setpara_Powerlimit(float);
    void signal_setpara_Currentlimit(float);
    void signal_setpara_Voltagelimit(float);
    void signal_setpara_PowerlimitEn(bool);
    void signal_setpara_FanSpeedCtrl(ushort);
    // The technician closed the screen, or left it untouched for two minutes.
    void jump_back();

public slots:
    void page_show();
    void page_hide();
    void update();
    void Rs232_SetPara_Signal();

    void on_comboBox_CurrentLimit_Para_currentIndexChanged(const QString &text);
    void on_comboBox_PowerLimit_Para_currentIndexChanged(const QString &text);
    void on_comboBox_VolLimit_Para_currentIndexChanged(const QString &text);
    void on_comboBox_FanCtrl_currentIndexChanged(const QString &text);
    void on_comboBox_PowerLimit_En_currentIndexChanged(const QString &text);
    void on_pushButton_close_clicked();

private:
    void ChargingData_update();
    void AlarmSetting_update();
    void ParaSetting_update();
    void Alarm_update();
    void BMS_Data_update();

    Ui::FactoryMode *ui;
    IdleClose *m_idle;
};

#endif // FACTORYMODE_H
