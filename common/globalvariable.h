#ifndef GLOBALVARIABLE_H
#define GLOBALVARIABLE_H

// The charger's shared state: the session record of the connector, the
// configuration, the display texts of the charging screens, the flags that
// link the GUI thread with the CCU worker and the OCPP link and the constant
// string tables. The screens' style tokens are in screens/styletokens.h.

#include <QJsonObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <atomic>

// ---------------------------------------------------------------- session record
struct Status
{
    QString status;          // OCPP ChargePointStatus
    QString errorcode;       // OCPP ChargePointErrorCode
    bool gun_plugin = false; // cable plugged into the vehicle
    quint16 charge_style = 0; // 0 none, 1 fast (full), 2 fixed amount
    QString page;            // page on show
    QString IDtag;           // idTag of the session
    QString IDtag_stop;      // idTag presented to stop
    quint16 CardRead = 0;    // 0 none, 1 read, 2 accepted, 3 rejected, 4 stop card
    quint16 startRequest = 0; // transaction / remote command state
    QString stopReason;      // Reason of the next StopTransaction
    qint32 transactionId = 0;
    quint16 soc = 0;         // %
    float f_voltage = 0;     // V
    float f_current = 0;     // A
    quint16 Charging_phase = 0;
    // Register readings in kWh, in double: a float register above ~131 MWh
    // no longer adds the few Wh of one second of low-power charging.
    double f_energy_LcdCal = 0; // HMI's own energy register, kWh
    double f_startmeter = 0;
    double f_energy = 0;
    double f_stopmeter = 0;
    float f_chargedkWh = 0;
    float f_chargedMoney = 0;
    float f_togokWh = 0;
    QString str_togokWh;
    qint32 int_remaintime = 0; // min
    qint32 int_chargedtime = 0; // min
    QString str_remaintime;
    float f_CusSetkWh = 0;
    float f_CusSetAmount = 0;
};

extern Status gun_status[3]; // indexed by connectorId; only 1 is used

struct Configuration
{
    quint32 ConnectionTimeOut = 0;               // ms
    quint32 MeterValueSampleInterval = 0;        // ms
    quint32 TransactionMessageRetryInterval = 0; // ms
    // A page left untouched goes back to the home page after this long
    // (configuration keys "IdleReturnTimeout", "CompletionIdleReturnTimeout").
    quint32 IdleReturnTimeout = 60000;           // ms
    quint32 CompletionIdleReturnTimeout = 120000; // ms
};

// Simulated plug-in state of the debug panel.
struct Debug
{
    bool gun1_plugin = false;
    quint16 RFID_status = 0;
};

// ---------------------------------------------------------------- constant tables
extern QString FilePath; // data directory, ends in '/'; fixed once start-up has read the options

extern const QString page_home;
extern const QString page_fixedcharge;
extern const QString page_fixedcharge_keyboard;
extern const QString page_authorize;
extern const QString page_authorize_plugin;
extern const QString page_standby;
extern const QString page_charging;
extern const QString page_charging_child1;
extern const QString page_charging_child2;
extern const QString page_standby_child2;
extern const QString page_complete;
extern const QString page_complete_child;

extern const QString sta_Available;
extern const QString sta_Preparing;
extern const QString sta_Charging;
extern const QString sta_SuspendedEVSE;
extern const QString sta_SuspendedEV;
extern const QString sta_Finishing;
extern const QString sta_Reserved;
extern const QString sta_Unavailable;
extern const QString sta_Faulted;

extern const QString err_ConnectorLockFailure;
extern const QString err_EVCommunicationError;
extern const QString err_GroundFailure;
extern const QString err_HighTemperature;
extern const QString err_InternalError;
extern const QString err_LocalListConflict;
extern const QString err_NoError;
extern const QString err_OtherError;
extern const QString err_OverCurrentFailure;
extern const QString err_PowerMeterFailure;
extern const QString err_PowerSwitchFailure;
extern const QString err_ReaderFailure;
extern const QString err_ResetFailure;
extern const QString err_UnderVoltage;
extern const QString err_OverVoltage;
extern const QString err_WeakSignal;

extern const QString EmergencyStop;
extern const QString EVDisconnected;
extern const QString HardReset;
extern const QString Local;
extern const QString Other;
extern const QString PowerLoss;
extern const QString Reboot;
extern const QString Remote;
extern const QString SoftReset;
extern const QString UnlockCommand;
extern const QString DeAuthorized;

// ---------------------------------------------------------------- build switches
// Defined per build variant in switches.cpp.
extern const bool DebugMode;
extern const bool DebugMode_ChargerGun;
extern const bool DebugMode_Paypad;
extern const bool Config_DC_Meter;

// ---------------------------------------------------------------- process-wide state
extern bool coldboot;
extern quint16 SystemResetReq;   // 0 none, 1 soft, 2 hard
extern quint16 self_check_time;  // ticks of the start-up window
extern bool Start_command_set_1;
extern bool Stop_command_set_1;
extern quint16 Network_State;    // 0 offline, 1 lookup failed, 2 good
extern bool Debug_EVSideDisconnect;
// The OCPP client does not read its FIFO: the writer found nobody at the far
// end on its last try (set by the FIFO writer thread, read by the GUI).
extern std::atomic<bool> ocppClientAbsent;
extern Configuration Config;
extern QJsonObject ConfigObj;
extern QStringList StartTransactionCache;
extern QStringList StopTransactionCache;
extern QStringList MeterValueCache;
extern QString str_datetime;
extern float f_price;
extern float Max_SetKwh;
extern quint16 int_soc_start;
extern QString FirmewareVersion;
extern int ActScreenX;
extern int ActScreenY;
extern float dpX;
extern float dpY;
extern quint16 Charging_phase;
extern quint16 int_soc;
extern QString str_soc;
extern QString str_togokWh;
extern QString str_remaintime;
extern QString str_chargedkWh;
extern QString str_chargedtime;
extern QString str_chargedMoney;
extern QString str_chargeVoltage;
extern QString str_chargeCurrent;
extern float f_chargedkWh_meter;
extern float f_CusSetkWh;
extern float f_CusSetAmount;
extern QString str_amount;
extern QString str_quantity;
extern QString str_systa;
extern QString str_gun1sta;
extern QString Str_ChargeStopReason;
extern QTimer timer_home_hide;
extern QTimer timer_connection;
extern QTimer timer_SendMeterValue_1;
extern quint32 int_chargedtime_s;
extern quint16 int_chargedtime_log;
extern Debug debug;
extern QTimer timer_Led_Blink;
extern int timenum;

// Pixel rectangle of a box given in layout units; each product is truncated
// toward zero on its own, so 15.5 units at 20 px are 310 px.
inline QRect unitRect(double x, double y, double w, double h)
{
    return QRect(int(x * dpX), int(y * dpY), int(w * dpX), int(h * dpY));
}

// Path of a file in the data directory.
inline QString dataFile(const QString &name) { return FilePath + name; }

#endif // GLOBALVARIABLE_H
