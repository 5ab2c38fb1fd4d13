#include "energydelivery.h"
#include "ui_energydelivery.h"

#include "globalvariable.h"

#include <QPixmap>
#include <QTextDocument>

qint32 soc_progressbar = 0;
quint16 prepare_count = 0;
quint16 stop_count = 0;
quint16 finish_count = 0;
quint16 propare_n = 0;
QTimer timer_SocRefresh;

QString chargingFigureText(const QString &value, const QString &unit, int valuePx)
{
    const int unitPx = valuePx * 36 / 60;
    return "<p style='text-align:Center;color:white;'><span style='font-size:" + QString::number(valuePx) + "px;'>"
        + value + "</span>" + "<span style='font-size:" + QString::number(unitPx) + "px;'>" + unit + "</span>";
}

// Width of the ink of a figure in the label's font; a trailing blank of the
// unit draws nothing and may run past the box.
static qreal figureWidth(const QLabel *label, const QString &value, const QString &unit, int valuePx)
{
    QTextDocument doc;
    doc.setDefaultFont(label->font());
    doc.setDocumentMargin(0);
    QString ink = unit;
    while (ink.endsWith(' '))
        ink.chop(1);
    doc.setHtml(chargingFigureText(value, ink, valuePx));
    return doc.idealWidth();
}

void setChargingFigure(QLabel *label, const QString &value, const QString &unit)
{
    int px = 60;
    while (px > 30 && figureWidth(label, value, unit, px) > label->width())
        px -= 6;
    label->setText(chargingFigureText(value, unit, px));
}

EnergyDelivery::EnergyDelivery(QWidget *parent) : QWidget(parent), ui(new Ui::EnergyDelivery)
{
    ui->setupUi(this);
    QFont f = font();
    f.setFamily("Roboto");
    setFont(f);
    setGeometry(unitRect(0, 7, 64, 33));

    ui->label_head->setGeometry(unitRect(0, 0, 64, 4));
    ui->label_head->setStyleSheet(charging_head_style);
    ui->label_head->setText(charging_head_str1 + "...");
    ui->label_prepare->setGeometry(unitRect(38, 0, 6, 4));
    ui->label_prepare->setStyleSheet(charging_prepare_style);
    ui->label_prepare->raise();

    // The two large figures, their captions under them. The figure box is
    // three units high: its 60 px run needs more than two.
    ui->label_togoinfo1->setGeometry(unitRect(22, 4, 10, 3));
    ui->label_togoinfo2->setGeometry(unitRect(32, 4, 10, 3));
    ui->label_togoinfo1->setText(charging_togoinfo_str1);
    ui->label_togoinfo2->setText(charging_togoinfo_str2);
    ui->label_togo1->setGeometry(unitRect(22, 6, 10, 3));
    ui->label_togo2->setGeometry(unitRect(32, 6, 10, 3));
    ui->label_togo1->setTextFormat(Qt::PlainText);
    ui->label_togo2->setTextFormat(Qt::PlainText);
    ui->label_togo1->setStyleSheet(charging_togo_sty);
    ui->label_togo2->setStyleSheet(charging_togo_sty);
    ui->label_togo1->setText(charging_togo_str1);
    ui->label_togo2->setText(charging_togo_str2);

    // Battery: outline under the bar, tip at its right end, number and "%" on top.
    ui->label_icon->setGeometry(unitRect(18, 10, 28, 10));
    ui->label_icon->setPixmap(QPixmap(image_standby_bat));
    ui->label_icon2->setGeometry(unitRect(18, 10, 28, 10));
    ui->label_icon2->setPixmap(QPixmap(image_standby_bat2));
    ui->progressBar->setGeometry(unitRect(18.5, 10.5, 26, 9));
    ui->progressBar->setStyleSheet(standby_pregrassbar_style);
    ui->label_icon->lower();
    ui->label_soc->setGeometry(unitRect(18.5, 10.5, 25, 9));
    ui->label_soc->setStyleSheet(standby_label_soc_style);
    ui->label_soc->setTextFormat(Qt::PlainText);
    ui->label_soc->raise();
    ui->label_percent->setGeometry(unitRect(34, 13.5, 4, 4));
    ui->label_percent->setText(standby_label_percent_style);
    ui->label_percent->raise();

    // Value row: charged, spent, cost, voltage, current.
    QLabel *const values[] = {ui->label_chargedinfo1, ui->label_chargedinfo2, ui->label_chargedinfo5,
                              ui->label_chargedinfo3, ui->label_chargedinfo4};
    QLabel *const captions[] = {ui->label_charged1, ui->label_charged2, ui->label_charged5, ui->label_charged3,
                                ui->label_charged4};
    const QString captionTexts[] = {charging_charged_str1, charging_charged_str2, charging_charged_str5,
                                    charging_charged_str3, charging_charged_str4};
    for (int i = 0; i < 5; ++i) {
        const double x = 14.5 + 7 * i;
        values[i]->setGeometry(unitRect(x, 21, 7, 3));
        values[i]->setStyleSheet(charging_chargedinfo_sty);
        values[i]->setTextFormat(Qt::PlainText);
        captions[i]->setGeometry(unitRect(x, 23, 7, 2));
        captions[i]->setStyleSheet(charging_charged_sty);
        captions[i]->setTextFormat(Qt::PlainText);
        captions[i]->setText(captionTexts[i]);
    }

    ui->pushButton_stop->setGeometry(unitRect(24, 27, 16, 4));
    ui->pushButton_stop->setStyleSheet(charging_pushbutton_stop_sty);
    ui->pushButton_stop->setText(charging_pushbutton_stop_str);

    connect(&timer_SocRefresh, &QTimer::timeout, this, &EnergyDelivery::Soc_Refresh);
}

EnergyDelivery::~EnergyDelivery()
{
    timer_SocRefresh.stop();
    delete ui;
}

void EnergyDelivery::page_show()
{
    show();
    Soc_Refresh();
    // The first refresh may already have left the screen (a finished phase
    // carried over); a hidden screen keeps no refresh running.
    if (!isHidden())
        timer_SocRefresh.start(200);
}

void EnergyDelivery::page_hide()
{
    hide();
    timer_SocRefresh.stop();
}

void EnergyDelivery::showBar(int value)
{
    ui->progressBar->setValue(qBound(0, value, 100));
}

void EnergyDelivery::dotStep()
{
    static const char *const dots[] = {" ", ".", "..", "..."};
    if (propare_n > 3)
        propare_n = 0;
    ui->label_prepare->setText(QString::fromLatin1(dots[propare_n]));
    propare_n = propare_n < 3 ? propare_n + 1 : 0;
}

void EnergyDelivery::Soc_Refresh()
{
    switch (Charging_phase) {
    case 1:
    case 2: // preparing
        ui->label_head->setText(charging_head_str1);
        if (ui->label_prepare->isHidden())
            ui->label_prepare->show();
        stop_count = 0;
        finish_count = 0;
        prepare_count += 1;
        if (prepare_count > 300) {
            emit signal_gun_stop(1);
            prepare_count = 0;
        }
        soc_progressbar = int_soc;
        showBar(soc_progressbar);
        dotStep();
        break;
    case 3: // charging: the bar sweeps
        ui->label_head->setText(charging_head_str);
        if (soc_progressbar > 99)
            soc_progressbar -= 100;
        soc_progressbar += 8;
        if (soc_progressbar > 99)
            soc_progressbar = 100;
        showBar(soc_progressbar);
        if (!ui->label_prepare->isHidden())
            ui->label_prepare->hide();
        prepare_count = 0;
        stop_count = 0;
        finish_count = 0;
        break;
    case 4: // stopping
        ui->label_head->setText(charging_head_str2);
        if (ui->label_prepare->isHidden())
            ui->label_prepare->show();
        finish_count = 0;
        prepare_count = 0;
        stop_count += 1;
        if (stop_count > 150) {
            emit jump_complete();
            stop_count = 0;
        }
        soc_progressbar = int_soc;
        showBar(soc_progressbar);
        dotStep();
        break;
    case 5: // suspended
        ui->label_head->setText(charging_head_str3);
        if (!ui->label_prepare->isHidden())
            ui->label_prepare->hide();
        soc_progressbar = int_soc;
        showBar(soc_progressbar);
        break;
    case 6: // finished
        finish_count += 1;
        prepare_count = 0;
        stop_count = 0;
        if (finish_count >= 16) {
            emit jump_complete();
            finish_count = 0;
        }
        break;
    default: // 0 and 7 and above are not phases of a session
        break;
    }
}

void EnergyDelivery::InfoUpdate()
{
    ui->label_chargedinfo1->setText(str_chargedkWh + "kWh");
    ui->label_chargedinfo2->setText(str_chargedtime + "min");
    ui->label_chargedinfo3->setText(str_chargeVoltage + "V");
    ui->label_chargedinfo4->setText(str_chargeCurrent + "A");
    ui->label_chargedinfo5->setText(str_chargedMoney + "€");
    setChargingFigure(ui->label_togoinfo1, str_togokWh, " kWh ");
    setChargingFigure(ui->label_togoinfo2, str_remaintime, "  min");
    ui->label_soc->setText(str_soc);
}

void EnergyDelivery::on_pushButton_stop_clicked() { emit show_charging_child1(); }
