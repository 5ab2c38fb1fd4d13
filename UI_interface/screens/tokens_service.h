#ifndef TOKENS_SERVICE_H
#define TOKENS_SERVICE_H

// Style tokens of these screens; values in tokens_service.inc.

// Factory screen
extern const QString factorymode_window_sty;   // alarm check boxes: raised red, clear grey
extern const QString factorymode_panel_sty;    // dark panel, groups, captions, values, lists
extern const QString factorymode_list_sty;     // the open list of a setting
extern const QString factorymode_close_sty;    // the close button of the header

#endif
