#ifndef STYLETOKENS_H
#define STYLETOKENS_H

// The style tokens of every screen: colours, gradients, fonts, the main
// window frame and the shared sheets, then the tokens of the individual
// screens, which are composed from them.

#include <QString>

extern const QString Primary_Light;
extern const QString Primary_Blue;
extern const QString Primary_Dark;
extern const QString Primary_Darker;
extern const QString Natural_Light;
extern const QString Natural_Gray;
extern const QString Natural_Dark;
extern const QString Natural_Darker;
extern const QString Secondary_Light;
extern const QString Secondary_Orange;
extern const QString Secondary_Dark;
extern const QString Secondary_Darker;
extern const QString White;
extern const QString Black;

extern const QString Gradient_G1;
extern const QString Gradient_G2;
extern const QString Gradient_G3;
extern const QString Gradient_G4;
extern const QString Gradient_G5;
extern const QString Gradient_G6;
extern const QString Gradient_G7;

extern const QString font_color_basic;
extern const QString alignment_C;
extern const QString alignment_L;

extern const QString font_H1;
extern const QString font_H2;
extern const QString font_H3;
extern const QString font_L;
extern const QString font_M;
extern const QString font_S;
extern const QString font_Body;
extern const QString font_Body_Bold;
extern const QString font_Body_M;
extern const QString font_Body_L;
extern const QString font_Caption;
extern const QString font_Caption_Bold;

extern const QString mainwindow_background;
extern const QString statusbar_str;
extern const QString statusbar_backgound;
extern const QString navigationbar_style;
extern const QString image_back;
extern const QString image_home;
extern const QString image_language;
extern const QString image_help;
extern const QString image_setting;
extern const QString setting_style;
extern const QString disabled_mask;
extern const QString popup_shadow;
extern const QString charger_con;
extern const QString charger_discon;
extern const QString charger_signal_good;
extern const QString charger_signal_error;
extern const QString charger_signal_lost;

extern const QString fixedcharge_pushbutton_Confirm_sty;
extern const QString keyboar_confirm_sty;
extern const QString standby_pushbutton_confirm_style;
extern const QString charging_pushbutton_stop_sty;
extern const QString chargingchild_pushbotton_sty;
extern const QString pushbutton_confirm_sty;
extern const QString complete_pushbutton_Confirm_sty;
extern const QString comchild_pushbotton_sty;
extern const QString keyboar_cancel_sty;
extern const QString pushbutton_cancel_sty;
extern const QString chargeconnect_pushbutton_sty;
extern const QString child_window_sty;
extern const QString keyboard_window_sty;
extern const QString chargeconnect_window_sty;
extern const QString standby_pregrassbar_style;
extern const QString standby_label_soc_style;
extern const QString standby_label_percent_style;
extern const QString image_standby_bat;
extern const QString image_standby_bat2;
extern const QString charging_togo_str1;
extern const QString charging_togo_str2;
extern const QString charging_charged_str1;
extern const QString charging_charged_str2;
extern const QString charging_charged_str5;
extern const QString charging_charged_str3;
extern const QString charging_charged_str4;
extern const QString charging_togo_sty;
extern const QString charging_charged_sty;
extern const QString charging_chargedinfo_sty;
extern const QString charging_togoinfo_str1;
extern const QString charging_togoinfo_str2;
extern const QString image_smartcharge;
extern const QString image_pay_instruction;
extern const QString image_charger_discon_red;

// Tokens of the individual screens live beside them but are built in the
// same translation unit, after the shared ones they are composed from.
#include "tokens_screens_a.h"
#include "tokens_screens_b.h"
#include "tokens_service.h"

#endif // STYLETOKENS_H
