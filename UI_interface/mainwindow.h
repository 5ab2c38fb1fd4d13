#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "servicepin.h"
#include "sessionview.h"

#include <QMainWindow>
#include <QTimer>

namespace Ui {
class MainWindow;
}

class home;
class Keyboard;
class Authorization;
class FixedCharge;
class Chargerconnect;
class QLabel;
class DebugFun;
class Standby;
class EnergyDelivery;
class Charging_child1;
class Charging_child2;
class Complete;
class Complete_child;
class ErrorMsg;
class Help;
class FactoryMode;
class ServicePinPad;
class SessionSupervisor;

// The one top-level window: the status bar, every customer screen and the
// page navigation. The session supervisor runs the once-per-second rules and
// shows what they decide through this window (SessionView); its requests
// leave under this window's signals.
class MainWindow : public QMainWindow, public SessionView
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The help and factory windows are the service views beside the
    // customer screens. Built on first use (most chargers never show them),
    // with every Roboto face; start-up wires them as they are made
    // (helpCreated, factoryCreated).
    Help *helpWindow();
    FactoryMode *factoryWindow();
    ServicePinPad *servicePinPad();

    // How long a press on the service button opens the way to the factory
    // screen (the service PIN pad).
    static constexpr int FactoryLongPressMs = 3000;

signals:
    void jump_help();
    void helpCreated(Help *help);
    void factoryCreated(FactoryMode *factory);
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

public:
    // Parts of the tick, forwarded to the supervisor.
    void chargingstandby_show();
    void Charging_Data_update();
    void charger_sate_update();
    void NetWork_sate_update();
    void Error_state_update();
    void setShadow();
    void clearShadow();

    // Pause after a status change; the demo shortens it.
    static void setPauseScale(double scale);

    SessionSupervisor *supervisor() const { return m_supervisor; }

    // Whether the charger can take a session now, and why not in words; the
    // home tiles, the band and the status bar's health icon follow it.
    bool outOfOrder(QString *detail = nullptr) const;
    // The links in words, as the help page shows them.
    static QString healthDetail();

protected:
    // Any touch on the panel starts the idle wait again.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // SessionView
    void showClock(const QString &text) override;
    void showPlugIcon(bool plugged) override;
    void showNetworkIcon(quint16 state) override;
    void setPluginPrompt(bool shown) override;
    void openStandbyPage() override;
    void openChargingPage() override;
    void openCompletionPage() override;
    void openStopConfirmation() override;
    void closeStopConfirmation() override;
    void refreshChargingFigures() override;
    void refreshCompletionFigures() override;
    void showErrorPopup(const QString &text) override;
    void sessionOver() override;
    void authorizationRefused() override;
    void authorizationExpired() override;

    // Once a tick: an untouched page goes home after its idle time.
    void idleReturnTick();
    quint32 idleLimitMs(const QString &page) const;
    // Once a tick: the out-of-order state and the health icon.
    void updateHealth();

    void lock(QWidget *button, QLabel *mask);
    void unlock(QWidget *button, QLabel *mask);
    void placeStatusBar();
    void openServiceAccess();
    void closeServicePinPad();
    void openFactoryMode();

    Ui::MainWindow *ui;

public:
    // The customer screens. The home page is built with the window, every
    // other screen on its first use: most of them are not needed before a
    // driver touches the panel, and building them all cost most of the start.
    home *homepage();
    Authorization *authorization();
    FixedCharge *fixedcharge();
    Keyboard *keyboard();
    Chargerconnect *gun_connect();
    Standby *standby();
    EnergyDelivery *charging();
    Charging_child1 *charging_child1();
    Charging_child2 *charging_child2();
    Complete *complete();
    Complete_child *complete_child();
    QLabel *label_mask = nullptr;
    DebugFun *debugset = nullptr;
    ErrorMsg *errormessage = nullptr;

private:
    // In the order of their stacking, the lowest first.
    enum PageId {
        HomePage,
        AuthorizationPage,
        FixedChargePage,
        KeyboardPage,
        PlugInPrompt,
        StandbyPage,
        ChargingPage,
        ChargingDetails,
        StopConfirmation,
        CompletionPage,
        CompletionDetails,
        PageCount
    };
    QWidget *page(PageId id);     // built now if it was not yet
    QWidget *makePage(PageId id); // constructed and wired
    // A screen that was never built is not on the panel: asking must not build it.
    bool shown(PageId id) const;
    void hidePage(PageId id);
    QWidget *m_pages[PageCount] = {};

private:
    bool m_built = false; // the constructor has run to its end
    Help *m_help = nullptr;
    FactoryMode *m_factory = nullptr;
    ServicePin m_servicePin;
    ServicePinPad *m_pinPad = nullptr;
    QLabel *m_pinPadMask = nullptr; // the pad's own veil, apart from the customer popups' one
    QTimer *m_factoryPress = nullptr; // long press on the service button
    bool m_factoryOpenedByPress = false;
    SessionSupervisor *m_supervisor = nullptr;
    QLabel *m_healthIcon = nullptr; // status bar: CCU, meter and OCPP client at a glance
    QString m_idleKey;              // the page (and help) the idle count belongs to
    quint32 m_idleTicks = 0;        // ticks since the last touch on that page
};

#endif // MAINWINDOW_H
