#include "debugfun.h"
#include "ui_debugfun.h"

#include "datafiles.h"
#include "globalvariable.h"
#include "styletokens.h"

#include <QFileInfo>

QString simulatedIdTag()
{
    const QString path = dataFile("IDtag.json");
    // Only a regular file: opening a FIFO or device placed there would block
    // the GUI thread.
    if (!QFileInfo(path).isFile())
        return QString();
    return readJsonFile(path).value("IDtag").toString();
}

DebugFun::DebugFun(QWidget *parent) : QWidget(parent), ui(new Ui::DebugFun)
{
    ui->setupUi(this);
    setWindowTitle("Form");
    QFont f = font();
    f.setFamily("Roboto");
    setFont(f);
    setGeometry(unitRect(54, 30, 10, 10));
    setStyleSheet(debug_panel_style);

    ui->groupBox_debug->setGeometry(unitRect(2, 2, 6, 6));
    ui->groupBox_debug->setStyleSheet(debug_groupbox_style);
    ui->checkBox_charger->setGeometry(unitRect(0.5, 1.5, 5, 2));
    ui->checkBox_RFID->setGeometry(unitRect(0.5, 3.5, 5, 2));
    ui->checkBox_charger->setVisible(DebugMode_ChargerGun);
    ui->checkBox_RFID->setVisible(DebugMode_Paypad);
    ui->pushButton_debug->setGeometry(unitRect(8, 8, 2, 2));
    ui->pushButton_debug->setStyleSheet(debug_pushbutton_style);
    // The corner button starts in the state of the controls it toggles
    // (shown), so the first touch hides them.
    ui->pushButton_debug->setChecked(true);
}

DebugFun::~DebugFun() { delete ui; }

void DebugFun::set_checkBox_RFID_state(int state)
{
    if (state == 0)
        ui->checkBox_RFID->setCheckState(Qt::Unchecked);
    else if (state == 1 || state == 2)
        ui->checkBox_RFID->setCheckState(Qt::PartiallyChecked);
}

void DebugFun::on_checkBox_charger_stateChanged(int state) { debug.gun1_plugin = (state == Qt::Checked); }

void DebugFun::on_checkBox_RFID_stateChanged(int state)
{
    // Read on every change, so an edited file gives the next card.
    const QString idTag = simulatedIdTag();
    Status &gun = gun_status[1];
    if (state == Qt::PartiallyChecked) {
        gun.IDtag = idTag;
        gun.CardRead = 1;
        emit signal_authorize_req(1);
    } else if (state == Qt::Checked) {
        gun.IDtag_stop = idTag;
        gun.CardRead = 4;
    } else if (state == Qt::Unchecked) {
        gun.IDtag.clear();
        gun.IDtag_stop.clear();
        gun.CardRead = 0;
    }
}

void DebugFun::on_pushButton_debug_toggled(bool checked)
{
    if (!DebugMode)
        return;
    ui->groupBox_debug->setVisible(checked);
}
