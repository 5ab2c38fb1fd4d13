#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "configuration.h"
#include "globalvariable.h"

#include <QDebug>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    QFont f = font();
    f.setFamily("Roboto");
    setFont(f);
    setGeometry(unitRect(0, 0, 64, 40));
    setFixedSize(ActScreenX, ActScreenY);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x0D, 0x12));
    setPalette(pal);
    setAutoFillBackground(true);

    ui->label_statusbar->setGeometry(unitRect(0, 0, 64, 2));
    ui->label_statusbar->setStyleSheet(statusbar_backgound + font_S + font_color_basic + alignment_C);
    ui->label_statusbar->setText(statusbar_str);
    ui->label_time->setGeometry(int(2 * dpX), 0, 200, int(2 * dpY));
    ui->label_time->setStyleSheet(font_color_basic + font_S);
    ui->label_time->setText(str_datetime);
    ui->pushButton_back->hide();
    ui->label_mask_language->hide();
    ui->label_mask_help->hide();

    Homepage_show();
    timerUpdate();
}

MainWindow::~MainWindow()
{
    qDebug() << "home page destroy";
    delete ui;
}

void MainWindow::timerUpdate() { ui->label_time->setText(str_datetime); }
void MainWindow::page_show() { show(); }
void MainWindow::page_hide()
{
    timer_home_hide.stop();
    hide();
}
void MainWindow::on_pushButton_help_clicked() { emit jump_help(); }
void MainWindow::on_pushButton_factorymode_clicked() {}
void MainWindow::UI_interface_exit() { emit UI_exit(); }
void MainWindow::on_pushButton_home_clicked() { Homepage_show(); }
void MainWindow::Homepage_show()
{
    gun_status[1].page = page_home;
    VariableInit();
}
void MainWindow::fixedcharge_show() {}
void MainWindow::fixedcharge_keyboard_show(int) {}
void MainWindow::authorize_show() {}
void MainWindow::charging_show() {}
void MainWindow::charging_child1_show() {}
void MainWindow::charging_child1_jumpback() {}
void MainWindow::charging_child2_show(QString) {}
void MainWindow::charging_child2_jumpback() {}
void MainWindow::complete_show() {}
void MainWindow::complete_child_show() {}
void MainWindow::Gun_startcharging(ushort) { emit signal_gun_Start_Command(); }
void MainWindow::Gun_stopcharging(ushort) { emit signal_gun_Stop_Command(); }
void MainWindow::AuthorizeRequest(ushort id) { emit Authorize_req(id); }
void MainWindow::StartTransactionRequest(ushort id) { emit StrartTransaction_req(id); }
void MainWindow::AuthorizeExpired() {}
void MainWindow::SendMeterValue_1() {}
void MainWindow::SoftwareReset() {}
void MainWindow::HardwareReset() {}
void MainWindow::on_pushButton_language_clicked() {}
void MainWindow::ReadConfigration() { ::ReadConfigration(); }
