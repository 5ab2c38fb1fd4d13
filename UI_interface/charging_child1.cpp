#include "charging_child1.h"
#include "ui_charging_child1.h"

#include "globalvariable.h"

Charging_child1::Charging_child1(QWidget *parent) : QDialog(parent), ui(new Ui::Charging_child1)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // Only the white card is drawn; the veil shows around its rounded corners.
    setAttribute(Qt::WA_TranslucentBackground);
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QColor(0, 0, 0, 0));
    setPalette(pal);
    QFont f = font();
    f.setFamily("Roboto");
    setFont(f);
    setGeometry(unitRect(12, 10, 40, 20));

    ui->frame->setGeometry(unitRect(0, 0, 40, 20));
    ui->frame->setStyleSheet(child_window_sty);
    ui->label->setGeometry(unitRect(0, 3, 40, 8));
    ui->label->setText(chargingchild1_label_str);
    ui->pushButton->setGeometry(unitRect(15, 14, 12, 4));
    ui->pushButton->setStyleSheet(chargingchild_pushbotton_sty);
}

Charging_child1::~Charging_child1() { delete ui; }

void Charging_child1::page_show() { show(); }
void Charging_child1::page_hide() { hide(); }
void Charging_child1::on_pushButton_clicked() { emit jump_charging(); }
