#include "complete.h"
#include "ui_complete.h"

#include "chargefigures.h"
#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

Complete::Complete(QWidget *parent) : QWidget(parent), ui(new Ui::Complete)
{
    ui->setupUi(this);
    setupScreenPage(this);

    ui->label_head->setGeometry(unitRect(0, 0, 64, 4));
    ui->label_head->setStyleSheet(complete_head_style);
    ui->label_head->setText(complete_head_str);

    layoutChargeFigures(ui);

    ui->pushButton_confirm->setGeometry(unitRect(24, 27, 16, 4));
    ui->pushButton_confirm->setStyleSheet(complete_pushbutton_Confirm_sty);
    ui->pushButton_confirm->setText(complete_pushbutton_Confirm_str);
}

Complete::~Complete() { delete ui; }

void Complete::InfoUpdate()
{
    showChargeFigures(ui);
    ui->progressBar->setValue(qBound(0, int(int_soc), 100));
}

void Complete::on_pushButton_confirm_clicked() { emit show_complete_child(); }
