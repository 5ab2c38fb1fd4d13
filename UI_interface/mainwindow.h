#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QMainWindow>

namespace Ui {
class MainWindow;
}

// The one top-level window: status bar, every screen, and the session logic.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

signals:
    void jump_help();
    void show_factoryMode();
    void UI_exit();
    void jump_homepage();
    void StatusNotification_req(ushort ConnectorId);
    void Authorize_req(ushort ConnectorId);
    void StrartTransaction_req(ushort ConnectorId);
    void StopTransacation_req(ushort ConnectorId);
    void MeterValue_req(ushort ConnectorId);
    void signal_gun_Start_Command();
    void signal_gun_Stop_Command();
    void signal_set_RFID_state(int);
    void signal_SoftwareReset();
    void signal_HardwareReset();

public slots:
    void timerUpdate();
    void page_show();
    void page_hide();
    void on_pushButton_help_clicked();
    void on_pushButton_factorymode_clicked();
    void UI_interface_exit();
    void on_pushButton_home_clicked();
    void Homepage_show();
    void fixedcharge_show();
    void fixedcharge_keyboard_show(int);
    void authorize_show();
    void charging_show();
    void charging_child1_show();
    void charging_child1_jumpback();
    void charging_child2_show(QString backpage);
    void charging_child2_jumpback();
    void complete_show();
    void complete_child_show();
    void Gun_startcharging(ushort ConnectorId);
    void Gun_stopcharging(ushort ConnectorId);
    void AuthorizeRequest(ushort ConnectorId);
    void StartTransactionRequest(ushort ConnectorId);
    void AuthorizeExpired();
    void SendMeterValue_1();
    void SoftwareReset();
    void HardwareReset();
    void on_pushButton_language_clicked();
    void ReadConfigration();

private:
    Ui::MainWindow *ui;
};

#endif // MAINWINDOW_H
