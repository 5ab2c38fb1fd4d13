#include "home.h"
#include "ui_home.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

#include <QLabel>
#include <QPixmap>

home::home(QWidget *parent) : QWidget(parent), ui(new Ui::home)
{
    ui->setupUi(this);
    setupScreenPage(this);

    ui->pushButton_fastcharging_2->setGeometry(unitRect(4, 5, 26, 15));
    ui->pushButton_fastcharging_2->setStyleSheet(home_btn1_style);
    ui->pushButton_fastcharging->setGeometry(unitRect(4, 5, 26, 15));
    ui->pushButton_fastcharging->setStyleSheet("QPushButton{" + home_btn1_radius + "background-color:transparent;}"
                                               + pressed_veil);
    ui->label_fastcharge->setGeometry(unitRect(4, 5, 26, 10));
    ui->label_fastcharge->setText(home_btn1_str);
    ui->label_des1->setGeometry(unitRect(4, 15.5, 26, 2));
    ui->label_des1->setText(home_des1_str);

    ui->pushButton_fixamount_2->setGeometry(unitRect(34, 5, 26, 15));
    ui->pushButton_fixamount_2->setStyleSheet(home_btn2_style);
    ui->pushButton_fixamount->setGeometry(unitRect(34, 5, 26, 15));
    ui->pushButton_fixamount->setStyleSheet("QPushButton{" + home_btn2_radius + "background-color:transparent;}"
                                            + pressed_veil);
    ui->label_fixedcharge->setGeometry(unitRect(34, 5, 26, 10));
    ui->label_fixedcharge->setText(home_btn2_str);
    ui->label_des2->setGeometry(unitRect(34, 15.5, 26, 2));
    ui->label_des2->setText(home_des2_str);

    // The price is read once: the tariff is fixed for the life of the process.
    const QString price = "<p style='" + font_Body + font_color_basic + "text-align:Center;" + "'>" + "€"
        + QString::number(double(f_price), 'f', 2) + "/kWh" + "</p>";
    ui->label_price1->setGeometry(unitRect(4, 17, 26, 2));
    ui->label_price1->setText(price);
    ui->label_price2->setGeometry(unitRect(34, 17, 26, 2));
    ui->label_price2->setText(price);

    ui->pushButton_bottom->setGeometry(unitRect(19, 25, 26, 6));
    ui->pushButton_bottom->setStyleSheet(home_bottombtn_style);
    ui->label_smartcharge->setGeometry(unitRect(21, 26, 9, 4));
    ui->label_smartcharge->setPixmap(QPixmap(image_smartcharge));
    ui->label_smartcharge->setScaledContents(true);
    ui->label_smartchargedes->setGeometry(unitRect(31, 26, 12, 4));
    ui->label_smartchargedes->setWordWrap(true);
    ui->label_smartchargedes->setText(home_btn3_str);

    ui->pushButton_exit->setGeometry(unitRect(0, 29, 4, 4));
    ui->pushButton_exit->setStyleSheet(home_exit_style);
    // Ending the program from the screen is for the workstation: a charger
    // in a car park would go dark for the next driver.
    ui->pushButton_exit->setVisible(DebugMode);

    // Only the transparent targets take touches; they lie above the tiles.
    ui->pushButton_fastcharging->raise();
    ui->pushButton_fixamount->raise();
    ui->pushButton_exit->raise();

    const QRect tiles[2] = {unitRect(4, 5, 26, 15), unitRect(34, 5, 26, 15)};
    for (int i = 0; i < 2; ++i) {
        m_tileMask[i] = new QLabel(this);
        m_tileMask[i]->setGeometry(tiles[i]);
        m_tileMask[i]->setStyleSheet(outoforder_tile_mask);
        m_tileMask[i]->hide();
    }
    m_band = new QLabel(this);
    m_band->setObjectName("label_outoforder");
    m_band->setGeometry(unitRect(4, 20.5, 56, 4));
    m_band->setStyleSheet(outoforder_band_style);
    m_band->setAlignment(Qt::AlignCenter);
    m_band->setWordWrap(true);
    m_band->hide();
}

void home::setOutOfOrder(bool out, const QString &detail)
{
    ui->pushButton_fastcharging->setEnabled(!out);
    ui->pushButton_fixamount->setEnabled(!out);
    for (QLabel *mask : m_tileMask) {
        mask->setVisible(out);
        mask->raise();
    }
    if (out) {
        m_band->setText("<p style='" + font_H3 + font_color_basic + "text-align:center;'>"
                        + tr("Temporarily out of order") + "</p><p style='" + font_Caption + font_color_basic
                        + "text-align:center;'>" + detail.toHtmlEscaped() + "</p>");
        m_band->raise();
    }
    m_band->setVisible(out);
}

bool home::isOutOfOrder() const
{
    return m_band->isVisible();
}

home::~home()
{
    delete ui;
}

void home::page_show()
{
    show();
}

void home::page_hide()
{
    hide();
}

void home::on_pushButton_fastcharging_clicked()
{
    emit jump_authorize();
    gun_status[1].charge_style = 1;
}

void home::on_pushButton_fixamount_clicked()
{
    gun_status[1].charge_style = 2;
    emit jump_fixedcharge();
}

void home::on_pushButton_exit_clicked()
{
    if (DebugMode)
        emit UI_exit();
}
