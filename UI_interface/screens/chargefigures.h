#ifndef CHARGEFIGURES_H
#define CHARGEFIGURES_H

// The energy delivery and completion screens show a session's figures in the
// same boxes and styles, so that on completion they stay where the driver
// watched them during charging. Both forms name their widgets alike; `Form`
// is either screen's designer form.

#include "energydelivery.h"
#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"

#include <QLabel>
#include <QPixmap>
#include <QProgressBar>

template <class Form>
void captionChargeFigures(Form *ui);

// The two large figures with their captions, the battery, and the value row.
template <class Form>
void layoutChargeFigures(Form *ui)
{
    // The figure box is three units high: its 60 px run needs more than two.
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

    // Battery: outline under the bar, tip at its right end, number and "%" on top.
    ui->label_icon->setGeometry(unitRect(18, 10, 28, 10));
    ui->label_icon->setPixmap(QPixmap(image_standby_bat));
    ui->label_icon2->setGeometry(unitRect(18, 10, 28, 10));
    ui->label_icon2->setPixmap(QPixmap(image_standby_bat2));
    ui->progressBar->setGeometry(unitRect(18.5, 10.5, 26, 9));
    ui->progressBar->setStyleSheet(standby_pregrassbar_style);
    // The bar moves five times a second during a charge: it paints over a
    // kept image of the outline, and the tip (clear of it) goes under it too.
    paintOverKeptBackground(ui->progressBar);
    ui->label_icon2->stackUnder(ui->progressBar);
    ui->label_icon->lower();
    ui->label_soc->setGeometry(unitRect(18.5, 10.5, 25, 9));
    ui->label_soc->setStyleSheet(standby_label_soc_style + soc_clear_of_percent);
    ui->label_soc->setTextFormat(Qt::PlainText);
    ui->label_soc->raise();
    keepTextRendered(ui->label_soc);
    ui->label_percent->setGeometry(unitRect(34, 13.5, 4, 4));
    ui->label_percent->setText(standby_label_percent_style);
    ui->label_percent->raise();
    keepTextRendered(ui->label_percent);

    // Value row: charged, spent, cost, voltage, current.
    QLabel *const values[] = {ui->label_chargedinfo1, ui->label_chargedinfo2, ui->label_chargedinfo5,
                              ui->label_chargedinfo3, ui->label_chargedinfo4};
    QLabel *const captions[] = {ui->label_charged1, ui->label_charged2, ui->label_charged5, ui->label_charged3,
                                ui->label_charged4};
    for (int i = 0; i < 5; ++i) {
        const double x = 14.5 + 7 * i;
        values[i]->setGeometry(unitRect(x, 21, 7, 3));
        values[i]->setStyleSheet(charging_chargedinfo_sty);
        values[i]->setTextFormat(Qt::PlainText);
        captions[i]->setGeometry(unitRect(x, 23, 7, 2));
        captions[i]->setStyleSheet(charging_charged_sty);
        captions[i]->setTextFormat(Qt::PlainText);
    }
    captionChargeFigures(ui);
}

// The captions of the two large figures and of the value row, in the
// driver's language.
template <class Form>
void captionChargeFigures(Form *ui)
{
    ui->label_togo1->setText(screenText(charging_togo_str1));
    ui->label_togo2->setText(screenText(charging_togo_str2));
    ui->label_charged1->setText(screenText(charging_charged_str1));
    ui->label_charged2->setText(screenText(charging_charged_str2));
    ui->label_charged3->setText(screenText(charging_charged_str3));
    ui->label_charged4->setText(screenText(charging_charged_str4));
    ui->label_charged5->setText(screenText(charging_charged_str5));
}

// The session's figures as the charging data update last published them.
template <class Form>
void showChargeFigures(Form *ui)
{
    ui->label_chargedinfo1->setText(str_chargedkWh + "kWh");
    ui->label_chargedinfo2->setText(str_chargedtime + "min");
    ui->label_chargedinfo3->setText(str_chargeVoltage + "V");
    ui->label_chargedinfo4->setText(str_chargeCurrent + "A");
    ui->label_chargedinfo5->setText(moneyText(str_chargedMoney.toDouble()));
    setChargingFigure(ui->label_togoinfo1, str_togokWh, " kWh ");
    setChargingFigure(ui->label_togoinfo2, str_remaintime, "  min");
    ui->label_soc->setText(str_soc);
}

#endif // CHARGEFIGURES_H
