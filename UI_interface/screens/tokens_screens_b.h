#ifndef TOKENS_SCREENS_B_H
#define TOKENS_SCREENS_B_H

// Style tokens of these screens; values in tokens_screens_b.inc.

// Energy delivery screen
extern const QString charging_head_style;
extern const QString charging_prepare_style;
extern const QString charging_head_str;  // "charging"
extern const QString charging_head_str1; // "preparing"
extern const QString charging_head_str2; // "stopping"
extern const QString charging_head_str3; // "suspended"
extern const QString charging_pushbutton_stop_str;

// Stop dialogs
extern const QString chargingchild1_label_str;
extern const QString chargingchild2_label_str;

// Completion screen and its popup
extern const QString complete_head_str;
extern const QString complete_head_style;
extern const QString complete_pushbutton_Confirm_str;
extern const QString comchild_label_str;

// Error popup
extern const QString errorpage_label_style;

// Debug panel
extern const QString debug_groupbox_style;
extern const QString debug_pushbutton_style;
extern const QString debug_panel_style; // indicators that read on the dark panel

// Help screen
extern const QString help_title_str;
extern const QString help_topics_style;
extern const QString help_card_style;
extern const QString help_topic1_str; // menu entries
extern const QString help_topic2_str;
extern const QString help_topic3_str;
extern const QString help_topic4_str;
extern const QString help_topic5_str;

#endif
