#ifndef TOKENS_SCREENS_A_H
#define TOKENS_SCREENS_A_H

// Style tokens and label texts of the home, fixed-amount, keypad,
// authorization, plug-in and standby screens; values in tokens_screens_a.inc.

#include <QString>

// home
extern const QString home_btn1_style;
extern const QString home_btn1_radius;
extern const QString home_btn1_str;
extern const QString home_des1_str;
extern const QString home_btn2_style;
extern const QString home_btn2_radius;
extern const QString home_btn2_str;
extern const QString home_des2_str;
extern const QString home_bottombtn_style;
extern const QString home_btn3_str;
extern const QString home_exit_style;

// fixed amount
extern const QString fixedcharge_label_head_str;
extern const QString fixedcharge_label_chooseamount_pad_sty;
extern const QString fixedcharge_label_chooseamount_str;
extern const QString fixedcharge_label_choosequantity_pad_sty;
extern const QString fixedcharge_label_choosequantity_str;
extern const QString fixedcharge_label_caption_sty;
extern const QString fixedcharge_label_or_str;
extern const QString fixedcharge_pushbutton_sty;
extern const QString setdisplay_str1;
extern const QString setdisplay_str2;

// keypad
extern const QString keyboard_head_str1;
extern const QString keyboard_head_str2;
extern const QString keyboard_lineEdit_sty;
extern const QString keyboard_pushbutton_sty;
extern const QString keyboard_backspace_sty;

// authorization and plug-in prompt
extern const QString authorize_label1_str;
extern const QString authorize_label2_str;
extern const QString chargeconnect_label_str;

// standby
extern const QString standby_head_str;
extern const QString standby_head_style;
extern const QString standby_label_str;
extern const QString standby_label_style;
extern const QString standby_label_setinfo_style;
extern const QString standby_pushbutton_abort_style;
extern const QString soc_clear_of_percent;
extern const QString pressed_veil;
extern const QString navigation_pressed;
extern const QString fixedcharge_preset_selected_sty;
extern const QString confirm_disabled_sty;
extern const QString outoforder_band_style;
extern const QString outoforder_tile_mask;
extern const QString notice_label_style;

#endif
