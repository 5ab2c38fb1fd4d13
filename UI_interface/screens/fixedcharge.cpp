#include "fixedcharge.h"
#include "ui_fixedcharge.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

#include <QButtonGroup>
#include <QPushButton>

QString fixedcharge_label_setdisplay_str;

FixedCharge::FixedCharge(QWidget *parent) : QWidget(parent), ui(new Ui::FixedCharge)
{
    ui->setupUi(this);
    setupScreenPage(this);

    ui->label_head->setGeometry(unitRect(0, 0, 64, 6));
    ui->label_head->setText(fixedcharge_label_head_str);
    // The second line's "text-align:top" names no horizontal place; centre it
    // under the first instead of leaving it at the left edge.
    ui->label_head->setAlignment(Qt::AlignCenter);

    ui->label_chooseamount_pad->setGeometry(unitRect(9, 7, 19, 16));
    ui->label_chooseamount_pad->setStyleSheet(fixedcharge_label_chooseamount_pad_sty);
    ui->label_choosequantity_pad->setGeometry(unitRect(36, 7, 19, 16));
    ui->label_choosequantity_pad->setStyleSheet(fixedcharge_label_choosequantity_pad_sty);

    // Captions sit on the panels' top edge, like a group box title.
    ui->label_chooseamount->setText(fixedcharge_label_chooseamount_str);
    ui->label_chooseamount->setStyleSheet(fixedcharge_label_caption_sty);
    ui->label_chooseamount->setGeometry(unitRect(10, 6, 9, 2));
    ui->label_chooseamount->ensurePolished();
    ui->label_chooseamount->resize(ui->label_chooseamount->sizeHint().width(), ui->label_chooseamount->height());
    ui->label_chooseamount->raise();
    ui->label_choosequantity->setText(fixedcharge_label_choosequantity_str);
    ui->label_choosequantity->setStyleSheet(fixedcharge_label_caption_sty);
    ui->label_choosequantity->setGeometry(unitRect(37, 6, 9, 2));
    ui->label_choosequantity->ensurePolished();
    ui->label_choosequantity->resize(ui->label_choosequantity->sizeHint().width(), ui->label_choosequantity->height());
    ui->label_choosequantity->raise();

    ui->label_or->setGeometry(unitRect(28, 13, 8, 4));
    ui->label_or->setText(fixedcharge_label_or_str);

    // Two preset rows and the custom key under them, inside each panel.
    QPushButton *const money[] = {ui->pushButton_A1, ui->pushButton_A2, ui->pushButton_A3, ui->pushButton_A4};
    QPushButton *const energy[] = {ui->pushButton_Q1, ui->pushButton_Q2, ui->pushButton_Q3, ui->pushButton_Q4};
    // The preset chosen stays marked; one choice across both panels.
    m_presets = new QButtonGroup(this);
    m_presets->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        const double dx = (i % 2) * 9;
        const double y = 9 + (i / 2) * 4.5;
        money[i]->setGeometry(unitRect(10 + dx, y, 8, 3.5));
        energy[i]->setGeometry(unitRect(37 + dx, y, 8, 3.5));
        money[i]->setStyleSheet(fixedcharge_pushbutton_sty + fixedcharge_preset_selected_sty);
        energy[i]->setStyleSheet(fixedcharge_pushbutton_sty + fixedcharge_preset_selected_sty);
        money[i]->setCheckable(true);
        energy[i]->setCheckable(true);
        m_presets->addButton(money[i]);
        m_presets->addButton(energy[i]);
        // "pressed" rather than "clicked": the choice shows as soon as the finger lands.
        connect(money[i], &QPushButton::pressed, this, &FixedCharge::setAmount);
        connect(energy[i], &QPushButton::pressed, this, &FixedCharge::setQuantity);
    }
    ui->pushButton_A_Cus->setGeometry(unitRect(10, 18, 17, 3.5));
    ui->pushButton_A_Cus->setStyleSheet(fixedcharge_pushbutton_sty);
    ui->pushButton_Q_Cus->setGeometry(unitRect(37, 18, 17, 3.5));
    ui->pushButton_Q_Cus->setStyleSheet(fixedcharge_pushbutton_sty);

    ui->label_setdisplay->setGeometry(unitRect(0, 24, 64, 2.5));
    ui->pushButton_confirm->setGeometry(unitRect(24, 27, 16, 4));
    ui->pushButton_confirm->setStyleSheet(fixedcharge_pushbutton_Confirm_sty + confirm_disabled_sty);

    const auto buttons = findChildren<QPushButton *>();
    for (QPushButton *b : buttons)
        b->setFocusPolicy(Qt::NoFocus);

    showSummary();
}

FixedCharge::~FixedCharge()
{
    delete ui;
}

void FixedCharge::showSummary()
{
    fixedcharge_label_setdisplay_str = "<p style='text-align:Center;line-height:70%;color:white;'><span style='" + font_Body
        + "'>" + setdisplay_str1 + "</span>" + "<span style='" + font_Body_M + "'>" + str_quantity + "</span>"
        + "<span style='" + font_Body + "'>" + setdisplay_str2 + "</span>" + "<span style='" + font_Body_M + "'>"
        + str_amount + "</span>";
    ui->label_setdisplay->setText(fixedcharge_label_setdisplay_str);
    // Nothing to charge for at 0.00.
    ui->pushButton_confirm->setEnabled(str_amount.toDouble() > 0 && str_quantity.toDouble() > 0);
}

void FixedCharge::clearPreset()
{
    QAbstractButton *chosen = m_presets->checkedButton();
    if (!chosen)
        return;
    m_presets->setExclusive(false);
    chosen->setChecked(false);
    m_presets->setExclusive(true);
}

QString FixedCharge::chosenPreset() const
{
    QAbstractButton *chosen = m_presets->checkedButton();
    return chosen ? chosen->text() : QString();
}

void FixedCharge::reprint(int gun)
{
    str_amount = QString::number(double(gun_status[gun].f_CusSetAmount), 'f', 2);
    str_quantity = QString::number(double(gun_status[gun].f_CusSetkWh), 'f', 2);
}

void FixedCharge::page_show(int gun)
{
    show();
    if (gun < 0 || gun > 2)
        return;
    reprint(gun);
    // A new session starts with nothing chosen.
    if (!(gun_status[gun].f_CusSetAmount > 0))
        clearPreset();
    showSummary();
}

void FixedCharge::setAmount()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    button->setChecked(true);
    str_amount = button->text().mid(1); // "€30" -> "30"
    f_CusSetAmount = str_amount.toFloat();
    f_CusSetkWh = f_CusSetAmount / f_price;
    gun_status[1].f_CusSetAmount = f_CusSetAmount;
    gun_status[1].f_CusSetkWh = f_CusSetkWh;
    str_quantity = QString::number(double(f_CusSetkWh), 'f', 2);
    str_amount = QString::number(double(gun_status[1].f_CusSetAmount), 'f', 2);
    showSummary();
}

void FixedCharge::setQuantity()
{
    auto *button = qobject_cast<QPushButton *>(sender());
    if (!button)
        return;
    button->setChecked(true);
    str_quantity = button->text().chopped(3); // "30 kWh" -> "30 "
    f_CusSetkWh = str_quantity.trimmed().toFloat();
    f_CusSetAmount = f_CusSetkWh * f_price;
    gun_status[1].f_CusSetAmount = f_CusSetAmount;
    gun_status[1].f_CusSetkWh = f_CusSetkWh;
    str_quantity = QString::number(double(f_CusSetkWh), 'f', 2);
    str_amount = QString::number(double(gun_status[1].f_CusSetAmount), 'f', 2);
    showSummary();
}

void FixedCharge::on_pushButton_A_Cus_clicked()
{
    emit jump_keyboard(1);
}

void FixedCharge::on_pushButton_Q_Cus_clicked()
{
    emit jump_keyboard(2);
}

void FixedCharge::set_display(int which)
{
    if (which == 1) {
        f_CusSetkWh = f_CusSetAmount / f_price;
    } else if (which == 2) {
        f_CusSetAmount = f_CusSetkWh * f_price;
    }
    if (which == 1 || which == 2) {
        clearPreset(); // a typed value is no preset
        gun_status[1].f_CusSetkWh = f_CusSetkWh;
        gun_status[1].f_CusSetAmount = f_CusSetAmount;
    }
    reprint(1);
    showSummary();
}

void FixedCharge::on_pushButton_confirm_clicked()
{
    emit jump_authorize();
}
