#include "globalvariable.h"

// Everything here is built during static initialisation, top to bottom:
// the session records first, then the string tables, then the style tokens,
// each composed token after the tokens it is made of.

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

// ---------------------------------------------------------------- colours
const QString Primary_Light = "#80C3FF;";
const QString Primary_Blue = "#1691FF;";
const QString Primary_Dark = "#0070D3;";
const QString Primary_Darker = "#004C8E;";
const QString Natural_Light = "#BDBDBD;";
const QString Natural_Gray = "#757575;";
const QString Natural_Dark = "#3C3C3C;";
const QString Natural_Darker = "#000D12;";
const QString Secondary_Light = "#FFC980;";
const QString Secondary_Orange = "#FFB869;";
const QString Secondary_Dark = "#DA7300;";
const QString Secondary_Darker = "#944E00;";
const QString White = "#FFFFFF;";
const QString Black = "#000000;";

// ---------------------------------------------------------------- gradients
const QString Gradient_G1 = "qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #017FB8,stop:1 #003D73);";
const QString Gradient_G2 = "qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #F2BE00,stop:1 #CE5C04);";
const QString Gradient_G3 = "qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #1691FF,stop:1 #004C8E);";
const QString Gradient_G4 = "qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #FFDE80,stop:1 #FFB869);";
const QString Gradient_G5 = "qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #F4F4F4,stop:1 #8F8F8F);";
const QString Gradient_G6 = "qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 #757575,stop:1 #989898);";
const QString Gradient_G7 = "qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, stop:0 #FFFFA3,stop:1 #1FD975);";

// ---------------------------------------------------------------- text colour and alignment
const QString font_color_basic = "color:white;";
const QString alignment_C = "qproperty-alignment:AlignCenter;";
const QString alignment_L = "qproperty-alignment:AlignLeft;";

// ---------------------------------------------------------------- fonts
const QString font_H1 = "font-size:60px;line-height:80%;font:Bold Condensed;";
const QString font_H2 = "font-size:48px;line-height:50%;font:Bold Condensed;";
const QString font_H3 = "font-size:36px;line-height:60%;font:Bold Condensed;";
const QString font_L = "font-size:48px;line-height:100%;font:Bold Condensed;";
const QString font_M = "font-size:40px;line-height:100%;font:Bold Condensed;";
const QString font_S = "font-size:24px;line-height:100%;font:Bold Condensed;";
const QString font_Body = "font-size:24px;line-height:100%;font:Regular;";
const QString font_Body_Bold = "font-size:24px;line-height:200%;font:Bold;";
const QString font_Body_M = "font-size:36px;line-height:100%;font:Regular;";
const QString font_Body_L = "font-size:40px;line-height:185%;font:Bold;text-decoration:underline;";
const QString font_Caption = "font-size:18px;line-height:110%;font:Regular;";
const QString font_Caption_Bold = "font-size:18px;line-height:110%;font:Bold;";

// ---------------------------------------------------------------- main window frame
const QString mainwindow_background = "QColor(0X00,0X0D,0X12)";
const QString statusbar_str = "Kavex EV Charger";
const QString statusbar_backgound = "background-color:" + Natural_Dark;
const QString navigationbar_style = "border-width: 4px;border-radius: 14;border-color: white;border-style:outset;";
const QString image_back = "image: url(:/images/ico_back.png);";
const QString image_home = "image: url(:/images/ico_home.png);";
const QString image_language = "image: url(:/images/ico_Language_en.png);";
const QString image_help = "image: url(:/images/ico_faq.png);";
const QString image_setting = "image: url(:/images/setting.png);";
const QString setting_style = "border-radius: 0;";
const QString disabled_mask = "background-color:rgba(100,100,100,90);";
const QString popup_shadow = "background-color:rgba(0,0,0,178);";
const QString charger_con = ":/images/ico_connected.png";
const QString charger_discon = ":/images/ico_dsiconnected.png";
const QString charger_signal_good = ":/images/ico_signal_good.png";
const QString charger_signal_error = ":/images/ico_signal_lost.png";
const QString charger_signal_lost = ":/images/ico_signal_unsync.png";

// ---------------------------------------------------------------- shared screen sheets
static QString primaryButtonSheet()
{
    return "QPushButton{border-radius:40px;border-style:outset;" + font_color_basic + font_M + "background-color:" + Gradient_G3
        + "}QPushButton:pressed{border-radius:40px;border-style:outset;" + font_color_basic + font_M + "background-color:"
        + Gradient_G1 + "}";
}
const QString fixedcharge_pushbutton_Confirm_sty = primaryButtonSheet();
const QString keyboar_confirm_sty = primaryButtonSheet();
const QString standby_pushbutton_confirm_style = primaryButtonSheet();
const QString charging_pushbutton_stop_sty = primaryButtonSheet();
const QString chargingchild_pushbotton_sty = primaryButtonSheet();
const QString pushbutton_confirm_sty = primaryButtonSheet();
const QString complete_pushbutton_Confirm_sty = primaryButtonSheet();
const QString comchild_pushbotton_sty = primaryButtonSheet();

static QString secondaryButtonSheet()
{
    return "QPushButton{border-radius: 40px;border-style:outset;color:black;" + font_M + "background-color:" + Gradient_G5
        + "}QPushButton:pressed{border-radius:40px;border-style:outset;" + font_color_basic + font_M + "background-color:"
        + Gradient_G6 + "}";
}
const QString keyboar_cancel_sty = secondaryButtonSheet();
const QString pushbutton_cancel_sty = secondaryButtonSheet();

const QString chargeconnect_pushbutton_sty = "QPushButton{border-radius: 40px;border-style:outset;" + font_color_basic + font_M
    + "background-color:" + Gradient_G3 + "}QPushButton:pressed{border-radius:40px;border-style:outset;" + font_color_basic
    + font_M + "background-color:" + Gradient_G6 + "}";

const QString child_window_sty = "background:white;border-radius:14px;";
const QString keyboard_window_sty = "background:white;border-radius:14px;";
const QString chargeconnect_window_sty = "background:white;border-radius:14px;";

const QString standby_pregrassbar_style =
    "QProgressBar{border-top-left-radius: 40px;border-top-right-radius:0px;border-bottom-left-radius:40px;"
    "border-bottom-right-radius:0px;border-style:outset;background-color:"
    + Natural_Darker
    + "}QProgressBar::chunk{border-top-left-radius: 40px;border-top-right-radius:0px;border-bottom-left-radius:40px;"
      "border-bottom-right-radius:0px;border-style:outset;background-color:"
    + Gradient_G7 + "}";
const QString standby_label_soc_style = "font-size:90px;font:BoldCondensed;" + alignment_C + "color:white;";
const QString standby_label_percent_style =
    "<p style='font-size:60px;" + font_color_basic + "text-align:center;" + "'>" + "%" + "</p>";
const QString image_standby_bat = ":/images/gr_battery.png";
const QString image_standby_bat2 = ":/images/gr_battery3.png";

const QString charging_togo_str1 = "togo";
const QString charging_togo_str2 = "remain";
const QString charging_charged_str1 = "charged";
const QString charging_charged_str2 = "spent";
const QString charging_charged_str5 = "cost";
const QString charging_charged_str3 = "voltage";
const QString charging_charged_str4 = "current";
const QString charging_togo_sty = "font-size:24px;font:Light;" + alignment_C + "color:" + Natural_Gray;
const QString charging_charged_sty = "font-size:24px;font:Light;" + alignment_C + "color:" + Natural_Gray;
const QString charging_chargedinfo_sty = "font-size:24px;font:Light;" + alignment_C + "color:white";
const QString charging_togoinfo_str1 = QString("<p style='text-align:Center;color:white;'><span style='font-size:60px;'>")
    + "</span>" + "<span style='font-size:36px;'>" + " kWh " + "</span>";
const QString charging_togoinfo_str2 = QString("<p style='text-align:Center;color:white;'><span style='font-size:60px;'>")
    + "</span>" + "<span style='font-size:36px;'>" + "  min" + "</span>";

const QString image_smartcharge = ":/images/Ico_Smart_Charge.png";
const QString image_pay_instruction = ":/images/gr_pay_instruction.png";
const QString image_charger_discon_red = ":/images/ico_disconnect_red.png";

// Screen tokens: composed from the ones above, so they follow them here.
#include "tokens_screens_a.inc"
#include "tokens_screens_b.inc"
#include "tokens_service.inc"
