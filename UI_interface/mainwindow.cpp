#include "mainwindow.h"
#include "logcategories.h"
#include "ui_mainwindow.h"

#include "authorization.h"
#include "chargerconnect.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "configuration.h"
#include "datafiles.h"
#include "debugfun.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "factorymode.h"
#include "fonts.h"
#include "fixedcharge.h"
#include "globalvariable.h"
#include "help.h"
#include "home.h"
#include "keyboard.h"
#include "led.h"
#include "screensetup.h"
#include "screentext.h"
#include "servicepinpad.h"
#include "sessionsupervisor.h"
#include "standby.h"
#include "styletokens.h"

#include "ccu_records.h"
#include "dc_meter_data.h"

#include <QApplication>
#include <QDebug>
#include <QEvent>

void MainWindow::setPauseScale(double scale)
{
    SessionSupervisor::setPauseScale(scale);
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    // 1. Form, font, the whole panel, the window background; the supervisor
    //    that drives the pages.
    ui->setupUi(this);
    m_supervisor = new SessionSupervisor(this, this);
    connect(m_supervisor, &SessionSupervisor::StatusNotification_req, this, &MainWindow::StatusNotification_req);
    connect(m_supervisor, &SessionSupervisor::Authorize_req, this, &MainWindow::Authorize_req);
    connect(m_supervisor, &SessionSupervisor::StrartTransaction_req, this, &MainWindow::StrartTransaction_req);
    connect(m_supervisor, &SessionSupervisor::StopTransacation_req, this, &MainWindow::StopTransacation_req);
    connect(m_supervisor, &SessionSupervisor::MeterValue_req, this, &MainWindow::MeterValue_req);
    connect(m_supervisor, &SessionSupervisor::signal_gun_Start_Command, this, &MainWindow::signal_gun_Start_Command);
    connect(m_supervisor, &SessionSupervisor::signal_gun_Stop_Command, this, &MainWindow::signal_gun_Stop_Command);
    connect(m_supervisor, &SessionSupervisor::signal_set_RFID_state, this, &MainWindow::signal_set_RFID_state);
    connect(m_supervisor, &SessionSupervisor::signal_SoftwareReset, this, &MainWindow::signal_SoftwareReset);
    connect(m_supervisor, &SessionSupervisor::signal_HardwareReset, this, &MainWindow::signal_HardwareReset);
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

    // 3. The home page; the other screens are built on first use (page()).
    //    Overlays are frameless dialogs of their own.
    page(HomePage);
    label_mask = new QLabel(this);
    label_mask->setGeometry(unitRect(0, 0, 64, 40));
    label_mask->setStyleSheet(popup_shadow);
    label_mask->hide();
    errormessage = new ErrorMsg(this);
    errormessage->hide();

    m_healthIcon = new QLabel(this);
    m_healthIcon->setObjectName("label_health");
    m_healthIcon->setGeometry(unitRect(58, 0, 2, 2));

    Homepage_show();
    timerUpdate();

    // 5. Debug panel, shown in the simulation build only: in the device build
    //    anyone at the screen could play a card or a plugged cable.
    debugset = new DebugFun(this);
    debugset->setVisible(DebugMode);
    debugset->raise();

    // 6. Navigation (the screens' own is wired as each is built).
    connect(&timer_home_hide, &QTimer::timeout, this, &MainWindow::page_hide);
    connect(debugset, &DebugFun::signal_authorize_req, this, &MainWindow::AuthorizeRequest);
    connect(this, &MainWindow::signal_set_RFID_state, debugset, &DebugFun::set_checkBox_RFID_state);

    // Service views: help from the status bar, back to where the driver was;
    // the factory screen behind the service PIN, on a long press of the
    // service button.
    connect(this, &MainWindow::jump_help, this, [this] { helpWindow()->page_show(); });
    connect(this, &MainWindow::show_factoryMode, this, &MainWindow::openServiceAccess);
    m_factoryPress = new QTimer(this);
    m_factoryPress->setObjectName("factoryLongPress");
    m_factoryPress->setSingleShot(true);
    m_factoryPress->setInterval(FactoryLongPressMs);
    connect(ui->pushButton_factorymode, &QPushButton::pressed, this, [this] {
        m_factoryOpenedByPress = false;
        m_factoryPress->start();
    });
    connect(ui->pushButton_factorymode, &QPushButton::released, m_factoryPress, &QTimer::stop);
    connect(m_factoryPress, &QTimer::timeout, this, [this] {
        m_factoryOpenedByPress = true;
        emit show_factoryMode();
    });

    qApp->installEventFilter(this);
    updateHealth();
    m_built = true;
}

Help *MainWindow::helpWindow()
{
    if (!m_help) {
        registerRobotoFonts(RobotoFaces::All);
        m_help = new Help(this);
        m_help->hide();
        connect(m_help, &Help::jump_home, m_help, &Help::page_hide);
        m_help->setHealthDetail(healthDetail());
        emit helpCreated(m_help);
    }
    return m_help;
}

FactoryMode *MainWindow::factoryWindow()
{
    if (!m_factory) {
        registerRobotoFonts(RobotoFaces::All);
        m_factory = new FactoryMode(this);
        m_factory->hide();
        emit factoryCreated(m_factory);
    }
    return m_factory;
}

ServicePinPad *MainWindow::servicePinPad()
{
    if (!m_pinPad) {
        m_pinPadMask = new QLabel(this);
        m_pinPadMask->setGeometry(unitRect(0, 0, 64, 40));
        m_pinPadMask->setStyleSheet(popup_shadow);
        m_pinPadMask->hide();
        m_pinPad = new ServicePinPad(&m_servicePin, this);
        m_pinPad->hide();
        connect(m_pinPad, &ServicePinPad::jump_back, this, &MainWindow::closeServicePinPad);
        connect(m_pinPad, &ServicePinPad::signal_pin_accepted, this, [this] {
            m_pinPad->page_hide();
            closeServicePinPad();
            openFactoryMode();
        });
    }
    return m_pinPad;
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    qCInfo(lcUi) << "home page destroy";
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
        {ui->pushButton_home, 2, 3, 5, 4, "QPushButton{" + navigationbar_style + image_home + "}" + navigation_pressed},
        {ui->label_mask_home, 2, 3, 5, 4, disabled_mask},
        {ui->pushButton_back, 8, 3, 4, 4, navigationbar_style + image_back},
        {ui->pushButton_language, 53, 3, 4, 4, Language::buttonStyle()},
        {ui->label_mask_language, 53, 3, 4, 4, disabled_mask},
        {ui->pushButton_help, 58, 3, 4, 4, "QPushButton{" + navigationbar_style + image_help + "}" + navigation_pressed},
        {ui->label_mask_help, 58, 3, 4, 4, disabled_mask},
    };
    for (const Place &p : places) {
        p.widget->setGeometry(unitRect(p.x, p.y, p.w, p.h));
        if (!p.style.isEmpty())
            p.widget->setStyleSheet(p.style);
    }
    ui->label_statusbar->setText(statusbar_str);
    ui->label_time->setGeometry(unitRect(2, 0, 0, 2).adjusted(0, 0, 200, 0));
    // The clock paints its own piece of the status bar.
    ui->label_time->setStyleSheet(statusbar_backgound + font_color_basic + font_S);
    ui->label_time->setText(str_datetime);
    // The service button draws only its gear on the status bar.
    ui->pushButton_factorymode->setFlat(true);
    ui->pushButton_factorymode->setFocusPolicy(Qt::NoFocus);
    ui->pushButton_back->hide();
    ui->label_mask_language->hide();
    ui->label_mask_help->hide();
}

// ---------------------------------------------------------------- helpers

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
    if (homepage()->isHidden())
        homepage()->show();
    for (PageId id : {FixedChargePage, KeyboardPage, AuthorizationPage, PlugInPrompt, StandbyPage})
        hidePage(id);
    if (shown(ChargingPage))
        charging()->page_hide();
    for (PageId id : {ChargingDetails, StopConfirmation, CompletionPage, CompletionDetails})
        hidePage(id);
    clearShadow();
    lock(ui->pushButton_home, ui->label_mask_home);
    unlock(ui->pushButton_language, ui->label_mask_language);
    unlock(ui->pushButton_help, ui->label_mask_help);
    gun_status[1].page = page_home;
    if (m_pages[AuthorizationPage])
        authorization()->clearNotice();
    m_supervisor->resetSession();
    VariableInit();
    // The session is over, however it ended: a cable-pulled-at-the-car flag
    // it did not use must not end the next driver's session.
    Debug_EVSideDisconnect = false;
}

void MainWindow::fixedcharge_show()
{
    hidePage(HomePage);
    clearShadow();
    hidePage(KeyboardPage);
    fixedcharge()->page_show(1);
    unlock(ui->pushButton_home, ui->label_mask_home);
    gun_status[1].page = page_fixedcharge;
    qCInfo(lcUi) << "gun 1 set amount = " << gun_status[1].f_CusSetAmount;
    qCInfo(lcUi) << "gun 1 set kwh = " << gun_status[1].f_CusSetkWh;
}

void MainWindow::fixedcharge_keyboard_show(int kind)
{
    setShadow();
    keyboard()->page_show(kind);
    gun_status[1].page = page_fixedcharge_keyboard;
}

void MainWindow::authorize_show()
{
    hidePage(HomePage);
    hidePage(FixedChargePage);
    authorization()->show();
    unlock(ui->pushButton_home, ui->label_mask_home);
    if (!gun_status[1].gun_plugin) {
        setShadow();
        gun_connect()->show();
        gun_status[1].page = page_authorize_plugin;
    } else {
        gun_status[1].page = page_authorize;
    }
}

void MainWindow::chargingstandby_show()
{
    m_supervisor->enterStandby();
}

void MainWindow::charging_show()
{
    m_supervisor->enterCharging();
}

void MainWindow::openChargingPage()
{
    hidePage(StandbyPage);
    gun_status[1].page = page_charging;
    charging()->page_show();
    lock(ui->pushButton_home, ui->label_mask_home);
    lock(ui->pushButton_language, ui->label_mask_language);
    lock(ui->pushButton_help, ui->label_mask_help);
}

void MainWindow::charging_child1_show()
{
    setShadow();
    charging_child1()->show();
    gun_status[1].page = page_charging_child1;
}

void MainWindow::charging_child1_jumpback()
{
    clearShadow();
    hidePage(ChargingDetails);
    gun_status[1].page = page_charging;
}

void MainWindow::charging_child2_show(QString backpage)
{
    charging_child2()->show();
    if (backpage == page_standby) {
        gun_status[1].page = page_standby_child2;
        setShadow();
    } else if (backpage == page_charging) {
        gun_status[1].page = page_charging_child2;
    }
}

void MainWindow::charging_child2_jumpback()
{
    hidePage(StopConfirmation);
    clearShadow();
    if (gun_status[1].page == page_charging_child2)
        gun_status[1].page = page_charging;
    else if (gun_status[1].page == page_standby_child2)
        gun_status[1].page = page_standby;
}

void MainWindow::complete_show()
{
    m_supervisor->enterComplete();
}

void MainWindow::openCompletionPage()
{
    Status &gun = gun_status[1];
    if (gun.page == page_standby_child2) {
        hidePage(StandbyPage);
        hidePage(StopConfirmation);
    } else if (gun.page == page_charging_child2) {
        charging()->page_hide();
        hidePage(StopConfirmation);
    } else if (gun.page == page_charging_child1) {
        // The charge ended while the card prompt was open.
        charging()->page_hide();
        hidePage(ChargingDetails);
    } else if (gun.page == page_charging) {
        charging()->page_hide();
    } else {
        return;
    }
    clearShadow();
    complete()->show();
    gun.page = page_complete;
}

void MainWindow::complete_child_show()
{
    complete_child()->showOutcome(m_supervisor->sessionOutcome());
    complete_child()->show();
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

// EN -> DE -> FR -> ES -> EN; every screen and popup follows at once.
void MainWindow::on_pushButton_language_clicked()
{
    Language::next();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->pushButton_language->setStyleSheet(Language::buttonStyle());
    QMainWindow::changeEvent(event);
}

void MainWindow::on_pushButton_factorymode_clicked()
{
    // The press that opened the factory screen is not also a short press.
    if (m_factoryOpenedByPress) {
        m_factoryOpenedByPress = false;
        return;
    }
    // A debug trigger: in the device build a passer-by would end the next
    // driver's session with a false "unplugged" stop.
    if (!DebugMode)
        return;
    Debug_EVSideDisconnect = true;
    qCInfo(lcUi).noquote() << QString("Debug_EVSideDisconnect = ") + (Debug_EVSideDisconnect ? "true" : "false");
}

// The factory screen sets the CCU's limits: only behind the service PIN. A
// workstation without a PIN is let in; a charger without one stays closed.
void MainWindow::openServiceAccess()
{
    if ((m_pinPad && m_pinPad->isVisible()) || (m_factory && m_factory->isVisible()))
        return;
    const ServicePin::State pin = m_servicePin.state();
    if (!pin.set) {
        if (DebugMode) {
            qCInfo(lcUi).noquote() << "no service PIN set (" + pin.problem + "): the simulation build opens the factory screen";
            openFactoryMode();
        } else {
            qCWarning(lcUi).noquote() << "no service PIN set (" + pin.problem
                    + "): the factory screen stays closed; set one with: charger-hmi --set-service-pin --data-dir "
                    + FilePath;
        }
        return;
    }
    servicePinPad();
    m_pinPadMask->show();
    m_pinPadMask->raise();
    m_pinPad->page_show();
}

void MainWindow::closeServicePinPad()
{
    m_pinPadMask->hide();
}

void MainWindow::openFactoryMode()
{
    factoryWindow()->page_show();
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
    m_supervisor->AuthorizeRequest(ConnectorId);
}

void MainWindow::Gun_startcharging(ushort ConnectorId)
{
    m_supervisor->Gun_startcharging(ConnectorId);
}

void MainWindow::Gun_stopcharging(ushort ConnectorId)
{
    m_supervisor->Gun_stopcharging(ConnectorId);
}

void MainWindow::StartTransactionRequest(ushort ConnectorId)
{
    m_supervisor->StartTransactionRequest(ConnectorId);
}

void MainWindow::AuthorizeExpired()
{
    m_supervisor->AuthorizeExpired();
}

void MainWindow::SendMeterValue_1()
{
    m_supervisor->SendMeterValue_1();
}

void MainWindow::SoftwareReset()
{
    m_supervisor->SoftwareReset();
}

void MainWindow::HardwareReset()
{
    m_supervisor->HardwareReset();
}

// ---------------------------------------------------------------- the supervisor tick

void MainWindow::timerUpdate()
{
    m_supervisor->tick();
    if (m_built) { // not during construction
        updateHealth();
        idleReturnTick();
    }
}

void MainWindow::Charging_Data_update()
{
    m_supervisor->chargingData().update();
}

void MainWindow::charger_sate_update()
{
    m_supervisor->updatePlugState();
}

void MainWindow::NetWork_sate_update()
{
    showNetworkIcon(Network_State);
}

void MainWindow::Error_state_update()
{
    m_supervisor->updateFaultState();
}
