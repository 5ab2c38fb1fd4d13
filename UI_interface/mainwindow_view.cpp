#include "mainwindow.h"
#include "logcategories.h"
#include "ui_mainwindow.h"

#include "authorization.h"
#include "chargerconnect.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "configuration.h"
#include "datafiles.h"
#include "debugfun.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "factorymode.h"
#include "fonts.h"
#include "fixedcharge.h"
#include "globalvariable.h"
#include "help.h"
#include "home.h"
#include "keyboard.h"
#include "led.h"
#include "screensetup.h"
#include "screentext.h"
#include "servicepinpad.h"
#include "sessionsupervisor.h"
#include "standby.h"
#include "styletokens.h"

#include "ccu_records.h"
#include "dc_meter_data.h"

#include <QApplication>
#include <QDebug>
#include <QEvent>

// The main window as the session supervisor's view: what the rules ask the
// screens to show.

namespace {
void showIcon(QLabel *label, const QString &path)
{
    if (label->property("iconPath").toString() == path)
        return;
    label->setProperty("iconPath", path);
    label->setPixmap(QPixmap(path).scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}
} // namespace

// ---------------------------------------------------------------- what the supervisor shows

void MainWindow::showClock(const QString &text)
{
    ui->label_time->setText(text);
}

void MainWindow::showPlugIcon(bool plugged)
{
    showIcon(ui->label_charger, plugged ? charger_con : charger_discon);
}

void MainWindow::showNetworkIcon(quint16 state)
{
    switch (state) {
    case 0:
        showIcon(ui->label_wifi, charger_signal_error);
        break;
    case 1:
        showIcon(ui->label_wifi, charger_signal_lost);
        break;
    case 2:
        showIcon(ui->label_wifi, charger_signal_good);
        break;
    default:
        break;
    }
}

void MainWindow::setPluginPrompt(bool shown)
{
    if (shown) {
        setShadow();
        gun_connect()->show();
    } else {
        clearShadow();
        hidePage(PlugInPrompt);
    }
}

void MainWindow::openStandbyPage()
{
    hidePage(AuthorizationPage);
    gun_status[1].page = page_standby;
    standby()->page_show();
    lock(ui->pushButton_home, ui->label_mask_home);
}

void MainWindow::openStopConfirmation()
{
    charging_child2_show(page_charging);
    hidePage(ChargingDetails);
}

void MainWindow::closeStopConfirmation()
{
    hidePage(StopConfirmation);
    clearShadow();
}

void MainWindow::refreshChargingFigures()
{
    charging()->InfoUpdate();
}

void MainWindow::refreshCompletionFigures()
{
    complete()->InfoUpdate();
}

void MainWindow::showErrorPopup(const QString &text)
{
    errormessage->page_show(text);
}

// The next driver is greeted in English.
void MainWindow::sessionOver()
{
    Language::select(0);
}

void MainWindow::authorizationRefused()
{
    authorization()->showCardRefused();
}

void MainWindow::authorizationExpired()
{
    const QString page = gun_status[1].page;
    if (page != page_authorize && page != page_authorize_plugin)
        return;
    // In this driver's language, fixed now: the return home below brings
    // English back for the next driver while the message is still up.
    errormessage->page_show(screenText(QT_TRANSLATE_NOOP(
        "screens", "The authorization has expired: the cable was not plugged in in time. Please start again.")));
    Homepage_show();
}
