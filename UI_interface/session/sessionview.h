#ifndef SESSIONVIEW_H
#define SESSIONVIEW_H

// What the session supervisor asks of the screens. The main window implements
// it; a test implements it with a stub. Every call is synchronous: a later
// rule of the same tick must already see the page an earlier rule opened.
// The calls that open a page also set gun_status[1].page, as the page
// navigation of the main window does.

#include <QString>
#include <QtGlobal>

class SessionView
{
public:
    virtual ~SessionView() = default;

    // Status bar: the clock text, the plug icon, the network icon
    // (Network_State: 0 offline, 1 lookup failed, 2 good).
    virtual void showClock(const QString &text) = 0;
    virtual void showPlugIcon(bool plugged) = 0;
    virtual void showNetworkIcon(quint16 state) = 0;

    // The plug-in prompt over the authorization page, with the shadow.
    virtual void setPluginPrompt(bool shown) = 0;

    // Page changes; each sets the page it opens.
    virtual void openStandbyPage() = 0;
    virtual void openChargingPage() = 0;
    // From standby's stop dialog, the charging page or either of its stop
    // dialogs to the completion page; from any other page nothing changes.
    virtual void openCompletionPage() = 0;
    // The stop confirmation over the charging page, in place of the details.
    virtual void openStopConfirmation() = 0;
    // The stop confirmation goes, the page stays.
    virtual void closeStopConfirmation() = 0;

    // The figures of the charging and completion screens, from the display
    // texts just published.
    virtual void refreshChargingFigures() = 0;
    virtual void refreshCompletionFigures() = 0;

    virtual void showErrorPopup(const QString &text) = 0;

    // The authorization page learns that the card was refused, and that an
    // authorization waiting for the cable ran out (the page then goes home).
    virtual void authorizationRefused() {}
    virtual void authorizationExpired() {}
};

#endif // SESSIONVIEW_H
