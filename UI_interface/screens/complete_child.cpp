#include "complete_child.h"
#include "ui_complete_child.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"

Complete_child::Complete_child(QWidget *parent) : PopupDialog(parent), ui(new Ui::Complete_child)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, child_window_sty, 12, 10, 40, 20);
    ui->label->setGeometry(unitRect(0, 3, 40, 8));
    ui->pushButton->setGeometry(unitRect(15, 14, 10, 4));
    ui->pushButton->setStyleSheet(comchild_pushbotton_sty);
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
}

void Complete_child::retranslate()
{
    showText();
    ui->pushButton->setText(screenText(QT_TRANSLATE_NOOP("screens", "OK")));
}

Complete_child::~Complete_child() { delete ui; }

QString Complete_child::reasonText(SessionEnd end)
{
    switch (end) {
    case SessionEnd::Paid:
        return QString();
    case SessionEnd::Rejected:
        return screenText(QT_TRANSLATE_NOOP("screens", "The central system rejected the transaction."));
    case SessionEnd::NotConfirmed:
        return screenText(QT_TRANSLATE_NOOP("screens", "The central system did not confirm the transaction."));
    case SessionEnd::Aborted:
        return screenText(QT_TRANSLATE_NOOP("screens", "Stopped before any energy was delivered."));
    case SessionEnd::NoEnergy:
        return screenText(QT_TRANSLATE_NOOP("screens", "No energy was delivered."));
    case SessionEnd::RemoteStop:
        return screenText(QT_TRANSLATE_NOOP("screens", "Stopped by the central system."));
    case SessionEnd::Fault:
        return screenText(QT_TRANSLATE_NOOP("screens", "Stopped by a charger fault."));
    case SessionEnd::EvDisconnected:
        return screenText(QT_TRANSLATE_NOOP("screens", "The cable was unplugged at the car."));
    }
    return QString();
}

void Complete_child::showOutcome(SessionEnd end)
{
    m_end = end;
    showText();
}

void Complete_child::showText()
{
    if (m_end == SessionEnd::Paid) {
        ui->label->setText(screenText(comchild_label_str));
        return;
    }
    ui->label->setText("<p style='" + font_H3 + "color:black;text-align:center;'>"
                       + screenText(QT_TRANSLATE_NOOP("screens", "Session ended")) + "</p><p style='" + font_Body
                       + "color:black;text-align:center;margin-top:12px;'>" + reasonText(m_end).toHtmlEscaped()
                       + "</p>");
}

void Complete_child::page_show() { show(); }
void Complete_child::page_hide() { hide(); }
void Complete_child::on_pushButton_clicked() { emit jump_home(); }

