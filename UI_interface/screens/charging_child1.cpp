#include "charging_child1.h"
#include "ui_charging_child1.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"

Charging_child1::Charging_child1(QWidget *parent) : PopupDialog(parent), ui(new Ui::Charging_child1)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, child_window_sty, 12, 10, 40, 20);
    ui->label->setGeometry(unitRect(0, 3, 40, 8));
    ui->pushButton->setGeometry(unitRect(14, 14, 12, 4));
    ui->pushButton->setStyleSheet(chargingchild_pushbotton_sty);
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
}

void Charging_child1::retranslate()
{
    ui->label->setText(screenText(chargingchild1_label_str));
    ui->pushButton->setText(screenText(QT_TRANSLATE_NOOP("screens", "Cancel")));
}

Charging_child1::~Charging_child1() { delete ui; }

void Charging_child1::page_show() { show(); }
void Charging_child1::page_hide() { hide(); }
void Charging_child1::on_pushButton_clicked() { emit jump_charging(); }

