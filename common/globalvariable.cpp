#include "globalvariable.h"

// Everything here is built during static initialisation, top to bottom:
// the session records first, then the string tables, then the process-wide
// state.

Status gun_status[3];

QString FilePath = QStringLiteral("/home/root/Tarnel-LCD/");

const QString page_home = "homepage";
const QString page_fixedcharge = "fixedcharge";
const QString page_fixedcharge_keyboard = "keyboard";
const QString page_authorize = "authorize";
const QString page_authorize_plugin = "authorize_plugin";
const QString page_standby = "chargingstandby";
const QString page_charging = "charging";
const QString page_charging_child1 = "charging_child1";
const QString page_charging_child2 = "charging_child2";
const QString page_standby_child2 = "standby_child2";
const QString page_complete = "complete";
const QString page_complete_child = "complete_child";

const QString sta_Available = "Available";
const QString sta_Preparing = "Preparing";
const QString sta_Charging = "Charging";
const QString sta_SuspendedEVSE = "SuspendedEVSE";
const QString sta_SuspendedEV = "SuspendedEV";
const QString sta_Finishing = "Finishing";
const QString sta_Reserved = "Reserved";
const QString sta_Unavailable = "Unavailable";
const QString sta_Faulted = "Faulted";

const QString err_ConnectorLockFailure = "ConnectorLockFailure";
const QString err_EVCommunicationError = "EVCommunicationError";
const QString err_GroundFailure = "GroundFailure";
const QString err_HighTemperature = "HighTemperature";
const QString err_InternalError = "InternalError";
const QString err_LocalListConflict = "LocalListConflict";
const QString err_NoError = "NoError";
const QString err_OtherError = "OtherError";
const QString err_OverCurrentFailure = "OverCurrentFailure";
const QString err_PowerMeterFailure = "PowerMeterFailure";
const QString err_PowerSwitchFailure = "PowerSwitchFailure";
const QString err_ReaderFailure = "ReaderFailure";
const QString err_ResetFailure = "ResetFailure";
const QString err_UnderVoltage = "UnderVoltage";
const QString err_OverVoltage = "OverVoltage";
const QString err_WeakSignal = "WeakSignal";

const QString EmergencyStop = "EmergencyStop";
const QString EVDisconnected = "EVDisconnected";
const QString HardReset = "HardReset";
const QString Local = "Local";
const QString Other = "Other";
const QString PowerLoss = "PowerLoss";
const QString Reboot = "Reboot";
const QString Remote = "Remote";
const QString SoftReset = "SoftReset";
const QString UnlockCommand = "UnlockCommand";
const QString DeAuthorized = "DeAuthorized";

bool coldboot = false;
quint16 SystemResetReq = 0;
quint16 self_check_time = 0;
bool Start_command_set_1 = false;
bool Stop_command_set_1 = false;
quint16 Network_State = 0;
bool Debug_EVSideDisconnect = false;
std::atomic<bool> ocppClientAbsent{false};
Configuration Config;
QJsonObject ConfigObj;
QStringList StartTransactionCache;
QStringList StopTransactionCache;
QStringList MeterValueCache;
QString str_datetime;
float f_price = 0.65f;
float Max_SetKwh = 100.0f;
quint16 int_soc_start = 30;
QString FirmewareVersion = "Ver002";
int ActScreenX = 1280;
int ActScreenY = 800;
float dpX = 20.0f;
float dpY = 20.0f;
quint16 Charging_phase = 0;
quint16 int_soc = 0;
QString str_soc;
QString str_togokWh;
QString str_remaintime;
QString str_chargedkWh;
QString str_chargedtime;
QString str_chargedMoney;
QString str_chargeVoltage;
QString str_chargeCurrent;
float f_chargedkWh_meter = 0;
float f_CusSetkWh = 0;
float f_CusSetAmount = 0;
QString str_amount = "0.00";
QString str_quantity = "0.00";
QString str_systa;
QString str_gun1sta;
QString Str_ChargeStopReason;
QTimer timer_home_hide;
QTimer timer_connection;
QTimer timer_SendMeterValue_1;
quint32 int_chargedtime_s = 0;
quint16 int_chargedtime_log = 0;
Debug debug;
QTimer timer_Led_Blink;
int timenum = 0;
