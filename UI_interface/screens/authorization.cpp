#include "authorization.h"
#include "ui_authorization.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

#include <QLabel>
#include <QPixmap>

Authorization::Authorization(QWidget *parent) : QWidget(parent), ui(new Ui::Authorization)
{
    ui->setupUi(this);
    setupScreenPage(this);

    ui->label_1->setGeometry(unitRect(0, 1, 64, 3));
    ui->label_1->setText(authorize_label1_str);
    ui->label_3->setGeometry(unitRect(17, 5, 30, 21));
    ui->label_3->setPixmap(QPixmap(image_pay_instruction));
    ui->label_3->setScaledContents(true);
    ui->label_2->setGeometry(unitRect(0, 27, 64, 6));
    ui->label_2->setText(authorize_label2_str);

    // Over the foot of the terminal picture, where the driver looks.
    m_notice = new QLabel(this);
    m_notice->setObjectName("label_notice");
    m_notice->setGeometry(unitRect(12, 22, 40, 4));
    m_notice->setStyleSheet(notice_label_style);
    m_notice->setAlignment(Qt::AlignCenter);
    m_notice->hide();
}

void Authorization::showCardRefused()
{
    m_notice->setText("<p style='" + font_S + font_color_basic + "text-align:center;'>"
                      + tr("Card not accepted. Please try another card.") + "</p>");
    m_notice->show();
    m_notice->raise();
}

void Authorization::clearNotice()
{
    m_notice->hide();
}

bool Authorization::noticeShown() const
{
    return m_notice->isVisible();
}

Authorization::~Authorization()
{
    delete ui;
}
