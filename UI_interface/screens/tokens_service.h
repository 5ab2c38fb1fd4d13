#ifndef TOKENS_SERVICE_H
#define TOKENS_SERVICE_H

// Style tokens of these screens; values in tokens_service.inc.

// Factory screen
extern const QString factorymode_window_sty;   // alarm check boxes: raised red, clear grey
extern const QString factorymode_panel_sty;    // dark panel, groups, captions, values, lists
extern const QString factorymode_list_sty;     // the open list of a setting
extern const QString factorymode_close_sty;    // the close button of the header

// Service PIN pad: the keypad's sheets, with a look for keys that a lock-out disables
extern const QString servicepin_entry_sty;     // the keypad's entry field; digits drawn as dots
extern const QString servicepin_key_sty;
extern const QString servicepin_backspace_sty;
extern const QString servicepin_confirm_sty;

#endif
