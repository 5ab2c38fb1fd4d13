#include "charging_child2.h"
#include "ui_charging_child2.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"


Charging_child2::Charging_child2(QWidget *parent) : PopupDialog(parent), ui(new Ui::Charging_child2)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, child_window_sty, 12, 10, 40, 20);
    ui->label->setGeometry(unitRect(0, 3, 40, 8));
    ui->pushButton_cancel->setGeometry(unitRect(8, 14, 11, 4));
    ui->pushButton_cancel->setStyleSheet(pushbutton_cancel_sty);
    ui->pushButton_confirm->setGeometry(unitRect(21, 14, 11, 4));
    ui->pushButton_confirm->setStyleSheet(pushbutton_confirm_sty);
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
}

void Charging_child2::retranslate()
{
    ui->label->setText(screenText(chargingchild2_label_str));
    ui->pushButton_cancel->setText(screenText(QT_TRANSLATE_NOOP("screens", "Cancel")));
    ui->pushButton_confirm->setText(screenText(QT_TRANSLATE_NOOP("screens", "Confirm")));
}

Charging_child2::~Charging_child2() { delete ui; }

void Charging_child2::page_show() { show(); }
void Charging_child2::page_hide() { hide(); }

// The stop command goes out first; the supervisor then finds the local stop
// in the session record and ends the transaction with the reason "Local".
void Charging_child2::on_pushButton_confirm_clicked()
{
    emit signal_gun_stop(1);
    gun_status[1].startRequest = 5;
}

void Charging_child2::on_pushButton_cancel_clicked()
{
    hide();
    emit jump_back();
}

