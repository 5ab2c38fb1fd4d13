#include "complete_child.h"
#include "ui_complete_child.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

Complete_child::Complete_child(QWidget *parent) : PopupDialog(parent), ui(new Ui::Complete_child)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, child_window_sty, 12, 10, 40, 20);
    ui->label->setGeometry(unitRect(0, 3, 40, 8));
    ui->label->setText(comchild_label_str);
    ui->pushButton->setGeometry(unitRect(15, 14, 10, 4));
    ui->pushButton->setStyleSheet(comchild_pushbotton_sty);
}

Complete_child::~Complete_child() { delete ui; }

void Complete_child::page_show() { show(); }
void Complete_child::page_hide() { hide(); }
void Complete_child::on_pushButton_clicked() { emit jump_home(); }
