#include "styletokens.h"

// Everything here is built during static initialisation, top to bottom,
// each composed token after the tokens it is made of; nothing outside this
// file composes a token at static initialisation.

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

const QString charging_togo_str1 = QT_TRANSLATE_NOOP("screens", "togo");
const QString charging_togo_str2 = QT_TRANSLATE_NOOP("screens", "remain");
const QString charging_charged_str1 = QT_TRANSLATE_NOOP("screens", "charged");
const QString charging_charged_str2 = QT_TRANSLATE_NOOP("screens", "spent");
const QString charging_charged_str5 = QT_TRANSLATE_NOOP("screens", "cost");
const QString charging_charged_str3 = QT_TRANSLATE_NOOP("screens", "voltage");
const QString charging_charged_str4 = QT_TRANSLATE_NOOP("screens", "current");
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
