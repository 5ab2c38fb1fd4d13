// The customer screens of the main window: each built on its first use and
// wired to the navigation then, in the stacking the window always had.
#include "mainwindow.h"
#include "authorization.h"
#include "chargerconnect.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "energydelivery.h"
#include "fixedcharge.h"
#include "home.h"
#include "keyboard.h"
#include "standby.h"

#include <QLabel>

QWidget *MainWindow::page(PageId id)
{
    if (QWidget *built = m_pages[id])
        return built;
    QWidget *screen = makePage(id);
    m_pages[id] = screen;
    if (id != HomePage)
        screen->hide();
    // The stacking the screens always had: under every screen after it in
    // PageId, under the popups' veil, the error popup, the health icon, the
    // debug panel and the service views, which all come later.
    QWidget *above = label_mask;
    for (int later = PageCount - 1; later > id; --later)
        if (m_pages[later])
            above = m_pages[later];
    if (above)
        screen->stackUnder(above);
    return screen;
}

QWidget *MainWindow::makePage(PageId id)
{
    switch (id) {
    case HomePage: {
        auto *screen = new home(this);
        connect(screen, &home::jump_authorize, this, &MainWindow::authorize_show);
        connect(screen, &home::jump_fixedcharge, this, &MainWindow::fixedcharge_show);
        connect(screen, &home::UI_exit, this, &MainWindow::UI_interface_exit);
        return screen;
    }
    case AuthorizationPage:
        return new Authorization(this);
    case FixedChargePage: {
        auto *screen = new FixedCharge(this);
        connect(screen, &FixedCharge::jump_authorize, this, &MainWindow::authorize_show);
        connect(screen, &FixedCharge::jump_keyboard, this, &MainWindow::fixedcharge_keyboard_show);
        return screen;
    }
    case KeyboardPage: {
        auto *screen = new Keyboard(this);
        connect(screen, &Keyboard::jump_fixedcharge, this, &MainWindow::fixedcharge_show);
        connect(screen, &Keyboard::signal_cusconfirm, fixedcharge(), &FixedCharge::set_display);
        return screen;
    }
    case PlugInPrompt: {
        auto *screen = new Chargerconnect(this);
        connect(screen, &Chargerconnect::jump_home, this, &MainWindow::Homepage_show);
        return screen;
    }
    case StandbyPage: {
        auto *screen = new Standby(this);
        connect(screen, &Standby::signal_req_start, this, &MainWindow::Gun_startcharging);
        connect(screen, &Standby::show_charing_child2, this, &MainWindow::charging_child2_show);
        return screen;
    }
    case ChargingPage: {
        auto *screen = new EnergyDelivery(this);
        connect(screen, &EnergyDelivery::show_charging_child1, this, &MainWindow::charging_child1_show);
        connect(screen, &EnergyDelivery::signal_gun_stop, this, &MainWindow::Gun_stopcharging);
        connect(screen, &EnergyDelivery::jump_complete, this, &MainWindow::complete_show);
        return screen;
    }
    case ChargingDetails: {
        auto *screen = new Charging_child1(this);
        connect(screen, &Charging_child1::jump_charging, this, &MainWindow::charging_child1_jumpback);
        return screen;
    }
    case StopConfirmation: {
        auto *screen = new Charging_child2(this);
        connect(screen, &Charging_child2::jump_back, this, &MainWindow::charging_child2_jumpback);
        connect(screen, &Charging_child2::jump_complete, this, &MainWindow::complete_show);
        connect(screen, &Charging_child2::signal_gun_stop, this, &MainWindow::Gun_stopcharging);
        return screen;
    }
    case CompletionPage: {
        auto *screen = new Complete(this);
        connect(screen, &Complete::show_complete_child, this, &MainWindow::complete_child_show);
        return screen;
    }
    case CompletionDetails: {
        auto *screen = new Complete_child(this);
        connect(screen, &Complete_child::jump_home, this, &MainWindow::Homepage_show);
        return screen;
    }
    case PageCount:
        break;
    }
    Q_UNREACHABLE();
    return nullptr;
}

bool MainWindow::shown(PageId id) const
{
    return m_pages[id] && m_pages[id]->isVisible();
}

void MainWindow::hidePage(PageId id)
{
    if (m_pages[id] && !m_pages[id]->isHidden())
        m_pages[id]->hide();
}

home *MainWindow::homepage() { return static_cast<home *>(page(HomePage)); }
Authorization *MainWindow::authorization() { return static_cast<Authorization *>(page(AuthorizationPage)); }
FixedCharge *MainWindow::fixedcharge() { return static_cast<FixedCharge *>(page(FixedChargePage)); }
Keyboard *MainWindow::keyboard() { return static_cast<Keyboard *>(page(KeyboardPage)); }
Chargerconnect *MainWindow::gun_connect() { return static_cast<Chargerconnect *>(page(PlugInPrompt)); }
Standby *MainWindow::standby() { return static_cast<Standby *>(page(StandbyPage)); }
EnergyDelivery *MainWindow::charging() { return static_cast<EnergyDelivery *>(page(ChargingPage)); }
Charging_child1 *MainWindow::charging_child1() { return static_cast<Charging_child1 *>(page(ChargingDetails)); }
Charging_child2 *MainWindow::charging_child2() { return static_cast<Charging_child2 *>(page(StopConfirmation)); }
Complete *MainWindow::complete() { return static_cast<Complete *>(page(CompletionPage)); }
Complete_child *MainWindow::complete_child() { return static_cast<Complete_child *>(page(CompletionDetails)); }
