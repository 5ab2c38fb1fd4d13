#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "authorization.h"
#include "ccu_records.h"
#include "chargerconnect.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "configuration.h"
#include "datafiles.h"
#include "dc_meter_data.h"
#include "debugfun.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "factorymode.h"
#include "fixedcharge.h"
#include "globalvariable.h"
#include "help.h"
#include "home.h"
#include "keyboard.h"
#include "led.h"
#include "standby.h"
#include "styletokens.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>
#include <QThread>

#include <cmath>

namespace {
// The registers count up to this value and then start again from 0.
constexpr double RegisterWrap = 999999.9;

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// Rounds to the nearest integer, halves upward (2.5 -> 3, -2.5 -> -2).
int roundHalfUp(double value)
{
    return int(std::floor(value + 0.5));
}

void showIcon(QLabel *label, const QString &path)
{
    if (label->property("iconPath").toString() == path)
        return;
    label->setProperty("iconPath", path);
    label->setPixmap(QPixmap(path).scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
} // namespace

double MainWindow::s_pauseScale = 1.0;

void MainWindow::setPauseScale(double scale)
{
    s_pauseScale = scale;
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    // 1. Form, font, the whole panel, the window background.
    ui->setupUi(this);
    QFont windowFont = font();
    windowFont.setFamily("Roboto");
    setFont(windowFont);
    setGeometry(unitRect(0, 0, 64, 40));
    setFixedSize(ActScreenX, ActScreenY);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x0D, 0x12));
    setPalette(pal);
    setAutoFillBackground(true);

    // 2. Status bar.
    placeStatusBar();

    // 3. Screens, in this order; overlays are frameless dialogs of their own.
    homepage = new home(this);
    authorization = new Authorization(this);
    fixedcharge = new FixedCharge(this);
    keyboard = new Keyboard(this);
    gun_connect = new Chargerconnect(this);
    standby = new Standby(this);
    charging = new EnergyDelivery(this);
    charging_child1 = new Charging_child1(this);
    charging_child2 = new Charging_child2(this);
    complete = new Complete(this);
    complete_child = new Complete_child(this);
    for (QWidget *w : std::initializer_list<QWidget *>{homepage, authorization, fixedcharge, keyboard, gun_connect, standby,
                                                        charging, charging_child1, charging_child2, complete,
                                                        complete_child})
        w->setAttribute(Qt::WA_DeleteOnClose);
    for (QWidget *w : std::initializer_list<QWidget *>{authorization, fixedcharge, keyboard, gun_connect, standby, charging,
                                                        charging_child1, charging_child2, complete, complete_child})
        w->hide();
    label_mask = new QLabel(this);
    label_mask->setGeometry(unitRect(0, 0, 64, 40));
    label_mask->setStyleSheet(popup_shadow);
    label_mask->hide();
    errormessage = new ErrorMsg(this);
    errormessage->hide();

    // 4. The first page and the first tick.
    Homepage_show();
    timerUpdate();

    // 5. Debug panel, shown in the simulation build.
    debugset = new DebugFun(this);
    // The card terminal is outside the program: wherever the card is simulated,
    // the panel offers it, in the device build too.
    debugset->setVisible(DebugMode || DebugMode_Paypad);
    debugset->raise();

    // 6. Navigation.
    connect(&timer_home_hide, &QTimer::timeout, this, &MainWindow::page_hide);
    connect(homepage, &home::jump_authorize, this, &MainWindow::authorize_show);
    connect(homepage, &home::jump_fixedcharge, this, &MainWindow::fixedcharge_show);
    connect(homepage, &home::UI_exit, this, &MainWindow::UI_interface_exit);
    connect(fixedcharge, &FixedCharge::jump_authorize, this, &MainWindow::authorize_show);
    connect(fixedcharge, &FixedCharge::jump_keyboard, this, &MainWindow::fixedcharge_keyboard_show);
    connect(keyboard, &Keyboard::jump_fixedcharge, this, &MainWindow::fixedcharge_show);
    connect(keyboard, &Keyboard::signal_cusconfirm, fixedcharge, &FixedCharge::set_display);
    connect(gun_connect, &Chargerconnect::jump_home, this, &MainWindow::Homepage_show);
    connect(debugset, &DebugFun::signal_authorize_req, this, &MainWindow::AuthorizeRequest);
    connect(standby, &Standby::signal_req_start, this, &MainWindow::Gun_startcharging);
    connect(charging, &EnergyDelivery::show_charging_child1, this, &MainWindow::charging_child1_show);
    connect(charging_child1, &Charging_child1::jump_charging, this, &MainWindow::charging_child1_jumpback);
    connect(charging_child2, &Charging_child2::jump_back, this, &MainWindow::charging_child2_jumpback);
    connect(standby, &Standby::show_charing_child2, this, &MainWindow::charging_child2_show);
    connect(charging_child2, &Charging_child2::jump_complete, this, &MainWindow::complete_show);
    connect(charging_child2, &Charging_child2::signal_gun_stop, this, &MainWindow::Gun_stopcharging);
    connect(charging, &EnergyDelivery::signal_gun_stop, this, &MainWindow::Gun_stopcharging);
    connect(charging, &EnergyDelivery::jump_complete, this, &MainWindow::complete_show);
    connect(complete, &Complete::show_complete_child, this, &MainWindow::complete_child_show);
    connect(complete_child, &Complete_child::jump_home, this, &MainWindow::Homepage_show);
    connect(this, &MainWindow::signal_set_RFID_state, debugset, &DebugFun::set_checkBox_RFID_state);
    connect(&timer_connection, &QTimer::timeout, this, &MainWindow::AuthorizeExpired);
    connect(&timer_SendMeterValue_1, &QTimer::timeout, this, &MainWindow::SendMeterValue_1);

    // Service views: help from the status bar, back to where the driver was;
    // the factory screen on a long press of the service button.
    m_help = new Help(this);
    m_help->hide();
    connect(this, &MainWindow::jump_help, m_help, &Help::page_show);
    connect(m_help, &Help::jump_home, m_help, &Help::page_hide);
    m_factory = new FactoryMode(this);
    m_factory->hide();
    connect(this, &MainWindow::show_factoryMode, this, &MainWindow::openFactoryMode);
    m_factoryPress.setSingleShot(true);
    m_factoryPress.setInterval(FactoryLongPressMs);
    connect(ui->pushButton_factorymode, &QPushButton::pressed, this, [this] {
        m_factoryOpenedByPress = false;
        m_factoryPress.start();
    });
    connect(ui->pushButton_factorymode, &QPushButton::released, &m_factoryPress, &QTimer::stop);
    connect(&m_factoryPress, &QTimer::timeout, this, [this] {
        m_factoryOpenedByPress = true;
        emit show_factoryMode();
    });
}

MainWindow::~MainWindow()
{
    qDebug() << "home page destroy";
    delete ui;
}

void MainWindow::placeStatusBar()
{
    struct Place
    {
        QWidget *widget;
        double x, y, w, h;
        QString style;
    };
    const Place places[] = {
        {ui->label_statusbar, 0, 0, 64, 2, statusbar_backgound + font_S + font_color_basic + alignment_C},
        {ui->pushButton_factorymode, 52, 0, 2, 2, setting_style + image_setting},
        {ui->label_charger, 56, 0, 2, 2, QString()},
        {ui->label_wifi, 60, 0, 2, 2, QString()},
        {ui->pushButton_home, 2, 3, 5, 4, navigationbar_style + image_home},
        {ui->label_mask_home, 2, 3, 5, 4, disabled_mask},
        {ui->pushButton_back, 8, 3, 4, 4, navigationbar_style + image_back},
        {ui->pushButton_language, 53, 3, 4, 4, navigationbar_style + image_language},
        {ui->label_mask_language, 53, 3, 4, 4, disabled_mask},
        {ui->pushButton_help, 58, 3, 4, 4, navigationbar_style + image_help},
        {ui->label_mask_help, 58, 3, 4, 4, disabled_mask},
    };
    for (const Place &p : places) {
        p.widget->setGeometry(unitRect(p.x, p.y, p.w, p.h));
        if (!p.style.isEmpty())
            p.widget->setStyleSheet(p.style);
    }
    ui->label_statusbar->setText(statusbar_str);
    ui->label_time->setGeometry(unitRect(2, 0, 0, 2).adjusted(0, 0, 200, 0));
    ui->label_time->setStyleSheet(font_color_basic + font_S);
    ui->label_time->setText(str_datetime);
    // The service button draws only its gear on the status bar.
    ui->pushButton_factorymode->setFlat(true);
    ui->pushButton_factorymode->setFocusPolicy(Qt::NoFocus);
    ui->pushButton_back->hide();
    ui->label_mask_language->hide();
    ui->label_mask_help->hide();
}

// ---------------------------------------------------------------- helpers

void MainWindow::pause(int ms)
{
    const int scaled = int(ms * s_pauseScale);
    if (scaled > 0)
        QThread::msleep(ulong(scaled));
}

void MainWindow::changeStatus(const QString &status, int pauseMs)
{
    gun_status[1].status = status;
    emit StatusNotification_req(1);
    pause(pauseMs);
}

void MainWindow::lock(QWidget *button, QLabel *mask)
{
    if (button->isEnabled()) {
        button->setEnabled(false);
        mask->show();
        mask->raise();
    }
}

void MainWindow::unlock(QWidget *button, QLabel *mask)
{
    if (!button->isEnabled()) {
        button->setEnabled(true);
        if (mask->isVisible())
            mask->hide();
    }
}

void MainWindow::setShadow()
{
    label_mask->show();
    label_mask->raise();
    if (debugset)
        debugset->raise();
}

void MainWindow::clearShadow()
{
    if (label_mask->isVisible())
        label_mask->hide();
}

// ---------------------------------------------------------------- navigation

void MainWindow::page_show()
{
    show();
}

void MainWindow::page_hide()
{
    timer_home_hide.stop();
    hide();
}

void MainWindow::Homepage_show()
{
    if (homepage->isHidden())
        homepage->show();
    for (QWidget *w : std::initializer_list<QWidget *>{fixedcharge, keyboard, authorization, gun_connect, standby})
        if (w->isVisible())
            w->hide();
    if (charging->isVisible())
        charging->page_hide();
    for (QWidget *w : std::initializer_list<QWidget *>{charging_child1, charging_child2, complete, complete_child})
        if (w->isVisible())
            w->hide();
    clearShadow();
    lock(ui->pushButton_home, ui->label_mask_home);
    unlock(ui->pushButton_language, ui->label_mask_language);
    unlock(ui->pushButton_help, ui->label_mask_help);
    gun_status[1].page = page_home;
    m_startTransactionSent = false;
    VariableInit();
}

void MainWindow::fixedcharge_show()
{
    if (homepage->isVisible())
        homepage->hide();
    clearShadow();
    if (keyboard->isVisible())
        keyboard->hide();
    fixedcharge->page_show(1);
    unlock(ui->pushButton_home, ui->label_mask_home);
    gun_status[1].page = page_fixedcharge;
    qDebug() << "gun 1 set amount = " << gun_status[1].f_CusSetAmount;
    qDebug() << "gun 1 set kwh = " << gun_status[1].f_CusSetkWh;
}

void MainWindow::fixedcharge_keyboard_show(int kind)
{
    setShadow();
    keyboard->page_show(kind);
    gun_status[1].page = page_fixedcharge_keyboard;
}

void MainWindow::authorize_show()
{
    if (homepage->isVisible())
        homepage->hide();
    if (fixedcharge->isVisible())
        fixedcharge->hide();
    authorization->show();
    unlock(ui->pushButton_home, ui->label_mask_home);
    if (!gun_status[1].gun_plugin) {
        setShadow();
        gun_connect->show();
        gun_status[1].page = page_authorize_plugin;
    } else {
        gun_status[1].page = page_authorize;
    }
}

void MainWindow::chargingstandby_show()
{
    if (authorization->isVisible())
        authorization->hide();
    gun_status[1].page = page_standby;
    standby->page_show();
    lock(ui->pushButton_home, ui->label_mask_home);
}

void MainWindow::charging_show()
{
    Status &gun = gun_status[1];
    if (standby->isVisible())
        standby->hide();
    gun.page = page_charging;
    Charging_Data_update();
    charging->page_show();
    timer_SendMeterValue_1.start(int(Config.MeterValueSampleInterval));
    gun.f_startmeter = Config_DC_Meter ? float(dc_meter_data[1].Powerquantity) : gun.f_energy_LcdCal;
    lock(ui->pushButton_home, ui->label_mask_home);
    lock(ui->pushButton_language, ui->label_mask_language);
    lock(ui->pushButton_help, ui->label_mask_help);
    qDebug().noquote() << "Satrting charging,time:" + str_datetime;
}

void MainWindow::charging_child1_show()
{
    setShadow();
    charging_child1->show();
    gun_status[1].page = page_charging_child1;
}

void MainWindow::charging_child1_jumpback()
{
    clearShadow();
    charging_child1->hide();
    gun_status[1].page = page_charging;
}

void MainWindow::charging_child2_show(QString backpage)
{
    charging_child2->show();
    if (backpage == page_standby) {
        gun_status[1].page = page_standby_child2;
        setShadow();
    } else if (backpage == page_charging) {
        gun_status[1].page = page_charging_child2;
    }
}

void MainWindow::charging_child2_jumpback()
{
    charging_child2->hide();
    clearShadow();
    if (gun_status[1].page == page_charging_child2)
        gun_status[1].page = page_charging;
    else if (gun_status[1].page == page_standby_child2)
        gun_status[1].page = page_standby;
}

void MainWindow::complete_show()
{
    Status &gun = gun_status[1];
    gun.str_togokWh = "0";
    gun.str_remaintime = "0";
    gun.f_voltage = 0;
    gun.f_current = 0;
    publishDisplayTexts();
    complete->InfoUpdate();
    timer_SendMeterValue_1.stop();
    gun.f_stopmeter = Config_DC_Meter ? float(dc_meter_data[1].Powerquantity) : gun.f_energy_LcdCal;
    // The register is saved at the end of every session, not only on the
    // meter-value ticks, so a power cut after a session loses nothing.
    writeEnergyRegister(gun.f_energy_LcdCal);

    if (gun.page == page_standby_child2) {
        standby->hide();
        charging_child2->hide();
    } else if (gun.page == page_charging_child2) {
        charging->page_hide();
        charging_child2->hide();
    } else if (gun.page == page_charging) {
        charging->page_hide();
    } else {
        emit signal_set_RFID_state(0);
        return;
    }
    clearShadow();
    complete->show();
    gun.page = page_complete;
    emit signal_set_RFID_state(0);
}

void MainWindow::complete_child_show()
{
    complete_child->show();
    setShadow();
    gun_status[1].page = page_complete_child;
}

// ---------------------------------------------------------------- status bar buttons

void MainWindow::on_pushButton_home_clicked()
{
    Homepage_show();
}

void MainWindow::on_pushButton_help_clicked()
{
    emit jump_help();
}

void MainWindow::on_pushButton_language_clicked() {}

void MainWindow::on_pushButton_factorymode_clicked()
{
    // The press that opened the factory screen is not also a short press.
    if (m_factoryOpenedByPress) {
        m_factoryOpenedByPress = false;
        return;
    }
    Debug_EVSideDisconnect = true;
    qDebug().noquote() << QString("Debug_EVSideDisconnect = ") + (Debug_EVSideDisconnect ? "true" : "false");
}

void MainWindow::openFactoryMode()
{
    m_factory->page_show();
}

void MainWindow::UI_interface_exit()
{
    {
        LED led;
        led.setLedAllLow();
    }
    // Whatever the register holds now survives the exit.
    if (coldboot)
        writeEnergyRegister(gun_status[1].f_energy_LcdCal);
    emit UI_exit();
}

void MainWindow::ReadConfigration()
{
    ::ReadConfigration();
}

// ---------------------------------------------------------------- relays

void MainWindow::AuthorizeRequest(ushort ConnectorId)
{
    emit Authorize_req(ConnectorId);
}

void MainWindow::Gun_startcharging(ushort)
{
    emit signal_gun_Start_Command();
}

void MainWindow::Gun_stopcharging(ushort)
{
    emit signal_gun_Stop_Command();
}

void MainWindow::StartTransactionRequest(ushort ConnectorId)
{
    emit StrartTransaction_req(ConnectorId);
}

void MainWindow::AuthorizeExpired()
{
    Status &gun = gun_status[1];
    if (gun.status != sta_Preparing)
        return;
    gun.status = sta_Available;
    gun.CardRead = 0;
    emit StatusNotification_req(1);
    emit signal_set_RFID_state(0);
}

// ---------------------------------------------------------------- the supervisor tick

void MainWindow::timerUpdate()
{
    Status &gun = gun_status[1];

    // 1-4. Clock, plug, network, faults after the start-up window.
    ui->label_time->setText(str_datetime);
    charger_sate_update();
    NetWork_sate_update();
    if (self_check_time > 9)
        Error_state_update();
    else
        ++self_check_time;

    // 5.
    qDebug().noquote() << "show page = " + gun.page;
    qDebug().noquote() << "gun_status[1].status = " + gun.status;
    qDebug() << "card read = " << gun.CardRead;

    // 6. Pending reset.
    if (SystemResetReq != 0) {
        if (gun.status == sta_Charging) {
            if (!Stop_command_set_1)
                emit signal_gun_Stop_Command();
        } else if (gun.status != sta_Finishing) {
            if (SystemResetReq == 1) {
                emit signal_SoftwareReset();
                SoftwareReset();
            } else {
                emit signal_HardwareReset();
                HardwareReset();
            }
        }
    }

    // 7. Plug-in prompt.
    if (gun.gun_plugin) {
        if (gun.page == page_authorize_plugin) {
            gun.page = page_authorize;
            clearShadow();
            gun_connect->hide();
        }
        if (timer_connection.isActive()) {
            timer_connection.stop();
            qDebug() << "timer_connection stopped";
        }
    } else if (gun.page == page_authorize) {
        gun.page = page_authorize_plugin;
        setShadow();
        gun_connect->show();
    }

    // 8. Availability.
    if (gun.status == sta_Available && gun.gun_plugin && gun.CardRead == 0) {
        changeStatus(sta_Preparing, 10);
    } else if (gun.status == sta_Available && !gun.gun_plugin && gun.CardRead == 2) {
        changeStatus(sta_Preparing, 10);
        timer_connection.start(int(Config.ConnectionTimeOut));
    } else if (!gun.gun_plugin && gun.CardRead == 0 && gun.status == sta_Preparing) {
        changeStatus(sta_Available, 10);
    }

    // 9. Back to idle.
    if (gun.page == page_home && gun.status == sta_Finishing && !gun.gun_plugin)
        changeStatus(sta_Available, 0);

    // 10. Authorization page.
    if (gun.page == page_authorize) {
        if (gun.CardRead == 2 && gun.gun_plugin) {
            chargingstandby_show();
        } else if (gun.CardRead == 3) {
            errormessage->page_show(
                "Information: The card is invalid on this charge point!!   Please change another one.");
            gun.CardRead = 0;
            emit signal_set_RFID_state(0);
        }
    }

    // 11. Standby page.
    if (gun.page == page_standby) {
        if (gun.startRequest == 6) {
            // A remote start must start the power stage too, not only the page.
            if (!Start_command_set_1)
                emit signal_gun_Start_Command();
            charging_show();
        }
        if (DebugMode) {
            if (Start_command_set_1)
                charging_show();
        } else if (systemstatus.Gun1_available_sta == 1) {
            charging_show();
        }
    }

    // 12. Stop dialog over standby.
    if (gun.page == page_standby_child2 && Stop_command_set_1)
        complete_show();

    // 13. Charging page.
    if (gun.page == page_charging) {
        Charging_Data_update();
        charging->InfoUpdate();
        if (gun.status != sta_Charging) {
            changeStatus(sta_Charging, 200);
            // A fault that pulled the status away and back is no new transaction.
            if (!m_startTransactionSent) {
                m_startTransactionSent = true;
                emit StrartTransaction_req(1);
            }
        }
        if (gun.startRequest == 4 || gun.startRequest == 8)
            emit signal_gun_Stop_Command();
    }

    // 14. Charging details dialog.
    if (gun.page == page_charging_child1) {
        if (gun.CardRead == 4) {
            charging_child2_show(page_charging);
            charging_child1->hide();
        }
        Charging_Data_update();
    }

    // 15. Stop confirmation over charging.
    if (gun.page == page_charging_child2) {
        Charging_Data_update();
        charging->InfoUpdate();
        if (Stop_command_set_1) {
            charging_child2->hide();
            clearShadow();
        }
    }

    // 16. Completion page.
    if (gun.page == page_complete) {
        const QString onInvalidId = configText("StopTransactionOnInvalidId");
        switch (gun.startRequest) {
        case 4:
            errormessage->page_show("Information:The transaction is rejected by the Centtral System!");
            if (gun.status == sta_SuspendedEVSE || gun.status == sta_Finishing) {
                gun.startRequest = 0;
                break;
            }
            changeStatus(sta_SuspendedEVSE, 200);
            if (onInvalidId == "true") {
                gun.stopReason = DeAuthorized;
                emit StopTransacation_req(1);
                pause(200);
            }
            changeStatus(sta_Finishing, 200);
            if (onInvalidId == "false") {
                gun.stopReason = DeAuthorized;
                emit StopTransacation_req(1);
            }
            gun.startRequest = 0;
            break;
        case 5:
            if (gun.status != sta_Finishing) {
                changeStatus(sta_Finishing, 200);
                gun.stopReason = Local;
                emit StopTransacation_req(1);
            }
            break;
        case 3: {
            const QString onDisconnect = configText("StopTransactionOnEVSideDisconnect");
            qDebug().noquote() << "StopTransactionOnEVSideDisconnect = " + onDisconnect;
            if (Debug_EVSideDisconnect) {
                if (onDisconnect == "true" && gun.status != sta_Finishing) {
                    errormessage->page_show("Information: The cable is unpluged at car side!");
                    changeStatus(sta_Finishing, 200);
                    gun.stopReason = EVDisconnected;
                    emit StopTransacation_req(1);
                }
                Debug_EVSideDisconnect = false;
            } else if (gun.status != sta_Finishing) {
                changeStatus(sta_Finishing, 200);
                gun.stopReason = Other;
                emit StopTransacation_req(1);
            }
            break;
        }
        case 8:
            errormessage->page_show("Information:The transaction is stopped by Remote command!");
            if (gun.status != sta_Finishing) {
                changeStatus(sta_Finishing, 200);
                gun.stopReason = Remote;
                emit StopTransacation_req(1);
            }
            gun.startRequest = 0;
            break;
        default:
            break;
        }

        if (SystemResetReq == 1 || SystemResetReq == 2) {
            const bool soft = SystemResetReq == 1;
            gun.status = sta_Finishing;
            gun.stopReason = soft ? SoftReset : HardReset;
            emit StopTransacation_req(1);
            pause(200);
            if (soft) {
                emit signal_SoftwareReset();
                SoftwareReset();
            } else {
                emit signal_HardwareReset();
                HardwareReset();
            }
        }
    }
}

// ---------------------------------------------------------------- indications

void MainWindow::charger_sate_update()
{
    const bool plugged = DebugMode_ChargerGun ? debug.gun1_plugin : systemstatus.Gun1_plugged_sta == 1;
    gun_status[1].gun_plugin = plugged;
    showIcon(ui->label_charger, plugged ? charger_con : charger_discon);
}

void MainWindow::NetWork_sate_update()
{
    switch (Network_State) {
    case 0:
        showIcon(ui->label_wifi, charger_signal_error);
        break;
    case 1:
        showIcon(ui->label_wifi, charger_signal_lost);
        break;
    case 2:
        showIcon(ui->label_wifi, charger_signal_good);
        break;
    default:
        break;
    }
}

void MainWindow::Error_state_update()
{
    Status &gun = gun_status[1];
    if (systemstatus.Sys_available_sta == 2 || systemstatus.Gun1_available_sta == 2) {
        if (errorinfo.Err_Gun1_Elock)
            gun.errorcode = err_ConnectorLockFailure;
        else if (errorinfo.Err_Gun1_ISO)
            gun.errorcode = err_GroundFailure;
        else if (errorinfo.Err_Sys_TemperatureOver || errorinfo.Err_Gun1_TemperatureOver)
            gun.errorcode = err_HighTemperature;
        if (gun.status != sta_Faulted) {
            gun.status = sta_Faulted;
            emit StatusNotification_req(1);
        }
    } else if (dc_meter_data[1].Com_error) {
        if (gun.status != sta_Faulted) {
            gun.status = sta_Faulted;
            gun.errorcode = err_PowerMeterFailure;
            emit StatusNotification_req(1);
        }
    } else {
        if (gun.errorcode != err_NoError)
            gun.errorcode = err_NoError;
        if (gun.status == sta_Unavailable) {
            gun.status = sta_Available;
            emit StatusNotification_req(1);
        } else if (gun.status == sta_Faulted && gun.page == page_home) {
            // The fault has cleared and no session holds the connector:
            // the central system must see a working charger again.
            gun.status = sta_Available;
            emit StatusNotification_req(1);
        }
    }
}

// ---------------------------------------------------------------- charging data

void MainWindow::Charging_Data_update()
{
    Status &gun = gun_status[1];

    // 1. Electrical values.
    if (errorinfo.Err_Sys_RS232) {
        gun.soc = 0;
        gun.Charging_phase = 1;
        gun.f_voltage = 0;
        gun.f_current = 0;
    } else if (!DebugMode) {
        gun.soc = charginfo.SOC_Current;
        gun.f_voltage = charginfo.DC_Voltage_Out;
        gun.f_current = charginfo.DC_Current_Out;
        gun.Charging_phase = charginfo.Charging_phase;
    }

    // 2. Elapsed time.
    if (++int_chargedtime_s >= 60) {
        int_chargedtime_s = 0;
        ++gun.int_chargedtime;
    }

    // 3. Energy of this second.
    double step = 0;
    if (!DebugMode) {
        step = double(gun.f_voltage) * double(gun.f_current) / 1000.0 / 3600.0;
    } else if (!Stop_command_set_1 && !Debug_EVSideDisconnect) {
        struct Row
        {
            quint16 phase;
            float volts, amps;
            quint16 soc;
        };
        static const Row profile[] = {
            {3, 370, 60, 70}, {3, 370, 60, 75}, {3, 375, 60, 80}, {3, 380, 55, 85}, {3, 390, 30, 90}, {3, 400, 20, 95},
        };
        const int m = gun.int_chargedtime;
        if (m == 0 && int_chargedtime_s <= 9) {
            gun.Charging_phase = 1;
            gun.soc = 70;
            step = double(gun.f_voltage) * double(gun.f_current) / 3600000.0;
        } else if (m >= 0 && m <= 5) {
            const Row &r = profile[m];
            gun.Charging_phase = r.phase;
            gun.f_voltage = r.volts;
            gun.f_current = r.amps;
            gun.soc = r.soc;
            step = double(r.volts) * double(r.amps) / 3600000.0;
        } else {
            gun.Charging_phase = 6;
            gun.f_voltage = 0;
            gun.f_current = 0;
            gun.soc = 95;
            step = 0;
        }
    } else {
        gun.Charging_phase = 6;
        step = double(gun.f_voltage) * double(gun.f_current) / 1000.0 / 3600.0;
    }

    // 4. The HMI's own register.
    const double sum = double(gun.f_energy_LcdCal) + step;
    gun.f_energy_LcdCal = sum >= RegisterWrap ? 0.0f : float(sum);

    // 5. Session energy, across a wrap of the register.
    const double reg = Config_DC_Meter ? double(dc_meter_data[1].Powerquantity) : double(gun.f_energy_LcdCal);
    gun.f_energy = float(reg);
    const double start = double(gun.f_startmeter);
    gun.f_chargedkWh = float(reg >= start ? reg - start : reg + RegisterWrap - start);
    if (Config_DC_Meter)
        f_chargedkWh_meter = gun.f_chargedkWh;

    // 6. Cost.
    gun.f_chargedMoney = f_price * gun.f_chargedkWh;

    // 7. To go and remaining time.
    if (gun.charge_style == 1) {
        gun.f_togokWh = 0;
        gun.str_togokWh = "--";
        const quint32 togo = charginfo.Time_Full_Togo;
        if (togo == 0 || togo == 65535) {
            gun.int_remaintime = 0;
            gun.str_remaintime = "--";
        } else {
            gun.int_remaintime = qint32(togo);
            gun.str_remaintime = QString::number(togo);
        }
    } else if (gun.charge_style == 2) {
        gun.f_togokWh = gun.f_CusSetkWh - gun.f_chargedkWh;
        gun.str_togokWh = fixed(gun.f_togokWh, 1);
        const double power = double(gun.f_voltage) * double(gun.f_current);
        if (power < 500) {
            gun.int_remaintime = 0;
            gun.str_remaintime = "--";
        } else {
            gun.int_remaintime = roundHalfUp(double(gun.f_togokWh) * 60000.0 / power);
            gun.str_remaintime = QString::number(gun.int_remaintime);
        }
    }

    // 8. Log every sixth update.
    if (++int_chargedtime_log > 5) {
        qDebug().noquote() << str_datetime + ":";
        qDebug() << "Charging,Voltage(V) = " << gun.f_voltage;
        qDebug() << "Charging,Current(A) = " << gun.f_current;
        qDebug() << "Charging,Remain time(min) = " << gun.int_remaintime;
        qDebug() << "Charging,charged(kwh) = " << gun.f_chargedkWh;
        int_chargedtime_log = 0;
    }

    // 9. Display texts.
    Charging_phase = gun.Charging_phase;
    publishDisplayTexts();
}

// The texts the charging and completion screens show, from the session record.
void MainWindow::publishDisplayTexts()
{
    const Status &gun = gun_status[1];
    str_togokWh = gun.str_togokWh;
    str_remaintime = gun.str_remaintime;
    str_chargedkWh = fixed(gun.f_chargedkWh, 1);
    str_chargedtime = fixed(gun.int_chargedtime, 0);
    str_chargedMoney = fixed(gun.f_chargedMoney, 1);
    str_chargeVoltage = fixed(gun.f_voltage, 0);
    str_chargeCurrent = fixed(gun.f_current, 0);
    str_soc = fixed(gun.soc, 0);
    int_soc = gun.soc;
}

void MainWindow::SendMeterValue_1()
{
    emit MeterValue_req(1);
    writeEnergyRegister(gun_status[1].f_energy_LcdCal);
}

// ---------------------------------------------------------------- resets

void MainWindow::runResetScript(const char *logLine, const QString &script)
{
    qDebug() << logLine;
    pause(1000);
    // The script ends this program; it learns whom to end from HMI_PID. The
    // path is absolute, so it does not depend on the working directory.
    qputenv("HMI_PID", QByteArray::number(QCoreApplication::applicationPid()));
    QProcess::execute("/bin/sh", {dataFile(script)});
}

void MainWindow::SoftwareReset()
{
    runResetScript("software reset!!!", "softwarereset.sh");
}

void MainWindow::HardwareReset()
{
    runResetScript("hardware reset!!!", "hardwarereset.sh");
}
