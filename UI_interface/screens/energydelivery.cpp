#include "energydelivery.h"
#include "ui_energydelivery.h"

#include "chargefigures.h"
#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"


#include <QFontMetricsF>

#include <cmath>

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

QString chargingPowerText(const QString &volts, const QString &amps)
{
    bool okV = false, okA = false;
    const double kw = volts.toDouble(&okV) * amps.toDouble(&okA) / 1000.0;
    if (!okV || !okA || !std::isfinite(kw))
        return "--";
    // -0.0 would read as a negative power.
    return QString::number(kw == 0 ? 0.0 : kw, 'f', 1) + "kW";
}

// Width of the ink of a figure in the label's font; a trailing blank of the
// unit draws nothing and may run past the box, and rich text shows a run of
// blanks as one. Measured by the fonts of its two runs: it is asked every
// second during a charge, and laying out the figure's rich text for it cost a
// tenth of the charging screen's time.
static qreal figureWidth(const QLabel *label, const QString &value, const QString &unit, int valuePx)
{
    QString ink;
    for (const QChar c : unit) {
        if (c != ' ' || !ink.endsWith(' '))
            ink += c;
    }
    while (ink.endsWith(' '))
        ink.chop(1);
    QFont valueFont = label->font();
    valueFont.setPixelSize(valuePx);
    QFont unitFont = label->font();
    unitFont.setPixelSize(valuePx * 36 / 60);
    return QFontMetricsF(valueFont).horizontalAdvance(value) + QFontMetricsF(unitFont).horizontalAdvance(ink);
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
    setupScreenPage(this);

    ui->label_head->setGeometry(unitRect(0, 0, 64, 4));
    ui->label_head->setStyleSheet(charging_head_style);
    m_head = charging_head_str1;
    m_headDots = "...";
    ui->label_prepare->setGeometry(unitRect(38, 0, 6, 4));
    ui->label_prepare->setStyleSheet(charging_prepare_style);
    ui->label_prepare->raise();

    layoutChargeFigures(ui);
    // The power closes the value row on the right, in the row's column width
    // and styles, where the panel has room beside the five given columns.
    ui->label_chargedinfo6->setGeometry(unitRect(49.5, 21, 7, 3));
    ui->label_chargedinfo6->setStyleSheet(charging_chargedinfo_sty);
    ui->label_chargedinfo6->setTextFormat(Qt::PlainText);
    ui->label_charged6->setGeometry(unitRect(49.5, 23, 7, 2));
    ui->label_charged6->setStyleSheet(charging_charged_sty);
    ui->label_charged6->setTextFormat(Qt::PlainText);

    ui->pushButton_stop->setGeometry(unitRect(24, 27, 16, 4));
    ui->pushButton_stop->setStyleSheet(charging_pushbutton_stop_sty);
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();

    connect(&timer_SocRefresh, &QTimer::timeout, this, &EnergyDelivery::Soc_Refresh);
}

void EnergyDelivery::retranslate()
{
    ui->label_head->setText(screenText(m_head) + m_headDots);
    ui->pushButton_stop->setText(screenText(charging_pushbutton_stop_str));
    captionChargeFigures(ui);
    ui->label_charged6->setText(screenText(QT_TRANSLATE_NOOP("screens", "power")));
}

void EnergyDelivery::setHead(const QString &head, const QString &dots)
{
    // Called on every refresh; the label already shows it in the current
    // language (retranslate keeps it so), so a repeat costs no lookup.
    if (head == m_head && dots == m_headDots)
        return;
    m_head = head;
    m_headDots = dots;
    ui->label_head->setText(screenText(head) + dots);
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
        setHead(charging_head_str1);
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
        setHead(charging_head_str);
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
        setHead(charging_head_str2);
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
        setHead(charging_head_str3);
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
    showChargeFigures(ui);
    ui->label_chargedinfo6->setText(chargingPowerText(str_chargeVoltage, str_chargeCurrent));
}

void EnergyDelivery::on_pushButton_stop_clicked() { emit show_charging_child1(); }

