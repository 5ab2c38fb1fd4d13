#include "errormsg.h"
#include "ui_errormsg.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

QTimer timer_page_errpage;

ErrorMsg::ErrorMsg(QWidget *parent) : QWidget(parent), ui(new Ui::ErrorMsg)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, child_window_sty, 12, 10, 40, 20,
                     Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle("Error Msg");
    ui->label->setGeometry(unitRect(5, 3, 30, 8));
    ui->label->setStyleSheet(errorpage_label_style);
    ui->label->setTextFormat(Qt::PlainText);
    ui->label->setWordWrap(true);
    ui->label->setText("Stop Reason:");
    ui->pushButton->setGeometry(unitRect(14, 14, 12, 4));
    ui->pushButton->setStyleSheet(chargingchild_pushbotton_sty);

    connect(&timer_page_errpage, &QTimer::timeout, this, &ErrorMsg::on_pushButton_clicked);
}

ErrorMsg::~ErrorMsg()
{
    timer_page_errpage.stop();
    delete ui;
}

// A new message while the card is up replaces the text and gives it the full
// ten seconds again.
void ErrorMsg::page_show(QString msg)
{
    show();
    timer_page_errpage.start(10000);
    ui->label->setText(msg);
}

void ErrorMsg::page_hide()
{
    hide();
    timer_page_errpage.stop();
}

void ErrorMsg::on_pushButton_clicked()
{
    hide();
    timer_page_errpage.stop();
}
