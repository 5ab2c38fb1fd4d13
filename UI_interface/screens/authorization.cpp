#include "authorization.h"
#include "ui_authorization.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"


#include <QPixmap>

Authorization::Authorization(QWidget *parent) : QWidget(parent), ui(new Ui::Authorization)
{
    ui->setupUi(this);
    setupScreenPage(this);

    ui->label_1->setGeometry(unitRect(0, 1, 64, 3));
    ui->label_3->setGeometry(unitRect(17, 5, 30, 21));
    ui->label_3->setPixmap(QPixmap(image_pay_instruction));
    ui->label_3->setScaledContents(true);
    ui->label_2->setGeometry(unitRect(0, 27, 64, 6));
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
}

void Authorization::retranslate()
{
    ui->label_1->setText(screenText(authorize_label1_str));
    ui->label_2->setText(screenText(authorize_label2_str));
}

Authorization::~Authorization()
{
    delete ui;
}

