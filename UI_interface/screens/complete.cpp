#include "complete.h"
#include "ui_complete.h"

#include "chargefigures.h"
#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"


Complete::Complete(QWidget *parent) : QWidget(parent), ui(new Ui::Complete)
{
    ui->setupUi(this);
    setupScreenPage(this);

    ui->label_head->setGeometry(unitRect(0, 0, 64, 4));
    ui->label_head->setStyleSheet(complete_head_style);

    layoutChargeFigures(ui);

    ui->pushButton_confirm->setGeometry(unitRect(24, 27, 16, 4));
    ui->pushButton_confirm->setStyleSheet(complete_pushbutton_Confirm_sty);
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
}

void Complete::retranslate()
{
    ui->label_head->setText(screenText(complete_head_str));
    ui->pushButton_confirm->setText(screenText(complete_pushbutton_Confirm_str));
    captionChargeFigures(ui);
}

Complete::~Complete() { delete ui; }

void Complete::InfoUpdate()
{
    showChargeFigures(ui);
    ui->progressBar->setValue(qBound(0, int(int_soc), 100));
}

void Complete::on_pushButton_confirm_clicked() { emit show_complete_child(); }

