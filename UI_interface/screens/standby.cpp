#include "standby.h"
#include "ui_standby.h"

#include "ccu_records.h"
#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

#include <QPixmap>
#include <QRegion>

// A short fill cannot carry the bar's 40 px left corners and is drawn square;
// clipping the bar to its own outline keeps such a fill inside the battery.
static QRegion roundedLeftRegion(const QSize &size, int radius)
{
    const int w = size.width(), h = size.height(), d = 2 * radius;
    QRegion r(radius, 0, w - radius, h);
    r += QRegion(0, radius, radius, h - d);
    r += QRegion(0, 0, d, d, QRegion::Ellipse);
    r += QRegion(0, h - d, d, d, QRegion::Ellipse);
    return r;
}

Standby::Standby(QWidget *parent) : QWidget(parent), ui(new Ui::Standby)
{
    ui->setupUi(this);
    setupScreenPage(this);

    ui->label_head->setGeometry(unitRect(0, 0, 64, 4));
    ui->label_head->setText(standby_head_str);
    ui->label_head->setStyleSheet(standby_head_style);
    ui->label->setGeometry(unitRect(18, 5, 10, 4));
    ui->label->setText(standby_label_str);
    ui->label->setStyleSheet(standby_label_style);
    ui->label_setinfo->setGeometry(unitRect(28, 6, 20, 4));
    ui->label_setinfo->setStyleSheet(standby_label_setinfo_style);
    ui->label_setinfo->setTextFormat(Qt::PlainText);

    ui->label_icon->setGeometry(unitRect(18, 10, 28, 10));
    ui->label_icon->setPixmap(QPixmap(image_standby_bat));
    ui->label_icon->setScaledContents(true);
    ui->label_icon2->setGeometry(unitRect(18, 10, 28, 10));
    ui->label_icon2->setPixmap(QPixmap(image_standby_bat2));
    ui->label_icon2->setScaledContents(true);

    ui->progressBar->setGeometry(unitRect(18.5, 10.5, 26, 9));
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setTextVisible(false); // the number is label_soc's
    ui->progressBar->setStyleSheet(standby_pregrassbar_style);
    ui->progressBar->setMask(roundedLeftRegion(ui->progressBar->size(), 40));
    ui->label_soc->setGeometry(unitRect(18.5, 10.5, 25, 9));
    ui->label_soc->setStyleSheet(standby_label_soc_style + soc_clear_of_percent);
    ui->label_percent->setGeometry(unitRect(34, 13.5, 4, 4));
    ui->label_percent->setText(standby_label_percent_style);

    ui->pushButton_start->setGeometry(unitRect(24, 27, 16, 4));
    ui->pushButton_start->setStyleSheet(standby_pushbutton_confirm_style);
    ui->pushButton_start->setFocusPolicy(Qt::NoFocus);
    ui->pushButton_abort->setGeometry(unitRect(28, 23, 8, 3));
    ui->pushButton_abort->setStyleSheet(standby_pushbutton_abort_style);
    ui->pushButton_abort->setFocusPolicy(Qt::NoFocus);

    ui->progressBar->setValue(int_soc_start);
    ui->label_soc->setText(QString::number(int_soc_start));
}

Standby::~Standby()
{
    delete ui;
}

void Standby::page_show()
{
    show();

    QString setting;
    switch (gun_status[1].charge_style) {
    case 1:
        setting = "charge your battery full";
        break;
    case 2:
        setting = str_quantity + "  kWh  |  €  " + str_amount;
        gun_status[1].f_togokWh = f_CusSetkWh;
        break;
    default:
        break;
    }
    ui->label_setinfo->setText(setting);

    int_soc_start = charginfo.SOC_Current;
    if (DebugMode)
        systemstatus.Gun1_available_sta = 0;

    // The CCU reports percent; anything above 100 is shown as a full bar.
    ui->progressBar->setValue(qMin<int>(int_soc_start, 100));
    ui->label_soc->setText(QString::number(int_soc_start));
}

void Standby::on_pushButton_start_clicked()
{
    emit signal_req_start(1);
}

void Standby::on_pushButton_abort_clicked()
{
    emit show_charing_child2(page_standby);
}
